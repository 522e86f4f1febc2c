#include "dialogs/win/QuorListFiles.h"

#include "common/BaseUtils.h"
#include "common/TextPlaces.h"
#include "common/win/FileQueries.h"
#include "common/win/ShellNotify.h"
#include "common/win/TempFiles.h"
#include "dialogs/FileListFolders.h"
#include "dialogs/win/DSAMsgDlg.h"
#include "framework/IgnoredError.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Buttons.h"
#include "framework/win/Handles.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WaitCursor.h"
#include "framework/win/WinApi.h"
#include "panels/win/DirView.h"
#include "panels/win/DirViewSystemWin.h"
#include "panels/win/LocaleCollator.h"
#include "widgets/win/ToolEdit.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

namespace qrv {

namespace {

constexpr int kHelpListFiles = 420;
// Bytes per write: large enough that a long list takes few calls.
constexpr size_t kWriteChunk = 64 * 1024;

std::wstring NameOnly(const std::wstring& Path)
{
    const size_t slash = Path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& Path)
{
    const size_t slash = Path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : Path.substr(0, slash);
}

// The source list's entries as it shows them.
std::vector<TFileListEntry> ListEntries(TDirView& List, bool TypeNames)
{
    if (TypeNames)
        List.FetchTypeNames();
    const TDirCellOptions cells = List.CellOptions();
    const TFileTimeFormatter time = [&List](uint64_t FileTime) { return List.FormatFileTime(FileTime); };
    std::vector<TFileListEntry> entries;
    entries.reserve(static_cast<size_t>(List.ItemCount()));
    for (int i = 0; i < List.ItemCount(); ++i)
        if (const TFileRec* rec = List.GetItemData(i))
            entries.push_back(FileListEntryOf(*rec, cells, time));
    return entries;
}

// Reads subfolders with the source list's settings.
TFileListFolderReader SubFolderReader(TDirView& List, bool TypeNames)
{
    TFileListFolderSettings settings;
    settings.Mask = List.Mask();
    settings.Filter = List.Filter;
    settings.ShowDirectories = List.ShowDirectories();
    settings.HideHiddenDirs = List.HideHiddenDirs();
    settings.ShowExtension = List.ShowExtension();
    settings.FileNameDisplay = List.FileNameDisplay();
    settings.Sort = List.SortOptions();
    settings.Collator = std::make_shared<TLocaleCollator>();
    settings.Cells = List.CellOptions();
    settings.Cells.ShellFolder = false;
    // The sizes of subfolders are not scanned: they are written as unknown.
    settings.Cells.ShowSubDirSize = false;
    settings.FormatTime = [&List](uint64_t FileTime) { return List.FormatFileTime(FileTime); };
    settings.TypeNames = TypeNames;
    return MakeFileListFolderReader(WinDirSystem(), WinDirSystem(), List.Texts(), std::move(settings));
}

// Writes Bytes to a new file beside Target and puts it in Target's place;
// false with the system's error set when any step failed (the old file is
// then as it was).
bool WriteBeside(const std::wstring& Target, const std::string& Bytes)
{
    const std::wstring temp = CreateTemporaryFile(FolderOf(Target), L"qfl");
    if (temp.empty())
        return false;
    DWORD error = ERROR_SUCCESS;
    {
        const TFileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file)
            error = GetLastError();
        for (size_t at = 0; file && error == ERROR_SUCCESS && at < Bytes.size();) {
            const auto length = static_cast<DWORD>(std::min(kWriteChunk, Bytes.size() - at));
            DWORD written = 0;
            if (!WriteFile(file.Get(), Bytes.data() + at, length, &written, nullptr) || written != length)
                error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
            at += written;
        }
    }
    if (error == ERROR_SUCCESS && MoveFileExW(temp.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    if (error == ERROR_SUCCESS)
        error = GetLastError();
    if (!DeleteFileW(temp.c_str()))
        TraceIgnoredFailure(L"deleting the unfinished file list", GetLastError());
    SetLastError(error);
    return false;
}

TCheckBox* AddCheck(TForm* Form, const std::wstring& Caption, int X, int Y, int Width)
{
    auto* check = new TCheckBox(Form);
    check->SetParent(Form);
    check->SetCaption(Caption);
    check->SetBounds(X, Y, Width, 20);
    return check;
}

TButton* AddButton(TForm* Form, const std::wstring& Caption, int X, int Y)
{
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption(Caption);
    button->SetBounds(X, Y, 84, 26);
    return button;
}

}  // namespace

std::wstring FileListFullName(const std::wstring& Folder, const std::wstring& Name)
{
    std::wstring path = Name;
    const bool drive = Name.size() >= 2 && Name[1] == L':';
    const bool unc = Name.starts_with(L"\\\\");
    if (!drive && !unc) {
        if (Name.starts_with(L"\\"))
            path = Folder.substr(0, std::min<size_t>(2, Folder.size())) + Name;
        else
            path = AddBackslash(Folder) + Name;
    }
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full.empty() ? path : full;
}

bool WriteFileList(const TFileListJob& Job, const TFileListOutput& Output, std::wstring& FullName)
{
    if (!Job.Source)
        return false;
    TDirView& list = *Job.Source;
    FullName = FileListFullName(list.GetPath(), Job.FileName);
    if (FileExists(FullName) && Output.Ask &&
        Output.Ask(FillPlaces(kFileListOverwriteText, {NameOnly(FullName)}), TMsgDlgType::mtConfirmation,
                   mbYes | mbNo | mbAbort) != mrYes)
        return false;

    std::string bytes;
    {
        TWaitCursor hourglass;
        const TFileListChoices& choices = Job.Choices;
        const std::vector<TFileListEntry> entries = ListEntries(list, choices.Type);
        TFileListSizeStyle style;
        style.KiloBytes = Job.KiloBytes;
        style.ThousandSeparator = list.CellOptions().ThousandSeparator;
        const TFileListFolderReader reader = choices.SubDirs ? SubFolderReader(list, choices.Type) : nullptr;
        bytes = FileListBytes(FileListText(list.GetPath(), entries, choices, style, reader), SystemAnsiEncoding());
        if (!WriteBeside(FullName, bytes)) {
            const DWORD error = GetLastError();
            if (Output.Ask)
                Output.Ask(FillPlaces(kFileListCreateErrorText, {FullName, SysErrorMessage(error)}),
                           TMsgDlgType::mtError, mbOK);
            return false;
        }
    }
    NotifyShell(TShellChange::FileCreated, FullName, TShellNoticeWait::FlushNoWait);
    if (Job.Choices.Show) {
        if (Output.StartEditor)
            Output.StartEditor(L"\"" + FullName + L"\"");
    } else if (Output.ReportSaved) {
        Output.ReportSaved(FillPlaces(kFileListSavedText, {FullName}));
    }
    return true;
}

TFileListOutput SystemFileListOutput(TForm* Owner)
{
    TFileListOutput output;
    output.Ask = [](const std::wstring& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
        return MessageDlg(Text, Kind, Buttons, 0);
    };
    output.StartEditor = [Owner](const std::wstring& Parameters) {
        const HWND owner = Owner && Owner->HandleAllocated() ? Owner->Handle() : nullptr;
        const auto result = reinterpret_cast<intptr_t>(
            ShellExecuteW(owner, L"open", L"notepad.exe", Parameters.c_str(), nullptr, SW_SHOWNORMAL));
        if (result <= 32)
            TraceIgnoredFailure(L"starting the editor for the file list", static_cast<DWORD>(result));
    };
    output.ReportSaved = [](const std::wstring& Text) {
        DSAMessageDlg(Text, TMsgDlgType::mtInformation, mbOK, mrCancel, L"dirlist created");
    };
    return output;
}

// ---- The dialog ---------------------------------------------------------------

TListFileDlg::TListFileDlg(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Dateiliste erstellen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(460, 330);
    HelpContext = kHelpListFiles;

    auto* columns = new TGroupBox(this);
    columns->SetParent(this);
    columns->SetCaption(L"Spalten");
    columns->SetBounds(12, 8, 200, 172);
    const auto column = [this, columns](const std::wstring& Caption, int Y) {
        TCheckBox* check = AddCheck(this, Caption, 12, Y, 176);
        check->SetParent(columns);
        check->OnClick = [this](TComponent*) { UpdateOkButton(); };
        return check;
    };
    chkName = column(L"&Name", 20);
    chkType = column(L"&Typ", 44);
    chksize = column(L"&Größe", 68);
    chkDate = column(L"Ge&ändert am", 92);
    chkAttr = column(L"Attr&ibute", 116);
    chkPath = column(L"Datei&pfad", 140);

    chkColumnHeader = AddCheck(this, L"Mit &Spaltenüberschrift", 228, 14, 220);
    chkExec = AddCheck(this, L"Ausgabedatei an&zeigen", 228, 38, 220);
    chkDirTitle = AddCheck(this, L"&Überschrift mit Verzeichnispfad", 228, 62, 220);
    rbAllFiles = new TRadioButton(this);
    rbAllFiles->SetParent(this);
    rbAllFiles->GroupStart = true;
    rbAllFiles->SetCaption(L"&Alle Dateien ausgeben");
    rbAllFiles->SetBounds(228, 94, 220, 20);
    rbSelectedFiles = new TRadioButton(this);
    rbSelectedFiles->SetParent(this);
    rbSelectedFiles->SetCaption(L"Nur &markierte Dateien ausgeben");
    rbSelectedFiles->SetBounds(228, 118, 220, 20);
    chkSubDirs = AddCheck(this, L"Mit Unter&verzeichnissen", 228, 150, 220);
    chkSubDirs->OnClick = [this](TComponent*) { SubDirsClicked(); };

    auto* nameLabel = new TLabel(this);
    nameLabel->ShowAccelChar = true;
    nameLabel->SetParent(this);
    nameLabel->SetCaption(L"&Dateiname:");
    nameLabel->SetBounds(12, 192, 200, 16);
    edFileName = new TFilenameEdit(this);
    edFileName->SetParent(this);
    edFileName->SetBounds(12, 210, 436, 22);
    edFileName->DefaultExt = L"txt";
    edFileName->Filter = L"Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*";
    edFileName->DialogTitle = L"Dateiliste speichern";
    edFileName->DialogKind = TFileDialogKind::dkSave;
    edFileName->OnChange = [this](TComponent*) { UpdateOkButton(); };

    cbFileFormat = new TComboBox(this);
    cbFileFormat->SetParent(this);
    cbFileFormat->SetStyle(TComboBoxStyle::csDropDownList);
    cbFileFormat->SetBounds(12, 244, 436, 22);
    cbFileFormat->Items().Add(L"Durch Leerzeichen getrennte Spalten");
    cbFileFormat->Items().Add(L"Durch Tabulator getrennte Spalten");
    cbFileFormat->Items().Add(L"Durch Semikolon getrennte Spalten (CSV)");
    cbFileFormat->OnChange = [this](TComponent*) { FormatChanged(); };

    const int right = ClientWidth() - 12;
    OkButton = AddButton(this, L"&OK", right - 3 * 84 - 12, 290);
    OkButton->SetDefault(true);
    OkButton->OnClick = [this](TComponent*) { OkClicked(); };
    CancelButton = AddButton(this, L"A&bbrechen", right - 2 * 84 - 6, 290);
    CancelButton->Cancel = true;
    CancelButton->ModalResult = mrCancel;
    HelpButton = AddButton(this, L"&Hilfe", right - 84, 290);
    HelpButton->OnClick = [this](TComponent*) {
        if (Application && Application->OnHelp)
            Application->OnHelp(static_cast<DWORD>(HelpContext));
    };
    Output = SystemFileListOutput(this);
}

TFileListSource TListFileDlg::SourceFacts() const
{
    TFileListSource source;
    source.FileSystemNode = FileSystemNode;
    if (Source) {
        source.Marked = Source->SelCount();
        source.SubDirsAllowed = !Source->IsVirtual() && !Source->FullPathItems() && !Source->IsRecycleBinFolder();
    }
    return source;
}

void TListFileDlg::DoShow()
{
    written_ = false;
    TFileListChoices choices = Choices;
    const TFileListControlStates states = FileListShowStates(SourceFacts(), choices);
    chkName->SetChecked(choices.Name);
    const std::pair<TCheckBox*, bool> columns[] = {{chkType, choices.Type},
                                                   {chksize, choices.Size},
                                                   {chkDate, choices.Date},
                                                   {chkAttr, choices.Attributes},
                                                   {chkPath, choices.Path}};
    for (const auto& [box, on] : columns) {
        box->SetChecked(on);
        box->SetEnabled(states.ColumnsEnabled);
    }
    chkColumnHeader->SetChecked(choices.Header);
    chkExec->SetChecked(choices.Show);
    chkDirTitle->SetChecked(choices.Title);
    chkSubDirs->SetChecked(choices.SubDirs);
    chkSubDirs->SetEnabled(states.SubDirsEnabled);
    rbAllFiles->SetChecked(states.AllFiles);
    rbSelectedFiles->SetChecked(states.SelectedFiles);
    rbSelectedFiles->SetEnabled(states.SelectedFilesEnabled);
    cbFileFormat->SetItemIndex(static_cast<int>(choices.Layout));
    edFileName->DefaultExt = FileListDefaultExt(choices.Layout);
    // Outside the file system the file goes to the program's folder.
    std::wstring name = FileName;
    std::wstring folder = Source ? Source->GetPath() : std::wstring();
    if (!FileSystemNode) {
        folder = ProgramDir;
        name = AddBackslash(ProgramDir) + NameOnly(FileName);
    }
    edFileName->InitialDir = folder;
    edFileName->SetText(name);
    UpdateOkButton();
    TForm::DoShow();
}

TFileListChoices TListFileDlg::ReadChoices()
{
    TFileListChoices c;
    c.Name = chkName->Checked();
    c.Type = chkType->Checked();
    c.Size = chksize->Checked();
    c.Date = chkDate->Checked();
    c.Attributes = chkAttr->Checked();
    c.Path = chkPath->Checked();
    c.Header = chkColumnHeader->Checked();
    c.Show = chkExec->Checked();
    c.Title = chkDirTitle->Checked();
    c.SubDirs = chkSubDirs->Checked();
    c.Layout = static_cast<TFileListLayout>(std::clamp(cbFileFormat->ItemIndex(), 0, 2));
    c.SelectedOnly = rbSelectedFiles->Checked() && !rbAllFiles->Checked();
    return c;
}

void TListFileDlg::UpdateOkButton()
{
    OkButton->SetEnabled(FileListOkEnabled(ReadChoices(), edFileName->Text()));
}

void TListFileDlg::SubDirsClicked()
{
    TFileListControlStates states;
    FileListSubDirsChanged(SourceFacts(), chkSubDirs->Checked(), states);
    if (chkSubDirs->Checked())
        rbAllFiles->SetChecked(true);
    rbSelectedFiles->SetEnabled(states.SelectedFilesEnabled);
}

void TListFileDlg::FormatChanged()
{
    edFileName->DefaultExt = FileListDefaultExt(static_cast<TFileListLayout>(std::max(0, cbFileFormat->ItemIndex())));
}

bool TListFileDlg::Execute()
{
    return ShowModal() == mrOk && written_;
}

void TListFileDlg::OkClicked()
{
    const TFileListChoices choices = ReadChoices();
    const std::wstring name = edFileName->Text();
    if (!FileListOkEnabled(choices, name))
        return;
    TFileListJob job;
    job.Source = Source;
    job.Choices = choices;
    job.FileName = name;
    job.KiloBytes = KiloBytes;
    std::wstring fullName;
    // Before the report, the dialog goes out of the way.
    TFileListOutput output = Output;
    if (output.ReportSaved)
        output.ReportSaved = [this, report = Output.ReportSaved](const std::wstring& Text) {
            Hide();
            report(Text);
        };
    if (!WriteFileList(job, output, fullName))
        return;
    written_ = true;
    Choices = choices;
    FileName = name;
    SetModalResult(mrOk);
}

}  // namespace qrv
