#pragma once
// TFormOptions, the options dialog ("Optionen"): the program-wide settings
// on eight pages, the function-key commands and the named filters in grids,
// the two fonts and the pane colours. It edits private copies and writes
// them into the record only on OK; Cancel leaves the record untouched.

#include "dialogs/FKeyGrid.h"
#include "dialogs/FilterGrid.h"
#include "dialogs/OptionsChecks.h"
#include "dialogs/OptionsFields.h"
#include "framework/ShortCuts.h"
#include "framework/win/Forms.h"
#include "settings/Quorvan32Globals.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TButton;
class TCheckBox;
class TFilenameEdit;
class TFont;
class TImpStringGrid;
class TKyColorButton;
class TLabel;
class TPageControl;
class TPopupMenu;
class TRadioButton;
class TXPTrackBar;

// What the dialog needs of the window it is opened over, and the system
// dialogs it calls: every member has a working default except FindOnPath.
struct TOptionsFormCalls {
    // A bare program name searched along the program's search path; empty
    // when not found.
    std::function<std::wstring(const std::wstring& name)> FindOnPath;
    // The filter text of the browse dialog ("Name (masks)|masks|...").
    std::wstring BrowseFilter;
    std::function<bool(HWND owner, TFont& font, bool fixedPitchOnly)> ChooseFont;
    std::function<bool(HWND owner, TColor& color)> ChooseColor;  // empty: the system's colour dialog
    // The browse dialog of a command cell: Name in (its start) and out.
    std::function<bool(HWND owner, std::wstring& name, const std::wstring& initialDir, const std::wstring& filter)>
        BrowseFile;
    std::function<bool(const std::wstring& name)> FileExists;
    // The don't-show-again question of a missing program.
    std::function<int(const std::wstring& text, const std::wstring& ident)> Ask;
    // A message with an OK button (the beep comes with it).
    std::function<void(const std::wstring& text)> Inform;
};

// The calls with the system's dialogs filled in where they are empty.
TOptionsFormCalls WithSystemDialogs(TOptionsFormCalls calls);

class TFormOptions : public TForm {
public:
    // Reads every value from the record (which must outlive the form).
    TFormOptions(TComponent* owner, TOptions& options, TOptionsFormCalls calls);
    ~TFormOptions() override;

    int ActivePage() const;
    void SetActivePage(int page);

    // OK: commits an open cell, checks the program paths, writes every value
    // back and closes with mrOk; stays open when the user corrects a path.
    void btnOKClick();

    // The controls by name, for those who drive the dialog.
    template <class T>
    T* Control(const std::wstring& name) const
    {
        return dynamic_cast<T*>(FindComponent(name));
    }
    TImpStringGrid* FKeysGrid() const { return fkeys_; }
    TImpStringGrid* FilterGrid() const { return filterBox_; }
    TPageControl* Pages() const { return pages_; }

private:
    void BuildPages();
    void BuildGeneral();
    void BuildDisplay();
    void BuildFileWindow();
    void BuildFileDisplay();
    void BuildPrograms();
    void BuildFontsColors();
    void BuildDragDrop();
    void BuildFilters();
    void FillFromOptions();
    void WriteToOptions();
    void UpdateEnabledStates();
    void UpdateFilterButtons();
    void FitFilterColumns();
    void ShowFontSample(TLabel& label, const TFontSetting& font);
    void ChooseFontFor(TFontSetting& font, TLabel& sample, bool fixedPitchOnly);
    void CheckClickConflict();
    void FKeysKeyDown(uint16_t& key, TShortCut shift);
    void FKeysBrowse();
    void FKeysPlaceholderMenu();
    void FKeysEndEdit(int col, int row);
    void FilterKeyDown(uint16_t& key, TShortCut shift);
    void FilterCommand(void (TFilterGridModel::*command)());
    void PageCtrlChange();

    TCheckBox* AddCheck(TWinControl* parent, const TOptionCheck& check, int x, int y, int width);
    TCheckBox* AddCheckNamed(TWinControl* parent, const wchar_t* name, int x, int& y, int width);
    std::vector<TRadioButton*> AddRadioGroup(TWinControl* parent, const TRadioGroupDef& group, int x, int y, int width);
    TLabel* AddLabel(TWinControl* parent, const std::wstring& caption, int x, int y, int width);
    TXPTrackBar* AddTrackBar(TWinControl* parent, const wchar_t* name, int x, int y, int width);
    TKyColorButton* AddColorButton(TWinControl* parent, const wchar_t* name, int x, int y);

    TOptions& options_;
    TOptionsFormCalls calls_;
    TPageControl* pages_ = nullptr;
    std::map<std::wstring, TCheckBox*> checks_;
    std::map<const TRadioGroupDef*, std::vector<TRadioButton*>> radioGroups_;
    std::vector<TRadioButton*> mouseRadios_;
    TRadioButton* rbt2FWH_ = nullptr;
    TRadioButton* rbt2FWV_ = nullptr;
    TRadioButton* rbFileWin_ = nullptr;
    TRadioButton* rbDirWin_ = nullptr;
    TRadioButton* btnShift_ = nullptr;
    TRadioButton* btnCtrl_ = nullptr;
    TCheckBox* chkUseRegistry_ = nullptr;
    TFilenameEdit* edCompareProg_ = nullptr;
    TFilenameEdit* irfanViewEdit_ = nullptr;
    TXPTrackBar* slUpdateTimer_ = nullptr;
    TXPTrackBar* slDDDirOpenDelay_ = nullptr;
    TKyColorButton* colorPicBKColor_ = nullptr;
    TKyColorButton* colorSelBk_ = nullptr;
    TKyColorButton* colorSelActive_ = nullptr;
    TKyColorButton* colorSelCompressed_ = nullptr;
    TKyColorButton* colorSelHidden_ = nullptr;
    TLabel* stdFontSample_ = nullptr;
    TLabel* textFontSample_ = nullptr;
    TImpStringGrid* fkeys_ = nullptr;
    TImpStringGrid* filterBox_ = nullptr;
    TButton* filterNew_ = nullptr;
    TButton* filterDelete_ = nullptr;
    TButton* filterUp_ = nullptr;
    TButton* filterDown_ = nullptr;
    TButton* btnOK_ = nullptr;
    TPopupMenu* fkeyPopup_ = nullptr;
    std::wstring browseInitialDir_;

    TFontSetting listFont_;
    TFontSetting textFont_;
    std::unique_ptr<TFKeyGridModel> fkeyModel_;
    std::unique_ptr<TFilterGridModel> filterModel_;
};

}  // namespace qrv
