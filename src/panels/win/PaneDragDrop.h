#pragma once
// Drag and drop of files for one pane (the folder tree or a file list): the
// pane's TDragDropFilesEx set up for files, the state of the drag over it,
// the effect from the pane's rule and the main window's event, the drop
// itself (copy or move through the pane, shortcuts, dropped file contents
// written as files) and dragging the pane's own files out. The pane answers
// through TPaneDropSite; the main window listens to the events.

#include "common/DragDropRules.h"
#include "common/win/DragDropFilesEx.h"
#include "panels/win/DragPicture.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TFileOperator;
class TWinControl;

// The place under the mouse that would take a drop.
struct TPaneDropTarget {
    bool Valid = false;   // something there takes drops
    std::wstring Folder;  // where the files go
    bool OnItem = false;  // a folder item of a list, rather than its background
    bool RecycleBin = false;
    bool NotFileSystem = false;
    const void* Key = nullptr;  // the same for the same place (a tree node)
};

// The drag over the pane.
struct TPaneDrag {
    std::vector<std::wstring> Names;   // the dragged files' full paths
    std::vector<std::wstring> Mapped;  // the names the source chose for them, or empty
    std::wstring SourcePath;           // the first dragged name
    uint32_t SourceEffects = 0;
    bool FileContents = false;
    bool LinkOnExe = false;  // programs dragged with linking on
    bool OwnDrag = false;    // the drag started in this pane
    bool RightButton = false;
};

// What the pane does for its drag and drop.
class TPaneDropSite {
public:
    virtual ~TPaneDropSite() = default;
    virtual TWinControl& DropControl() = 0;
    // The place under Point (client); Highlight marks it (nullptr: none).
    virtual TPaneDropTarget DropTargetAt(POINT Point) = 0;
    virtual void SetDropHighlight(const TPaneDropTarget* Target) = 0;
    // The pane's own effect over Target.
    virtual uint32_t PaneDropEffect(const TPaneDropTarget& Target, const TPaneDrag& Drag, uint32_t Keys,
                                    uint32_t Proposed) = 0;
    // A drag enters the pane.
    virtual void DropEnter(const TPaneDrag& /*Drag*/, uint32_t /*Now*/) {}
    // The mouse rests at Point (expanding, scrolling); Now in milliseconds.
    virtual void DropHover(POINT /*Point*/, const TPaneDropTarget& /*Target*/, uint32_t /*Now*/) {}
    // Copies or moves the dragged files into Folder (Mapped: the names
    // there, or empty); SameFolder: a copy into their own folder.
    // ToRecycleBin: the target is a recycle bin, the files are deleted.
    // OverwriteAnswered: the user agreed to replace the files that are
    // there, the shell need not ask again.
    virtual bool CopyOrMoveDropped(const std::wstring& Folder, uint32_t Effect, const std::vector<std::wstring>& Names,
                                   const std::vector<std::wstring>& Mapped, bool SameFolder, bool ToRecycleBin,
                                   bool OverwriteAnswered) = 0;
    // Whether an existing file is replaced only after a question.
    virtual bool DropConfirmsOverwrite() = 0;
    // After a drop into Folder (or a failed one): the pane brings itself up
    // to date.
    virtual void DropDone(const std::wstring& Folder, uint32_t Effect) = 0;
    virtual TFileOperator& DropOperator() = 0;
    // The drive's name as the tree shows it ("C: System"), for a shortcut
    // to a drive.
    virtual std::wstring DropDriveName(wchar_t /*Drive*/) { return {}; }
    // A drag from the pane ended in a move of these files.
    virtual void DraggedAway(const std::vector<std::wstring>& /*Names*/) {}
    // The picture that goes with the cursor while Names are dragged out,
    // held at HotSpot; nullptr: none.
    virtual HIMAGELIST DragPicture(const std::vector<std::wstring>& /*Names*/, POINT& /*HotSpot*/) { return nullptr; }
};

// Answers of the overwrite question for dropped files and contents.
enum class TOverwriteAnswer { Yes, No, Abort, YesToAll };

// Drag-and-drop errors: a shortcut failed, the target folder is gone, a
// dropped file could not be written.
constexpr int kDropErrorLink = 0;
constexpr int kDropErrorNoTarget = 1;
constexpr int kDropErrorContents = 2;

class TPaneDragDrop {
public:
    explicit TPaneDragDrop(TPaneDropSite& Site);
    ~TPaneDragDrop();
    TPaneDragDrop(const TPaneDragDrop&) = delete;
    TPaneDragDrop& operator=(const TPaneDragDrop&) = delete;

    TDragDropFilesEx& Component() { return *dnd_; }
    TPaneDropSite& Site() { return site_; }
    // Programs dragged in are linked rather than copied.
    bool DDLinkOnExeDrag = true;
    // A picture of the dragged files goes with the cursor.
    bool UseDragImages = true;
    // Dropped file contents (files of other programs without a place on
    // disk) are written as files.
    bool AcceptFileContents() const;
    void SetAcceptFileContents(bool Value);

    const TPaneDrag& Drag() const { return drag_; }
    const TPaneDropTarget& Target() const { return target_; }
    // The pane whose drag runs in this process, or nullptr.
    static TPaneDragDrop* DragSource();

    // Drags the files out (Effects: what the drag offers); the result of
    // the system's loop. A move hands the names to the pane.
    TDragResult StartDrag(const std::vector<std::wstring>& Names, uint32_t Effects);

    // The drop into Folder: copies or moves through the pane, or makes
    // shortcuts, or writes dropped contents; the events around it fire.
    bool PerformDrop(const std::wstring& Folder, uint32_t Effect, bool SameFolder);

    // Events for the main window.
    std::function<void(TPaneDragDrop* Sender)> OnDDDragEnter;
    std::function<void(TPaneDragDrop* Sender)> OnDDDragLeave;
    std::function<void(TPaneDragDrop* Sender, uint32_t Keys, POINT Point, uint32_t& Effect)> OnDDDragOver;
    std::function<void(TPaneDragDrop* Sender, uint32_t Keys, POINT Point, uint32_t& Effect)> OnDDProcessDropped;
    // Before the copy or move: may take names out of Names or veto.
    std::function<void(TPaneDragDrop* Sender, uint32_t Effect, const std::wstring& SourceFolder,
                       const std::wstring& TargetFolder, std::vector<std::wstring>& Names, bool& DoOperation)>
        OnDDFileOperation;
    std::function<void(TPaneDragDrop* Sender, uint32_t Effect, const std::wstring& SourceFolder,
                       const std::wstring& TargetFolder, const std::vector<std::wstring>& Names)>
        OnDDFileOperationExecuted;
    std::function<void(TPaneDragDrop* Sender, uint32_t Effect)> OnDDExecuted;
    // Path: the folder of a missing target.
    std::function<void(TPaneDragDrop* Sender, int Code, const std::wstring& Path)> OnDDError;
    std::function<void(TPaneDragDrop* Sender, bool Escape, uint32_t Keys, HRESULT& Result)> OnDDQueryContinueDrag;
    // The question before a dropped file or its contents replace one;
    // without, dropped contents replace and files are left to the shell.
    std::function<TOverwriteAnswer(const std::wstring& Folder, const std::wstring& Name)> AskOverwrite;
    // The clock of the hover timing (milliseconds).
    std::function<uint32_t()> Clock;

private:
    void Enter(IDataObject* Data, DWORD Keys, POINT Point, DWORD& Effect, bool& Accept);
    void Over(DWORD Keys, POINT Point, DWORD& Effect);
    void Leave();
    void Dropped(DWORD Keys, POINT Point, DWORD Effect);
    void QueryContinue(BOOL Escape, DWORD Keys, HRESULT& Result);
    void ReadDrag();
    // Moves the highlight to Target (nullptr: none), drawn at once with the
    // drag picture out of the way; Always: even when it seems to be there.
    void Highlight(const TPaneDropTarget* Target, bool Always = false);
    bool MakeLinks(const std::wstring& Folder, const std::vector<std::wstring>& Names);
    bool WriteDroppedStreams(const std::wstring& Folder);
    // Asks before a dropped file replaces one of the same name; a No takes
    // the file out of Names (and Mapped). False: the user aborted.
    bool AskBeforeReplacing(const std::wstring& Folder, std::vector<std::wstring>& Names,
                            std::vector<std::wstring>& Mapped, bool& Answered);
    void Error(int Code, const std::wstring& Path);

    TPaneDropSite& site_;
    std::unique_ptr<TDragDropFilesEx> dnd_;
    TPaneDrag drag_;
    TPaneDropTarget target_;
    uint32_t dragStart_ = 0;
    // The highlighted place (its key), and whether there is one.
    const void* highlighted_ = nullptr;
    bool highlightShown_ = false;
    TDragPicture picture_;
    bool dropPending_ = false;  // dropped here, the files not yet processed
};

}  // namespace qrv
