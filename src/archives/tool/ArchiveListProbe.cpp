// ArchiveListProbe: shows an archive in the archive list view and prints
// each row's five texts as the control hands them out, then the messages
// the readers reported. For developers and scripted checks.
//   ArchiveListProbe ARCHIVE [--sort COL] [--desc] [--mask M] [--shot F.bmp]
//                    [--commands] [--no-shell] [--interactive] [--drop-pane DIR]
// COL: 0 name, 1 size, 2 type, 3 changed, 4 path. --shot saves a picture of
// the window. Exit code 0 when the archive opened.
// --commands reads commands from stdin, one a line, and prints the view's
// events as they come (see RunCommand). --no-shell opens no program for an
// opened entry but prints the copy's path. --interactive shows the window
// and runs it for a user (the popup, the dialogs, drags), printing events;
// --drop-pane adds a window that copies what is dropped on it into DIR.

#include "archives/win/ArchiveTempFolder.h"
#include "archives/win/KyZipLV.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/FileQueries.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WindowPicture.h"

#include <windows.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace qrv;

namespace {

void Print(const std::wstring& line)
{
    const std::string utf8 = WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring CellOf(HWND list, int item, int column)
{
    wchar_t buffer[1024] = L"";
    LVITEMW lvi{};
    lvi.iSubItem = column;
    lvi.pszText = buffer;
    lvi.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
    return buffer;
}

// The probe's answers to the view's questions, queued by commands.
struct TAnswers {
    std::deque<std::wstring> Passwords;  // "-" cancels
    std::deque<std::wstring> WriteBack;  // yes, no, cancel
    bool Overwrite = true;
};

std::vector<std::wstring> Words(const std::wstring& line)
{
    std::wistringstream in(line);
    std::vector<std::wstring> words;
    for (std::wstring word; in >> word;)
        words.push_back(word);
    return words;
}

// Selects the entries of the given stored names (every entry when none).
bool SelectNames(TKyZipLV& view, const std::vector<std::wstring>& names)
{
    view.SetSelected(-1, false);
    if (names.empty()) {
        view.SelectAll();
        return true;
    }
    bool all = true;
    for (const std::wstring& name : names) {
        int found = -1;
        for (int row = 0; row < view.Items().Count() && found < 0; ++row)
            if (UpperCase(view.Items().EntryOf(view.Items()[row]).StoredName) == UpperCase(name))
                found = row;
        if (found < 0) {
            Print(L"no entry: " + name);
            all = false;
            continue;
        }
        view.SetSelected(found, true);
        view.SetItemFocused(found);
    }
    return all;
}

void PrintRows(TKyZipLV& view)
{
    const HWND list = view.Handle();
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line;
        for (int column = 0; column < ZipColumnCount; ++column)
            line += (column ? L"\t" : L"") + CellOf(list, i, column);
        Print(line);
    }
    Print(L"entries: " + std::to_wstring(count) + L", bytes: " + std::to_wstring(view.Items().TotalSize()));
}

void PrintResult(bool ok)
{
    Print(ok ? L"result: ok" : L"result: failed");
}

// One command; false ends the loop.
//   extract DIR [NAMES]   with stored paths; flat DIR [NAMES]: without
//   test | add PATHS | delete NAMES | open NAME | properties NAME
//   password P (queued; "-" cancels) | writeback [yes|no|cancel...]
//   overwrite yes|no | select NAMES | list | temp | abort
//   openarchive F | close | shot F.bmp | quit
bool RunCommand(TKyZipLV& view, TAnswers& answers, const std::wstring& line)
{
    std::vector<std::wstring> words = Words(line);
    if (words.empty())
        return true;
    const std::wstring command = words.front();
    words.erase(words.begin());
    Print(L"> " + line);
    try {
        if (command == L"quit") {
            return false;
        } else if ((command == L"extract" || command == L"flat") && !words.empty()) {
            const std::wstring target = words.front();
            words.erase(words.begin());
            SelectNames(view, words);
            PrintResult(view.ExtractSelected(target, command == L"extract", false));
        } else if (command == L"test") {
            PrintResult(view.TestFiles({L"*.*"}));
        } else if (command == L"add") {
            std::vector<std::wstring> files, folders;
            for (const std::wstring& path : words)
                (DirExists(path) ? folders : files).push_back(path);
            bool ok = true;
            if (!files.empty())
                ok = view.AddFiles(files) && ok;
            if (!folders.empty())
                ok = view.AddDirectories(folders, true) && ok;
            PrintResult(ok);
        } else if (command == L"delete") {
            if (SelectNames(view, words)) {
                const int before = view.Items().Count();
                view.DeleteSelected();
                PrintResult(view.Items().Count() < before);
            }
        } else if (command == L"open" && words.size() == 1) {
            if (SelectNames(view, words)) {
                view.OpenItem();
                PrintResult(!view.LastTempCopy().empty());
            }
        } else if (command == L"properties" && words.size() == 1) {
            if (SelectNames(view, words))
                view.ShowItemProperties();
        } else if (command == L"password" && words.size() == 1) {
            answers.Passwords.push_back(words.front());
        } else if (command == L"writeback") {
            for (const std::wstring& answer : words)
                answers.WriteBack.push_back(answer);
            view.WriteBackChangedFiles(0);
            Print(L"records: " + std::to_wstring(view.WriteBackRecords().size()));
        } else if (command == L"overwrite" && words.size() == 1) {
            answers.Overwrite = words.front() == L"yes";
        } else if (command == L"select") {
            SelectNames(view, words);
        } else if (command == L"list") {
            PrintRows(view);
        } else if (command == L"temp") {
            Print(L"temp: " + view.TempFolder().Folder());
        } else if (command == L"abort") {
            view.AbortOperation(true);
        } else if (command == L"openarchive" && words.size() == 1) {
            view.OpenArchive(words.front());
            Print(L"entries: " + std::to_wstring(view.Items().Count()));
        } else if (command == L"close") {
            view.OpenArchive(L"");
        } else if (command == L"shot" && words.size() == 1) {
            if (!ShowAndSaveWindowPicture(GetAncestor(view.Handle(), GA_ROOT), words.front()))
                Print(L"error: the picture could not be saved");
        } else {
            Print(L"unknown command: " + line);
        }
    } catch (const Exception& e) {
        Print(L"error: " + e.Message());
    }
    return true;
}

// The folder question for a user: a small form with the folder and the
// structure check box.
void AskFolder(TSelDirParams& params, const TSelDirConsts& consts)
{
    TForm form(nullptr);
    form.SetCaption(consts.Caption);
    form.SetBorderStyle(TFormBorderStyle::bsDialog);
    form.SetPosition(TPosition::poScreenCenter);
    form.SetBounds(0, 0, 440, 150);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(12, 12, 410, 24);
    edit->SetText(params.Directory);
    auto* check = new TCheckBox(&form);
    check->SetCaption(consts.CheckCaption);
    check->SetParent(&form);
    check->SetBounds(12, 44, 300, 20);
    check->SetChecked(params.Checked);
    check->SetVisible(consts.CheckVisible);
    auto* ok = new TButton(&form);
    ok->SetCaption(L"&OK");
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
    ok->SetParent(&form);
    ok->SetBounds(230, 76, 92, 28);
    auto* cancel = new TButton(&form);
    cancel->SetCaption(L"&Abbrechen");
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;
    cancel->SetParent(&form);
    cancel->SetBounds(330, 76, 92, 28);
    params.Canceled = form.ShowModal() != mrOk;
    if (!params.Canceled) {
        params.Directory = edit->Text();
        params.Checked = check->Checked();
    }
}

// A window that copies the files and folders dropped on it into a folder.
class TDropPane : public TForm {
public:
    TDropPane(const std::wstring& target) : TForm(nullptr), target_(target)
    {
        SetCaption(L"Ablage: " + target);
        SetBounds(780, 0, 300, 300);
        HandleNeeded();
        drop_ = new TDragDropFilesEx(this);
        drop_->SetDragDropControl(this);
        drop_->SetTargetEffects(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        drop_->OnDragEnter = [](TDragDrop*, IDataObject*, DWORD, POINT, DWORD& effect, bool& accept) {
            Print(L"pane enter: " + std::to_wstring(effect) + (accept ? L" accepted" : L" refused"));
        };
        drop_->OnProcessDropped = [this](TDragDrop*, DWORD, POINT, DWORD) {
            namespace fs = std::filesystem;
            for (int i = 0; i < drop_->FileList.Count(); ++i) {
                const std::wstring source = drop_->FileList.GetItem(i).Name;
                std::error_code ec;
                fs::copy(FsPath(source), FsPath(AddBackslash(target_) + ExtractFileName(source)),
                         fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
                Print(L"dropped: " + source + (ec ? L" (copy failed)" : L""));
            }
            drop_->ClearFileList();
        };
    }

private:
    std::wstring target_;
    TDragDropFilesEx* drop_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring archive, mask, shot, dropPane;
    int sortColumn = 0;
    bool descending = false, commands = false, noShell = false, interactive = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--sort" && i + 1 < argc)
            sortColumn = _wtoi(argv[++i]);
        else if (arg == L"--desc")
            descending = true;
        else if (arg == L"--mask" && i + 1 < argc)
            mask = argv[++i];
        else if (arg == L"--shot" && i + 1 < argc)
            shot = argv[++i];
        else if (arg == L"--commands")
            commands = true;
        else if (arg == L"--no-shell")
            noShell = true;
        else if (arg == L"--interactive")
            interactive = true;
        else if (arg == L"--drop-pane" && i + 1 < argc)
            dropPane = argv[++i];
        else if (archive.empty() && arg.rfind(L"--", 0) != 0)
            archive = arg;
        else {
            Print(L"unknown argument: " + arg);
            return 2;
        }
    }
    if (archive.empty()) {
        Print(L"usage: ArchiveListProbe ARCHIVE [--sort COL] [--desc] [--mask M] [--shot F.bmp]");
        return 2;
    }

    // Drag and drop as in the program.
    if (FAILED(OleInitialize(nullptr)))
        Print(L"error: OLE did not start (no drag and drop)");
    // The application object that modal dialogs and the message loop use.
    std::unique_ptr<TApplication> application;
    if (!Application) {
        application = std::make_unique<TApplication>();
        application->Initialize();
    }
    TForm form(nullptr);
    form.SetCaption(L"ArchiveListProbe");
    form.SetBounds(0, 0, 760, 400);
    auto* view = new TKyZipLV(&form);
    view->SetParent(&form);
    view->SetAlign(TAlign::alClient);
    form.HandleNeeded();
    view->SetDLLDirectory(ExtractFilePath(argv[0]));
    view->SetSortColumn(sortColumn);
    view->SetSortAscending(!descending);
    if (!mask.empty())
        view->SetMask(mask);
    TAnswers answers;
    if (commands || interactive) {
        // Every event, as it comes.
        view->OnMessage = [](TComponent*, int code, const std::wstring& text) {
            Print(L"event message: " + std::to_wstring(code) + L" " + text);
        };
        view->OnStartExtract = [](TComponent*, int total) { Print(L"event start: " + std::to_wstring(total)); };
        view->OnProgress = [](TComponent*, int done) { Print(L"event progress: " + std::to_wstring(done)); };
        view->OnEndExtract = [](TComponent*) { Print(L"event end"); };
        view->OnDirUpdate = [](TComponent*) { Print(L"event dirupdate"); };
        view->OnCRC32Error = [](TComponent*, const std::wstring& file, uint32_t, uint32_t, bool& doExtract) {
            Print(L"event crc: " + file);
            doExtract = false;
        };
        view->OnDeleteFiles = [](TComponent*, bool&) { Print(L"event delete"); };
        view->OnDDDragDetect = [](TComponent*) { Print(L"event dragdetect"); };
        view->OnDDQueryContinueDrag = [](TComponent*, bool, uint32_t, HRESULT& result) {
            if (result != S_OK)
                Print(L"event dragend: " + std::wstring(result == 0x00040100 ? L"drop" : L"cancel"));
        };
        view->OnDDProcessDropped = [](TComponent*, DWORD, POINT, DWORD) { Print(L"event dropped"); };
        view->OnSelDir = [interactive](TComponent*, TSelDirParams& params, const TSelDirConsts& consts) {
            Print(L"event seldir: " + consts.Caption);
            if (interactive)
                AskFolder(params, consts);
            else
                params.Canceled = true;
        };
    }
    if (commands) {
        view->ConfirmOverwrite = true;
        view->OnOverwrite = [&answers](TComponent*, const std::wstring& dir, const std::wstring& file, int64_t size,
                                       uint32_t, bool, bool& doOverwrite) {
            Print(L"event overwrite: " + dir + L" " + file + L" " + std::to_wstring(size));
            doOverwrite = answers.Overwrite;
        };
        view->PasswordPrompt = [&answers](const std::wstring& file) {
            Print(L"event password: " + file);
            if (answers.Passwords.empty())
                return std::wstring();
            const std::wstring password = answers.Passwords.front();
            answers.Passwords.pop_front();
            return password == L"-" ? std::wstring() : password;
        };
        view->WriteBackPrompt = [&answers](const std::wstring& text, int) {
            Print(L"event question: " + text);
            if (answers.WriteBack.empty())
                return IDCANCEL;
            const std::wstring answer = answers.WriteBack.front();
            answers.WriteBack.pop_front();
            return answer == L"yes" ? IDYES : answer == L"no" ? IDNO : IDCANCEL;
        };
        // No box waits for a user: the component's texts are events too.
        view->Zipper().AskUser = nullptr;
    }
    if (noShell)
        view->ShellOpen = [](const std::wstring& path) {
            Print(L"opened: " + path);
            return true;
        };

    int result = 0;
    try {
        view->OpenArchive(archive);
    } catch (const Exception& e) {
        Print(L"error: " + e.Message());
        result = 1;
    }
    PrintRows(*view);
    for (int i = 0; i < view->Messages().Count(); ++i)
        Print(L"message: " + view->Messages()[i]);
    if (commands) {
        form.Show();
        for (std::string line; std::getline(std::cin, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!RunCommand(*view, answers, Utf8ToWide(line)))
                break;
        }
    }
    std::unique_ptr<TDropPane> pane;
    if (!dropPane.empty()) {
        pane = std::make_unique<TDropPane>(dropPane);
        pane->Show();
        // Beside the list: a form's first showing takes the system's default place.
        SetWindowPos(pane->Handle(), nullptr, 780, 0, 300, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (interactive) {
        form.OnClose = [](TComponent*, TCloseAction&) { Application->Terminate(); };
        form.OnDestroy = [](TComponent*) { Application->Terminate(); };
        // As the program does: coming back to the window offers the
        // changed copies (posted, so the activation itself is over first).
        form.OnActivate = [&form](TComponent*) { PostMessageW(form.Handle(), WM_APP + 68, 0, 0); };
        Application->OnMessage = [view](MSG& msg) {
            if (msg.message != WM_APP + 68)
                return false;
            view->WriteBackChangedFiles(0);
            return true;
        };
        form.Show();
        while (!Application->Terminated())
            Application->HandleMessage();
    }

    if (!shot.empty()) {
        form.Show();
        if (!ShowAndSaveWindowPicture(form.Handle(), shot)) {
            Print(L"error: the picture could not be saved");
            result = 1;
        }
    }
    return result;
}
