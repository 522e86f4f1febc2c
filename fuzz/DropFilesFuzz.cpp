// Clipboard and drop data come from any program: the CF_HDROP and
// "Preferred DropEffect" readers must stay in bounds on any bytes, and a
// wide list they accept must read back the same after it is written again.
#include "common/DropFilesBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)qrv::PasteEffect(qrv::ParsePreferredDropEffect(data, size));
    const auto names = qrv::ParseDropFiles(data, size, [](std::string_view raw) {
        std::wstring name;
        for (const char c : raw) {
            name.push_back(static_cast<unsigned char>(c));  // Latin-1 stands in for the code page
        }
        return name;
    });
    if (names) {
        const auto block = qrv::BuildDropFiles(*names);
        const auto again = qrv::ParseDropFiles(block.data(), block.size(), nullptr);
        if (!again || *again != *names) {
            std::abort();
        }
    }
    return 0;
}
