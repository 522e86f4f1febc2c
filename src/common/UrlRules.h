#pragma once
// Which web addresses a click in a text may open: only web and mail
// addresses, never a file, program or script link. Portable.

#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// http, https, ftp and mailto addresses, in any letter case.
bool IsOpenableUrl(std::wstring_view url);

// The address a click on a marked address opens: an e-mail address (isMail)
// gets "mailto:" in front unless it holds it, one starting with "www." gets
// "http://"; nothing when the result is not openable.
std::optional<std::wstring> OpenableUrlOf(std::wstring_view text, bool isMail);

}  // namespace qrv
