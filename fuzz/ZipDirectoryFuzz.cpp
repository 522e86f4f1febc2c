// Archives from anywhere through the zip component's directory reader, once
// as a single file and once as the last disk of a set whose other disks are
// the same bytes: it must end, stay in bounds and report instead of
// throwing, and what it returns must lie inside the input.
#include "archives/ZipDirectory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool spanned : {false, true}) {
        qrv::TZipMemorySource source(bytes);
        qrv::TZipMemorySource other(bytes);
        qrv::TZipListOptions options;
        options.UseDirOnlyEntries = spanned;
        options.CodePage = spanned ? qrv::cpOEM : qrv::cpAuto;
        int disks = 0;
        if (spanned)
            options.OpenDisk = [&](uint32_t) -> qrv::TZipSource* { return ++disks < 4 ? &other : nullptr; };
        qrv::TZipListResult result = qrv::ListZipDirectory(source, options);
        // Each listed entry took at least a central header of the input.
        if (!spanned && result.Entries.size() * 46 > size)
            std::abort();
        if (!spanned && result.Error == 0 && result.CentralOffset > size)
            std::abort();
    }
    return 0;
}
