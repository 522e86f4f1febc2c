#pragma once
// Shortcuts (".lnk" files), read and written through the shell's link object
// (IShellLinkW and its IPersistFile). COM must be initialised on the thread.

#include <string>

namespace qrv {

struct TShellLinkData {
    std::wstring Target;
    std::wstring WorkingDir;
    std::wstring Description;
    int ShowCmd = 0;
};

// Reads a shortcut. With AllowUI or UseLinkInfo the link is resolved first
// (AllowUI: the shell may ask the user; otherwise it searches at most 1.5 s
// silently; UseLinkInfo false: the link-tracking data is not used); the link
// file is never updated. True when the shortcut names a file-system target:
// a link to something else (a printer, "My Computer") has an empty target
// and counts as failure, the other fields filled all the same.
[[nodiscard]] bool GetShellLinkData(const std::wstring& LinkFile, TShellLinkData& Data, bool AllowUI, bool UseLinkInfo);
// Only the target; empty when it cannot be read.
std::wstring GetShellLinkTarget(const std::wstring& LinkFile, bool AllowUI, bool UseLinkInfo);
// Writes a shortcut to Target with the target's folder as working folder
// and the description; an empty LinkName means Target + ".lnk". The file is
// written only when every part was set; true when it was written.
[[nodiscard]] bool CreateShellLink(const std::wstring& Target, const std::wstring& LinkName,
                                   const std::wstring& Description);

}  // namespace qrv
