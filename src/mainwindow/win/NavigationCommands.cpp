#include "mainwindow/win/NavigationCommands.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/CommandBox.h"
#include "mainwindow/LayoutRules.h"
#include "mainwindow/PathNavigation.h"
#include "mainwindow/win/CommandMenus.h"
#include "panels/FileRec.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

namespace qrv {

namespace {

// The most lines the command box keeps (the settings store ten).
constexpr int kCommandHistoryLimit = 10;
constexpr int kButtonWidth = 23;
constexpr size_t kSessionHistoryLimit = 50;

bool KeyHeld(int Key)
{
    return GetKeyState(Key) < 0;
}

bool HoldsFocus(TComboBox* Box)
{
    if (!Box || !Box->HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    return focus && (focus == Box->Handle() || IsChild(Box->Handle(), focus));
}

std::wstring ShortPathOf(const std::wstring& Path)
{
    const DWORD size = GetShortPathNameW(Path.c_str(), nullptr, 0);
    if (size == 0)
        return Path;
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(Path.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size)
        return Path;
    shortPath.resize(length);
    return shortPath;
}

std::wstring CurrentFolder()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

// "CD" changes the process's current folder only for its own lookup: the
// program folder is current again however the lookup ends.
class TProgramFolderGuard {
public:
    explicit TProgramFolderGuard(std::wstring ProgramFolder) : programFolder_(std::move(ProgramFolder)) {}
    ~TProgramFolderGuard()
    {
        if (!programFolder_.empty() && !SetCurrentDirectoryW(programFolder_.c_str()))
            TraceIgnoredFailure(L"making the program folder current again", GetLastError());
    }
    TProgramFolderGuard(const TProgramFolderGuard&) = delete;
    TProgramFolderGuard& operator=(const TProgramFolderGuard&) = delete;

private:
    std::wstring programFolder_;
};

// Marks a box's navigation for its whole run.
class TNavigatingBox {
public:
    explicit TNavigatingBox(bool& Flag) : flag_(Flag) { flag_ = true; }
    ~TNavigatingBox() { flag_ = false; }
    TNavigatingBox(const TNavigatingBox&) = delete;
    TNavigatingBox& operator=(const TNavigatingBox&) = delete;

private:
    bool& flag_;
};

// The file system and the tree as a typed path meets them.
class TWindowPathFacts : public TPathFacts {
public:
    explicit TWindowPathFacts(TDriveView* Tree) : tree_(Tree) {}
    bool DirectoryExists(const std::wstring& Path) override { return DirExists(Path); }
    bool FileExists(const std::wstring& Path) override { return qrv::FileExists(Path); }
    bool TreeHasNode(const std::wstring& Folder) override { return tree_ && tree_->NodeForPath(Folder); }
    bool PathHidden(const std::wstring& Folder) override { return IsPathHidden(Folder); }

private:
    TDriveView* tree_;
};

}  // namespace

TNavigationCommands::TNavigationCommands(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                                         TNavigationHost& Host, TActionCatalogue& Catalogue, TComboBox* CommandBox)
    : owner_(Owner), panes_(Panes), services_(Services), host_(Host), commandBox_(CommandBox)
{
    using A = TActionId;
    Catalogue.Register(A::GoPrev, [this] { GoBack(); });
    Catalogue.Register(A::GoNext, [this] { GoForward(); });
    Catalogue.Register(A::DirRoot, [this] { GoRoot(); });
    Catalogue.Register(A::DirUp, [this] { GoUp(); });
    Catalogue.Register(A::CommandLineRun, [this] { RunCommandLine(); });
    // From a button or the menu Shift or Ctrl asks for the short form.
    const auto shortForm = [] { return KeyHeld(VK_SHIFT) || KeyHeld(VK_CONTROL); };
    Catalogue.Register(A::CommandLineAllNames,
                       [this, shortForm] { InsertIntoCommandBox(TCommandBoxName::FullName, shortForm()); });
    Catalogue.Register(A::CommandLineName,
                       [this, shortForm] { InsertIntoCommandBox(TCommandBoxName::FileName, shortForm()); });
    Catalogue.Register(A::CommandLinePath,
                       [this, shortForm] { InsertIntoCommandBox(TCommandBoxName::Folder, shortForm()); });
}

TNavigationCommands::~TNavigationCommands()
{
    *alive_ = false;
}

void TNavigationCommands::Attach()
{
    for (int index = 0; index < 2; ++index) {
        TComboBox* box = Box(index);
        TDirView* list = List(index);
        if (!box || !list)
            continue;
        // A session keeps more folders than the settings store (the newest
        // of them, as many as the box's drop-down count).
        windows_[static_cast<size_t>(index)].History.Limit =
            std::max<size_t>(kSessionHistoryLimit, static_cast<size_t>(box->DropDownCount()));
        MakeWindowToolbar(index);
        const std::shared_ptr<bool> alive = alive_;
        box->OnDropDown = [this, index, alive](TComponent*) {
            if (*alive)
                HistoryDropDown(index);
        };
        // The history box follows the file window's width.
        if (TKyDock* dock = host_.FileWindowDock(index))
            dock->OnResize = [this, index, alive](TComponent*) {
                if (*alive)
                    SizeWindowToolbar(index);
            };
        box->OnCloseUp = [this, index, alive](TComponent*) {
            if (*alive)
                HistoryCloseUp(index);
        };
        box->OnEnterKey = [this, index, alive](TComponent*) {
            if (*alive)
                HistoryEnter(index);
        };
        box->OnEscapeKey = [this, index, alive](TComponent*) {
            if (*alive)
                HistoryEscape(index);
        };
        box->OnExit = [this, index, alive, previous = std::move(box->OnExit)](TComponent* Sender) {
            if (previous)
                previous(Sender);
            if (*alive)
                HistoryExit(index);
        };
        list->OnLoaded = [this, list, alive, previous = std::move(list->OnLoaded)](TComponent* Sender) {
            if (previous)
                previous(Sender);
            if (*alive)
                RecordVisit(list);
        };
    }
    if (commandBox_)
        commandBox_->OnEnterKey = [this, alive = alive_](TComponent*) {
            if (*alive)
                RunCommandLine();
        };
    UpdateWindowButtons();
}

void TNavigationCommands::AttachCommandButtons(TKyToolbar* Toolbar, const TCommandMenus& Menus)
{
    if (!Toolbar)
        return;
    const struct {
        TActionId Id;
        const wchar_t* Name;
        const wchar_t* Caption;
    } buttons[] = {
        {TActionId::CommandLineRun, L"btnDOSAusfuehren", L"Ausführen"},
        {TActionId::CommandLineAllNames, L"btnDOSDateiAlles", L"Pfad+Dat"},
        {TActionId::CommandLineName, L"btnDOSDateiName", L"Dateiname "},
        {TActionId::CommandLinePath, L"btnDOSPfad", L"Pfad "},
    };
    // One panel holds them: the toolbar customiser shows or hides them together.
    auto* panel = new TPanel(owner_);
    panel->SetName(L"DOSPanelButtons");
    panel->SetBevelOuter(TPanelBevel::bvNone);
    panel->SetParent(Toolbar);
    int width = 0;
    int height = 22;
    for (const auto& row : buttons) {
        auto* button = new TKyToolbarButton(owner_);
        button->SetName(row.Name);
        button->SetCaption(row.Caption);
        button->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
        button->SetAction(Menus.Action(row.Id));
        // Wide enough for the caption in the toolbar's font.
        const SIZE text = MeasureText(button->Font().Handle(), row.Caption);
        button->SetBounds(width, 0, static_cast<int>(text.cx) + 12, button->Height());
        button->SetParent(panel);
        width += button->Width();
        height = std::max(height, button->Height());
    }
    panel->SetBounds(0, 0, width, height);
}

void TNavigationCommands::SetButtonHeight(int Height)
{
    for (TWindow& window : windows_)
        for (TKyToolbarButton* button : {window.Back, window.Forward, window.Root, window.Up})
            if (button && button->Height() != Height)
                button->SetHeight(Height);
}

// ---- Panes ---------------------------------------------------------------------------

TDirView* TNavigationCommands::List(int Index) const
{
    return Index == 0 ? panes_.LV1 : Index == 1 ? panes_.LV2 : nullptr;
}

TComboBox* TNavigationCommands::Box(int Index) const
{
    return Index == 0 ? panes_.DirHist1 : Index == 1 ? panes_.DirHist2 : nullptr;
}

int TNavigationCommands::ActiveIndex() const
{
    return panes_.ActiveList == panes_.LV2 && panes_.LV2 ? 1 : 0;
}

// The list's folder in the list's file-name display style: the history
// records and shows it as the list shows names.
std::wstring TNavigationCommands::ListPath(int Index) const
{
    TDirView* list = List(Index);
    return list ? ApplyNameDisplay(list->GetPath(), list->FileNameDisplay()) : std::wstring();
}

void TNavigationCommands::FolderRenamed(const std::wstring& OldPath, const std::wstring& NewPath)
{
    for (int index = 0; index < static_cast<int>(windows_.size()); ++index) {
        if (!Box(index))
            continue;
        Pull(index).FolderRenamed(OldPath, NewPath);
        Push(index);
    }
}

TFolderHistory& TNavigationCommands::Pull(int Index)
{
    TFolderHistory& history = windows_[static_cast<size_t>(Index)].History;
    TComboBox* box = Box(Index);
    if (!box)
        return history;
    const TStrings& items = box->Items();
    history.Entries.clear();
    for (int i = 0; i < items.Count(); ++i)
        history.Entries.push_back(items.Get(i));
    history.Text = box->Text();
    if (history.Position >= static_cast<int>(history.Entries.size()))
        history.Position = static_cast<int>(history.Entries.size()) - 1;
    return history;
}

void TNavigationCommands::Push(int Index)
{
    TFolderHistory& history = windows_[static_cast<size_t>(Index)].History;
    TComboBox* box = Box(Index);
    if (!box)
        return;
    TStrings& items = box->Items();
    bool same = items.Count() == static_cast<int>(history.Entries.size());
    for (int i = 0; same && i < items.Count(); ++i)
        same = items.Get(i) == history.Entries[static_cast<size_t>(i)];
    if (!same) {
        items.Clear();
        for (const std::wstring& entry : history.Entries)
            items.Add(entry);
    }
    const int position = history.Position;
    if (position >= 0 && position < items.Count() && items.Get(position) == history.Text)
        box->SetItemIndex(position);
    else if (box->Text() != history.Text || box->ItemIndex() >= 0)
        box->SetText(history.Text);
    UpdateWindowButtons();
}

// ---- The tree --------------------------------------------------------------------------

void TNavigationCommands::SelectNode(TTreeNode* Node)
{
    TDriveView* tree = panes_.TreeView1;
    Node->Expand(false);
    tree->CenterNode(Node);
    tree->SelectNode(Node);
}

bool TNavigationCommands::OpenFolder(const std::wstring& Path)
{
    TDriveView* tree = panes_.TreeView1;
    if (!tree)
        return false;
    TTreeNode* node = tree->NodeForPath(Path);
    if (!node)
        return false;
    tree->CenterNode(node);
    tree->SelectNode(node);
    return true;
}

// ---- The folder history ----------------------------------------------------------------

void TNavigationCommands::RecordVisit(TDirView* List)
{
    const int index = List == panes_.LV2 ? 1 : List == panes_.LV1 ? 0 : -1;
    // A folder that could not be read is no visit.
    if (index < 0 || !Box(index) || !List->Loaded())
        return;
    const std::wstring path = ListPath(index);
    TFolderHistory& history = windows_[static_cast<size_t>(index)].History;
    if (history.Navigating) {
        // The history's own step loaded it: the step writes the box back.
        history.Record(path);
        return;
    }
    Pull(index).Record(path);
    Push(index);
}

bool TNavigationCommands::Step(int Index, bool Back)
{
    TFolderHistory& history = Pull(Index);
    if (Back ? !history.CanGoBack() : !history.CanGoForward()) {
        MessageBeep(MB_OK);
        return false;
    }
    const TOpenFolder open = [this](const std::wstring& Path) { return OpenFolder(Path); };
    bool opened = false;
    try {
        opened = Back ? history.Back(ListPath(Index), open) : history.Forward(ListPath(Index), open);
    } catch (...) {
        Push(Index);
        throw;
    }
    Push(Index);
    return opened;
}

bool TNavigationCommands::GoBack()
{
    return Step(ActiveIndex(), true);
}

bool TNavigationCommands::GoForward()
{
    return Step(ActiveIndex(), false);
}

void TNavigationCommands::GoUp()
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    TTreeNode* parent = node ? node->Parent() : nullptr;
    if (!parent) {
        MessageBeep(MB_OK);
        return;
    }
    tree->SelectNode(parent);
    tree->CenterNode(parent);
}

void TNavigationCommands::GoRoot()
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (!node) {
        MessageBeep(MB_OK);
        services_.ShowMessageBox(L"Kein Verzeichnis fokusiert.", TMsgDlgType::mtError, 0, mbOK);
        return;
    }
    const std::wstring path = tree->GetDirPathName(node);
    TTreeNode* root = tree->NodeForPath(path.substr(0, 3));
    if (!root) {
        MessageBeep(MB_OK);
        return;
    }
    tree->SelectNode(root);
    tree->CenterNode(root);
}

bool TNavigationCommands::NavigateToPath(const std::wstring& Path)
{
    TWindowPathFacts facts(panes_.TreeView1);
    const TPathNavigation decision = DecidePathNavigation(Path, host_.ShowHiddenDirs(), facts);
    const int index = ActiveIndex();
    switch (decision.Action) {
    case TPathAction::Refused:
        return false;
    case TPathAction::Report: {
        // The box shows the list's folder again before the message takes the focus.
        if (Box(index)) {
            Pull(index).Restore(ListPath(index));
            Push(index);
        }
        if (!SetCurrentDirectoryW(host_.ProgramFolder().c_str()))
            TraceIgnoredFailure(L"making the program folder current again", GetLastError());
        services_.ShowMessageBox(decision.Message, TMsgDlgType::mtError, decision.HelpContext, mbOK);
        return false;
    }
    case TPathAction::Select:
        break;
    }
    TTreeNode* node = panes_.TreeView1->NodeForPath(decision.Folder);
    if (!node)
        return false;
    SelectNode(node);
    TDirView* list = panes_.ActiveList;
    if (decision.FileName.empty() || !list)
        return true;
    TFileRec* item = list->FindFileItem(decision.FileName);
    if (!item) {
        // The list may spell the name otherwise (case, short form).
        WIN32_FIND_DATAW found;
        const std::wstring full = AddBackslash(decision.Folder) + decision.FileName;
        if (const HANDLE search = FindFirstFileW(full.c_str(), &found); search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            item = list->FindFileItem(found.cFileName);
        }
    }
    if (!item)
        return true;
    const int itemIndex = list->IndexOf(item);
    list->SelectRange(-1, -1, false);
    list->TCustomListView::SetItemFocused(itemIndex);
    list->TCustomListView::SetSelected(itemIndex, true);
    if (list->HandleAllocated())
        SendMessageW(list->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(itemIndex), FALSE);
    return true;
}

int TNavigationCommands::HistoryIndex() const
{
    const TWindow& window = windows_[static_cast<size_t>(ActiveIndex())];
    return window.History.Position;
}

int TNavigationCommands::HistoryCount() const
{
    const TComboBox* box = ActiveIndex() == 0 ? panes_.DirHist1 : panes_.DirHist2;
    return box ? box->Items().Count() : 0;
}

THistoryHints TNavigationCommands::Hints() const
{
    return HistoryHints(windows_[static_cast<size_t>(ActiveIndex())].History);
}

// ---- The history box's events ------------------------------------------------------------

void TNavigationCommands::HistoryDropDown(int Index)
{
    Pull(Index).DropDown(ListPath(Index));
    Push(Index);
}

void TNavigationCommands::HistoryCloseUp(int Index)
{
    TComboBox* box = Box(Index);
    if (!box)
        return;
    const int chosen = box->ItemIndex();
    Pull(Index);
    if (!box->ClosedOnChoice() || chosen < 0)
        return;
    HistoryMenuClick(Index, chosen);
}

void TNavigationCommands::HistoryEnter(int Index)
{
    TComboBox* box = Box(Index);
    if (!box || boxNavigating_)
        return;
    if (box->HandleAllocated())
        SendMessageW(box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    const std::wstring path = Pull(Index).EnteredPath(ListPath(Index));
    bool opened = false;
    {
        const TNavigatingBox navigating(boxNavigating_);
        // The tree loads the active list: the box's own list becomes it.
        if (panes_.ActiveList != List(Index))
            host_.FocusList(List(Index));
        opened = NavigateToPath(path);
    }
    if (opened)
        host_.FocusList(List(Index));
}

void TNavigationCommands::HistoryEscape(int Index)
{
    TComboBox* box = Box(Index);
    if (!box)
        return;
    if (box->HandleAllocated())
        SendMessageW(box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    Pull(Index).Restore(ListPath(Index));
    Push(Index);
}

void TNavigationCommands::HistoryExit(int Index)
{
    if (boxNavigating_ || services_.Terminating() || !Box(Index))
        return;
    TFolderHistory& history = Pull(Index);
    const bool navigate = history.ExitWantsNavigation(ListPath(Index));
    Push(Index);
    if (!navigate)
        return;
    const std::wstring path = history.EnteredPath(ListPath(Index));
    const TNavigatingBox navigating(boxNavigating_);
    NavigateToPath(path);
}

// ---- The file windows' toolbars ------------------------------------------------------------

void TNavigationCommands::FillHistoryMenu(int Index, bool Back, TPopupMenu& Menu)
{
    Menu.Items()->Clear();
    for (const THistoryMenuItem& entry : HistoryMenu(Pull(Index), Back)) {
        auto* item = new TMenuItem(owner_);
        item->SetCaption(entry.Caption);
        item->Tag = entry.Tag;
        item->OnClick = [this, Index, item, alive = alive_](TComponent*) {
            if (*alive)
                HistoryMenuClick(Index, static_cast<int>(item->Tag));
        };
        Menu.Items()->Add(item);
    }
}

void TNavigationCommands::HistoryMenuClick(int Index, int Entry)
{
    TFolderHistory& history = Pull(Index);
    if (Entry < 0 || static_cast<size_t>(Entry) >= history.Entries.size())
        return;
    history.Position = Entry;
    const TOpenFolder open = [this](const std::wstring& Path) { return OpenFolder(Path); };
    try {
        const TNavigatingBox navigating(boxNavigating_);
        history.OpenChosen(ListPath(Index), open);
    } catch (...) {
        Push(Index);
        throw;
    }
    Push(Index);
}

void TNavigationCommands::MakeWindowToolbar(int Index)
{
    TWindow& window = windows_[static_cast<size_t>(Index)];
    TKyDock* dock = host_.FileWindowDock(Index);
    if (window.Toolbar || !dock)
        return;
    const std::wstring number = IntToStr(Index + 1);
    auto* toolbar = new TKyToolbar(owner_);
    toolbar->SetName(L"tbLV" + number);
    toolbar->SetCaption(L"Verzeichnis " + number);
    // Below a drive toolbar docked there too.
    toolbar->SetDockRow(999);
    toolbar->SetFullSize(true);
    toolbar->SetDockedTo(dock);
    toolbar->SetBorderStyle(TToolWindowBorderStyle::bsNone);
    toolbar->SetDragHandleStyle(TDragHandleStyle::dhNone);
    window.Toolbar = toolbar;

    struct TButtonRow {
        TKyToolbarButton*& Button;
        const wchar_t* Name;
        const wchar_t* Caption;
        const wchar_t* Hint;
        void (TNavigationCommands::*Run)();
    } rows[] = {
        {window.Back, L"Prev", L"<", L"Rückwärts", nullptr},
        {window.Forward, L"Next", L">", L"Nächstes  Verzeichnis (Alt-Rechts)", nullptr},
        {window.Root, L"Root", L"\\", L"Root-Verzeichnis", &TNavigationCommands::GoRoot},
        {window.Up, L"Up", L"..", L"Übergeordnetes Verzeichnis", &TNavigationCommands::GoUp},
    };
    for (TButtonRow& row : rows) {
        auto* button = new TKyToolbarButton(owner_);
        button->SetName(L"btnLV" + number + row.Name);
        button->SetCaption(row.Caption);
        button->SetHint(row.Hint);
        button->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
        button->SetWidth(kButtonWidth);
        const bool back = row.Button == window.Back;
        const bool isStep = row.Run == nullptr;
        auto run = row.Run;
        // A window's own button acts on its list: that list is focused first.
        button->OnClick = [this, Index, isStep, back, run, alive = alive_](TComponent*) {
            if (!*alive)
                return;
            host_.FocusList(List(Index));
            if (isStep)
                Step(Index, back);
            else
                (this->*run)();
        };
        if (isStep) {
            // The arrow part drops down the entries back or forward would open.
            auto* menu = new TPopupMenu(owner_);
            menu->SetName(L"pmLV" + number + row.Name);
            button->SetDropdownCombo(true);
            button->SetDropdownMenu(menu);
            button->OnDropdown = [this, Index, back, menu, alive = alive_](TComponent*, bool& ShowMenu, bool&) {
                if (!*alive) {
                    ShowMenu = false;
                    return;
                }
                host_.FocusList(List(Index));
                FillHistoryMenu(Index, back, *menu);
                ShowMenu = menu->Items()->Count() > 0;
            };
        }
        button->SetParent(toolbar);
        row.Button = button;
    }
    TComboBox* box = Box(Index);
    box->SetAlign(TAlign::alNone);
    box->SetParent(toolbar);
    SizeWindowToolbar(Index);
}

void TNavigationCommands::SizeWindowToolbar(int Index)
{
    TWindow& window = windows_[static_cast<size_t>(Index)];
    TKyDock* dock = host_.FileWindowDock(Index);
    TComboBox* box = Box(Index);
    if (!window.Toolbar || !dock || !box || sizing_)
        return;
    // The box's new width resizes the toolbar again: once is enough.
    sizing_ = true;
    const ScopeExit done([this] { sizing_ = false; });
    // The history box takes the dock's width less the four buttons.
    const int width = std::max(80, dock->Width() - 4 * kButtonWidth - 16);
    if (box->Width() != width)
        box->SetWidth(width);
}

void TNavigationCommands::UpdateWindowButtons()
{
    for (int index = 0; index < 2; ++index) {
        TWindow& window = windows_[static_cast<size_t>(index)];
        if (!window.Toolbar)
            continue;
        const TFolderHistory& history = window.History;
        const THistoryHints hints = HistoryHints(history);
        window.Back->SetEnabled(history.CanGoBack());
        window.Back->SetHint(hints.Back);
        window.Forward->SetEnabled(history.CanGoForward());
        window.Forward->SetHint(hints.Forward);
        TDirView* list = List(index);
        const bool parent = list && list->HasParentItem();
        window.Up->SetEnabled(parent);
        window.Root->SetEnabled(parent);
    }
}

// ---- The command box ---------------------------------------------------------------------------

void TNavigationCommands::AddCommandHistory(const std::wstring& Entry)
{
    if (!commandBox_ || Entry.empty())
        return;
    TStrings& items = commandBox_->Items();
    const int found = items.IndexOf(Entry);
    if (found == 0)
        return;
    if (found > 0)
        items.Delete(found);
    items.Insert(0, Entry);
    while (items.Count() > kCommandHistoryLimit)
        items.Delete(items.Count() - 1);
}

void TNavigationCommands::RunCommandLine()
{
    if (!commandBox_)
        return;
    const TCommandLineDecision decision =
        ClassifyCommandLine(commandBox_->Text(), [this](wchar_t Drive) { return host_.DriveValid(Drive); });
    TDriveView* tree = panes_.TreeView1;
    switch (decision.Kind) {
    case TCommandLineKind::Empty:
        return;
    case TCommandLineKind::BadDrive:
        services_.ShowMessageBox(decision.Message, TMsgDlgType::mtError, kCommandBoxHelp, mbOK);
        return;
    case TCommandLineKind::Drive:
        if (TTreeNode* node = tree ? tree->NodeForPath(decision.Drive + L"\\") : nullptr)
            SelectNode(node);
        AddCommandHistory(decision.HistoryEntry);
        return;
    case TCommandLineKind::ChangeDir: {
        AddCommandHistory(decision.HistoryEntry);
        std::wstring folder;
        {
            const TProgramFolderGuard guard(host_.ProgramFolder());
            const std::wstring listPath = panes_.ActiveList ? panes_.ActiveList->GetPath() : std::wstring();
            if (!listPath.empty() && !SetCurrentDirectoryW(listPath.c_str()))
                TraceIgnoredFailure(L"making the list's folder current for \"CD\"", GetLastError());
            if (SetCurrentDirectoryW(decision.Target.c_str()) ||
                SetCurrentDirectoryW((L".\\" + decision.Target).c_str()))
                folder = CurrentFolder();
        }
        if (folder.empty()) {
            services_.ShowMessageBox(ChangeDirFailedText(decision.Target), TMsgDlgType::mtError, kCommandBoxHelp, mbOK);
            return;
        }
        if (TTreeNode* node = tree ? tree->NodeForPath(folder) : nullptr)
            SelectNode(node);
        return;
    }
    case TCommandLineKind::Interpreter:
        host_.RunInInterpreter(decision.Line, host_.CloseConsoleWindow() || KeyHeld(VK_SHIFT));
        return;
    }
}

void TNavigationCommands::InsertIntoCommandBox(TCommandBoxName Name, bool ShortForm)
{
    if (!commandBox_)
        return;
    std::wstring text;
    if (Name == TCommandBoxName::Folder) {
        TDriveView* tree = panes_.TreeView1;
        if (!tree || !tree->Selected())
            return;
        text = CommandBoxFolder(tree->GetDirPath(tree->Selected()));
    } else {
        TDirView* list = panes_.ActiveList;
        const TFileRec* item = nullptr;
        for (int i = 0; list && !item && i < list->ItemCount(); ++i)
            if (const TFileRec* candidate = list->GetItemData(i); candidate && candidate->Selected)
                item = candidate;
        // Nothing to insert without a selection, nor for "..".
        if (!item || item->IsParentDir)
            return;
        text = Name == TCommandBoxName::FullName ? list->ItemFullFileName(item) : list->ItemFileName(item);
    }
    if (ShortForm) {
        const std::wstring full =
            Name == TCommandBoxName::FileName ? AddBackslash(panes_.ActiveList->GetPath()) + text : text;
        const std::wstring shortPath = ShortPathOf(full);
        text = Name == TCommandBoxName::FileName ? ExtractFileName(shortPath) : shortPath;
    }
    TCommandBoxEdit edit;
    edit.Text = commandBox_->Text();
    edit.Focused = HoldsFocus(commandBox_);
    if (commandBox_->HandleAllocated()) {
        DWORD start = 0, end = 0;
        SendMessageW(commandBox_->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        edit.SelStart = start;
        edit.SelLength = end > start ? end - start : 0;
    }
    const TCommandBoxEdit after = qrv::InsertIntoCommandBox(edit, text);
    commandBox_->SetText(after.Text);
    if (commandBox_->HandleAllocated()) {
        const auto caret = static_cast<WORD>(after.SelStart);
        SendMessageW(commandBox_->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
    }
    services_.UpdateActionStates();
}

void TNavigationCommands::ToggleCommandBoxFocus()
{
    if (HoldsFocus(commandBox_)) {
        host_.FocusList(panes_.ActiveList);
        return;
    }
    if (commandBox_ && commandBox_->HandleAllocated() && IsWindowVisible(commandBox_->Handle()) &&
        commandBox_->Enabled())
        commandBox_->SetFocus();
    else
        MessageBeep(MB_OK);
}

}  // namespace qrv
