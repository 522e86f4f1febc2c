#pragma once
// TAddFavoriteForm ("Lesezeichen hinzufügen"): the folder and the caption
// of a new bookmark. The caller fills both edits, shows the form and reads
// them when it was accepted; OK is taken only for an existing folder.

#include "framework/win/Forms.h"

#include <functional>
#include <string>

namespace qrv {

class TButton;
class TEdit;

// The message when the folder field names no existing folder.
constexpr const wchar_t* kBookmarkDirMissingText = L"Das Verzeichnis existiert nicht.";

class TAddFavoriteForm : public TForm {
public:
    explicit TAddFavoriteForm(TComponent* owner);

    // NOLINTBEGIN(readability-identifier-naming): the names its callers know
    TEdit* edDir = nullptr;
    TEdit* edCaption = nullptr;
    // NOLINTEND(readability-identifier-naming)
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;
    TButton* HelpButton = nullptr;

    // Shows the form; true when it was closed with an accepted OK.
    bool Execute();
    bool Accepted() const { return accepted_; }
    // OK: accepted and closed when the folder exists; else the message,
    // and the folder field gets the focus.
    void OkClicked();
    // Shows a refusal (an error box by default).
    std::function<void(const std::wstring& Text)> ReportError;

protected:
    std::wstring WindowClassName() const override { return L"TAddFavoriteForm"; }
    void DoShow() override;

private:
    void UpdateOkButton();
    bool accepted_ = false;
};

}  // namespace qrv
