#pragma once
// Which drives change watching leaves alone. A "\" (network paths) is never
// watched, nor a drive whose letter the NoCheckDrives text holds. Portable.

#include <string>
#include <string_view>

namespace qrv {

// The tree's NoCheckDrives: the text upper-cased.
std::wstring TreeNoCheckDrives(std::wstring_view Value);
// A list's NoCheckDrives: upper-cased, with a "\" in front when it holds none.
std::wstring ListNoCheckDrives(std::wstring_view Value);
// Whether a path starting with First (a drive letter or "\") may be watched.
bool DriveWatchable(std::wstring_view NoCheckDrives, wchar_t First);

}  // namespace qrv
