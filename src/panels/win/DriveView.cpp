#include "panels/win/DriveView.h"
#include "panels/win/DriveViewImages.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/KyTimerThread.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/TimingTrace.h"
#include "framework/win/AltKey.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "panels/VirtualNodes.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveViewNode.h"
#include "panels/win/DriveViewRead.h"
#include "panels/win/DriveViewWatch.h"
#include "panels/win/FolderSearch.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/PaneDragDrop.h"
#include "panels/win/SentMessageWait.h"

#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include <memory>
#include <string_view>
#include <vector>

namespace qrv {

namespace {

TTreeNode* AsNode(TNodeRef Node)
{
    return static_cast<TTreeNode*>(Node);
}

// The rectangle of an item's text; the control takes the item in the
// rectangle's first bytes.
bool ItemTextRect(HWND Tree, HTREEITEM Item, RECT& Rect)
{
    std::memcpy(&Rect, &Item, sizeof Item);
    return SendMessageW(Tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&Rect)) != 0;
}

bool IsDrivePath(const std::wstring& Path)
{
    return Path.size() >= 2 && Path[1] == L':';
}

}  // namespace

TDriveView::TDriveView(TComponent* owner) : TTreeView(owner)
{
    SetHideSelection(false);
    SetShowRoot(true);
    // The system's small icons; any folder gives the list's handle. The
    // first call of a process sets up the shell's icon cache, which takes a
    // while: a worker asks, and the window answers meanwhile.
    HIMAGELIST handle = nullptr;
    RunAnsweringSentMessages([&handle] {
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        const ScopeExit uninitialize([com] {
            if (com)
                CoUninitialize();
        });
        SHFILEINFOW info{};
        handle = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    });
    if (handle) {
        auto* images = new TImageList(this);
        images->ShareImages(handle);
        SetImages(images);
    }
}

TDriveView::~TDriveView()
{
    // The list's link back to this tree must not dangle.
    if (dirView_ && dirView_->DriveView() == this)
        dirView_->SetDriveView(nullptr);
    if (driveComboBox_ && driveComboBox_->DriveView() == this)
        driveComboBox_->SetDriveView(nullptr);
    // No drop reaches a tree being freed.
    dragDrop_.reset();
    // No tick after this: the timer thread ends first.
    changeTimer_.reset();
    // The nodes go while this class can still see them being deleted.
    DestroyWnd();
    Items().Clear();
}

void TDriveView::SetDirView(TDirView* Value)
{
    dirView_ = Value;
    if (Value)
        Value->SetDriveView(this);
}

// ---- Nodes -------------------------------------------------------------------

TNodeData& TDriveView::NodeData(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"NodeData");
    auto* holder = dynamic_cast<TDriveViewNode*>(Node->Object());
    if (!holder)
        RaiseNodeNotAssigned(L"NodeData");
    return holder->Data;
}

std::wstring TDriveView::GetDirPath(TTreeNode* Node)
{
    return NodeDirPath(*this, Node);
}
std::wstring TDriveView::GetDirPathName(TTreeNode* Node)
{
    return NodeDirPathName(*this, Node);
}
wchar_t TDriveView::GetDrive(TTreeNode* Node)
{
    return NodeDrive(*this, Node);
}
TTreeNode* TDriveView::RootNode(TTreeNode* Node)
{
    return AsNode(NodeTopLevel(*this, Node));
}
std::wstring TDriveView::GetDisplayDirPath(TTreeNode* Node)
{
    return NodeDisplayDirPath(*this, Node);
}
TTreeNode* TDriveView::NodeForPath(const std::wstring& Path)
{
    return AsNode(qrv::NodeForPath(*this, Path));
}

TTreeNode* TDriveView::NodeForPathOrParent(const std::wstring& Path)
{
    return AsNode(qrv::NodeForPathOrParent(*this, Path));
}

TTreeNode* TDriveView::DriveRootNode(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (drive < kFirstDrive || drive > kLastDrive)
        return nullptr;
    return AsNode(drives_[drive].RootNode);
}

TNodeRef TDriveView::Parent(TNodeRef Node)
{
    return AsNode(Node)->Parent();
}
int TDriveView::ChildCount(TNodeRef Node)
{
    return AsNode(Node)->Count();
}
TNodeRef TDriveView::Child(TNodeRef Node, int Index)
{
    return AsNode(Node)->Item(Index);
}
TNodeData& TDriveView::Data(TNodeRef Node)
{
    return NodeData(AsNode(Node));
}
TNodeRef TDriveView::DriveRoot(wchar_t Drive)
{
    return DriveRootNode(Drive);
}
bool TDriveView::DriveScanned(wchar_t Drive)
{
    return drives_[Drive].Scanned;
}
void TDriveView::ReadSubDirs(TNodeRef Node)
{
    ReadSubDirs(AsNode(Node));
}

// ---- Directory and selection ---------------------------------------------------

std::wstring TDriveView::GetDirectory()
{
    TTreeNode* node = Selected();
    return node ? GetDirPathName(node) : directory_;
}

void TDriveView::SetDirectory(const std::wstring& Path)
{
    directory_ = Path.size() > 2 && Path.substr(0, 2) == L"\\\\" ? RemoveBackslash(Path) : Path;
    TTimingScope timing(TimingTraceEnabled() ? L"tree finds " + directory_ : std::wstring());
    TTreeNode* node = NodeForPathOrParent(directory_);
    if (!node)
        return;
    if (!HandleAllocated()) {
        SelectNode(node);
        return;
    }
    if (autoScroll_) {
        SelectNode(node);
        SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node->ItemId()));
        return;
    }
    // The view stays where it is; only a node hidden at the left edge
    // brings the text back into sight.
    const auto top = SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    SelectNode(node);
    if (top)
        SendMessageW(Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, top);
    SendMessageW(Handle(), WM_SETREDRAW, updateLocks_ == 0, 0);
    RECT rect{};
    if (ItemTextRect(Handle(), node->ItemId(), rect) && rect.left < 50)
        SendMessageW(Handle(), WM_HSCROLL, SB_PAGELEFT, 0);
    if (updateLocks_ == 0)
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TDriveView::SetCurrentDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    SetDirectory(drives_.DefaultDir(drive));
    if (autoExpandDir_ && DriveInfo().IsValid(drive))
        if (TTreeNode* root = DriveRootNode(drive))
            root->Expand();
    if (TTreeNode* selected = Selected())
        CenterNode(selected);
}

void TDriveView::CenterNode(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"CenterNode");
    if (!HandleAllocated() || !Node->ItemId())
        return;
    SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Node->ItemId()));
    RECT client{};
    GetClientRect(Handle(), &client);
    // Each line moves the node by one row; a view that cannot scroll any
    // further ends the walk.
    int lastStep = 0;
    for (int lines = 0; lines < 10000; ++lines) {
        RECT rect{};
        if (!ItemTextRect(Handle(), Node->ItemId(), rect))
            return;
        const int step = CenterScrollStep(rect.top, client.bottom);
        // A row taller than the middle half would swing to and fro.
        if (step == 0 || step == -lastStep)
            return;
        lastStep = step;
        const auto before = SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
        SendMessageW(Handle(), WM_VSCROLL, step < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        if (SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0) == before)
            return;
    }
}

wchar_t TDriveView::GetCurrentDrive()
{
    TTreeNode* node = Selected();
    return node ? GetDrive(node) : L'\0';
}

bool TDriveView::ShowShellFolder(TTreeNode* Node, const std::wstring& Path)
{
    // A shell folder of the network lists its file-system entries.
    if (!NodeData(Node).IsVirtual || !NodeFolder(Node))
        return false;
    try {
        return dirView_->LoadVirtualNode(NodeData(Node).ShellFolder, Path, Node->Parent() != nullptr);
    } catch (const std::exception&) {
        TraceIgnoredException(L"listing a shell folder of the tree");
        return false;
    }
}

void TDriveView::SelectNode(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"SelectNode");
    if (Selected() == Node) {
        // A change still waiting for its delay takes effect now.
        pendingChange_ = nullptr;
        DoChange(Node);
        return;
    }
    selecting_ = true;
    try {
        SetSelected(Node);
    } catch (...) {
        selecting_ = false;
        throw;
    }
    selecting_ = false;
    // Without a window the control reports no change: run it here.
    if (!HandleAllocated())
        DoChange(Node);
}

void TDriveView::SetChangeDelay(unsigned Value)
{
    changeDelay_ = Value;
    if (Value == 0) {
        changeTimer_.reset();
        return;
    }
    if (!changeTimer_) {
        changeTimer_ = std::make_unique<TKyTimerThread>(nullptr, false);
        changeTimer_->OnTimer = [this](TKyTimerThread*) { DelayedChangeDue(); };
    }
    changeTimer_->SetInterval(Value);
}

void TDriveView::DelayedChangeDue()
{
    changeTimer_->SetEnabled(false);
    TTreeNode* node = pendingChange_;
    pendingChange_ = nullptr;
    if (node)
        DoChange(node);
}

void TDriveView::Change(TTreeNode* Node)
{
    if (changeDelay_ > 0 && changeTimer_ && !selecting_) {
        pendingChange_ = Node;
        // Enabling again counts a whole interval anew.
        changeTimer_->SetEnabled(false);
        changeTimer_->SetEnabled(true);
        return;
    }
    pendingChange_ = nullptr;
    DoChange(Node);
}

bool TDriveView::DriveReadyForUse(wchar_t Drive)
{
    TDriveInfo& info = DriveInfo();
    TDriveInfoRec rec;
    info.GetData(Drive, rec);
    if (showMessageBox_ || rec.DriveType == kDriveTypeNoRootDir) {
        try {
            return info.IsDriveAccessible(Drive);
        } catch (const std::exception&) {
            TraceIgnoredException(L"checking a tree folder");
            return false;
        }
    }
    info.ReadDriveStatus(Drive, dsSize);
    info.GetData(Drive, rec);
    return rec.DriveReady;
}

void TDriveView::DoChange(TTreeNode* Node)
{
    if (Node && Node->Object()) {
        const std::wstring path = GetDirPathName(Node);
        if (path != lastPath_) {
            const wchar_t oldDrive = lastPath_.empty() ? L'\0' : UpCaseDrive(lastPath_[0]);
            lastPath_ = path;
            const wchar_t drive = GetDrive(Node);
            TDriveInfoRec before;
            DriveInfo().GetData(drive, before);
            bool ready = DriveReadyForUse(drive);
            // The network neighbourhood is ready when its folder can be listed.
            if (ready && drive == kNetworkDrive && showMessageBox_)
                ready = CanEnumFolder(NodeFolder(Node));
            if (driveComboBox_)
                driveComboBox_->SetDrive(drive);
            if (ready) {
                if (IsDrivePath(path) && !DirExists(path)) {
                    // Gone meanwhile: go to the parent, whose children are
                    // read again when it next expands. Nodes are not deleted
                    // here, inside the control's own selection change.
                    if (TTreeNode* parent = Node->Parent()) {
                        lastPath_.clear();
                        NodeData(parent).AllScanned = false;
                        if (HandleAllocated())
                            PostMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET,
                                         reinterpret_cast<LPARAM>(parent->ItemId()));
                    }
                    return;
                }
                drives_.SetDefaultDir(drive, path);
                if (drive != oldDrive) {
                    // A removable drive's medium may be taken out: its
                    // monitor would hold the drive open.
                    if (oldDrive && DriveInfo().IsValid(oldDrive)) {
                        TDriveInfoRec old;
                        DriveInfo().GetData(oldDrive, old);
                        if (old.DriveType == kDriveTypeRemovable)
                            StopWatchThreadDrive(oldDrive);
                    }
                    TDriveInfoRec now;
                    DriveInfo().GetData(drive, now);
                    if (drive != kNetworkDrive && (now.Serial != before.Serial || now.Serial == 0)) {
                        DriveInfo().ReadDriveStatus(drive, dsSize);
                        if (OnInsertedDiskChange)
                            OnInsertedDiskChange(this, drive);
                    }
                    if (OnDiskChange)
                        OnDiskChange(this, drive);
                }
                // A list showing this folder already (the start folder,
                // spelled in another letter case) is not read a second time.
                if (dirView_ && !dirView_->AdoptPathSpelling(path)) {
                    // The list reads paths of the file system only; a shell
                    // folder without one shows as an empty list.
                    if (drive != kNetworkDrive || (NodeData(Node).IsFileSystem() && path.rfind(L"\\\\", 0) == 0)) {
                        dirView_->SetPath(path);
                    } else if (!ShowShellFolder(Node, path)) {
                        dirView_->SetPathOnly(path);
                        dirView_->ClearItems();
                    }
                }
                StartWatchThread();
            } else if (TTreeNode* root = DriveRootNode(drive)) {
                MessageBeep(MB_ICONHAND);
                ClearNodeChildren(root);
                if (dirView_) {
                    dirView_->SetPathOnly(path);
                    dirView_->ClearItems();
                }
                drives_.SetDefaultDir(drive, L"");
                if (drive != oldDrive) {
                    if (OnInsertedDiskChange)
                        OnInsertedDiskChange(this, drive);
                    if (OnDiskChange)
                        OnDiskChange(this, drive);
                }
            }
        }
    }
    TTreeView::Change(Node);
}

// ---- Options -------------------------------------------------------------------

void TDriveView::RefreshAllCaptions()
{
    std::function<void(TTreeNode*)> refresh = [&](TTreeNode* node) {
        RefreshNodeText(node);
        for (int i = 0; i < node->Count(); ++i)
            refresh(node->Item(i));
    };
    for (int i = 0; i < Items().RootCount(); ++i)
        refresh(Items().Root(i));
}

void TDriveView::SetShowVolLabel(bool Value)
{
    showVolLabel_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetVolDisplayStyle(TVolumeDisplayStyle Value)
{
    volDisplayStyle_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetFileNameDisplay(TFileNameDisplay Value)
{
    fileNameDisplay_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetCompressedColor(TColor Value)
{
    compressedColor_ = Value;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TDriveView::SetHiddenColor(TColor Value)
{
    hiddenColor_ = Value;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TDriveView::TakeSettingsOf(TDriveView& Main)
{
    SetChangeInterval(Main.ChangeInterval());
    SetNoCheckDrives(Main.NoCheckDrives());
    SetVolDisplayStyle(Main.VolDisplayStyle());
    SetFileNameDisplay(Main.FileNameDisplay());
    SetCompressedColor(Main.CompressedColor());
    SetHiddenColor(Main.HiddenColor());
    SetHideHiddenDirs(Main.HideHiddenDirs());
    SetShowNetwork(Main.ShowNetwork());
    SetAutoExpandDir(Main.AutoExpandDir());
    SetSubDirScanDelayed(Main.SubDirScanDelayed());
    SetShowMessageBox(false);
    ConfirmOverwrite = Main.ConfirmOverwrite;
    ConfirmDelete = Main.ConfirmDelete;
    WantNukeWarning = Main.WantNukeWarning;
    DDExpandDelay = Main.DDExpandDelay;
    DragDrop().DDLinkOnExeDrag = Main.DragDrop().DDLinkOnExeDrag;
}

// ---- Window ----------------------------------------------------------------------

void TDriveView::CreateWindowHandle(const TCreateParams& params)
{
    TTreeView::CreateWindowHandle(params);
    if (HandleAllocated()) {
        WorkersWindow(Handle());
        BindShellFolders();
        // The control forgets item states with its window.
        std::function<void(TTreeNode*)> overlays = [&](TTreeNode* node) {
            ApplyShareOverlay(node);
            for (int i = 0; i < node->Count(); ++i)
                overlays(node->Item(i));
        };
        for (int i = 0; i < Items().RootCount(); ++i)
            overlays(Items().Root(i));
    }
    if (HandleAllocated() && useSHChangeNotify_)
        RegisterShellNotify();
    // The drives are read once, when the tree first gets its window.
    if (HandleAllocated() && !rootsLoaded_) {
        RefreshRootNodes(false, dsDisplayName | 8);
        if (!directory_.empty())
            SetDirectory(directory_);
    }
}

void TDriveView::WorkersWindow(HWND Window)
{
    if (images_)
        images_->Window.Set(Window);
    if (watch_)
        watch_->ProbeWindow.Set(Window);
    if (reads_)
        reads_->Window.Set(Window);
}

void TDriveView::DestroyWnd()
{
    WorkersWindow(nullptr);
    TTreeView::DestroyWnd();
}

bool TDriveView::CustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result)
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
        return true;
    }
    auto* node = reinterpret_cast<TTreeNode*>(draw.nmcd.lItemlParam);
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
        if (node && SubDirReadPending(node))
            DrawBusyMark(draw);
        result = CDRF_DODEFAULT;
        return true;
    }
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return false;
    result = CDRF_DODEFAULT;
    if (!node || !node->Object())
        return true;
    if (SubDirReadPending(node))
        result = CDRF_NOTIFYPOSTPAINT;
    TNodeColorOptions options;
    options.TreeFocused = GetFocus() == Handle();
    options.HideSelection = HideSelection();
    options.CompressedColor = compressedColor_;
    options.HiddenColor = hiddenColor_;
    const bool selected = (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
    const TNodeColors colors = NodeColors(NodeData(node), selected, options);
    // The selection keeps the control's highlight unless the colours say otherwise.
    if (colors.Text != clDefault && (!selected || colors.Back != clDefault))
        draw.clrText = ColorToRGB(colors.Text);
    if (colors.Back != clDefault)
        draw.clrTextBk = ColorToRGB(colors.Back);
    return true;
}

void TDriveView::DrawBusyMark(NMTVCUSTOMDRAW& draw)
{
    // An ellipsis right of the caption, in the grey of disabled text, while
    // the folder's subfolders are searched.
    RECT rect{};
    if (!ItemTextRect(Handle(), reinterpret_cast<TTreeNode*>(draw.nmcd.lItemlParam)->ItemId(), rect))
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    rect.left = rect.right + 2;
    rect.right = client.right;
    const int oldMode = SetBkMode(draw.nmcd.hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(draw.nmcd.hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(draw.nmcd.hdc, L"\u2026", 1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(draw.nmcd.hdc, oldColor);
    SetBkMode(draw.nmcd.hdc, oldMode);
}

bool TDriveView::HandleKey(WPARAM key)
{
    TTreeNode* node = Selected();
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        if (node) {
            if (node->Expanded())
                node->Collapse();
            else
                node->Expand();
        }
        return true;
    case VK_APPS:
        ShowKeyboardPopup();
        return true;
    case VK_MULTIPLY:
    case VK_DIVIDE:
        // On the number pad; the control would expand the whole subtree of
        // "*", reading a whole drive. The character that follows is spent.
        HandleChar(key == VK_MULTIPLY ? L'*' : L'/');
        keyCharDone_ = true;
        return true;
    default:
        return false;
    }
}

POINT TDriveView::ContextMenuPoint()
{
    POINT at{0, 0};
    if (!HandleAllocated())
        return at;
    if (TTreeNode* node = Selected(); node && node->ItemId()) {
        // TVM_GETITEMRECT takes the item in the rectangle and, with TRUE,
        // answers the text's rectangle only.
        RECT text{};
        *reinterpret_cast<HTREEITEM*>(&text) = node->ItemId();
        if (SendMessageW(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
            at = POINT{text.left, text.top + 20};
    }
    ClientToScreen(Handle(), &at);
    return at;
}

void TDriveView::ShowKeyboardPopup()
{
    if (!HandleAllocated())
        return;
    const POINT at = ContextMenuPoint();
    if (UseSystemContextMenu && Selected())
        ShowContextMenuAndValidate(Selected(), &at);
    else if (popupMenu_)
        popupMenu_->Popup(at.x, at.y, Handle());
}

void TDriveView::ShowMousePopup(POINT At)
{
    POINT client = At;
    ScreenToClient(Handle(), &client);
    TTreeNode* node = NodeAt(client.x, client.y);
    if (UseSystemContextMenu && node)
        ShowContextMenuAndValidate(node, &At);
    else if (popupMenu_)
        popupMenu_->Popup(At.x, At.y, Handle());
}

bool TDriveView::HandleChar(WPARAM key)
{
    TTreeNode* node = Selected();
    switch (key) {
    case L'\r':
    case L' ':
        // Done on the key-down; no search by the character.
        return true;
    default:
        break;
    }
    if (IsFileCommandChar(key))
        return true;
    switch (key) {
    case L'*':
        if (node)
            SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node->ItemId()));
        return true;
    case L'/':
        if (node)
            node->Collapse(true);
        return true;
    default:
        return false;
    }
}

namespace {

// The label editor refuses the characters no file name may hold.
LRESULT CALLBACK LabelEditProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (msg == WM_CHAR && wParam < 0x80 &&
        std::wstring_view(L"\\/:*?\"<>|").find(static_cast<wchar_t>(wParam)) != std::wstring_view::npos) {
        MessageBeep(MB_OK);
        return 0;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(window, LabelEditProc, id);
    return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace

void TDriveView::WndProc(TMessage& message)
{
    if (WatchMessage(message) || NodeImagesMessage(message) || SubDirReadMessage(message))
        return;
    if (message.Msg == WM_DRIVEVIEW_REEDIT) {
        ReopenEditor();
        message.Result = 0;
        return;
    }
    if (message.Msg == CN_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(message.LParam);
        if (header.code == NM_CUSTOMDRAW) {
            LRESULT result = 0;
            if (CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header), result)) {
                message.Result = result;
                return;
            }
        } else if (header.code == NM_RCLICK && !scanning_) {
            // A right click: answered here (non-zero), so the control sends
            // no context-menu message of its own after it.
            const DWORD position = GetMessagePos();
            ShowMousePopup(POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)});
            message.Result = 1;
            return;
        } else if ((header.code == TVN_BEGINDRAGW || header.code == TVN_BEGINRDRAGW) && !scanning_) {
            const POINT at = reinterpret_cast<NMTREEVIEWW&>(header).ptDrag;
            if (TTreeNode* node = NodeAt(at.x, at.y))
                (void)DragNode(node);
            message.Result = 0;
            return;
        } else if (header.code == TVN_BEGINLABELEDITW) {
            TTreeView::WndProc(message);
            // The owner may refuse an edit the control opened by itself.
            if (!message.Result && OnEditing && Selected() && !OnEditing(this, Selected(), editByCode_))
                message.Result = 1;
            editOpen_ = !message.Result;
            if (!message.Result)
                if (HWND edit = reinterpret_cast<HWND>(SendMessageW(Handle(), TVM_GETEDITCONTROL, 0, 0)))
                    SetWindowSubclass(edit, LabelEditProc, 1, 0);
            return;
        }
    } else if (message.Msg == WM_SYSKEYDOWN && message.WParam == VK_RETURN) {
        // Alt+Enter.
        if (TTreeNode* node = Selected())
            ShowProperties(node);
        AltKeyCombinationTaken(Handle(), message.WParam);
        message.Result = 0;
        return;
    } else if (message.Msg == WM_SYSKEYDOWN && message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        // Shift+F10, the context-menu key's twin.
        ShowKeyboardPopup();
        message.Result = 0;
        return;
    } else if ((message.Msg == WM_KEYUP && message.WParam == VK_APPS) ||
               (message.Msg == WM_SYSKEYUP && message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
        // Shown on the key-down already; the default handling would ask
        // for the menu a second time.
        message.Result = 0;
        return;
    } else if (message.Msg == WM_CONTEXTMENU && message.LParam == -1) {
        // A context menu asked for by the keyboard some other way.
        ShowKeyboardPopup();
        message.Result = 0;
        return;
    } else if (message.Msg == WM_CONTEXTMENU && !scanning_) {
        // A right click.
        ShowMousePopup(POINT{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))});
        message.Result = 0;
        return;
    } else if (message.Msg == WM_SYSCHAR && message.WParam == L'\r') {
        message.Result = 0;
        return;
    } else if (message.Msg == WM_KEYDOWN && !(GetKeyState(VK_MENU) & 0x8000)) {
        keyCharDone_ = false;
        if (HandleKey(message.WParam)) {
            message.Result = 0;
            return;
        }
    } else if (message.Msg == WM_CHAR) {
        const bool done = keyCharDone_;
        keyCharDone_ = false;
        if ((done && (message.WParam == L'*' || message.WParam == L'/')) || HandleChar(message.WParam)) {
            message.Result = 0;
            return;
        }
    }
    TTreeView::WndProc(message);
}

}  // namespace qrv
