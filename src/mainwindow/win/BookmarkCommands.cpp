#include "mainwindow/win/BookmarkCommands.h"

#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/AddFavoriteForm.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/BookmarkButtons.h"
#include "mainwindow/Bookmarks.h"
#include "mainwindow/win/CommandMenus.h"
#include "panels/win/DriveView.h"
#include "panels/KyDriveInfo.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/ShellValues.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <shlobj.h>

namespace qrv {

namespace {

constexpr int kHelpBookmarks = 210;

using A = TActionId;

struct TGotoCommand {
    TActionId Id;
    TGotoTarget Target;
};
constexpr TGotoCommand kGotoCommands[] = {
    {A::GotoDesktop, TGotoTarget::Desktop},
    {A::GotoProgramms, TGotoTarget::Programs},
    {A::GotoPersonalFiles, TGotoTarget::Personal},
    {A::GotoPersonalPictures, TGotoTarget::Pictures},
    {A::GotoStartMenu, TGotoTarget::StartMenu},
    {A::GotoTemplates, TGotoTarget::Templates},
    {A::GotoFavorites, TGotoTarget::Favorites},
    {A::GotoFonts, TGotoTarget::Fonts},
    {A::GotoSendTo, TGotoTarget::SendTo},
    {A::GotoCookies, TGotoTarget::Cookies},
    {A::GotoTempDir, TGotoTarget::Temp},
    {A::GotoRecycleBin, TGotoTarget::RecycleBin},
    {A::GotoControlPanel, TGotoTarget::ControlPanel},
    {A::GotoPrinter, TGotoTarget::Printers},
};

std::vector<std::wstring> ListOf(const TStrings& Strings)
{
    std::vector<std::wstring> list;
    list.reserve(static_cast<size_t>(Strings.Count()));
    for (int i = 0; i < Strings.Count(); ++i)
        list.push_back(Strings[i]);
    return list;
}

void SetLists(const TBookmarkLists& Lists)
{
    StdDirList.Clear();
    StdDirCaptions.Clear();
    for (size_t i = 0; i < Lists.Paths.size(); ++i) {
        StdDirList.Add(Lists.Paths[i]);
        StdDirCaptions.Add(Lists.Captions[i]);
    }
}

// The system the jumps ask: the shell's folders, the registry, the disk and
// the main window's tree.
class TWinSpecialFolders : public TSpecialFolderSystem {
public:
    explicit TWinSpecialFolders(const TMainPanes& Panes) : panes_(Panes) {}

    std::wstring SpecialFolderPath(int Csidl) override { return GetSpecialFolderPath(Csidl); }
    bool RegistryString(bool LocalMachine, const std::wstring& Key, const std::wstring& Name,
                        std::wstring& Value) override
    {
        // An expandable value ("%ProgramFiles%") comes back expanded.
        const HKEY root = LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ;
        DWORD bytes = 0;
        if (RegGetValueW(root, Key.c_str(), Name.c_str(), flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
            return false;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegGetValueW(root, Key.c_str(), Name.c_str(), flags, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
            return false;
        text.resize(wcsnlen(text.c_str(), text.size()));
        Value = text;
        return true;
    }
    bool DirectoryExists(const std::wstring& Path) override { return DirExists(Path); }
    bool PathHidden(const std::wstring& Path) override { return IsPathHidden(Path); }
    uint32_t ShellVersion() override { return ShellValues().Shell32Version; }
    std::wstring TempDirectory() override { return RemoveBackslash(TemporaryFolder()); }
    bool TreeHasNode(const std::wstring& Path) override
    {
        TDriveView* tree = panes_.TreeView1;
        return tree && tree->NodeForPath(Path) != nullptr;
    }

private:
    const TMainPanes& panes_;
};

}  // namespace

bool OpenSpecialFolder(int Csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, Csidl, &list)) || !list)
        return false;
    const ScopeExit freeList([list] { CoTaskMemFree(list); });
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_IDLIST;
    info.hwnd = GetDesktopWindow();
    info.lpVerb = L"open";
    info.lpIDList = list;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

// The folder tree as a bookmark choice works on it.
class TBookmarkCommands::TTreeTarget : public TBookmarkTree {
public:
    TTreeTarget(TDriveView& Tree, TMainWindowServices& Services) : tree_(Tree), services_(Services) {}

    std::optional<TBookmarkNode> FindNode(const std::wstring& Path) override
    {
        TTreeNode* node = tree_.NodeForPath(Path);
        if (!node)
            return std::nullopt;
        const TNodeData& data = tree_.NodeData(node);
        return TBookmarkNode{data.DirName, data.IsVirtual || data.IsRecycleBin};
    }
    void SelectNode(const std::wstring& Path, bool Expand, bool Center) override
    {
        if (TTreeNode* node = tree_.NodeForPath(Path))
            Show(node, Expand, Center);
    }
    bool CreatePath(const std::wstring& Path) override { return tree_.CreatePath(Path); }
    bool SelectNearestParent(const std::wstring& Path) override
    {
        TTreeNode* node = tree_.NodeForPathOrParent(Path);
        if (!node)
            return false;
        Show(node, true, true);
        return true;
    }
    TCreateAnswer AskCreate(const std::wstring& Question) override
    {
        switch (
            services_.ShowMessageBox(Question, TMsgDlgType::mtConfirmation, kHelpBookmarks, mbYes | mbNo | mbCancel)) {
        case mrYes:
            return TCreateAnswer::Yes;
        case mrNo:
            return TCreateAnswer::No;
        default:
            return TCreateAnswer::Cancel;
        }
    }
    void Beep() override { MessageBeep(MB_OK); }
    void ShowError(const std::wstring& Text) override
    {
        services_.ShowMessageBox(Text, TMsgDlgType::mtError, kHelpBookmarks, mbOK | mbHelp);
    }

private:
    void Show(TTreeNode* Node, bool Expand, bool Center)
    {
        if (Expand)
            Node->Expand(false);
        if (Center)
            tree_.CenterNode(Node);
        tree_.SelectNode(Node);
    }

    TDriveView& tree_;
    TMainWindowServices& services_;
};

TBookmarkCommands::TBookmarkCommands(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                                     TBookmarkCommandsHost& Host, TActionCatalogue& Catalogue, TCommandMenus& Menus)
    : owner_(Owner), panes_(Panes), services_(Services), host_(Host), menus_(Menus),
      system_(std::make_unique<TWinSpecialFolders>(Panes))
{
    Catalogue.Register(A::StdDirAdd, [this] { StdDirAddExecute(); });
    Catalogue.Register(A::StdDirEdit, [this] { StdDirEditExecute(); });
    for (const TGotoCommand& command : kGotoCommands) {
        const TGotoTarget target = command.Target;
        Catalogue.Register(command.Id, [this, target] { Goto(target); });
    }
}

TBookmarkCommands::~TBookmarkCommands() = default;

void TBookmarkCommands::SetFolderSystem(std::unique_ptr<TSpecialFolderSystem> System)
{
    system_ = std::move(System);
}

void TBookmarkCommands::Attach(TMenuItem* BookmarkMenu, TPopupMenu* ListPopup, TKyToolbar* Toolbar, TMenuItem* JumpMenu)
{
    auto makeItem = [this](TMenuItem& Parent, int Index, const std::wstring& Caption) {
        auto* item = new TMenuItem(owner_);
        item->SetCaption(Caption);
        item->Tag = -1;
        Parent.Insert(Index, item);
        return item;
    };
    menu_ = BookmarkMenu;
    if (menu_) {
        // The divider goes before the fixed items the catalogue put there.
        divider_ = makeItem(*menu_, 0, L"-");
        divider_->SetName(L"StdDirDivider");
        menu_->OnClick = [this](TComponent*) { BookmarkMenuOpened(); };
    }
    if (ListPopup) {
        TMenuItem& root = *ListPopup->Items();
        if (root.Count() > 0)
            makeItem(root, root.Count(), L"-");
        popupMenu_ = makeItem(root, root.Count(), L"&Lesezeichen");
        popupMenu_->SetName(L"MnStdDir2");
        popupDivider_ = makeItem(*popupMenu_, 0, L"-");
        popupDivider_->SetName(L"StdDirDivider2");
        for (const TActionId id : {A::StdDirEdit, A::StdDirAdd}) {
            TMenuItem* item = makeItem(*popupMenu_, popupMenu_->Count(), ActionRow(id).Caption);
            if (TAction* action = menus_.Action(id))
                action->Link(item);
        }
        popupMenu_->OnClick = [this](TComponent*) { BookmarkMenuOpened(); };
    }
    toolbar_ = Toolbar;
    CreateToolbarButtons();
    // The pictures folder is a shell folder from the 4.0 shell on.
    if (TAction* pictures = menus_.Action(A::GotoPersonalPictures))
        pictures->SetVisible(ShellValues().Shell32Version > 0x0003FFFF);
    jumpMenu_ = JumpMenu;
    if (jumpMenu_)
        jumpMenu_->OnClick = [this](TComponent*) { JumpMenuOpened(); };
    UpdateDividers();
}

void TBookmarkCommands::CreateToolbarButtons()
{
    if (!toolbar_)
        return;
    for (int i = 0; i < kBookmarkButtonCount; ++i) {
        auto* button = new TKyToolbarButton(owner_);
        button->SetName(L"btnLesezeichen" + std::to_wstring(i + 1));
        button->SetDisplayMode(TButtonDisplayMode::dmBoth);
        button->SetSpacing(2);
        button->Tag = -1;
        button->SetVisible(false);
        button->OnClick = [this, button](TComponent*) { BookmarkButtonClick(button->Tag); };
        button->SetParent(toolbar_);
        buttons_.push_back(button);
        if (i + 1 < kBookmarkButtonCount) {
            auto* separator = new TKyToolbarSep(owner_);
            separator->SetName(L"BookmarkSep" + std::to_wstring(i + 1));
            separator->SetVisible(false);
            separator->SetParent(toolbar_);
            separators_.push_back(separator);
        }
    }
}

void TBookmarkCommands::RebuildFromLists()
{
    SetLists(BookmarksAsAdded(ListOf(StdDirList), ListOf(StdDirCaptions)));
    RebuildMenus();
    RebuildToolbar();
}

void TBookmarkCommands::AddBookmark(const std::wstring& Caption, const std::wstring& Path)
{
    StdDirList.Add(Path);
    StdDirCaptions.Add(Caption.empty() ? DefaultBookmarkCaption(Path) : Caption);
    RebuildMenus();
}

void TBookmarkCommands::ClearMenus()
{
    for (std::vector<TMenuItem*>* items : {&menuItems_, &popupItems_}) {
        for (TMenuItem* item : *items)
            delete item;
        items->clear();
    }
}

void TBookmarkCommands::RebuildMenus()
{
    ClearMenus();
    const std::vector<TBookmarkMenuItem> plan = PlanBookmarkMenu(ListOf(StdDirCaptions));
    auto fill = [this, &plan](TMenuItem* Menu, TMenuItem* Divider, std::vector<TMenuItem*>& Items) {
        if (!Menu || !Divider)
            return;
        for (const TBookmarkMenuItem& planned : plan) {
            auto* item = new TMenuItem(owner_);
            item->SetCaption(planned.Separator ? std::wstring(kBookmarkSeparator) : planned.Caption);
            item->Tag = planned.Tag;
            item->SetBarBreak(planned.BarBreak);
            if (!planned.Separator) {
                const int index = planned.Tag;
                item->OnClick = [this, index](TComponent*) { BookmarkMenuClick(index); };
            }
            Menu->Insert(Menu->IndexOf(Divider), item);
            Items.push_back(item);
        }
    };
    fill(menu_, divider_, menuItems_);
    fill(popupMenu_, popupDivider_, popupItems_);
    UpdateDividers();
}

void TBookmarkCommands::UpdateDividers()
{
    const bool visible = BookmarkDividerVisible(menuItems_.size());
    if (divider_)
        divider_->SetVisible(visible);
    if (popupDivider_)
        popupDivider_->SetVisible(BookmarkDividerVisible(popupItems_.size()));
}

void TBookmarkCommands::RebuildToolbar()
{
    if (!toolbar_ || buttons_.empty())
        return;
    TBookmarkLayoutInput in;
    in.Paths = ListOf(StdDirList);
    in.Captions = ListOf(StdDirCaptions);
    HFONT font = buttons_.front()->Font().Handle();
    in.TextWidth = [font](const std::wstring& Text) { return static_cast<int>(MeasureText(font, Text).cx); };
    in.IsFixedDrivePath = [](const std::wstring& Path) {
        if (Path.size() < 2 || Path[1] != L':')
            return false;
        const std::wstring root = Path.substr(0, 2) + L"\\";
        return GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
    };
    const std::vector<TBookmarkButton> layout = LayoutBookmarkButtons(in);
    TDriveView* tree = panes_.TreeView1;
    TImageList* images = tree ? tree->Images() : nullptr;
    toolbar_->BeginUpdate();
    const ScopeExit endUpdate([this] { toolbar_->EndUpdate(); });
    for (size_t i = 0; i < layout.size() && i < buttons_.size(); ++i) {
        const TBookmarkButton& planned = layout[i];
        TKyToolbarButton* button = buttons_[i];
        button->Tag = planned.Tag;
        button->SetCaption(planned.Caption);
        button->SetHint(planned.Hint);
        if (planned.Visible) {
            int image = ShellValues().FolderIconIndex;
            if (planned.Image == TBookmarkImage::PathIcon) {
                SHFILEINFOW info{};
                if (SafeGetFileInfo(planned.Hint, 0, SHGFI_SYSICONINDEX | SHGFI_SMALLICON, info))
                    image = info.iIcon;
            }
            button->SetImages(images);
            button->SetImageIndex(image);
            button->SetWidth(planned.Width);
        }
        button->SetVisible(planned.Visible);
        if (i < separators_.size())
            separators_[i]->SetVisible(planned.Visible && planned.SeparatorAfter);
    }
}

void TBookmarkCommands::BookmarkMenuClick(int Index)
{
    TDriveView* tree = panes_.TreeView1;
    if (!tree)
        return;
    TTreeTarget target(*tree, services_);
    ChooseBookmarkInMenu(BookmarkPath(ListOf(StdDirList), Index), target);
}

void TBookmarkCommands::BookmarkButtonClick(int Tag)
{
    TDriveView* tree = panes_.TreeView1;
    if (!tree)
        return;
    TTreeTarget target(*tree, services_);
    // The tree here never expands a node by itself on selection.
    ChooseBookmarkButton(BookmarkPath(ListOf(StdDirList), Tag), host_.BookmarkOptions().AutoExpandDir, target);
}

void TBookmarkCommands::BookmarkMenuOpened()
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    const bool fileSystem = node && tree->NodeData(node).IsFileSystemOrReal() && !tree->GetDirPathName(node).empty();
    if (TAction* add = menus_.Action(A::StdDirAdd))
        add->SetEnabled(fileSystem);
}

void TBookmarkCommands::StdDirAddExecute()
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (!node)
        return;
    const std::wstring path = host_.TreeOnNetwork() ? tree->GetDirPath(node) : tree->GetDisplayDirPath(node);
    if (BookmarkPathKnown(ListOf(StdDirList), path)) {
        services_.ShowMessageBox(BookmarkKnownText(path), TMsgDlgType::mtInformation, kHelpBookmarks, mbOK | mbHelp);
        return;
    }
    const std::wstring driveName =
        path.size() == 3 && path[1] == L':' ? DriveInfo().GetDisplayName(UpCaseDrive(path[0])) : std::wstring();
    {
        TAddFavoriteForm form(services_.Window());
        form.edDir->SetText(path);
        form.edCaption->SetText(ProposedBookmarkCaption(path, driveName));
        if (host_.RunAddBookmark(form)) {
            AddBookmark(form.edCaption->Text(), form.edDir->Text());
            host_.MarkBookmarksChanged();
        }
    }
    RebuildToolbar();
}

void TBookmarkCommands::StdDirEditExecute()
{
    TStdDirForm form(services_.Window(), *this);
    form.SetBookmarks(ListOf(StdDirList), ListOf(StdDirCaptions));
    if (!host_.RunBookmarkEditor(form) || !form.Confirmed())
        return;
    SetLists(BookmarksFromRows(form.Rows()));
    RebuildMenus();
    host_.MarkBookmarksChanged();
    RebuildToolbar();
    host_.SaveAllSettings();
}

void TBookmarkCommands::Goto(TGotoTarget Target)
{
    const TGotoDecision decision = DecideGoto(Target, host_.BookmarkOptions().ShowHiddenDirs, *system_);
    switch (decision.Action) {
    case TGotoAction::OpenInShell:
        host_.OpenShellFolder(decision.Csidl);
        return;
    case TGotoAction::Report:
        MessageBeep(MB_OK);
        services_.ShowMessageBox(decision.Message, TMsgDlgType::mtError, 0, mbOK);
        return;
    case TGotoAction::Select:
        break;
    }
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->NodeForPath(decision.Path) : nullptr;
    if (!node)
        return;
    node->Expand(false);
    tree->CenterNode(node);
    tree->SelectNode(node);
}

void TBookmarkCommands::JumpMenuOpened()
{
    if (jumpMenuChecked_)
        return;
    jumpMenuChecked_ = true;
    for (const TGotoCommand& command : kGotoCommands) {
        try {
            if (TAction* action = menus_.Action(command.Id))
                action->SetEnabled(GotoAvailable(command.Target, *system_));
        } catch (...) {
            TraceIgnoredException(L"checking a special folder");
        }
    }
}

TDriveView* TBookmarkCommands::MainTree()
{
    return panes_.TreeView1;
}

TControl* TBookmarkCommands::PickerAnchor()
{
    return services_.Window();
}

bool TBookmarkCommands::RunFolderPicker(TSelDirDialog& Picker)
{
    return host_.RunFolderPicker(Picker);
}

}  // namespace qrv
