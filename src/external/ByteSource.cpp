#include "external/ByteSource.h"

#include <cstring>

namespace qrv::external {

void TMemorySource::ReadAt(uint64_t Offset, void* Buffer, size_t Count)
{
    if (Offset > bytes_.size() || Count > bytes_.size() - Offset)
        throw ETruncated();
    if (Count > 0)
        std::memcpy(Buffer, bytes_.data() + Offset, Count);
}

TFileSource::TFileSource(const std::filesystem::path& Path)
{
    file_.open(Path, std::ios::binary);
    if (!file_)
        throw std::runtime_error("cannot open the archive");
    file_.seekg(0, std::ios::end);
    size_ = static_cast<uint64_t>(static_cast<std::streamoff>(file_.tellg()));
}

void TFileSource::ReadAt(uint64_t Offset, void* Buffer, size_t Count)
{
    if (Offset > size_ || Count > size_ - Offset)
        throw ETruncated();
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(Offset));
    file_.read(static_cast<char*>(Buffer), static_cast<std::streamsize>(Count));
    if (static_cast<size_t>(file_.gcount()) != Count)
        throw ETruncated();
}

}  // namespace qrv::external
