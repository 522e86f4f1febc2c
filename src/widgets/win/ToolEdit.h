#pragma once
// Edits with a small button at their right end: TCustomComboEdit, and the
// file-name and directory edits whose button opens the system's file dialog
// or folder browser.

#include "framework/SysUtils.h"
#include "framework/win/StdCtrls.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv {

QRV_DECLARE_EXCEPTION(EComboEditError, Exception);

class TXPSpeedButton;

class TCustomComboEdit : public TEdit {
public:
    explicit TCustomComboEdit(TComponent* owner);

    TXPSpeedButton* Button() const { return button_; }
    // 0 or 1 hides the button.
    int ButtonWidth() const;
    void SetButtonWidth(int width);
    // The button (or Alt+Down) was used: OnButtonClick, then the edit's own
    // action. Nothing happens while the edit is read-only.
    void ButtonClicked();

    TNotifyEvent OnButtonClick;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    // What the button does after OnButtonClick (the dialogs).
    virtual void DoButtonClick() {}
    // Runs a dialog with the system's critical-error boxes off.
    static bool WithoutErrorBoxes(const std::function<bool()>& dialog);

private:
    void UpdateMargin();
    TXPSpeedButton* button_;
};

// Name and Action may be changed: Action false skips the built-in dialog
// (before) or keeps the text (after).
using TExecOpenDialogEvent = std::function<void(TComponent* Sender, std::wstring& Name, bool& Action)>;

class TFileDirEdit : public TCustomComboEdit {
public:
    using TCustomComboEdit::TCustomComboEdit;

    // Accept files dropped from the shell.
    bool AcceptFiles() const { return acceptFiles_; }
    void SetAcceptFiles(bool accept);

    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;
    TNotifyEvent OnDropFiles;

    // The text's path (each of them with several) in long or short names;
    // empty when a path does not exist.
    virtual std::wstring LongName() = 0;
    virtual std::wstring ShortName() = 0;
    // The name the file system reports for the last component of a path:
    // its long (or short) name, falling back to the other; empty when the
    // path does not exist.
    static std::wstring ReportedName(const std::wstring& path, bool longName);

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    // Whether a drop or the dialog takes several names.
    virtual bool MultipleSelection() const = 0;
    // Before the names of a drop are taken.
    virtual void DroppedNamesBegin() {}
    // Takes one dropped name; only the first unless MultipleSelection.
    virtual void AcceptDroppedName(const std::wstring& name, bool first) = 0;

private:
    bool acceptFiles_ = false;
};

enum class TFileDialogKind { dkOpen, dkSave };

class TFilenameEdit : public TFileDirEdit {
public:
    explicit TFilenameEdit(TComponent* owner);

    // Reading gives the text when a file of that name exists, otherwise the
    // first item of the text read as a command line. Writing an invalid name
    // raises EComboEditError; a name with a blank is put in double quotes.
    std::wstring FileName();
    void SetFileName(const std::wstring& name);
    std::wstring InitialDir;
    std::wstring DefaultExt;
    // Pairs of description and masks separated by "|".
    std::wstring Filter = L"All files (*.*)|*.*";
    int FilterIndex = 1;
    std::wstring DialogTitle = L"Browse";
    TFileDialogKind DialogKind = TFileDialogKind::dkOpen;
    // The dialog and drops take several files; they are listed in
    // SelectedFiles (the first also becomes the text).
    bool MultipleFiles = false;
    std::vector<std::wstring> SelectedFiles;

    std::wstring LongName() override;
    std::wstring ShortName() override;

protected:
    void DoButtonClick() override;
    bool MultipleSelection() const override { return MultipleFiles; }
    void DroppedNamesBegin() override;
    void AcceptDroppedName(const std::wstring& name, bool first) override;

private:
    std::wstring ReducedName(const std::wstring& text) const;
};

class TDirectoryEdit : public TFileDirEdit {
public:
    explicit TDirectoryEdit(TComponent* owner);

    std::wstring InitialDir;
    // The text above the folder tree of the browser.
    std::wstring DialogText;
    // Several directories separated by ";": a choice is put in front.
    bool MultipleDirs = false;
    // The folder the browser opens at: the text, or InitialDir for an
    // empty text; the root of the drive ("\\") when that is no folder.
    static std::wstring DialogStartFolder(const std::wstring& text, const std::wstring& initialDir);
    // Shown by the browser's help button (0: no button).
    DWORD HelpContext = 0;

    std::wstring LongName() override;
    std::wstring ShortName() override;

protected:
    void DoButtonClick() override;
    bool MultipleSelection() const override { return MultipleDirs; }
    void AcceptDroppedName(const std::wstring& name, bool first) override;
};

}  // namespace qrv
