#pragma once
// Where an archive entry may be written. Archive entry names come from
// outside: this is the one check every extractor runs before it creates a
// file, so that no entry can reach beyond the folder it is extracted into.

#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The full destination of the stored name below TargetDir, or nullopt when
// the name must be skipped. Both "\" and "/" separate levels in the stored
// name. Drive ("C:"), root and UNC ("\\server\share", "\\?\") prefixes are
// stripped; empty and "." levels are dropped. Refused: a level "..", a ":"
// anywhere (drive-relative names, alternate streams), a reserved device name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension), a level that
// ends in a dot or blank, characters Windows forbids in names, and a name
// with no level left. Without UsePaths only the last level is kept. The
// result joins TargetDir (a separator added when missing) and the levels
// with the system's separator.
std::optional<std::wstring> SafeExtractPath(std::wstring_view TargetDir, std::wstring_view StoredName, bool UsePaths);

// The folder with the system's separator at its end (unless it has one).
std::wstring AddPathSeparator(std::wstring_view Folder);

// True when one level of a name is acceptable by the rules above.
bool IsSafeNameLevel(std::wstring_view Level);

}  // namespace qrv
