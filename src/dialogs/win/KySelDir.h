#pragma once
// TSelDirDialog ("Verzeichnis auswählen"): picks a folder in a tree of its
// own, with a path box that keeps a history, new folders, deletion and
// renaming, jumps to the special folders and the bookmarks. What it decides
// without a window is dialogs/SelDirRules.h.

#include "dialogs/SelDirRules.h"
#include "framework/win/Forms.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TActionList;
class TButton;
class TCheckBox;
class TDriveView;
class TKyComboBox;
class TMainMenu;
class TMenuItem;
class TTreeNode;

// Private message: the path box shows the tree's folder again (WParam 0),
// or the tree takes the focus (1).
constexpr UINT WM_SELDIR_SHOWDIR = WM_USER + 0x14E;

class TSelDirDialog : public TForm {
public:
    explicit TSelDirDialog(TComponent* owner);
    ~TSelDirDialog() override;

    TDriveView* DriveView = nullptr;
    TKyComboBox* cbDir = nullptr;
    TCheckBox* ChkCustom1 = nullptr;
    TCheckBox* ChkCustom2 = nullptr;
    // The buttons keep the names the dialog's callers know them by.
    TButton* btnNewDir = nullptr;     // NOLINT(readability-identifier-naming)
    TButton* btnDeleteDir = nullptr;  // NOLINT(readability-identifier-naming)
    TButton* btnRefresh = nullptr;    // NOLINT(readability-identifier-naming)
    TButton* btnOK = nullptr;         // NOLINT(readability-identifier-naming)
    TButton* btnCancel = nullptr;     // NOLINT(readability-identifier-naming)
    TMainMenu* MainMenu = nullptr;
    TMenuItem* BookmarkMenu = nullptr;

    // The selected folder ("C:\" for a drive); empty without a selection.
    std::wstring Directory();
    void SetDirectory(const std::wstring& Path);
    // Shows the dialog; true when it closed with OK and a folder selected.
    bool Execute();

    // The commands (menu items, buttons and keys run these).
    void SelectDir();
    void NewDir();
    void DeleteDir();
    void RefreshDisplay();
    void ShowProperties();
    void Jump(TSelDirJump Jump);
    void GotoBookmark(int Index);
    // Enter in the path box, and a choice closing its list.
    void PathBoxEnter();
    void PathBoxChosen();
    // The drive key Ctrl+Shift+Letter.
    void DriveKey(wchar_t Letter);

    // The longest name the folder's drive allows (the volume's data by
    // default).
    std::function<uint32_t(const std::wstring& Folder)> NameLengthOf;

protected:
    std::wstring WindowClassName() const override { return L"TSelDirDialog"; }
    void DoShow() override;
    void WndProc(TMessage& message) override;
    bool DialogKey(WORD key) override;

private:
    void CreateMenus();
    void CreateControls();
    void LayOut();
    void SelectionChanged();
    // Selects, expands and centres the folder's node; false when it has none.
    bool ShowFolder(const std::wstring& Path);
    void NotFound(const std::wstring& Path);
    bool TreeKeyDown(WORD Key);
    bool ComboHasFocus();
    // Ends an open name edit, the name typed kept; false when none was open.
    // Every command that chooses another folder ends it first.
    bool EndNameEdit();

    std::unique_ptr<TSelDirSystem> system_;
    TSelDirKeys keys_;
    TActionList* driveKeys_ = nullptr;
    std::vector<TMenuItem*> directoryItems_;  // select, refresh, new, delete, properties
};

}  // namespace qrv
