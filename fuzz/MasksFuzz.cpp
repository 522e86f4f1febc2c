// Mask lists and names as a user types them: the list parser and the
// matcher must end, stay in bounds and never throw on any text.
#include "common/MaskSearch.h"
#include "framework/StringList.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The input is UTF-16: up to the first 0x0000 unit the masks, after it
    // the name matched against them.
    std::wstring masks;
    std::wstring name;
    std::wstring* target = &masks;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0 && target == &masks) {
            target = &name;
            continue;
        }
        target->push_back(unit);
    }
    qrv::TStringList list;
    qrv::ParseMaskList(masks, list);
    (void)qrv::MatchesMaskList(name, &list);
    (void)qrv::MatchMask(name, masks);
    return 0;
}
