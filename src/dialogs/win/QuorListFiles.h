#pragma once
// TListFileDlg ("Dateiliste erstellen"): writes the entries of a directory
// list, and on request of all its subfolders, to a text file in one of
// three layouts (dialogs/FileListText.h), then opens the file in the
// editor or says where it went. The caller sets the source list and the
// remembered choices, shows the form and, when it was accepted, keeps the
// choices. Everything happens on OK; a failure leaves the dialog open.

#include "dialogs/FileListText.h"
#include "framework/win/Forms.h"
#include "framework/win/MessageDialog.h"

#include <functional>
#include <string>

namespace qrv {

class TButton;
class TCheckBox;
class TComboBox;
class TDirView;
class TFilenameEdit;
class TRadioButton;

// What writing a file list asks of the program; tests record all three.
struct TFileListOutput {
    // A question or report: the button pressed.
    std::function<int(const std::wstring& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons)> Ask;
    // Opens the written file: "notepad.exe" with Parameters (the quoted name).
    std::function<void(const std::wstring& Parameters)> StartEditor;
    // "Die Verzeichnisliste wurde als Datei ... gespeichert." (a box the user
    // may switch off).
    std::function<void(const std::wstring& Text)> ReportSaved;
};

// What the file list is made of.
struct TFileListJob {
    TDirView* Source = nullptr;
    TFileListChoices Choices;
    std::wstring FileName;   // as typed: relative names are taken in the source's folder
    bool KiloBytes = false;  // sizes in KB, as the first file list shows them
};

// The full name of Name, a relative one taken in Folder.
std::wstring FileListFullName(const std::wstring& Folder, const std::wstring& Name);

// Writes the file: asks before replacing an existing one, writes beside it
// and replaces it only when all was written, tells the shell, then opens or
// reports it. False when nothing was written (declined, or an error that
// was reported); FullName receives the file's full name.
bool WriteFileList(const TFileListJob& Job, const TFileListOutput& Output, std::wstring& FullName);

// The system's side of the output: message boxes owned by Owner, the editor
// started through the shell, the don't-show-again box "dirlist created".
TFileListOutput SystemFileListOutput(TForm* Owner);

class TListFileDlg : public TForm {
public:
    explicit TListFileDlg(TComponent* owner);

    // Set before Execute: the list to write, the choices and file name to
    // start with, whether the tree's selection is a file-system folder, the
    // program's folder (the file goes there otherwise), sizes in KB.
    TDirView* Source = nullptr;
    TFileListChoices Choices;
    std::wstring FileName = L"Dateiliste.txt";
    bool FileSystemNode = true;
    std::wstring ProgramDir;
    bool KiloBytes = false;
    TFileListOutput Output;

    // Shows the form; true when a file was written. Choices and FileName
    // then hold what was chosen.
    bool Execute();
    // OK: writes the file; closes the form when it was written.
    void OkClicked();

    // NOLINTBEGIN(readability-identifier-naming): the names its callers know
    TCheckBox* chkName = nullptr;
    TCheckBox* chkType = nullptr;
    TCheckBox* chksize = nullptr;
    TCheckBox* chkDate = nullptr;
    TCheckBox* chkAttr = nullptr;
    TCheckBox* chkPath = nullptr;
    TFilenameEdit* edFileName = nullptr;
    TComboBox* cbFileFormat = nullptr;
    TCheckBox* chkColumnHeader = nullptr;
    TCheckBox* chkExec = nullptr;
    TCheckBox* chkDirTitle = nullptr;
    TRadioButton* rbAllFiles = nullptr;
    TRadioButton* rbSelectedFiles = nullptr;
    TCheckBox* chkSubDirs = nullptr;
    // NOLINTEND(readability-identifier-naming)
    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;
    TButton* HelpButton = nullptr;

protected:
    std::wstring WindowClassName() const override { return L"TListFileDlg"; }
    void DoShow() override;

private:
    TFileListChoices ReadChoices();
    TFileListSource SourceFacts() const;
    void UpdateOkButton();
    void SubDirsClicked();
    void FormatChanged();
    bool written_ = false;
};

}  // namespace qrv
