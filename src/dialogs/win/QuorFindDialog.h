#pragma once
// TQuorFindDialog ("Suchen"): the modeless directory search. The searching
// is the main window's: "&Suchen" (or Enter) calls OnSearch, "Springen"
// sets the jump flag and calls OnJump, and every close (Esc, "S&chließen",
// the system menu, Close) hides the form and calls OnSearchClosed. The window tells the
// form whether it found a folder (SetFoundDir); editing the search text
// calls OnTextChanged, since the hit then no longer answers it.

#include "framework/win/Forms.h"

#include <functional>
#include <string>

namespace qrv {

class TButton;
class TEdit;
class TLabel;

class TQuorFindDialog : public TForm {
public:
    explicit TQuorFindDialog(TComponent* owner);

    TLabel* lblSearch = nullptr;
    TLabel* LblFoundDir = nullptr;
    TEdit* SearchStr = nullptr;
    TButton* btnSearch = nullptr;
    TButton* btnClose = nullptr;
    TButton* btnJump = nullptr;

    std::function<void()> OnSearch;
    std::function<void()> OnJump;
    std::function<void()> OnSearchClosed;
    std::function<void()> OnTextChanged;

    // The label shows the hit's path shortened to its width ("...\" for
    // the leading folders), "Springen" is enabled; an empty path: nothing
    // found.
    void SetFoundDir(const std::wstring& Path);
    bool HasFound() const { return found_; }
    bool JumpRequested() const { return jump_; }

    static constexpr const wchar_t* kNothingFound = L"<Kein Verzeichnis gefunden>";

protected:
    std::wstring WindowClassName() const override { return L"TQuorFindDialog"; }
    void DoShow() override;

private:
    void UpdateButtons();
    void TextChanged();
    void Closing();
    bool found_ = false;
    bool jump_ = false;
};

}  // namespace qrv
