#pragma once
// TSplitFileDialog ("Dateien aufteilen"): the part size and the target
// directory of a split; TCombineFileDialog ("Dateien zusammensetzen"): the
// files a join makes and its target directory. The caller fills the
// controls, shows the form and reads the controls when it was accepted.
// Both keep themselves on the screen when shown.

#include "framework/win/Forms.h"
#include "widgets/win/ToolEdit.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

class TButton;
class TCustomListBox;
class TImage;
class TKySpinEdit;
class TRadioButton;

// The message when OK finds no existing directory in the target field.
constexpr const wchar_t* kTargetDirMissingText = L"Das eingegebene Verzeichnis ist nicht vorhanden.";

class TSplitFileDialog : public TForm {
public:
    explicit TSplitFileDialog(TComponent* owner);

    // One radio per offered size, in the order of SplitSizeChoices.
    std::vector<TRadioButton*> rbSizes;
    TRadioButton* rbCustom = nullptr;
    TKySpinEdit* CustomSize = nullptr;  // KB
    TDirectoryEdit* TargetDir = nullptr;
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;

    // Checks the choice of that size, or the custom field with it in KB.
    void SetPartSize(uint64_t Bytes);
    // The checked choice's size, or the custom field's KB as bytes; nullopt
    // when the custom field holds no number. After an accepted OK, the size
    // as it stood when OK was pressed (the field puts a number below its
    // least back to the least when it loses the focus, as the form closes).
    std::optional<uint64_t> PartSize();

    // Shows the form; true when it was closed with an accepted OK.
    bool Execute();
    bool Accepted() const { return accepted_; }
    // OK: accepted and closed when the target is an existing directory.
    void OkClicked();

protected:
    std::wstring WindowClassName() const override { return L"TSplitFileDialog"; }
    void DoShow() override;

private:
    std::optional<uint64_t> ChosenSize();
    bool accepted_ = false;
    std::optional<uint64_t> acceptedSize_;
};

class TCombineFileDialog : public TForm {
public:
    explicit TCombineFileDialog(TComponent* owner);

    TImage* Picture = nullptr;
    TCustomListBox* FileList = nullptr;
    TDirectoryEdit* TargetDir = nullptr;
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;

    bool Execute();
    bool Accepted() const { return accepted_; }
    void OkClicked();

protected:
    std::wstring WindowClassName() const override { return L"TCombineFileDialog"; }
    void DoShow() override;

private:
    bool accepted_ = false;
};

// Moves a form that reaches beyond the screen's right or bottom edge back
// so that it ends at that edge.
void KeepFormOnScreen(TForm& Form);

}  // namespace qrv
