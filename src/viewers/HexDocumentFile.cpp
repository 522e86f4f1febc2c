#include "viewers/HexDocumentFile.h"

#include "framework/SysUtils.h"

#include <cstring>

namespace qrv {

void TMemoryHexFile::Read(int64_t offset, void* buffer, size_t count)
{
    if (FailReads || offset < 0 || static_cast<uint64_t>(offset) > bytes_.size() || count > bytes_.size() - offset)
        throw EReadError(L"Read past the end of the data");
    ++ReadCalls;
    BytesRead += static_cast<int64_t>(count);
    if (count)
        std::memcpy(buffer, bytes_.data() + offset, count);
}

void TMemoryHexFile::Write(int64_t offset, const void* buffer, size_t count)
{
    if (FailWrites || offset < 0)
        throw EWriteError(L"Write failed");
    if (static_cast<uint64_t>(offset) + count > bytes_.size())
        bytes_.resize(static_cast<size_t>(offset) + count);
    if (count)
        std::memcpy(bytes_.data() + offset, buffer, count);
}

void TMemoryHexFile::Resize(int64_t size)
{
    if (FailWrites || size < 0)
        throw EWriteError(L"Resize failed");
    bytes_.resize(static_cast<size_t>(size));
}

}  // namespace qrv
