#pragma once
// TTBCustomize ("Symbolleisten anpassen"): which toolbars are shown, which
// controls each customisable toolbar shows, the button size and one drive
// toolbar per file window. Nothing changes before OK; the choices of every
// toolbar's page are kept while the user switches between them
// (dialogs/ToolbarCustomizer.h).

#include "dialogs/ToolbarCustomizer.h"
#include "framework/win/Forms.h"

#include <map>
#include <vector>

namespace qrv {

class TButton;
class TCheckBox;
class TCheckListBox;
class TComboBox;
class TControl;
class TImageList;
class TKySpinEdit;
class TKyToolbar;
class TPageControl;

// What the dialog works on, answered by the main window.
class TTBCustomizeHost {
public:
    virtual ~TTBCustomizeHost() = default;
    // The toolbar of the index table (0..9).
    virtual TKyToolbar* ToolbarByIndex(int Index) = 0;
    // The customisable controls of toolbar 0..5, in the toolbar's order.
    virtual std::vector<TControl*> ButtonList(int Index) = 0;
    // The command-line toolbar's button panel and the filter box (nullptr:
    // none).
    virtual TControl* CommandButtonPanel() = 0;
    virtual TControl* FilterBox() = 0;
    // The button size and the drive toolbars' choice.
    virtual int ButtonSize() = 0;
    virtual void SetButtonSize(int Size) = 0;
    virtual bool TwoDriveToolbars() = 0;
    virtual void SetTwoDriveToolbars(bool Two) = 0;
    // Every button of the toolbar gets the button size.
    virtual void ResizeToolbarButtons(TKyToolbar* Toolbar) = 0;
};

class TTBCustomize : public TForm {
public:
    TTBCustomize(TComponent* owner, TTBCustomizeHost& Host);
    ~TTBCustomize() override;

    // NOLINTBEGIN(readability-identifier-naming): the names its callers know
    TPageControl* PageControl = nullptr;
    TCheckListBox* CheckListBox = nullptr;
    TCheckBox* chkDoubleTBDrives = nullptr;
    TKySpinEdit* edSize = nullptr;
    TComboBox* cbToolbar = nullptr;
    TCheckListBox* LV = nullptr;
    TButton* btnOK = nullptr;
    TButton* btnCancel = nullptr;
    TButton* btnHelp = nullptr;
    // NOLINTEND(readability-identifier-naming)
    TImageList* Images = nullptr;

    // The page of toolbar Index (0..6) is shown.
    void cbToolbarChange();  // NOLINT(readability-identifier-naming)
    // Applies every choice to the window and closes the dialog.
    void btnOKClick();  // NOLINT(readability-identifier-naming)
    const TToolbarCustomizer& Model() const { return model_; }

protected:
    std::wstring WindowClassName() const override { return L"TTBCustomize"; }
    void DoShow() override;

private:
    void ReadEntries();
    std::vector<bool> ShownChecks() const;
    int GlyphImage(const TControl* Control);
    TTBCustomizeHost& host_;
    TToolbarCustomizer model_;
    // Each button's picture is added to the images once.
    std::map<const TControl*, int> glyphImages_;
    std::vector<TCustomizerRow> rows_;
};

}  // namespace qrv
