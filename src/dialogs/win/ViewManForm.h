#pragma once
// TViewManForm ("Ansichtenmanager"): one of five layouts of the main window
// with a preview picture, and where file contents are shown. It edits the
// layout's option fields (dialogs/ViewLayouts.h); the window applies them.
// The previews are bitmaps in the program's folder.

#include "dialogs/ViewLayouts.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <string>

namespace qrv {

class TButton;
class TComboBox;
class TGroupBox;
class TImage;
class TLabel;
class TRadioButton;

constexpr const wchar_t* kNoPreviewText = L"Keine Ansicht verfügbar :-(";

class TViewManForm : public TForm {
public:
    // PictureFolder: where the previews are (with a trailing backslash).
    TViewManForm(TComponent* owner, std::wstring PictureFolder);

    // NOLINTBEGIN(readability-identifier-naming): the names its callers know
    TComboBox* cbView = nullptr;
    TImage* imgPreview = nullptr;
    TLabel* lblNoPreview = nullptr;
    TGroupBox* gbFileDisplay = nullptr;
    TRadioButton* rbFileDisplayBottom = nullptr;
    TRadioButton* rbFileDisplayPos2FW = nullptr;
    // NOLINTEND(readability-identifier-naming)
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;
    TButton* HelpButton = nullptr;

    // The dialog on Layout; on OK Layout takes the chosen fields.
    bool Execute(TViewLayout& Layout);
    // Shows the layout of these fields.
    void SetLayout(const TViewLayout& Layout);
    // The fields OK writes.
    TViewLayout ChosenLayout();
    // The combo's layout changed: its preview and the display choice follow.
    void ViewChanged();

protected:
    std::wstring WindowClassName() const override { return L"TViewManForm"; }

private:
    std::wstring pictureFolder_;
    TViewLayout shown_;
    TGdiObject preview_;
};

}  // namespace qrv
