#include "panels/win/ShellLinks.h"

#include "common/BaseUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <wrl/client.h>

namespace qrv {

namespace {

using Microsoft::WRL::ComPtr;

// The link object with the shortcut file loaded, and resolved when asked;
// nullptr when the file cannot be loaded.
ComPtr<IShellLinkW> LoadLink(const std::wstring& linkFile, bool allowUI, bool useLinkInfo)
{
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(linkFile.c_str(), STGM_READ)))
        return nullptr;
    if (allowUI || useLinkInfo) {
        // Never SLR_UPDATE: reading a shortcut does not rewrite it.
        DWORD flags = allowUI ? DWORD{SLR_NOUPDATE} : DWORD{MAKELONG(SLR_NO_UI | SLR_NOUPDATE, 1500)};
        if (!useLinkInfo)
            flags |= SLR_NOLINKINFO;
        HWND owner = Application ? Application->ActiveWindowHandle() : nullptr;
        // A target that cannot be found keeps the stored data, which is read all the same.
        link->Resolve(owner, flags);
    }
    return link;
}

std::wstring ReadTarget(IShellLinkW& link)
{
    wchar_t path[MAX_PATH] = L"";
    // The item list keeps the target's wide name; the path the link also
    // stores may be in the ANSI code page only and lose characters.
    PIDLIST_ABSOLUTE item = nullptr;
    if (link.GetIDList(&item) == S_OK && item) {
        const TTaskMemory owned(item);
        if (SHGetPathFromIDListW(item, path) && path[0])
            return path;
    }
    if (link.GetPath(path, MAX_PATH, nullptr, 0) != S_OK)
        return {};
    return path;
}

}  // namespace

bool GetShellLinkData(const std::wstring& LinkFile, TShellLinkData& Data, bool AllowUI, bool UseLinkInfo)
{
    Data = TShellLinkData{};
    ComPtr<IShellLinkW> link = LoadLink(LinkFile, AllowUI, UseLinkInfo);
    if (!link)
        return false;
    Data.Target = ReadTarget(*link.Get());
    wchar_t text[INFOTIPSIZE] = L"";
    if (SUCCEEDED(link->GetDescription(text, INFOTIPSIZE)))
        Data.Description = text;
    wchar_t folder[MAX_PATH] = L"";
    if (SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)))
        Data.WorkingDir = folder;
    int showCmd = 0;
    if (SUCCEEDED(link->GetShowCmd(&showCmd)))
        Data.ShowCmd = showCmd;
    return !Data.Target.empty();
}

std::wstring GetShellLinkTarget(const std::wstring& LinkFile, bool AllowUI, bool UseLinkInfo)
{
    ComPtr<IShellLinkW> link = LoadLink(LinkFile, AllowUI, UseLinkInfo);
    return link ? ReadTarget(*link.Get()) : std::wstring();
}

bool CreateShellLink(const std::wstring& Target, const std::wstring& LinkName, const std::wstring& Description)
{
    const std::wstring linkName = LinkName.empty() ? Target + L".lnk" : LinkName;
    std::wstring folder = ExtractFilePath(Target);
    // "C:\dir\" names the folder as "C:\dir"; a drive root keeps its backslash.
    if (folder.size() > 3)
        folder = RemoveBackslash(folder);
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
           SUCCEEDED(link.As(&file)) && SUCCEEDED(link->SetPath(Target.c_str())) &&
           SUCCEEDED(link->SetWorkingDirectory(folder.c_str())) &&
           SUCCEEDED(link->SetDescription(Description.c_str())) && SUCCEEDED(file->Save(linkName.c_str(), TRUE));
}

}  // namespace qrv
