#include "panels/win/PaneDragDrop.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "common/win/ShellNotify.h"
#include "common/win/TempFiles.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/InputErrors.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/WaitCursor.h"
#include "panels/DropRules.h"
#include "panels/win/ShellLinks.h"

#include <algorithm>
#include <exception>

namespace qrv {

namespace {

TPaneDragDrop* gDragSource = nullptr;

bool IsProgram(const std::wstring& Name)
{
    const std::wstring ext = UpperCase(ExtractFileExt(Name));
    return ext == L".EXE" || ext == L".COM";
}

bool IsFullName(const std::wstring& Name)
{
    return DriveLetterOf(Name) != 0 || (Name.size() > 2 && Name[0] == L'\\' && Name[1] == L'\\');
}

std::wstring WithoutExtension(const std::wstring& Name)
{
    const std::wstring ext = ExtractFileExt(Name);
    return Name.substr(0, Name.size() - ext.size());
}

// The chunk a dropped stream is copied in.
constexpr size_t kStreamChunk = 1 << 20;
// Up to this many dropped files the shell hears of each; of more, that
// their folder changed.
constexpr size_t kFileNoticesUpTo = 16;

// Writes the stream from its start into File, opened for Path, and closes
// it; false when any part fails, and then Path is removed.
bool FillFile(TFileHandle File, const std::wstring& Path, TStream& Stream, std::vector<char>& Buffer)
{
    bool written = true;
    try {
        Stream.SetPosition(0);
        for (;;) {
            const size_t got = Stream.Read(Buffer.data(), Buffer.size());
            if (got == 0)
                break;
            DWORD put = 0;
            if (!WriteFile(File.Get(), Buffer.data(), static_cast<DWORD>(got), &put, nullptr) || put != got) {
                written = false;
                break;
            }
        }
    } catch (const std::exception&) {
        written = false;
    }
    File.Reset();
    if (!written && !DeleteFileW(Path.c_str()))
        TraceIgnoredFailure(L"removing a partly written dropped file", GetLastError());
    return written;
}

TFileHandle OpenForWriting(const std::wstring& Path, DWORD Disposition)
{
    return TFileHandle(
        CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, Disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

TPaneDragDrop::TPaneDragDrop(TPaneDropSite& Site) : site_(Site), dnd_(std::make_unique<TDragDropFilesEx>(nullptr))
{
    TDragDropFilesEx& dnd = *dnd_;
    dnd.AcceptOwnDnD = true;
    dnd.AutoDetectDnD = false;
    dnd.BringToFront = true;
    dnd.DragDetectDelta = 4;
    dnd.CompleteFileList = true;
    dnd.NeedValid = nvFilename;
    dnd.RenderDataOn = rdoEnterAndDropSync;
    dnd.TargetPopupMenu = true;
    dnd.ShellExtensions.DragDropHandler = true;
    dnd.ShellExtensions.DropHandler = true;
    Clock = [] { return static_cast<uint32_t>(GetTickCount()); };
    dnd.OnDragEnter = [this](TDragDrop*, IDataObject* Data, DWORD Keys, POINT Point, DWORD& Effect, bool& Accept) {
        Enter(Data, Keys, Point, Effect, Accept);
    };
    dnd.OnDragOver = [this](TDragDrop*, DWORD Keys, POINT Point, DWORD& Effect) { Over(Keys, Point, Effect); };
    dnd.OnDragLeave = [this](TDragDrop*) { Leave(); };
    dnd.OnDrop = [this](TDragDrop*, IDataObject*, DWORD, POINT, DWORD& Effect) {
        // What the drop asks is asked without the picture in the way.
        if (TDragPicture* picture = TDragPicture::Current())
            picture->End();
        if ((Effect & kDropEffectsAll) == 0)
            Highlight(nullptr, true);
        else
            dropPending_ = true;
    };
    dnd.OnProcessDropped = [this](TDragDrop*, DWORD Keys, POINT Point, DWORD Effect) { Dropped(Keys, Point, Effect); };
    dnd.OnQueryContinueDrag = [this](TDragDrop*, BOOL Escape, DWORD Keys, HRESULT& Result) {
        QueryContinue(Escape, Keys, Result);
    };
    dnd.OnSpecifyDropTarget = [this](TDragDropFilesEx*, bool DragDropHandler, POINT Point, TPidlPtr&,
                                     std::wstring& FileName) {
        // The shell's menu handlers work on the folder the files would go to.
        if (DragDropHandler) {
            const TPaneDropTarget target = site_.DropTargetAt(Point);
            if (target.Valid)
                FileName = target.Folder;
        }
    };
    dnd.SetDragDropControl(&site_.DropControl());
    dnd.SetSourceEffects(kDropEffectsAll);
    dnd.SetTargetEffects(kDropEffectsAll);
}

TPaneDragDrop::~TPaneDragDrop()
{
    if (gDragSource == this)
        gDragSource = nullptr;
}

bool TPaneDragDrop::AcceptFileContents() const
{
    return dnd_->AcceptFileContents;
}

void TPaneDragDrop::SetAcceptFileContents(bool Value)
{
    dnd_->AcceptFileContents = Value;
}

TPaneDragDrop* TPaneDragDrop::DragSource()
{
    return gDragSource;
}

void TPaneDragDrop::ReadDrag()
{
    drag_.Names.clear();
    drag_.Mapped.clear();
    for (int i = 0; i < dnd_->FileList.Count(); ++i) {
        const TFDDListItem& item = dnd_->FileList.GetItem(i);
        drag_.Names.push_back(item.Name);
        drag_.Mapped.push_back(dnd_->MappedNamesAvailable ? item.MappedName : std::wstring());
    }
    drag_.SourcePath = drag_.Names.empty() ? std::wstring() : drag_.Names.front();
    drag_.FileContents = dnd_->FileContentsAvailable;
    drag_.SourceEffects = dnd_->OfferedEffects() & kDropEffectsAll;
}

void TPaneDragDrop::Enter(IDataObject* /*Data*/, DWORD Keys, POINT /*Point*/, DWORD& /*Effect*/, bool& Accept)
{
    ReadDrag();
    drag_.OwnDrag = gDragSource == this;
    drag_.RightButton = (Keys & MK_RBUTTON) != 0;
    // Files must come with full paths; contents need no names.
    if (!drag_.FileContents &&
        (drag_.Names.empty() || !std::all_of(drag_.Names.begin(), drag_.Names.end(), IsFullName)))
        Accept = false;
    drag_.LinkOnExe = DDLinkOnExeDrag && (drag_.SourceEffects & deLink) && !drag_.Names.empty() &&
                      std::all_of(drag_.Names.begin(), drag_.Names.end(), IsProgram);
    target_ = {};
    Highlight(nullptr, true);
    site_.DropEnter(drag_, Clock());
    if (OnDDDragEnter)
        OnDDDragEnter(this);
}

void TPaneDragDrop::Over(DWORD Keys, POINT Point, DWORD& Effect)
{
    try {
        target_ = site_.DropTargetAt(Point);
        if (!target_.Valid) {
            Highlight(nullptr);
            Effect = DROPEFFECT_NONE;
            return;
        }
        Highlight(&target_);
        site_.DropHover(Point, target_, Clock());
        uint32_t effect = site_.PaneDropEffect(target_, drag_, Keys, Effect & kDropEffectsAll);
        if (OnDDDragOver)
            OnDDDragOver(this, Keys, Point, effect);
        Effect = effect;
    } catch (const std::exception&) {
        Effect = DROPEFFECT_NONE;
    }
}

void TPaneDragDrop::Highlight(const TPaneDropTarget* Target, bool Always)
{
    const bool shown = Target != nullptr;
    const void* key = Target ? Target->Key : nullptr;
    if (!Always && shown == highlightShown_ && key == highlighted_)
        return;
    highlightShown_ = shown;
    highlighted_ = key;
    const TDragPictureHidden hidden;
    site_.SetDropHighlight(Target);
    if (site_.DropControl().HandleAllocated())
        UpdateWindow(site_.DropControl().Handle());
}

void TPaneDragDrop::Leave()
{
    Highlight(nullptr);
    target_ = {};
    if (OnDDDragLeave)
        OnDDDragLeave(this);
}

void TPaneDragDrop::Dropped(DWORD Keys, POINT Point, DWORD Effect)
{
    const bool ownDrag = drag_.OwnDrag;
    ReadDrag();
    drag_.OwnDrag = ownDrag;
    target_ = site_.DropTargetAt(Point);
    uint32_t effect = Effect & kDropEffectsAll;
    if (OnDDProcessDropped)
        OnDDProcessDropped(this, Keys, Point, effect);
    const ScopeExit clear([this] {
        Highlight(nullptr, true);
        dnd_->ClearFileList();
        dropPending_ = false;
    });
    if (effect == deNone)
        return;
    if (!target_.Valid) {
        Error(kDropErrorNoTarget, {});
        return;
    }
    const bool sameFolder =
        !target_.OnItem && !drag_.SourcePath.empty() &&
        SameText(RemoveBackslash(ExtractFilePath(drag_.SourcePath)), RemoveBackslash(target_.Folder));
    // Moving files onto their own folder's background would do nothing: the
    // pane's own drag there (agreed to by the user) duplicates them.
    if (sameFolder && effect == deMove && drag_.OwnDrag && !drag_.RightButton)
        effect = deCopy;
    (void)PerformDrop(target_.Folder, effect, sameFolder);
}

bool TPaneDragDrop::PerformDrop(const std::wstring& Folder, uint32_t Effect, bool SameFolder)
{
    if (!DirExists(Folder)) {
        site_.DropDone(Folder, deNone);
        Error(kDropErrorNoTarget, Folder);
        return false;
    }
    const TWaitCursor wait;
    bool done = false;
    if (drag_.FileContents && dnd_->FileContentsStreams().Count() > 0) {
        done = WriteDroppedStreams(Folder);
    } else if (Effect == deLink) {
        done = MakeLinks(Folder, drag_.Names);
    } else if (!drag_.Names.empty()) {
        std::vector<std::wstring> names = drag_.Names;
        const std::wstring source = RemoveBackslash(ExtractFilePath(RemoveBackslash(names.front())));
        bool doOperation = true;
        if (OnDDFileOperation)
            OnDDFileOperation(this, Effect, source, Folder, names, doOperation);
        if (doOperation && !names.empty()) {
            // The mapped names of the files still dropped.
            std::vector<std::wstring> mapped;
            for (const std::wstring& name : names) {
                const auto at = std::find(drag_.Names.begin(), drag_.Names.end(), name);
                mapped.push_back(at == drag_.Names.end() ? std::wstring()
                                                         : drag_.Mapped[static_cast<size_t>(at - drag_.Names.begin())]);
            }
            for (std::wstring& name : mapped)
                if (!name.empty())
                    name = SafeForeignName(name, 0);
            bool answered = false;
            const bool ask = !target_.RecycleBin && !SameFolder && site_.DropConfirmsOverwrite();
            if ((!ask || AskBeforeReplacing(Folder, names, mapped, answered)) && !names.empty()) {
                done = site_.CopyOrMoveDropped(Folder, Effect, names, mapped, SameFolder, target_.RecycleBin, answered);
                if (OnDDFileOperationExecuted)
                    OnDDFileOperationExecuted(this, Effect, source, Folder, names);
            }
        }
    }
    site_.DropDone(Folder, Effect);
    if (OnDDExecuted)
        OnDDExecuted(this, Effect);
    return done;
}

bool TPaneDragDrop::AskBeforeReplacing(const std::wstring& Folder, std::vector<std::wstring>& Names,
                                       std::vector<std::wstring>& Mapped, bool& Answered)
{
    // The shell's move replaces a file of the same name without a word
    // (Wine's copies ask, its moves do not): the question comes first, here,
    // for copies and moves alike.
    Answered = false;
    if (!AskOverwrite)
        return true;
    bool yesToAll = false;
    bool folderMet = false;
    bool asked = false;
    for (size_t i = 0; i < Names.size();) {
        const std::wstring name = Mapped[i].empty() ? ExtractFileName(RemoveBackslash(Names[i])) : Mapped[i];
        const std::wstring target = AddBackslash(Folder) + name;
        const bool taken = PathExists(target) && !SameText(RemoveBackslash(Names[i]), target);
        if (!taken) {
            ++i;
            continue;
        }
        // A folder meeting a folder is merged by the shell, which asks about
        // what lies inside.
        if (DirExists(target) || DirExists(RemoveBackslash(Names[i]))) {
            folderMet = true;
            ++i;
            continue;
        }
        if (!yesToAll) {
            asked = true;
            const TOverwriteAnswer answer = AskOverwrite(RemoveBackslash(Folder), name);
            if (answer == TOverwriteAnswer::Abort)
                return false;
            if (answer == TOverwriteAnswer::No) {
                Names.erase(Names.begin() + static_cast<std::ptrdiff_t>(i));
                Mapped.erase(Mapped.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            yesToAll = answer == TOverwriteAnswer::YesToAll;
        }
        ++i;
    }
    // Answered once, not twice: the shell is told not to ask again unless a
    // merged folder still needs its own questions.
    Answered = asked && !folderMet;
    return true;
}

bool TPaneDragDrop::MakeLinks(const std::wstring& Folder, const std::vector<std::wstring>& Names)
{
    bool all = true;
    for (const std::wstring& name : Names) {
        const wchar_t drive = DriveLetterOf(name);
        const bool root = drive != 0 && name.size() <= 3;
        const std::wstring target = root ? std::wstring{drive, L':', L'\\'} : RemoveBackslash(name);
        const std::wstring linkName = LinkNameFor(target, root ? site_.DropDriveName(drive) : std::wstring());
        const std::wstring path = FreeLinkPath(Folder, linkName, [](const std::wstring& p) { return PathExists(p); });
        if (path.empty() || !CreateShellLink(target, path, WithoutExtension(linkName))) {
            all = false;
            continue;
        }
        NotifyShell(TShellChange::FileCreated, path, TShellNoticeWait::Post);
    }
    if (!all)
        Error(kDropErrorLink, Folder);
    return all;
}

bool TPaneDragDrop::WriteDroppedStreams(const std::wstring& Folder)
{
    TStreamList& streams = dnd_->FileContentsStreams();
    std::vector<std::wstring> names;
    for (int i = 0; i < streams.Count(); ++i)
        names.push_back(streams.Names(i));
    const std::vector<std::wstring> planned = PlanDropNames(names);
    std::vector<std::wstring> made;
    const ScopeExit notify([&] {
        if (made.size() > kFileNoticesUpTo) {
            NotifyShell(TShellChange::FolderUpdated, RemoveBackslash(Folder), TShellNoticeWait::Post);
            return;
        }
        for (const std::wstring& path : made)
            NotifyShell(TShellChange::FileCreated, path, TShellNoticeWait::Post);
    });
    bool yesToAll = false;
    std::vector<char> buffer(kStreamChunk);
    for (int i = 0; i < streams.Count(); ++i) {
        const std::wstring path = AddBackslash(Folder) + planned[static_cast<size_t>(i)];
        // A new file is made only while its name is free (the check and the
        // creation are one call) and written in place; one that fails
        // midway is removed.
        std::wstring temp;
        bool done = false;
        TFileHandle file = OpenForWriting(path, CREATE_NEW);
        const DWORD openError = GetLastError();
        if (file) {
            done = FillFile(std::move(file), path, streams.Streams(i), buffer);
        } else if (!PathExists(path)) {
            SetLastError(openError);
        } else {
            if (!yesToAll) {
                const TOverwriteAnswer answer =
                    AskOverwrite ? AskOverwrite(Folder, planned[static_cast<size_t>(i)]) : TOverwriteAnswer::Yes;
                if (answer == TOverwriteAnswer::Abort)
                    break;
                if (answer == TOverwriteAnswer::No)
                    continue;
                yesToAll = answer == TOverwriteAnswer::YesToAll;
            }
            if (DirExists(path)) {
                Error(kDropErrorContents, path);
                return false;
            }
            // A file to be replaced is written under a name of its own
            // first, so that a failure does not lose it.
            temp = CreateTemporaryFile(Folder, L"qrv");
            file = temp.empty() ? TFileHandle() : OpenForWriting(temp, TRUNCATE_EXISTING);
            done = file && FillFile(std::move(file), temp, streams.Streams(i), buffer) &&
                   MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        if (!done) {
            const DWORD error = GetLastError();
            if (!temp.empty() && PathExists(temp) && !DeleteFileW(temp.c_str()))
                TraceIgnoredFailure(L"removing a dropped file's temporary copy", GetLastError());
            TraceIgnoredFailure(L"writing a dropped file", error);
            Error(kDropErrorContents, path);
            return false;
        }
        made.push_back(path);
    }
    return !made.empty();
}

void TPaneDragDrop::Error(int Code, const std::wstring& Path)
{
    if (OnDDError) {
        OnDDError(this, Code, Path);
        return;
    }
    // Without a handler of its own the application's handler shows the
    // number; handed over rather than thrown, so that the drop still ends.
    Application->HandleException(std::make_exception_ptr(EDragDrop(L"DragDrop Error: " + std::to_wstring(Code))));
}

void TPaneDragDrop::QueryContinue(BOOL Escape, DWORD Keys, HRESULT& Result)
{
    if (OnDDQueryContinueDrag)
        OnDDQueryContinueDrag(this, Escape != FALSE, Keys, Result);
    // A drop this soon after the start is a slip of the button.
    if (Result == DRAGDROP_S_DROP && Clock() - dragStart_ < kTooEarlyDrop)
        Result = DRAGDROP_S_CANCEL;
    if (Result == S_OK) {
        picture_.Follow();
        return;
    }
    picture_.End();
    if (Result == DRAGDROP_S_CANCEL)
        Highlight(nullptr, true);
}

TDragResult TPaneDragDrop::StartDrag(const std::vector<std::wstring>& Names, uint32_t Effects)
{
    if (Names.empty() || gDragSource)
        return drInvalid;
    dnd_->ClearFileList();
    for (const std::wstring& name : Names)
        dnd_->FileList.AddItem(nullptr, name);
    // Item lists cost a shell call each: not for many files or removable disks.
    const wchar_t drive = DriveLetterOf(Names.front());
    const wchar_t root[] = {drive, L':', L'\\', 0};
    dnd_->CompleteFileList = Names.size() <= 100 && !(drive && GetDriveTypeW(root) == DRIVE_REMOVABLE);
    dnd_->SetSourceEffects(Effects);
    gDragSource = this;
    dragStart_ = Clock();
    if (UseDragImages && site_.DropControl().HandleAllocated()) {
        POINT hotSpot{};
        if (HIMAGELIST image = site_.DragPicture(Names, hotSpot))
            if (!picture_.Begin(image, hotSpot, site_.DropControl().Handle()))
                TraceIgnoredFailure(L"showing the picture of the dragged files");
    }
    const ScopeExit end([this] {
        picture_.End();
        gDragSource = nullptr;
        // A drop onto the pane itself reads the list when its message comes.
        if (!dropPending_)
            dnd_->ClearFileList();
        dnd_->SetSourceEffects(kDropEffectsAll);
        dnd_->CompleteFileList = true;
    });
    const TDragResult result = dnd_->Execute();
    if (result == drMove)
        site_.DraggedAway(Names);
    return result;
}

}  // namespace qrv
