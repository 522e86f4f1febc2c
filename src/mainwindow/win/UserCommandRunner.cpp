#include "mainwindow/win/UserCommandRunner.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/ShellErrors.h"
#include "mainwindow/StartupArgs.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

namespace qrv {

namespace {

constexpr uint16_t kKeyF1 = VK_F1;
// A day in file-time units (100 ns).
constexpr uint64_t kStaleAge = 24ULL * 3600 * 10'000'000;

std::wstring Formatted(const wchar_t* Pattern, unsigned Number)
{
    std::wstring text = Pattern;
    text.replace(text.find(L"%u"), 2, std::to_wstring(Number));
    return text;
}

// The text in a code page of the system, without best-fit substitutes;
// nullopt when it cannot hold it.
std::optional<std::string> ExactBytes(const TCodePageEncoding& Encoding, const std::wstring& Text)
{
    std::string bytes;
    size_t badIndex = 0;
    if (!Encoding.TryGetBytes(Text, bytes, badIndex))
        return std::nullopt;
    return bytes;
}

// The text in the system's DOS code page.
std::optional<std::string> ToOemBytes(const std::wstring& Text)
{
    return ExactBytes(SystemOemEncoding(), Text);
}

std::optional<std::string> ToAnsiBytes(const std::wstring& Text)
{
    return ExactBytes(SystemAnsiEncoding(), Text);
}

std::string ToUtf8(const std::wstring& Text)
{
    if (Text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool VariableDefined(const std::wstring& Name)
{
    SetLastError(ERROR_SUCCESS);
    return GetEnvironmentVariableW(Name.c_str(), nullptr, 0) > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

// What the batch file passes on unchanged: the DOS code page holds it and
// the inner "/c" finds no variable in it.
bool FitsBatch(const std::wstring& Value)
{
    return ToOemBytes(Value).has_value() && !HoldsDefinedVariable(Value, VariableDefined);
}

[[nodiscard]] bool WriteWholeFile(const std::wstring& Name, const std::string& Bytes, DWORD Disposition)
{
    const TFileHandle file(
        CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, Disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr) &&
           written == Bytes.size();
}

// A small input box: a prompt, an edit, OK and Cancel.
std::optional<std::wstring> InputQuery(const std::wstring& Caption, const std::wstring& Prompt)
{
    std::unique_ptr<TForm> form(new TForm(Application));
    form->SetName(L"InputQueryForm");
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetPosition(TPosition::poScreenCenter);
    form->SetCaption(Caption);
    constexpr int margin = 8;
    auto* label = new TLabel(form.get());
    label->SetCaption(Prompt);
    const SIZE promptSize = MeasureText(label->Font().Handle(), Prompt);
    const int width = std::clamp(static_cast<int>(promptSize.cx), 260, 600);
    label->SetBounds(margin, margin, width, promptSize.cy);
    label->SetParent(form.get());
    auto* edit = new TEdit(form.get());
    edit->SetName(L"Value");
    edit->SetBounds(margin, margin + promptSize.cy + 4, width, 22);
    edit->SetParent(form.get());
    const int buttonsTop = edit->Top() + edit->Height() + margin;
    auto* ok = new TButton(form.get());
    ok->SetCaption(L"OK");
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
    ok->SetBounds(margin + width - 2 * 75 - margin, buttonsTop, 75, 25);
    ok->SetParent(form.get());
    auto* cancel = new TButton(form.get());
    cancel->SetCaption(L"Abbrechen");
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;
    cancel->SetBounds(margin + width - 75, buttonsTop, 75, 25);
    cancel->SetParent(form.get());
    form->SetClientSize(width + 2 * margin, buttonsTop + 25 + margin);
    // The entry takes the keys at once.
    form->OnShow = [edit](TComponent*) { edit->SetFocus(); };
    if (form->ShowModal() != mrOk)
        return std::nullopt;
    return edit->Text();
}

}  // namespace

TUserCommands::TUserCommands(TComponent& Owner, TUserCommandsHost& Host) : owner_(Owner), host_(Host)
{
    for (auto& set : imageIndex_)
        set.fill(-1);
    keys_ = new TActionList(&owner_);
    keys_->SetName(L"FunctionKeyActions");
    for (int set = 0; set < 2; ++set)
        for (int key = 1; key <= kFunctionKeyCount; ++key) {
            auto* action = new TAction(&owner_, keys_);
            action->SetName((set == kShiftSet ? L"FKeyShift" : L"FKeyCtrl") + IntToStr(key));
            action->SetShortCut(ShortCut(static_cast<uint16_t>(kKeyF1 + key - 1), set == kShiftSet ? scShift : scCtrl));
            action->Tag = key;
            action->OnExecute = [this, key, set](TComponent*) { RunFunctionKeyCommand(key, set); };
            actions_[static_cast<size_t>(set)][static_cast<size_t>(key - 1)] = action;
        }
}

TUserCommands::~TUserCommands()
{
    DeleteBatchFiles();
}

void TUserCommands::Attach(TKyToolbar* Toolbar, TKyToolbarButton* Label, const std::vector<TKyToolbarButton*>& Buttons,
                           TMenuItem* ProgramsMenu)
{
    toolbar_ = Toolbar;
    label_ = Label;
    buttons_ = Buttons;
    menu_ = ProgramsMenu;
    if (label_)
        label_->OnClick = [this](TComponent*) { ShowFunctionKeyLabels(1 - shownSet_, true); };
    for (TKyToolbarButton* button : buttons_)
        button->OnClick = [this](TComponent* Sender) {
            if (auto* clicked = dynamic_cast<TKyToolbarButton*>(Sender))
                RunFunctionKeyCommand(static_cast<int>(clicked->Tag), shownSet_);
        };
    if (!menu_)
        return;
    // The Shift group, a line, the Ctrl group; each item runs its action.
    for (int set = 0; set < 2; ++set) {
        if (set == kCtrlSet) {
            divider_ = new TMenuItem(&owner_);
            divider_->SetCaption(L"-");
            menu_->Add(divider_);
        }
        for (TAction* action : actions_[static_cast<size_t>(set)]) {
            auto* item = new TMenuItem(&owner_);
            item->SetName(action->Name() + L"Item");
            item->Tag = action->Tag;
            action->Link(item);
            menu_->Add(item);
            menuItems_[static_cast<size_t>(set)].push_back(item);
        }
    }
}

TFunctionKeySets TUserCommands::Sets()
{
    TFunctionKeySets sets = host_.CommandOptions().FKeys;
    for (size_t set = 0; set < 2; ++set)
        for (size_t key = 0; key < 12; ++key)
            sets[set][key].ImageIndex = imageIndex_[set][key];
    return sets;
}

bool TUserCommands::RunFunctionKeyCommand(int Key, int Set)
{
    if (Key < 1 || Key > kFunctionKeyCount || (Set != kShiftSet && Set != kCtrlSet)) {
        MessageBeep(MB_OK);
        return false;
    }
    const TFKeyRecord record = Sets()[static_cast<size_t>(Set)][static_cast<size_t>(Key - 1)];
    if (!IsAssigned(record))
        return false;
    (void)RunUserCommand(record);
    return true;
}

bool TUserCommands::RunUserCommand(TFKeyRecord Record)
{
    const TOptions& options = host_.CommandOptions();
    std::wstring command = Record.Command;
    if (!command.empty() && !FileExists(command)) {
        // Looked up on the search path; the whole path found is kept.
        const DWORD size = SearchPathW(nullptr, command.c_str(), nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            std::wstring found(size, L'\0');
            const DWORD length = SearchPathW(nullptr, command.c_str(), nullptr, size, found.data(), nullptr);
            if (length > 0 && length < size) {
                found.resize(length);
                command = found;
            }
        }
    }
    TRunWay way = command.empty() ? TRunWay::Batch : TRunWay::Direct;
    try {
        std::optional<uint32_t> exeType;
        if (!command.empty() && AsksExeType(options.DosClose, command))
            exeType = static_cast<uint32_t>(SHGetFileInfoW(command.c_str(), 0, nullptr, 0, SHGFI_EXETYPE));
        way = ChooseRunWay(options.DosClose, command, exeType);
    } catch (...) {
        TraceIgnoredException(L"asking a program's type: it is started directly");
    }
    const TBatchFit fit = way == TRunWay::Batch ? TBatchFit(FitsBatch) : TBatchFit();
    const TExpandResult expanded = ExpandCommandPlaceholders(Record.Params, *this, fit);
    if (expanded.Status == TExpandStatus::Cancelled)
        return false;
    if (expanded.Status == TExpandStatus::Refused) {
        host_.ReportCommandError(expanded.Refusal);
        return false;
    }
    if (way == TRunWay::Direct)
        return Start(command, expanded.Line, host_.TreeFolder(), nullptr, command);
    // A console program keeps its window open (DosClose is off on this
    // path); a line without program closes it as DosClose says.
    const std::wstring line = command.empty() ? expanded.Line : ConsoleCommandLine(command, expanded.Line);
    std::wstring batch;
    if (!CreateExecFile(command.empty() && options.DosClose, line, batch))
        return false;
    return Start(batch, std::wstring(), host_.TreeFolder(), nullptr, command.empty() ? batch : command);
}

bool TUserCommands::ExecDosCommand(const std::wstring& Line, bool CloseWindow)
{
    if (Line.empty())
        return false;
    if (!SameText(Line, host_.ComSpec()))
        host_.AddCommandHistory(Line);
    std::wstring batch;
    if (!CreateExecFile(CloseWindow, Line, batch))
        return false;
    return Start(batch, std::wstring(), host_.ActiveListFolder(), L"open", Line);
}

bool TUserCommands::CreateExecFile(bool CloseWindow, const std::wstring& Line, std::wstring& BatchPath)
{
    BatchPath.clear();
    const std::optional<std::string> bytes = ToOemBytes(BatchFileText(Line, CloseWindow));
    if (!bytes) {
        host_.ReportCommandError(L"Die Befehlszeile enthält Zeichen, die die Eingabeaufforderung nicht lesen kann:\n" +
                                 Line);
        return false;
    }
    // A batch file of its own per run: the command interpreter reads it
    // line by line while it runs, so no later run may rewrite it.
    const std::wstring folder = TemporaryFolder();
    std::wstring failed = folder + kBatchFileBase + kBatchFileExt;
    const std::wstring name =
        ReserveNumberedName(folder, kBatchFileBase, kBatchFileExt, [&](const std::wstring& candidate) {
            failed = candidate;
            return WriteWholeFile(candidate, *bytes, CREATE_NEW);
        });
    if (name.empty()) {
        host_.ReportCommandError(L"Die Datei \"" + failed + L"\" kann nicht geschrieben werden.");
        return false;
    }
    batchFiles_.push_back(name);
    BatchPath = name;
    return true;
}

bool TUserCommands::Start(const std::wstring& Program, const std::wstring& Params, const std::wstring& Folder,
                          const wchar_t* Verb, const std::wstring& Shown)
{
    const intptr_t result = reinterpret_cast<intptr_t>(
        ShellExecuteW(GetDesktopWindow(), Verb, Program.c_str(), Params.empty() ? nullptr : Params.c_str(),
                      Folder.empty() ? nullptr : Folder.c_str(), SW_SHOWNORMAL));
    if (result > 32)
        return true;
    host_.ReportCommandError(L"Fehler beim Ausführen von: " + Shown + L"\n" + ShellExecuteErrorText(result));
    return false;
}

void TUserCommands::DeleteBatchFiles()
{
    // A console still open may hold its file (Wine's interpreter keeps it
    // open to the end); DeleteStaleBatchFiles takes it later.
    for (const std::wstring& name : batchFiles_)
        if (!DeleteFileW(name.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            TraceIgnoredFailure(L"deleting a batch file of a user command", GetLastError());
    batchFiles_.clear();
}

void TUserCommands::DeleteStaleBatchFiles()
{
    // Only files older than a day: a newer one may be another instance's,
    // written a moment ago and not yet opened by its interpreter.
    const std::wstring folder = TemporaryFolder();
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t limit = ((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime) - kStaleAge;
    WIN32_FIND_DATAW found{};
    const TFindHandle search(FindFirstFileW((folder + kBatchFileBase + L"*" + kBatchFileExt).c_str(), &found));
    if (!search.Valid())
        return;
    do {
        const uint64_t written =
            (uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime;
        if (IsBatchFileName(found.cFileName) && written < limit && !DeleteFileW((folder + found.cFileName).c_str()))
            TraceIgnoredFailure(L"deleting a stale batch file of a user command", GetLastError());
    } while (FindNextFileW(search.Get(), &found));
}

std::wstring TUserCommands::ShortPath(const std::wstring& FullPath)
{
    const DWORD size = GetShortPathNameW(FullPath.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(FullPath.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size)
        return {};
    shortPath.resize(length);
    return shortPath;
}

std::optional<std::wstring> TUserCommands::WriteListFile(const std::vector<std::wstring>& Names)
{
    const std::wstring file = host_.CommandListFile();
    std::wstring text;
    for (const std::wstring& name : Names)
        text += name + L"\r\n";
    // In the ANSI code page as programs read such lists; a name it cannot
    // hold makes the whole list UTF-8, marked as such.
    const std::optional<std::string> ansi = ToAnsiBytes(text);
    const std::string bytes = ansi ? *ansi : "\xEF\xBB\xBF" + ToUtf8(text);
    if (file.empty() || !WriteWholeFile(file, bytes, CREATE_ALWAYS)) {
        host_.ReportCommandError(L"Die Datei \"" + file + L"\" kann nicht geschrieben werden.");
        return std::nullopt;
    }
    return file;
}

std::optional<std::wstring> TUserCommands::AskParameter(const std::wstring& Line)
{
    return InputQuery(L"Parameter eingeben:", L"Parameter " + Line + L" ersetzen durch:");
}

std::optional<std::wstring> TUserCommands::AskFile(unsigned Number, const std::wstring& InitialFolder)
{
    const std::wstring title = Formatted(L"Datei %u auswählen:", Number);
    const std::wstring folder = InitialFolder.empty() ? host_.ActiveListFolder() : InitialFolder;
    std::wstring name(32768, L'\0');
    const wchar_t filter[] = L"Alle Dateien (*.*)\0*.*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn))
        return std::nullopt;
    name.resize(wcslen(name.c_str()));
    return name;
}

std::optional<std::wstring> TUserCommands::AskFolder(unsigned Number)
{
    const std::wstring title = Formatted(L"Verzeichnis %u auswählen:", Number);
    const std::wstring start = host_.ActiveListFolder();
    BROWSEINFOW info{};
    info.hwndOwner = GetActiveWindow();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    // The browser opens on the active list's folder.
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    info.lpfn = [](HWND window, UINT message, LPARAM, LPARAM folder) -> int {
        if (message == BFFM_INITIALIZED && *reinterpret_cast<const wchar_t*>(folder))
            SendMessageW(window, BFFM_SETSELECTIONW, TRUE, folder);
        return 0;
    };
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list)
        return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(list, path) != FALSE;
    CoTaskMemFree(list);
    if (!found)
        return std::nullopt;
    return std::wstring(path);
}

void TUserCommands::ShowFunctionKeyLabels(int Set, bool Force)
{
    if (!Force && (!toolbar_ || !toolbar_->Visible() || Set == shownSet_))
        return;
    shownSet_ = Set;
    if (label_)
        label_->SetCaption(FunctionKeyLabel(Set));
    if (!toolbar_ || (Set != kShiftSet && Set != kCtrlSet))
        return;
    const TFunctionKeySets sets = Sets();
    const bool useIcons = host_.CommandOptions().UseProgIcons;
    TUpdateLock<TKyToolbar> lock(*toolbar_, &TKyToolbar::BeginUpdate, &TKyToolbar::EndUpdate);
    for (TKyToolbarButton* button : buttons_) {
        const int key = static_cast<int>(button->Tag);
        if (key < 1 || key > kFunctionKeyCount)
            continue;
        const TFunctionKeyButton shown = FunctionKeyButton(sets, Set, key, useIcons);
        button->SetCaption(shown.Caption);
        button->SetHint(shown.Hint);
        if (systemImages_ && button->Images() != systemImages_)
            button->SetImages(systemImages_);
        button->SetImageIndex(shown.ImageIndex);
        button->SetDisplayMode(shown.TextOnly ? TButtonDisplayMode::dmTextOnly : TButtonDisplayMode::dmBoth);
        button->SetEnabled(shown.Enabled);
        button->SetVisible(shown.Visible);
    }
}

void TUserCommands::UpdateFunctionKeyMenus()
{
    const TFunctionKeySets& records = host_.CommandOptions().FKeys;
    const TProgramsMenuLayout layout = ProgramsMenuLayout(Sets());
    for (size_t set = 0; set < 2; ++set)
        for (size_t key = 0; key < 12; ++key) {
            TAction* action = actions_[set][key];
            action->SetCaption(records[set][key].Caption);
            action->SetVisible(layout.Visible[set][key]);
            action->SetEnabled(layout.Visible[set][key]);
        }
    if (divider_)
        divider_->SetVisible(layout.Divider);
    if (menu_) {
        const bool any = std::any_of(layout.Visible.begin(), layout.Visible.end(), [](const auto& set) {
            return std::find(set.begin(), set.end(), true) != set.end();
        });
        menu_->SetVisible(any);
    }
}

void TUserCommands::UpdateFunctionKeyIcons()
{
    const TOptions& options = host_.CommandOptions();
    for (size_t set = 0; set < 2; ++set)
        for (size_t key = 0; key < 12; ++key) {
            int& index = imageIndex_[set][key];
            index = -1;
            if (!options.UseProgIcons)
                continue;
            const TFKeyRecord& record = options.FKeys[set][key];
            std::wstring program = record.Command;
            if (program.empty() && !record.Params.empty())
                program = host_.ComSpec();
            if (program.empty())
                continue;
            SHFILEINFOW info{};
            const auto list = reinterpret_cast<HIMAGELIST>(
                SHGetFileInfoW(program.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
            if (!list)
                continue;
            if (!systemImages_) {
                systemImages_ = new TImageList(&owner_);
                systemImages_->ShareImages(list);
            }
            index = info.iIcon;
        }
}

void TUserCommands::SizeFunctionKeyButtons()
{
    if (!toolbar_)
        return;
    const TFunctionKeySets sets = Sets();
    const bool useIcons = host_.CommandOptions().UseProgIcons;
    for (TKyToolbarButton* button : buttons_) {
        const int key = static_cast<int>(button->Tag);
        if (key < 1 || key > kFunctionKeyCount)
            continue;
        const HFONT font = button->Font().Handle();
        const int imageWidth = systemImages_ ? systemImages_->Width() : 16;
        button->SetWidth(FunctionKeyButtonWidth(sets, key, useIcons, imageWidth, [font](const std::wstring& text) {
            return text.empty() ? 0 : static_cast<int>(MeasureText(font, text).cx);
        }));
    }
}

}  // namespace qrv
