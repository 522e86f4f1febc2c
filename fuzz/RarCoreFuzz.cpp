// RAR archives from anywhere: the RAR library's core lists and tests every
// entry of the bytes in memory; it must end, stay in bounds, keep the
// header record's texts terminated and never throw.
#include "external/RarCore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char comment[1024];
    RAROpenRecord open{};
    open.ArcName = "fuzz.rar";
    open.OpenMode = RAR_OM_EXTRACT;
    open.CmtBuf = comment;
    open.CmtBufSize = sizeof comment;
    void* handle = qrv::external::RarOpenMemory(std::string_view(reinterpret_cast<const char*>(data), size), &open);
    if (!handle)
        return 0;
    if (open.CmtState == 1 && (open.CmtSize == 0 || open.CmtSize > sizeof comment || comment[open.CmtSize - 1] != 0))
        std::abort();
    RARHeaderData header{};
    for (int entry = 0; entry < 10000 && qrv::external::RarReadHeader(handle, &header) == RAR_SUCCESS; ++entry) {
        if (!std::memchr(header.FileName, 0, sizeof header.FileName) ||
            !std::memchr(header.ArcName, 0, sizeof header.ArcName))
            std::abort();
        qrv::external::RarProcessFile(handle, entry % 2 ? RAR_TEST : RAR_SKIP, nullptr, nullptr);
    }
    qrv::external::RarCloseArchive(handle);
    return 0;
}
