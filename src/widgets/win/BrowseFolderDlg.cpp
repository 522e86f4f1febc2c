#include "widgets/win/BrowseFolderDlg.h"

#include "common/win/FileQueries.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

constexpr int kHelpButtonId = 0x4E55;

std::wstring PathOf(LPCITEMIDLIST list)
{
    wchar_t path[MAX_PATH] = L"";
    return list && SHGetPathFromIDListW(list, path) ? std::wstring(path) : std::wstring();
}

// The other windows of this thread are disabled while the browser runs (it
// is modal only to its owner), and enabled again after.
struct TThreadWindowsDisabled {
    explicit TThreadWindowsDisabled(HWND ownerWindow) : Owner(ownerWindow)
    {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM data) -> BOOL {
                auto* self = reinterpret_cast<TThreadWindowsDisabled*>(data);
                if (window != self->Owner && IsWindowVisible(window) && IsWindowEnabled(window)) {
                    EnableWindow(window, FALSE);
                    self->Disabled.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
    }
    ~TThreadWindowsDisabled()
    {
        for (HWND window : Disabled)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
    }
    TThreadWindowsDisabled(const TThreadWindowsDisabled&) = delete;
    TThreadWindowsDisabled& operator=(const TThreadWindowsDisabled&) = delete;
    HWND Owner = nullptr;
    std::vector<HWND> Disabled;
};

// The help button's click shows the dialog's help context.
LRESULT CALLBACK HelpButtonProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                DWORD_PTR helpContext)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == kHelpButtonId && HIWORD(wParam) == BN_CLICKED) {
        if (Application && Application->OnHelp)
            Application->OnHelp(static_cast<DWORD>(helpContext));
        return 0;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(window, HelpButtonProc, kHelpButtonId);
    return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace

std::wstring BrowsedFolderText(std::wstring path)
{
    const bool driveRoot = path.size() == 3 && path[1] == L':' && path[2] == L'\\';
    if (!driveRoot && path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    return path;
}

int CALLBACK TBrowseFolderDlg::Callback(HWND window, UINT msg, LPARAM lParam, LPARAM data)
{
    auto* self = reinterpret_cast<TBrowseFolderDlg*>(data);
    if (msg == BFFM_INITIALIZED)
        self->Initialized(window);
    else if (msg == BFFM_SELCHANGED)
        self->SelectionChanged(window, lParam);
    return 0;
}

void TBrowseFolderDlg::Initialized(HWND dialog)
{
    if (Position == TBrowseDialogPosition::dpScreenCenter) {
        RECT r;
        GetWindowRect(dialog, &r);
        MONITORINFO info{sizeof info};
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &info);
        const RECT& area = info.rcWork;
        const LONG width = r.right - r.left, height = r.bottom - r.top;
        LONG left = area.left + (area.right - area.left - width) / 2;
        LONG top = area.top + (area.bottom - area.top - height) / 2;
        left = std::max(area.left, std::min(left, area.right - width));
        top = std::max(area.top, std::min(top, area.bottom - height));
        SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (BrowseKind == TBrowseKind::bfComputers || DirExists(FolderName))
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(FolderName.c_str()));
    if (HelpContext != 0) {
        // A help button beside the first button of the dialog.
        if (HWND first = GetDlgItem(dialog, IDOK)) {
            RECT r;
            GetWindowRect(first, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            const int width = r.right - r.left;
            HWND help = CreateWindowExW(0, L"BUTTON", L"&Hilfe", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                        r.left - width - 6, r.top, width, r.bottom - r.top, dialog,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHelpButtonId)), nullptr, nullptr);
            SendMessageW(help, WM_SETFONT, SendMessageW(first, WM_GETFONT, 0, 0), TRUE);
            SetWindowSubclass(dialog, HelpButtonProc, kHelpButtonId, HelpContext);
        }
    }
    if (OnInitialized)
        OnInitialized(this, dialog);
}

void TBrowseFolderDlg::SelectionChanged(HWND dialog, LPARAM idList)
{
    const std::wstring path = PathOf(reinterpret_cast<LPCITEMIDLIST>(idList));
    if (BrowseKind == TBrowseKind::bfFolders)
        SendMessageW(dialog, BFFM_ENABLEOK, 0, !path.empty() && DirExists(path));
    if (OnSelChanged)
        OnSelChanged(this, dialog, path);
}

bool TBrowseFolderDlg::Execute(HWND owner)
{
    int rootFolder = CSIDL_DRIVES;
    if (BrowseKind == TBrowseKind::bfComputers)
        rootFolder = CSIDL_NETWORK;
    else if (DesktopRoot)
        rootFolder = CSIDL_DESKTOP;
    PIDLIST_ABSOLUTE root = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, rootFolder, &root)))
        root = nullptr;
    const TTaskMemory ownedRoot(root);

    wchar_t display[MAX_PATH] = L"";
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.pszDisplayName = display;
    info.lpszTitle = DialogText.c_str();
    info.ulFlags =
        BrowseKind == TBrowseKind::bfComputers ? BIF_BROWSEFORCOMPUTER : BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    info.lpfn = Callback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    PIDLIST_ABSOLUTE chosen = nullptr;
    {
        const TThreadWindowsDisabled disabled(owner);
        chosen = SHBrowseForFolderW(&info);
    }
    if (!chosen)
        return false;
    const TTaskMemory ownedChoice(chosen);
    displayName_ = display;
    imageIndex_ = info.iImage;
    if (BrowseKind == TBrowseKind::bfComputers) {
        FolderName = displayName_;
        return true;
    }
    const std::wstring path = PathOf(chosen);
    if (path.empty())
        return false;
    FolderName = BrowsedFolderText(path);
    return true;
}

}  // namespace qrv
