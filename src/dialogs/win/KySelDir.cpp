#include "dialogs/win/KySelDir.h"

#include "common/win/BaseUtilsWin.h"
#include "dialogs/SelOptRules.h"
#include "framework/IgnoredError.h"
#include "framework/ShortCuts.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Menus.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/Registry.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace qrv {

namespace {

constexpr int kHelpContextNotFound = 206;
constexpr int kMargin = 8;

// The system behind the dialog's rules.
class TSystemSelDir : public TSelDirSystem {
public:
    std::wstring SpecialFolder(int Csidl) override { return GetSpecialFolderPath(Csidl); }
    bool RegistryString(bool LocalMachine, const std::wstring& Key, const std::wstring& Name,
                        std::wstring& Value) override
    {
        try {
            TRegistry registry(KEY_READ);
            registry.SetRootKey(LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
            if (!registry.OpenKeyReadOnly(Key))
                return false;
            Value = registry.ReadString(Name);
            return true;
        } catch (const std::exception&) {
            TraceIgnoredException(L"select-directory dialog: reading a folder from the registry");
            return false;
        }
    }
    bool DirectoryExists(const std::wstring& Path) override { return DirExists(Path); }
    int ShellMajorVersion() override
    {
        HMODULE shell = GetModuleHandleW(L"shell32.dll");
        auto getVersion =
            shell ? reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(shell, "DllGetVersion")))
                  : nullptr;
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        if (!getVersion || FAILED(getVersion(&info)))
            return 4;
        return static_cast<int>(info.dwMajorVersion);
    }
    std::wstring TempDirectory() override { return TemporaryFolder(); }
    std::wstring FullPathName(const std::wstring& Path) override { return qrv::FullPathName(Path); }
    bool DriveReady(wchar_t Drive) override
    {
        if (!DriveInfo().IsValid(Drive))
            return false;
        if (!DriveInfo().ReadDriveStatus(Drive, dsSize))
            TraceIgnoredFailure(L"select-directory dialog: reading a drive's volume data", 0);
        TDriveInfoRec rec;
        DriveInfo().GetData(Drive, rec);
        return rec.DriveReady;
    }
};

uint32_t VolumeNameLength(const std::wstring& Folder)
{
    const std::wstring root =
        Folder.size() >= 2 && Folder[1] == L':' ? Folder.substr(0, 2) + L"\\" : AddBackslash(Folder);
    DWORD length = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &length, nullptr, nullptr, 0)) {
        TraceIgnoredFailure(L"select-directory dialog: reading the longest name of a drive", GetLastError());
        return 255;
    }
    return length;
}

// A message box over the dialog; the control that had the focus has it
// again afterwards (the box's own window took it).
int AskOrTell(const std::wstring& Text, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpContext = 0)
{
    const HWND focus = GetFocus();
    const int answer = MessageDlg(Text, Type, Buttons, HelpContext);
    if (focus && IsWindow(focus) && IsWindowVisible(focus))
        SetFocus(focus);
    return answer;
}

TButton* MakeButton(TForm* form, const std::wstring& caption, std::function<void()> click)
{
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetCaption(caption);
    button->OnClick = [click = std::move(click)](TComponent*) { click(); };
    return button;
}

}  // namespace

TSelDirDialog::TSelDirDialog(TComponent* owner)
    : TForm(owner), system_(std::make_unique<TSystemSelDir>()), NameLengthOf(VolumeNameLength)
{
    SetName(L"SelDirDialog");
    SetCaption(L"Verzeichnis auswählen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(500, 460);
    CreateMenus();
    CreateControls();
    // A screen lower than the form: the form takes the screen's height.
    const int screenHeight =
        GetSystemMetrics(SM_CYMAXIMIZED) > 0 ? GetSystemMetrics(SM_CYMAXIMIZED) : GetSystemMetrics(SM_CYSCREEN);
    if (screenHeight > 0 && Height() > screenHeight)
        SetBounds(Left(), 0, Width(), screenHeight);
    LayOut();
}

TSelDirDialog::~TSelDirDialog() = default;

void TSelDirDialog::CreateMenus()
{
    MainMenu = new TMainMenu(this);
    auto item = [this](TMenuItem* parent, const std::wstring& caption, std::function<void()> click,
                       TShortCut shortCut = scNone) {
        auto* entry = new TMenuItem(this);
        entry->SetCaption(caption);
        entry->SetShortCut(shortCut);
        if (click)
            entry->OnClick = [click = std::move(click)](TComponent*) { click(); };
        parent->Add(entry);
        return entry;
    };
    TMenuItem* directory = item(MainMenu->Items(), L"&Verzeichnis", nullptr);
    directoryItems_ = {
        item(directory, L"&Auswählen", [this] { SelectDir(); }),
        item(
            directory, L"A&ktualisieren", [this] { RefreshDisplay(); }, ShortCut(VK_F5, scNone)),
        item(
            directory, L"A&nlegen", [this] { NewDir(); }, ShortCut(VK_INSERT, scNone)),
        item(directory, L"&Löschen", [this] { DeleteDir(); }),
        item(
            directory, L"&Eigenschaften", [this] { ShowProperties(); }, ShortCut(VK_RETURN, scAlt)),
    };
    item(directory, L"-", nullptr);
    item(directory, L"A&bbrechen\tEsc", [this] { SetModalResult(mrCancel); });
    TMenuItem* jumps = item(MainMenu->Items(), L"&Springen", nullptr);
    for (const TSelDirJumpItem& jump : SelDirJumps())
        item(jumps, jump.Caption, [this, which = jump.Jump] { Jump(which); });
    BookmarkMenu = item(MainMenu->Items(), L"&Lesezeichen", nullptr);
    for (int i = 0; i < StdDirList.Count(); ++i) {
        const std::wstring caption = i < StdDirCaptions.Count() ? StdDirCaptions[i] : StdDirList[i];
        TMenuItem* bookmark =
            item(BookmarkMenu, caption == L"-" ? caption : NextMenuAccel(*BookmarkMenu) + caption, nullptr);
        bookmark->Tag = i;
        if (caption != L"-")
            bookmark->OnClick = [this, i](TComponent*) { GotoBookmark(i); };
    }
    SetMenu(MainMenu);

    // Ctrl+Shift+letter switches drives, whatever has the focus.
    driveKeys_ = new TActionList(this);
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        auto* action = new TAction(this, driveKeys_);
        action->SetShortCut(ShortCut(static_cast<uint16_t>(letter), scCtrl | scShift));
        action->OnExecute = [this, letter](TComponent*) { DriveKey(letter); };
    }
}

void TSelDirDialog::CreateControls()
{
    cbDir = new TKyComboBox(this);
    cbDir->SetName(L"cbDir");
    cbDir->SetParent(this);
    cbDir->SetDropDownCount(12);
    cbDir->OnCloseUp = [this](TComponent*, bool accepted) {
        if (accepted)
            PathBoxChosen();
    };
    DriveView = new TDriveView(this);
    DriveView->SetName(L"DriveView");
    DriveView->SetParent(this);
    DriveView->OnChange = [this](TComponent*, TTreeNode*) { SelectionChanged(); };
    DriveView->OnEnter = [this](TComponent*) {
        btnOK->SetDefault(true);
        // Leaving the path box drops its text selection.
        if (cbDir->HandleAllocated())
            SendMessageW(cbDir->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0xFFFF, 0xFFFF));
    };
    // A rename changes the folder the path box names.
    DriveView->OnRenameEnd = [this](TComponent*, TTreeNode*) {
        if (HandleAllocated())
            PostMessageW(Handle(), WM_SELDIR_SHOWDIR, 0, 0);
    };
    DriveView->AddMessageListener([this](TMessage& message) {
        return message.Msg == WM_KEYDOWN && TreeKeyDown(static_cast<WORD>(message.WParam));
    });

    btnNewDir = MakeButton(this, L"Verzeichnis anlegen", [this] { NewDir(); });
    btnDeleteDir = MakeButton(this, L"Verzeichnis löschen (Entf)", [this] { DeleteDir(); });
    btnRefresh = MakeButton(this, L"Anzeige aktualisieren", [this] { RefreshDisplay(); });
    for (TCheckBox** check : {&ChkCustom1, &ChkCustom2}) {
        *check = new TCheckBox(this);
        (*check)->SetParent(this);
        (*check)->SetVisible(false);
    }
    btnOK = MakeButton(this, L"&OK", [this] { SelectDir(); });
    btnOK->SetDefault(true);
    btnOK->OnEnter = [this](TComponent*) { btnOK->SetDefault(true); };
    btnCancel = MakeButton(this, L"A&bbrechen", [this] { SetModalResult(mrCancel); });
    btnCancel->Cancel = true;
    for (TButton* other : {btnNewDir, btnDeleteDir, btnRefresh, btnCancel})
        other->OnEnter = [this](TComponent*) { btnOK->SetDefault(false); };
}

void TSelDirDialog::LayOut()
{
    const int width = ClientWidth() - 2 * kMargin;
    const int height = ClientHeight();
    cbDir->SetBounds(kMargin, kMargin, width, cbDir->Height());
    const int treeTop = kMargin + cbDir->Height() + 6;
    const int buttonsTop = height - 96;
    DriveView->SetBounds(kMargin, treeTop, width, std::max(40, buttonsTop - 8 - treeTop));
    const int third = (width - 12) / 3;
    btnNewDir->SetBounds(kMargin, buttonsTop, third, 25);
    btnDeleteDir->SetBounds(kMargin + third + 6, buttonsTop, third, 25);
    btnRefresh->SetBounds(kMargin + 2 * (third + 6), buttonsTop, width - 2 * (third + 6), 25);
    const int okTop = height - kMargin - 25;
    ChkCustom1->SetBounds(kMargin, buttonsTop + 34, 250, 20);
    ChkCustom2->SetBounds(kMargin, buttonsTop + 58, 250, 20);
    btnCancel->SetBounds(kMargin + width - 86, okTop, 86, 25);
    btnOK->SetBounds(kMargin + width - 178, okTop, 86, 25);
}

bool TSelDirDialog::Execute()
{
    return ShowModal() == mrOk && DriveView->Selected() != nullptr;
}

std::wstring TSelDirDialog::Directory()
{
    TTreeNode* node = DriveView->Selected();
    return node ? DriveView->GetDirPathName(node) : std::wstring();
}

void TSelDirDialog::SetDirectory(const std::wstring& Path)
{
    if (Path.empty() || SameFolderPath(Path, Directory()))
        return;
    TTreeNode* node = DriveView->NodeForPath(Path);
    if (!node && DirExists(Path)) {
        // Made since the tree read its parent: the tree reads it again.
        if (TTreeNode* known = DriveView->NodeForPathOrParent(Path)) {
            DriveView->ValidateDirectory(known);
            node = DriveView->NodeForPath(Path);
        }
    }
    if (node) {
        if (node->Parent())
            node->Parent()->Expand();
        DriveView->SelectNode(node);
    }
    if (TTreeNode* selected = DriveView->Selected())
        DriveView->CenterNode(selected);
}

bool TSelDirDialog::ShowFolder(const std::wstring& Path)
{
    TTreeNode* node = Path.empty() ? nullptr : DriveView->NodeForPath(Path);
    if (!node)
        return false;
    DriveView->ValidateExpandedDirectory(node);
    // Validation may have taken the node with it.
    node = DriveView->NodeForPath(Path);
    if (!node)
        return false;
    if (node->Parent())
        node->Parent()->Expand();
    DriveView->SelectNode(node);
    DriveView->CenterNode(node);
    return true;
}

void TSelDirDialog::NotFound(const std::wstring& Path)
{
    MessageBeep(MB_ICONHAND);
    AskOrTell(FolderNotFoundText(Path), TMsgDlgType::mtError, mbOK | mbHelp, kHelpContextNotFound);
}

void TSelDirDialog::DoShow()
{
    keys_.Reset();
    if (!DriveView->Selected()) {
        wchar_t current[MAX_PATH + 1] = {};
        if (GetCurrentDirectoryW(MAX_PATH, current))
            SetDirectory(current);
    }
    if (!DriveView->Selected()) {
        // The default drive's root, when the tree has it; else nothing.
        const wchar_t drive = DriveInfo().DefaultDrive();
        if (TTreeNode* root = drive != L' ' ? DriveView->DriveRootNode(drive) : nullptr)
            DriveView->SelectNode(root);
    }
    if (ChkCustom1->Visible() && !ChkCustom2->Visible())
        ChkCustom1->SetTop(btnOK->Top());
    DriveView->SetReadDrives(true);
    const std::wstring directory = Directory();
    if (!directory.empty() && cbDir->Items().IndexOf(directory) < 0)
        cbDir->Items().Insert(0, directory);
    cbDir->SetText(directory);
    SelectionChanged();
    TForm::DoShow();
    // The tree takes the keys once the form is up.
    if (HandleAllocated())
        PostMessageW(Handle(), WM_SELDIR_SHOWDIR, 1, 0);
}

void TSelDirDialog::SelectionChanged()
{
    TTreeNode* node = DriveView->Selected();
    TSelDirNodeFacts facts;
    facts.Selected = node != nullptr;
    if (node) {
        facts.FileSystem = DriveView->NodeData(node).IsFileSystemOrReal() && !DriveView->NodeData(node).IsVirtual;
        facts.Root = node->Level() == 0;
    }
    const TSelDirButtons buttons = SelDirButtonStates(facts);
    cbDir->SetText(node ? DriveView->GetDirPathName(node) : std::wstring());
    btnOK->SetEnabled(buttons.Select);
    btnNewDir->SetEnabled(buttons.NewDir);
    btnDeleteDir->SetEnabled(buttons.DeleteDir);
    directoryItems_[0]->SetEnabled(buttons.Select);
    directoryItems_[2]->SetEnabled(buttons.NewDir);
    directoryItems_[3]->SetEnabled(buttons.DeleteDir);
}

bool TSelDirDialog::EndNameEdit()
{
    if (!DriveView->IsEditing())
        return false;
    // The name typed stands, as Enter would leave it.
    SendMessageW(DriveView->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    return true;
}

void TSelDirDialog::SelectDir()
{
    // Enter in the name editor: the new name stands, the dialog stays.
    if (EndNameEdit())
        return;
    if (!keys_.SelectAllowed())
        return;
    SetModalResult(DriveView->Selected() ? mrOk : mrCancel);
}

void TSelDirDialog::NewDir()
{
    EndNameEdit();
    TTreeNode* node = DriveView->Selected();
    if (!node || DriveView->NodeData(node).IsRecycleBin)
        return;
    if (DriveView->NodeData(node).IsVirtual) {
        MessageBeep(MB_ICONHAND);
        return;
    }
    const std::wstring parent = DriveView->GetDirPathName(node);
    TTreeNode* created = nullptr;
    const TNewFolderResult result =
        CreateNewFolder(parent, NameLengthOf(parent), PathExists, [&](const std::wstring& name) -> uint32_t {
            created = DriveView->CreateDirectory(node, name);
            return created ? 0 : (LastFileError ? LastFileError : ERROR_CANNOT_MAKE);
        });
    if (!created || result.Error != 0) {
        // The selection stays where it was.
        MessageBeep(MB_ICONHAND);
        AskOrTell(CreateFailedText(result.Name, Win32ErrorText(result.Error)), TMsgDlgType::mtError, mbOK);
        return;
    }
    DriveView->SelectNode(created);
    DriveView->EditNodeName(created);
}

void TSelDirDialog::DeleteDir()
{
    TTreeNode* node = DriveView->Selected();
    if (!node || node->Level() == 0 || DriveView->IsEditing() || DriveView->NodeData(node).IsRecycleBin)
        return;
    DriveView->DeleteDirectory(node, true);
}

void TSelDirDialog::RefreshDisplay()
{
    EndNameEdit();
    DriveView->RefreshRootNodes(false, dsImageIndex | dsSize | dsDisplayName);
    TTreeNode* node = DriveView->Selected();
    if (!node)
        return;
    const wchar_t drive = DriveView->GetDrive(node);
    TTreeNode* root = DriveView->RootNode(node);
    if (DriveInfo().IsDriveAccessible(drive)) {
        DriveView->ValidateDirectory(root);
        if (DriveView->ShowDirSize())
            DriveView->ScanDriveDirSizes(drive);
    } else {
        DriveView->SelectNode(root);
        DriveView->ClearNodeChildren(root);
    }
}

void TSelDirDialog::ShowProperties()
{
    TTreeNode* node = DriveView->Selected();
    if (!node || DriveView->IsEditing()) {
        MessageBeep(MB_OK);
        return;
    }
    DriveView->DisplayPropertiesMenu(node);
}

void TSelDirDialog::Jump(TSelDirJump Jump)
{
    EndNameEdit();
    const std::vector<std::wstring> candidates = JumpCandidates(Jump, *system_);
    for (const std::wstring& candidate : candidates)
        if (ShowFolder(candidate))
            return;
    const std::wstring last = candidates.empty() ? std::wstring() : candidates.back();
    NotFound(last.empty() ? cbDir->Text() : last);
}

void TSelDirDialog::GotoBookmark(int Index)
{
    EndNameEdit();
    std::wstring path = Index >= 0 && Index < StdDirList.Count() ? StdDirList[Index] : std::wstring();
    path.erase(0, path.find_first_not_of(L' ') == std::wstring::npos ? path.size() : path.find_first_not_of(L' '));
    if (!ShowFolder(path))
        NotFound(path);
}

void TSelDirDialog::PathBoxEnter()
{
    const TPathBoxDecision decision = DecidePathBox(cbDir->Text(), false, *system_);
    switch (decision.Action) {
    case TPathBoxAction::Select:
        SetDirectory(decision.Path);
        DriveView->SetFocus();
        return;
    case TPathBoxAction::Beep:
        MessageBeep(MB_OK);
        return;
    default:
        NotFound(decision.Path);
        // The text stands selected, to be typed over.
        SendMessageW(cbDir->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
        return;
    }
}

void TSelDirDialog::PathBoxChosen()
{
    EndNameEdit();
    const int index = cbDir->ItemIndex();
    const std::wstring text = index >= 0 ? cbDir->Items().Get(index) : cbDir->Text();
    const TPathBoxDecision decision = DecidePathBox(text, true, *system_);
    switch (decision.Action) {
    case TPathBoxAction::Select:
        SetDirectory(decision.Path);
        break;
    case TPathBoxAction::AskCreate:
        if (AskOrTell(AskCreateText(decision.Name), TMsgDlgType::mtWarning, mbYes | mbNo | mbAbort) == mrYes) {
            SetLastError(0);
            if (DriveView->CreatePath(decision.Path)) {
                SetDirectory(decision.Path);
            } else {
                const DWORD error = GetLastError();
                MessageBeep(MB_ICONHAND);
                AskOrTell(CreateFailedText(decision.Name, Win32ErrorText(error ? error : ERROR_CANNOT_MAKE)),
                          TMsgDlgType::mtError, mbOK);
            }
        }
        break;
    case TPathBoxAction::DriveNotReady:
        MessageBeep(MB_ICONHAND);
        AskOrTell(DriveNotReadyText(decision.Drive), TMsgDlgType::mtError, mbOK | mbHelp, kHelpContextNotFound);
        break;
    case TPathBoxAction::NotFound:
        NotFound(decision.Path);
        break;
    case TPathBoxAction::Beep:
        MessageBeep(MB_OK);
        break;
    }
    if (HandleAllocated())
        PostMessageW(Handle(), WM_SELDIR_SHOWDIR, 0, 0);
}

void TSelDirDialog::DriveKey(wchar_t Letter)
{
    EndNameEdit();
    const TSelDirKeyAction action = keys_.KeyDown(static_cast<uint16_t>(Letter), true, true, false,
                                                  [](wchar_t drive) { return DriveInfo().IsValid(drive); });
    if (action == TSelDirKeyAction::SwitchDrive)
        DriveView->SetCurrentDrive(Letter);
    else
        MessageBeep(MB_OK);
}

bool TSelDirDialog::ComboHasFocus()
{
    const HWND focus = GetFocus();
    return cbDir->HandleAllocated() && focus && (focus == cbDir->Handle() || IsChild(cbDir->Handle(), focus));
}

bool TSelDirDialog::DialogKey(WORD key)
{
    if (key != VK_RETURN)
        return TForm::DialogKey(key);
    keys_.KeyDown(key, false, false, false, [](wchar_t) { return false; });
    if (ComboHasFocus())
        PathBoxEnter();
    else
        SelectDir();
    return true;
}

bool TSelDirDialog::TreeKeyDown(WORD Key)
{
    const bool plain = GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
    if (!plain)
        return false;
    switch (Key) {
    case VK_DELETE:
        DeleteDir();
        return true;
    case VK_F2:
        if (TTreeNode* node = DriveView->Selected())
            DriveView->EditNodeName(node);
        return true;
    case VK_F4:
        cbDir->SetFocus();
        cbDir->SetDroppedDown(true);
        return true;
    default:
        return false;
    }
}

void TSelDirDialog::WndProc(TMessage& message)
{
    if (message.Msg == WM_SELDIR_SHOWDIR) {
        if (message.WParam == 1 && DriveView->Visible())
            DriveView->SetFocus();
        else
            cbDir->SetText(Directory());
        return;
    }
    TForm::WndProc(message);
}

}  // namespace qrv
