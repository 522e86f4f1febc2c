#pragma once
// The two DOS code pages that archive entry names are stored in (437, the
// original PC set, and 850, the Western European one a German system uses),
// for portable code that cannot ask the system. The Windows layer converts
// with the system's own OEM code page instead.

#include <optional>
#include <string>
#include <string_view>

namespace qrv {

enum class TOemCodePage { cp437, cp850 };

std::u16string OemToUtf16(std::string_view bytes, TOemCodePage codePage);
// nullopt when a character has no place in the code page.
std::optional<std::string> Utf16ToOem(std::u16string_view text, TOemCodePage codePage);

}  // namespace qrv
