#pragma once
// TDriveView: the folder tree of the main window over the common tree view.
// Its top-level nodes are the drives of the drive table in letter order;
// below them the folders read from disk, each read when its parent first
// expands, and whether a folder has subfolders is found out when the
// control first draws its button. Every node owns its TNodeData. Selecting
// a folder points the linked directory list at it. The logic that needs no
// window lives in panels/DriveViewCore.h. The sources: DriveView.cpp (nodes,
// selection, options, the window), DriveViewLoad.cpp (reading the drives
// and folders), DriveViewWatch.cpp (watching them), DriveViewState.cpp
// (expansion state, clones), DriveViewShell.cpp (shell folders).

#include "common/DragDropRules.h"
#include "common/DropFilesBlock.h"
#include "common/win/PIDL.h"
#include "framework/Colors.h"
#include "framework/win/ComCtrls.h"
#include "panels/DriveViewCore.h"
#include "panels/TreeValidation.h"
#include "panels/win/FolderSearch.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TDirView;
class TDiscMonitor;
class TFileList;
class TPaneDropSite;
class TPaneDragDrop;
class TFileOperator;
class TKyDriveComboBox;
class TKyTimerThread;
class TPopupMenu;

using TDriveViewScanDirEvent = std::function<void(TComponent* Sender, TTreeNode* Node, bool& DoScanDir)>;
using TDriveViewDiskChangeEvent = std::function<void(TComponent* Sender, wchar_t Drive)>;
using TDriveViewErrorEvent = std::function<void(TComponent* Sender, TTreeNode* Node, uint32_t LastError)>;

class TDriveView : public TTreeView, private TDriveNodeTree {
public:
    explicit TDriveView(TComponent* owner);
    ~TDriveView() override;

    // ---- Nodes ---------------------------------------------------------------
    // Every node operation raises ENodeNotAssigned for a nil node.
    TNodeData& NodeData(TTreeNode* Node);
    std::wstring GetDirPath(TTreeNode* Node);      // "C:" for a root
    std::wstring GetDirPathName(TTreeNode* Node);  // "C:\" for a root
    std::wstring GetDirName(TTreeNode* Node) { return NodeData(Node).DirName; }
    wchar_t GetDrive(TTreeNode* Node);
    TTreeNode* RootNode(TTreeNode* Node);
    std::wstring GetDisplayDirPath(TTreeNode* Node);
    TTreeNode* NodeForPath(const std::wstring& Path);
    TTreeNode* NodeForPathOrParent(const std::wstring& Path);
    // The top-level node of a drive; nullptr when it has none.
    TTreeNode* DriveRootNode(wchar_t Drive);

    // ---- Directory and selection ---------------------------------------------
    std::wstring GetDirectory();
    // Selects the node of Path or of its nearest ancestor that has one.
    void SetDirectory(const std::wstring& Path);
    void SetCurrentDrive(wchar_t Drive);
    // 0 without a selection.
    wchar_t GetCurrentDrive();
    // Selects the node unless it is selected already; the change runs once,
    // at once, either way.
    void SelectNode(TTreeNode* Node);
    // Scrolls line by line until the node lies in the middle half.
    void CenterNode(TTreeNode* Node);
    std::wstring DefaultDir(wchar_t Drive) const { return drives_.DefaultDir(Drive); }
    const std::wstring& LastPath() const { return lastPath_; }

    // ---- Loading -------------------------------------------------------------
    // Brings the roots in line with the drive table. Flags: bit 8 includes
    // the drives before DefaultDrive, the rest goes to ReadDriveStatus.
    void RefreshRootNodes(bool Rescan, int Flags);
    void ScanDrive(wchar_t Drive) override;
    // Reads a node's subfolders again: from disk, or through the shell for
    // the network neighbourhood and the shell folders below it.
    void ReadSubDirs(TTreeNode* Node);
    // Lists a shell folder's folders: known ones are updated, new ones added
    // only with AddNew. A folder the shell cannot list loses its children.
    void ExpandVirtualNode(TTreeNode* Node, bool AddNew);
    // True while a full drive scan runs. The tree takes no input then, and
    // calls that would change its nodes (scans, reads, clearing, the drive
    // refresh) do nothing, so the walk never meets a deleted node.
    bool Scanning() const { return scanning_; }
    // Ends a running full drive scan after the folder it is reading.
    void StopScan() { continueScan_ = false; }
    // True as soon as the folder has one subfolder (visible ones only with
    // HideHiddenDirs).
    bool HasSubDirs(const std::wstring& Path) const;
    std::wstring GetDisplayName(TTreeNode* Node);
    std::wstring GetDriveText(wchar_t Drive);
    void RefreshNodeText(TTreeNode* Node);
    // Children deleted, the button kept, the node to be read again.
    void ClearNodeChildren(TTreeNode* Node);
    void SortChildren(TTreeNode* Node, bool Recurse);
    // Every node's expanded state into its record, and back into the control.
    void SaveNodesState();
    void RestoreNodesState();
    // Draws the node's caption bold (the directory search's hit) or plain.
    void SetBoldDraw(TTreeNode* Node, bool Bold);
    // The drive's whole folder tree has been read (a full drive scan).
    bool DriveFullyScanned(wchar_t Drive) const;
    // Told of every node before it is freed (its children before it), so
    // that holders of nodes drop them.
    void AddNodeDeletingListener(std::function<void(TTreeNode* Node)> Listener);
    // Takes over Source's nodes, drive states and selection.
    void CloneTree(TDriveView* Source);
    // Collapses every node that is not the selection or above it.
    void CollapseToSelection();
    // Nested: the tree repaints when the last lock goes.
    void LockUpdate();
    void UnlockUpdate();
    // The tree's own context menu: shown by the context-menu key (and
    // Shift+F10) at ContextMenuPoint while the shell's menu is not offered.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* Value) { popupMenu_ = Value; }
    // Screen point of the keyboard's context menu: 20 pixels below the top
    // of the selected node's text, at its left edge, so the menu opens just
    // under the row; the tree's top left without a selection.
    POINT ContextMenuPoint();
    // The shell's properties of the node's folder.
    void ShowProperties(TTreeNode* Node);
    // The node's shell folder, bound on first use; nil when the shell has none.
    // Lists the node's shell folder in the linked list; false when it has
    // none or the shell could not list it.
    bool ShowShellFolder(TTreeNode* Node, const std::wstring& Path);
    IShellFolder* NodeFolder(TTreeNode* Node);
    // The node's absolute item identifier list; nil when the shell has none.
    TPidlPtr AbsolutePidl(TTreeNode* Node);
    // The desktop and My Computer, bound when the window is made.
    IShellFolder* DesktopFolder() const { return desktop_.Get(); }
    IShellFolder* DrivesFolder() const { return drivesFolder_.Get(); }
    // The system error of the last folder search that failed; 0 after one
    // that worked.
    uint32_t LastError() const { return lastError_; }

    // ---- Options -------------------------------------------------------------
    // A second tree (a folder dialog's) shows folders as Main does: hidden
    // folders, the network neighbourhood, captions, colours, watching,
    // confirmations and drag rules as Main has them; it shows no drive
    // messages of its own.
    void TakeSettingsOf(TDriveView& Main);
    bool HideHiddenDirs() const { return hideHiddenDirs_; }
    // Validates the selected drive's root, so hidden folders go or come.
    void SetHideHiddenDirs(bool Value);
    bool ShowVolLabel() const { return showVolLabel_; }
    void SetShowVolLabel(bool Value);
    TVolumeDisplayStyle VolDisplayStyle() const { return volDisplayStyle_; }
    void SetVolDisplayStyle(TVolumeDisplayStyle Value);
    TFileNameDisplay FileNameDisplay() const { return fileNameDisplay_; }
    void SetFileNameDisplay(TFileNameDisplay Value);
    bool ShowDirSize() const { return showDirSize_; }
    // Captions with the sizes of the files in each folder (" = 2K"); on
    // measures the folders read so far.
    void SetShowDirSize(bool Value);
    bool ShowMessageBox() const { return showMessageBox_; }
    void SetShowMessageBox(bool Value) { showMessageBox_ = Value; }
    // The network neighbourhood "\\" as the last root.
    bool ShowNetwork() const { return showNetwork_; }
    // Adds or removes the root at once (the selection moves to a drive
    // first); stays off where the system has no network or the shell no
    // network folder.
    void SetShowNetwork(bool Value);
    // After SetShowNetwork changed the root (a linked drive box follows).
    TNotifyEvent OnShowNetworkChanged;
    // Selecting by path scrolls the node into view; without, the top stays.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool Value) { autoScroll_ = Value; }
    bool AutoExpandDir() const { return autoExpandDir_; }
    void SetAutoExpandDir(bool Value) { autoExpandDir_ = Value; }
    // Reads a drive's whole folder tree at once when it is first opened.
    bool FullDriveScan() const { return fullDriveScan_; }
    void SetFullDriveScan(bool Value) { fullDriveScan_ = Value; }
    bool ReadDrives() const { return readDrives_; }
    void SetReadDrives(bool Value) { readDrives_ = Value; }
    TColor CompressedColor() const { return compressedColor_; }
    void SetCompressedColor(TColor Value);
    TColor HiddenColor() const { return hiddenColor_; }
    void SetHiddenColor(TColor Value);
    TDirView* DirView() const { return dirView_; }
    void SetDirView(TDirView* Value);  // also links the list back to this tree
    // The drive box that shows the selected drive; set by the box's
    // SetDriveView.
    TKyDriveComboBox* DriveComboBox() const { return driveComboBox_; }
    void SetDriveComboBox(TKyDriveComboBox* Value) { driveComboBox_ = Value; }
    // Milliseconds a selection made in the control waits before it takes
    // effect; the last one wins. 0: at once. Selections made in code
    // (SelectNode) never wait.
    unsigned ChangeDelay() const { return changeDelay_; }
    void SetChangeDelay(unsigned Value);

    TDriveViewScanDirEvent OnScanDir;
    TDriveViewDiskChangeEvent OnDiskChange;
    TDriveViewDiskChangeEvent OnInsertedDiskChange;
    TDriveViewErrorEvent OnError;
    std::function<void(TComponent* Sender)> OnStartScan;
    std::function<void(TComponent* Sender)> OnEndScan;

    // ---- Change watching (DriveViewWatch.cpp) -----------------------------------
    // Each scanned drive may have a recursive folder-name monitor; its
    // changes validate the drive's read nodes after ChangeInterval.
    bool WatchDirectory() const { return watchDirectory_; }
    // On starts the monitors of the scanned drives, off frees them all.
    void SetWatchDirectory(bool Value);
    unsigned ChangeInterval() const { return changeInterval_; }
    // 0 is ignored.
    void SetChangeInterval(unsigned Value);
    // Drive letters never watched (stored upper-cased); "\" never is.
    const std::wstring& NoCheckDrives() const { return noCheckDrives_; }
    void SetNoCheckDrives(const std::wstring& Value);
    // Whether nodes are probed for subfolders on a background thread.
    bool SubDirScanDelayed() const { return subDirScanDelayed_; }
    void SetSubDirScanDelayed(bool Value) { subDirScanDelayed_ = Value; }
    // Whether a folder's subfolders are read on a worker: the window waits
    // 30 ms for them, a folder that takes longer keeps its button and a busy
    // mark and is filled when they come, and a path below it is found
    // without waiting. Off, they are read at once, on the window's thread.
    bool ReadInBackground() const { return readInBackground_; }
    void SetReadInBackground(bool Value) { readInBackground_ = Value; }
    // The shell's share, unshare and folder-rename notifications.
    bool UseSHChangeNotify() const { return useSHChangeNotify_; }
    void SetUseSHChangeNotify(bool Value);
    // Starts the selected drive's monitor (with WatchDirectory).
    void StartWatchThread();
    // Frees the selected drive's monitor.
    void StopWatchThread();
    void StopWatchThreadDrive(wchar_t Drive);
    void StartAllWatchThreads();
    void StopAllWatchThreads();
    bool WatchThreadActive();
    bool WatchThreadActiveDrive(wchar_t Drive);
    // The node's drive monitor runs (whatever WatchDirectory says).
    bool NodeWatchActive(TTreeNode* Node);
    // The drive's folder monitor; nullptr when the drive is not watched.
    TDiscMonitor* DriveMonitor(wchar_t Drive) const;
    // Brings the node's read subtree in line with the disk.
    void ValidateDirectory(TTreeNode* Node);
    // The same for the expanded part of the subtree only.
    void ValidateExpandedDirectory(TTreeNode* Node);
    void SaveNodesState(TTreeNode* Node);
    void RestoreNodesState(TTreeNode* Node);
    // Nodes waiting for the background prober's answer.
    size_t ProbesPending() const;
    // Folders whose subfolders a worker is reading (DriveViewRead.cpp).
    size_t ReadsPending() const;
    // The node's subfolders are being read: it keeps its button and is drawn
    // with a busy mark; the rest of the tree takes input meanwhile.
    bool SubDirReadPending(TTreeNode* Node) const;
    // Folder nodes drawn with the plain folder's images while a worker asks
    // the shell for their own (DriveViewImages.cpp).
    size_t ImagesPending() const;

    TDriveViewDiskChangeEvent OnChangeDetected;
    TDriveViewDiskChangeEvent OnChangeInvalid;

    // ---- Folder commands (DriveViewFileOps.cpp) ---------------------------------
    // The shell asks before deleting; a delete to the recycle bin warns when
    // it would delete for good.
    bool ConfirmDelete = true;
    bool WantNukeWarning = true;
    // The tree's operator: its renames and their undo.
    TFileOperator& FileOperator();
    // A new folder Name in Node's folder, as a child node of its own;
    // nullptr with LastFileError set when the name is taken (183), is no
    // plain name or the system refused. Node must be a disk folder.
    TTreeNode* CreateDirectory(TTreeNode* Node, const std::wstring& Name);
    // Deletes Node's folder through the shell (ToRecycleBin: into the
    // recycle bin); the node goes when its folder is gone. Drive roots and
    // shell folders are refused with a beep. True when the folder is gone.
    bool DeleteDirectory(TTreeNode* Node, bool ToRecycleBin);
    // Whether the node's name may be edited in place: a disk folder below a
    // drive, no recycle bin or system folder, its caption its folder name.
    bool CanEdit(TTreeNode* Node) override;
    // Opens the name editor on the node.
    void EditNodeName(TTreeNode* Node);
    // The name editor is open.
    bool IsEditing() const;
    // Whether the name editor may open on the node; ByCode: EditNodeName
    // opens it (a command or the shell menu), not a click. Unset: it may.
    std::function<bool(TComponent* Sender, TTreeNode* Node, bool ByCode)> OnEditing;
    // Before and after a rename in place.
    std::function<void(TComponent* Sender, TTreeNode* Node)> OnRenameBegin;
    std::function<void(TComponent* Sender, TTreeNode* Node)> OnRenameEnd;
    // The name editor closed, whatever came of it (a rename, a failure, a
    // refused name or a cancel): once for every opening OnEditing allowed.
    TNotifyEvent OnEditEnded;
    // Shows a failed rename's error (OK and Abort); true: edit again. The
    // default is the error box. An invalid name is shown through it too,
    // without editing again.
    std::function<bool(const std::wstring& Text)> AskRenameAgain;
    // Node's folder to the clipboard, to be copied or (cut) moved; drives and
    // shell folders are refused. The clipboard is emptied first. A cut folder
    // is drawn cut until the clipboard is emptied or another folder is cut.
    bool CopyToClipBoard(TTreeNode* Node);
    bool CutToClipBoard(TTreeNode* Node);
    // Empties the clipboard and takes the cut look off the marked folder.
    void EmptyClipboard();
    // The folder last cut to the clipboard; empty when none.
    const std::wstring& CutMark() const { return cutMark_; }
    // Takes the cut look off the marked folder's node and forgets the mark.
    void ClearCutMark();
    // A folder is selected and the clipboard holds files.
    bool CanPasteFromClipBoard();
    // The clipboard's files into TargetPath ("" the selected folder): a cut
    // is moved and the clipboard emptied, anything else copied; a copy into
    // the files' own folder gets copies' names ("Projekt - Kopie"), and so
    // does every name taken with RenameOnCollision. A folder is never
    // pasted into itself or below. True when the shell reported success.
    bool PasteFromClipBoard(const std::wstring& TargetPath, bool RenameOnCollision);
    // Copies or moves (Effect) the files of DragFileList into TargetPath,
    // or with ToRecycleBin deletes them; the nodes of the folders involved
    // are validated and the linked list reloads. The list is cleared.
    // OverwriteAnswered: the user was asked already, the shell is not to
    // ask again.
    bool PerformDragDropFileOperation(const std::wstring& TargetPath, TDropEffect Effect, bool RenameOnCollision,
                                      bool ToRecycleBin, bool OverwriteAnswered = false);
    // The files a paste or a drop hands to PerformDragDropFileOperation.
    TFileList& DragFileList();
    bool ConfirmOverwrite = true;
    // A copy of a folder beside it ("Projekt - Kopie"), without the
    // clipboard; the copy's node is centred and its name editor opened.
    // nullptr for a drive root, a shell folder or a failed copy.
    TTreeNode* DuplicateDirectory(TTreeNode* Node);
    // Creates every missing folder of Path, level by level, as nodes; false
    // when the deepest existing folder has no node or a level fails.
    bool CreatePath(const std::wstring& Path);
    // Expands every node of the subtree up to Level (a drive is 0),
    // collapses those deeper.
    void ExpandLevel(TTreeNode* Node, int Level);

    // ---- Drag and drop (DriveViewDrops.cpp) ---------------------------------------

    // The tree's file drag and drop: its component, events and drops.
    TPaneDragDrop& DragDrop();
    // Drags the node's folder out; a drive root only as a shortcut, a shell
    // folder without a place on disk not at all.
    TDragResult DragNode(TTreeNode* Node);
    // The folder this tree drags and its node; empty and nullptr when none.
    const std::wstring& DraggedPath() const { return dragPath_; }
    TTreeNode* DraggedNode() const { return draggedNode_; }
    // How long a hovered folder waits before it opens (milliseconds).
    uint32_t DDExpandDelay = 1000;

    // ---- Menus and sizes (DriveViewMenus.cpp) ------------------------------------
    // The shell's menu of the node's folder at ScreenPoint, the program's
    // items after it; "rename", "cut", "copy" and "paste" are the tree's own.
    void DisplayContextMenu(TTreeNode* Node, POINT ScreenPoint);
    void DisplayContextMenuAtCursor(TTreeNode* Node);
    // The shell's properties of the node's folder.
    void DisplayPropertiesMenu(TTreeNode* Node);
    // Right click and the keys show the shell's menu with this on, the
    // tree's popup menu without.
    bool UseSystemContextMenu = true;
    // Before the shell's menu shows.
    TNotifyEvent OnDisplayContextMenu;
    // Bytes of the files directly in the node's folder, measured when unknown.
    int64_t GetDirSize(TTreeNode* Node);
    void SetDirSize(TTreeNode* Node);
    // Measures every read folder of the drive, captions renewed with
    // ShowDirSize; the tree takes no other scan meanwhile.
    void ScanDriveDirSizes(wchar_t Drive);

protected:
    bool CanExpand(TTreeNode* Node) override;
    bool NodeHasChildren(TTreeNode* Node) override;
    void Change(TTreeNode* Node) override;
    void NodeDeleting(TTreeNode* Node) override;
    void NodeImages(TTreeNode* Node, int& Image, int& SelectedImage) override;
    // Reads a node's icons from the shell.
    virtual void FetchNodeImages(TTreeNode* Node);
    // The node's drive is a network drive.
    bool IsRemoteFolder(TTreeNode* Node);
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    bool Edited(TTreeNode* Node, const wchar_t* Text) override;

private:
    // TDriveNodeTree, for the lookup in DriveViewCore.
    TNodeRef Parent(TNodeRef Node) override;
    int ChildCount(TNodeRef Node) override;
    TNodeRef Child(TNodeRef Node, int Index) override;
    TNodeData& Data(TNodeRef Node) override;
    TNodeRef DriveRoot(wchar_t Drive) override;
    bool DriveScanned(wchar_t Drive) override;
    void ReadSubDirs(TNodeRef Node) override;
    TNodeRef NodeForUNCPath(const std::wstring& Path) override;
    // A folder still being read: the one subfolder Name looked up on disk
    // and given a node of its own; nullptr when there is no such folder.
    TNodeRef LookUpChild(TNodeRef Node, const std::wstring& Name) override;

    // What a selection change does: the list follows, the drive is checked.
    void DoChange(TTreeNode* Node);
    void DelayedChangeDue();
    bool ScanDirAllowed(TTreeNode* Node);
    void ScanWholeDrive(wchar_t Drive);
    // Adds the subfolders of Node found on disk; with Recurse their own too.
    void AddSubDirs(TTreeNode* Node, bool Recurse);
    bool DriveReadyForUse(wchar_t Drive);
    void AddRootNode(wchar_t Drive);
    void RemoveRootNode(wchar_t Drive);
    void ReportError(TTreeNode* Node);
    void RefreshAllCaptions();
    bool CustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result);
    bool HandleKey(WPARAM key);
    bool HandleChar(WPARAM key);
    void ShowKeyboardPopup();
    void ShowMousePopup(POINT At);
    void BindShellFolders();
    // The shell attributes (Mask) of a disk folder or drive through Parent's
    // folder; 0 when the shell cannot tell.
    uint32_t ShellAttributesIn(IShellFolder* Parent, TNodeData& Data, uint32_t Mask);
    // A disk folder's shell attributes, read through its parent's folder
    // when the node is first drawn: a folder of thousands costs only the
    // shell calls for the rows on screen.
    void ReadDiskShellAttributes(TTreeNode* Node);
    void ApplyShareOverlay(TTreeNode* Node);
    void FetchVirtualImages(TTreeNode* Node);
    TTreeNode* NodeForPidlPath(TTreeNode* NetworkRoot, const std::wstring& Path);
    // Whether a shell folder is still there: a file-system one by its
    // parsing path, others among their parent folder's items.
    bool VirtualNodeExists(TTreeNode* Node);
    // ExpandVirtualNode; with DropVanished known children the shell no
    // longer lists are deleted too (validation does that).
    void ReadVirtualChildren(TTreeNode* Node, bool AddNew, bool DropVanished);
    // A node for a disk folder, with the button left to the probe.
    TTreeNode* InsertDiskNode(TTreeNode* Parent, TNodeData Data);

    std::vector<std::function<void(TTreeNode*)>> nodeDeletingListeners_;
    // Change watching.
    struct TWatchState;
    TWatchState& Watch();
    void StartDriveMonitor(wchar_t Drive);
    void DriveChanged(wchar_t Drive);
    void DriveChangeTick(wchar_t Drive);
    void DriveInvalid(wchar_t Drive);
    void ValidateTree(TTreeNode* Node, TIterateMode Mode, bool Full);
    bool ValidateNode(TNodeRef& Node, TTreeNode* Start, bool Full);
    // The shell-folder step: a vanished start node goes, read ones are re-read.
    bool ValidateVirtualNode(TNodeRef& Node, TTreeNode* Start);
    void SyncChildren(TTreeNode* Node);
    void ReprobeNode(TTreeNode* Node);
    void DeleteValidatedNode(TTreeNode* Node);
    [[nodiscard]] bool QueueProbe(TTreeNode* Node);
    void ApplyProbeResults();
    void ForgetWatchedNode(TTreeNode* Node);
    bool WatchMessage(TMessage& message);
    void RegisterShellNotify();
    void DeregisterShellNotify();
    void ShellNotification(TMessage& message);
    TTreeNode* ExistingNodeForPath(const std::wstring& Path);

    TShellFolderPtr desktop_;
    TShellFolderPtr drivesFolder_;
    TDriveStatusTable drives_;
    std::wstring directory_;
    std::wstring lastPath_;
    TDirView* dirView_ = nullptr;
    TKyDriveComboBox* driveComboBox_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
    unsigned changeDelay_ = 0;
    std::unique_ptr<TKyTimerThread> changeTimer_;
    TTreeNode* pendingChange_ = nullptr;  // waits for the delay
    bool selecting_ = false;              // inside SelectNode
    uint32_t lastError_ = 0;
    bool rootsLoaded_ = false;
    bool fullDriveScan_ = false;
    bool scanning_ = false;
    bool continueScan_ = false;
    bool hideHiddenDirs_ = false;
    bool showVolLabel_ = true;
    TVolumeDisplayStyle volDisplayStyle_ = TVolumeDisplayStyle::doPrettyName;
    TFileNameDisplay fileNameDisplay_ = TFileNameDisplay::fndStored;
    bool showDirSize_ = false;
    bool showMessageBox_ = true;
    bool autoExpandDir_ = true;
    bool showNetwork_ = false;
    bool autoScroll_ = true;
    int updateLocks_ = 0;
    // The key-down of "*" or "/" on the number pad did its work; its
    // character is not to do it again.
    bool keyCharDone_ = false;
    bool readDrives_ = true;
    TColor compressedColor_ = clBlue;
    TColor hiddenColor_ = clGrayText;
    bool watchDirectory_ = false;
    unsigned changeInterval_ = 1000;
    std::wstring noCheckDrives_;
    bool subDirScanDelayed_ = false;
    bool readInBackground_ = false;
    bool useSHChangeNotify_ = false;
    std::unique_ptr<TWatchState> watch_;

    // The folder icons asked of a worker: on a large folder the shell takes
    // its time, and the tree is drawn meanwhile.
    struct TImageState;
    // The system's small icons the tree shows; nullptr without.
    HIMAGELIST ImageListHandle() const;
    // Node, a folder on a local disk, gets its icons from the worker; false
    // when there is no worker to ask.
    [[nodiscard]] bool QueueNodeImages(TTreeNode* Node);
    bool NodeImagesAwaited(TTreeNode* Node) const;
    void TakeNodeImages();
    void ForgetNodeImages(TTreeNode* Node);
    // The worker's answers waiting: taken (true), or not that message.
    bool NodeImagesMessage(TMessage& message);
    // The tree's window was made (or goes: nullptr): the workers announce
    // their answers there.
    void WorkersWindow(HWND Window);
    std::unique_ptr<TImageState> images_;

    // The subfolders read on a worker (DriveViewRead.cpp).
    struct TReadState;
    // Node's folder is searched on the worker; false when there is no worker
    // to ask (no window yet).
    [[nodiscard]] bool QueueSubDirRead(TTreeNode* Node);
    // Waits a moment for Node's answer, answering sent messages; a folder
    // not read by then is drawn busy and filled when its answer comes.
    void AwaitSubDirRead(TTreeNode* Node);
    // Applies the worker's answers; with Only, that node's alone.
    void TakeSubDirReads(TTreeNode* Only);
    // Brings Node's children in line with the subfolders found: known ones
    // keep their nodes, the rest are added, those gone are deleted.
    void ApplySubFolders(TTreeNode* Node, const TSubFolderList& List);
    void ForgetSubDirRead(TTreeNode* Node);
    void ExpandWhenRead(TTreeNode* Node);
    bool SubDirReadMessage(TMessage& message);
    void InvalidateNode(TTreeNode* Node);
    void DrawBusyMark(NMTVCUSTOMDRAW& draw);
    std::unique_ptr<TReadState> reads_;

    // Folder commands.
    // Renames Node's folder to NewName; false after the error box.
    // The name typed into the editor: checked and, when it is a new one, applied.
    void ApplyEditedName(TTreeNode* Node, const wchar_t* Text);
    bool RenameNode(TTreeNode* Node, const std::wstring& NewName, const std::wstring& Typed);
    void ReopenEditor();
    // Stops the drive's folder monitor; true when it was running.
    bool PauseDriveMonitor(wchar_t Drive);
    void ResumeDriveMonitor(wchar_t Drive, bool WasActive);
    std::unique_ptr<TFileOperator> fileOperator_;
    bool editByCode_ = false;  // EditNodeName opens the editor
    // After a failed rename: the folder whose editor reopens, with the text typed.
    std::wstring reEditPath_;
    std::wstring reEditText_;
    std::wstring cutMark_;
    bool PutOnClipBoard(TTreeNode* Node, bool Cut);
    std::unique_ptr<TFileList> dropFileList_;
    // Drag and drop: the pane's side and the component (destroyed first).
    std::unique_ptr<TPaneDropSite> dropSite_;
    std::unique_ptr<TPaneDragDrop> dragDrop_;
    std::wstring dragPath_;
    TTreeNode* draggedNode_ = nullptr;
    // The shell menu of a right click (At) or of the keyboard, then the
    // node validated unless its drive's monitor reports the changes.
    void ShowContextMenuAndValidate(TTreeNode* Node, const POINT* At);
    static int64_t FolderFilesSize(const std::wstring& Path);
    // The name editor opened and has not ended yet. An editor losing the
    // focus while it is destroyed (or to a message box) reports its end a
    // second time; that report is ignored.
    bool editOpen_ = false;
};

// User message the tree posts to itself to open the name editor again after
// a failed rename.
constexpr UINT WM_DRIVEVIEW_REEDIT = WM_USER + 0x141;

}  // namespace qrv
