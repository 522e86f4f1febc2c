#pragma once
// TBrowseFolderDlg: the shell's folder browser as a component. It opens at
// FolderName, enables OK only for existing folders and gives back the
// chosen path.

#include "framework/Component.h"

#include <windows.h>

#include <functional>
#include <string>

namespace qrv {

enum class TBrowseKind { bfFolders, bfComputers };
enum class TBrowseDialogPosition { dpDefault, dpScreenCenter };

class TBrowseFolderDlg : public TComponent {
public:
    using TComponent::TComponent;

    TBrowseKind BrowseKind = TBrowseKind::bfFolders;
    // Folders from the desktop down; false: from the computer's drives.
    bool DesktopRoot = true;
    std::wstring DialogText;
    // In: the folder to preselect; out: the chosen one, without a trailing
    // backslash unless it is a drive root (or the computer's display name).
    std::wstring FolderName;
    DWORD HelpContext = 0;
    TBrowseDialogPosition Position = TBrowseDialogPosition::dpScreenCenter;
    // After the last run: the display name and system image index of the choice.
    const std::wstring& DisplayName() const { return displayName_; }
    int ImageIndex() const { return imageIndex_; }

    // The dialog window once it is shown, and after each change of selection
    // (with the path chosen now; empty for a virtual folder).
    std::function<void(TComponent* Sender, HWND Dialog)> OnInitialized;
    std::function<void(TComponent* Sender, HWND Dialog, const std::wstring& Path)> OnSelChanged;

    // Runs the browser owned by `owner`; true when a folder was chosen.
    bool Execute(HWND owner);

private:
    static int CALLBACK Callback(HWND window, UINT msg, LPARAM lParam, LPARAM data);
    void Initialized(HWND dialog);
    void SelectionChanged(HWND dialog, LPARAM idList);
    std::wstring displayName_;
    int imageIndex_ = -1;
};

// The path a folder browser gives back, in the form the fields store: no
// trailing backslash except on a drive root ("C:\").
std::wstring BrowsedFolderText(std::wstring path);

}  // namespace qrv
