// The list's drag and drop: the list as a drop target (its folder items and
// its background), the drop carried out by its operator, dragging the
// selection out, and taking vanished items out of the list afterwards.

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/FileChanges.h"
#include "common/win/FileQueries.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "panels/DropRules.h"
#include "panels/PasteRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/PaneDragDrop.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_set>

namespace qrv {

namespace {

bool AtOrAfterDefaultDrive(const std::wstring& Path)
{
    const wchar_t drive = DriveLetterOf(Path);
    const wchar_t first = DriveInfo().DefaultDrive();
    return drive != 0 && (first == L' ' || first == 0 || drive >= first);
}

bool IntoDragged(const TPaneDrag& Drag, const std::wstring& Folder)
{
    return std::any_of(Drag.Names.begin(), Drag.Names.end(), [&](const std::wstring& name) {
        return !name.empty() && IsSameOrAncestorFolder(RemoveBackslash(name), Folder);
    });
}

class TDirViewDropSite : public TPaneDropSite {
public:
    explicit TDirViewDropSite(TDirView& View) : view_(View) {}

    TWinControl& DropControl() override { return view_; }

    TPaneDropTarget DropTargetAt(POINT Point) override
    {
        TPaneDropTarget target;
        if (!view_.Loaded() || view_.IsVirtual() || view_.GetPath().empty())
            return target;
        target.Valid = true;
        target.Folder = RemoveBackslash(view_.GetPath());
        if (!view_.HandleAllocated())
            return target;
        LVHITTESTINFO hit{};
        hit.pt = Point;
        const int index =
            static_cast<int>(SendMessageW(view_.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        const TFileRec* item = index >= 0 && (hit.flags & LVHT_ONITEM) ? view_.GetItemData(index) : nullptr;
        if (item && item->IsDirectory && !item->IsParentDir) {
            target.Folder = view_.ItemFullFileName(item);
            target.OnItem = true;
            target.RecycleBin = item->IsRecycleBin;
            target.Key = item;
        }
        return target;
    }

    void SetDropHighlight(const TPaneDropTarget* Target) override
    {
        view_.SetDropHighlightItem(Target && Target->OnItem ? static_cast<const TFileRec*>(Target->Key) : nullptr);
    }

    uint32_t PaneDropEffect(const TPaneDropTarget& Target, const TPaneDrag& Drag, uint32_t Keys,
                            uint32_t Proposed) override
    {
        TListDropQuery query;
        query.Keys = Keys;
        query.Proposed = Proposed;
        query.SourceEffects = Drag.SourceEffects;
        query.LinkProposed = Drag.LinkOnExe;
        query.DrivesLinkable = AtOrAfterDefaultDrive(view_.GetPath()) && AtOrAfterDefaultDrive(Drag.SourcePath);
        query.SameDrive = OnSameDrive(Drag.SourcePath, Target.Folder);
        query.OnRecycleBinItem = Target.RecycleBin;
        query.IntoDraggedFolder = IntoDragged(Drag, Target.Folder);
        if (Drag.FileContents)
            return Proposed == deNone ? deNone : deCopy;
        return ListDropEffect(query);
    }

    void DropHover(POINT Point, const TPaneDropTarget&, uint32_t Now) override
    {
        if (view_.ViewStyle() != TViewStyle::vsReport || !view_.HandleAllocated())
            return;
        RECT client{};
        GetClientRect(view_.Handle(), &client);
        RECT line{LVIR_BOUNDS, 0, 0, 0};
        const int height = SendMessageW(view_.Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line))
                               ? std::max(1, static_cast<int>(line.bottom - line.top))
                               : 16;
        const bool up = Point.y < client.top + 3 * height;
        const bool down = Point.y > client.bottom - height;
        if (scroll_.StepDue(up || down, Now)) {
            const TDragPictureHidden hidden;
            SendMessageW(view_.Handle(), WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0);
            UpdateWindow(view_.Handle());
        }
    }

    bool CopyOrMoveDropped(const std::wstring& Folder, uint32_t Effect, const std::vector<std::wstring>& Names,
                           const std::vector<std::wstring>& Mapped, bool SameFolder, bool ToRecycleBin,
                           bool OverwriteAnswered) override
    {
        return view_.PerformDropOperation(Folder, Effect, Names, Mapped, SameFolder, ToRecycleBin, OverwriteAnswered);
    }

    bool DropConfirmsOverwrite() override { return view_.ConfirmOverwrite; }

    void DropDone(const std::wstring& Folder, uint32_t /*Effect*/) override
    {
        view_.SetDropHighlightItem(nullptr);
        if (view_.Loaded())
            view_.ReloadDirectory();
        if (TDriveView* tree = view_.DriveView())
            if (TTreeNode* node = tree->NodeForPathOrParent(Folder))
                tree->ValidateDirectory(node);
    }

    TFileOperator& DropOperator() override { return view_.FileOperator(); }

    std::wstring DropDriveName(wchar_t Drive) override
    {
        return view_.DriveView() ? view_.DriveView()->GetDriveText(Drive) : std::wstring();
    }

    void DraggedAway(const std::vector<std::wstring>& Names) override { view_.WatchVanishedFiles(Names); }

    void DropEnter(const TPaneDrag&, uint32_t Now) override { scroll_.Reset(Now); }

    HIMAGELIST DragPicture(const std::vector<std::wstring>&, POINT& HotSpot) override
    {
        // Thumbnails are pictures enough.
        if (!view_.HandleAllocated() || view_.ViewStyleEx() == TViewStyleEx::vsxThumb)
            return nullptr;
        int row = -1;
        unsigned files = 0;
        unsigned folders = 0;
        for (int i = 0; i < view_.ItemCount(); ++i) {
            const TFileRec* item = view_.GetItemData(i);
            if (!item->Selected || item->IsParentDir)
                continue;
            row = i;
            ++(item->IsDirectory ? folders : files);
        }
        if (files + folders == 1)
            return ListRowPicture(view_.Handle(), row, HotSpot);
        return CountsPicture(view_.Handle(), DragCountLines(files, folders), HotSpot);
    }

private:
    TDirView& view_;
    TListScrollTimer scroll_;
};

}  // namespace

TPaneDragDrop& TDirView::DragDrop()
{
    if (!dragDrop_) {
        auto site = std::make_unique<TDirViewDropSite>(*this);
        dragDrop_ = std::make_unique<TPaneDragDrop>(*site);
        dropSite_ = std::move(site);
        dragDrop_->Component().TargetPopupMenu = true;
    }
    return *dragDrop_;
}

void TDirView::SetDropHighlightItem(const TFileRec* Item)
{
    if (Item == dropHighlight_)
        return;
    dropHighlight_ = Item;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, FALSE);
}

bool TDirView::PerformDropOperation(const std::wstring& Target, uint32_t Effect, const std::vector<std::wstring>& Names,
                                    const std::vector<std::wstring>& Mapped, bool SameFolder, bool ToRecycleBin,
                                    bool OverwriteAnswered)
{
    if (Names.empty())
        return false;
    if (!DirExists(Target)) {
        ReloadDirectory();
        return false;
    }
    TDropConfirmations confirm;
    confirm.Overwrite = ConfirmOverwrite && !OverwriteAnswered;
    confirm.Delete = ConfirmDelete;
    confirm.NukeWarning = WantNukeWarning;
    const auto exists = [](const std::wstring& path) { return PathExists(path); };
    const auto isDirectory = [](const std::wstring& path) { return DirExists(path); };
    const TPastePlan plan = PlanDrop(Names, Mapped, static_cast<TDropEffect>(Effect), Target, confirm, ToRecycleBin,
                                     SameFolder, exists, isDirectory);
    if (!plan.Valid)
        return false;
    TFileOperator& op = FileOperator();
    op.SourceFiles.Clear();
    op.DestFiles.Clear();
    op.Operation = plan.Operation;
    op.Flags = plan.Flags;
    for (const std::wstring& name : plan.Sources)
        op.SourceFiles.Add(name);
    if (plan.Operation != TFileOperation::foDelete && plan.Dests.empty())
        op.DestFiles.Add(plan.Dest);
    for (const std::wstring& name : plan.Dests)
        op.DestFiles.Add(name);
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    const ScopeExit resume([&] { SetWatchForChanges(watching); });
    bool treeWatching = false;
    if (driveView_) {
        treeWatching = driveView_->WatchDirectory();
        driveView_->StopAllWatchThreads();
    }
    const ScopeExit resumeTree([&] {
        if (driveView_ && treeWatching)
            driveView_->StartAllWatchThreads();
    });
    const bool done = op.Execute();
    ReloadDirectory();
    return done;
}

TDragResult TDirView::DragSelectedItems()
{
    if (!Loaded() || IsVirtual())
        return drInvalid;
    std::vector<std::wstring> names;
    for (int i = 0; i < ItemCount(); ++i) {
        const TFileRec* item = GetItemData(i);
        if (item->Selected && !item->IsParentDir)
            names.push_back(ItemFullFileName(item));
    }
    if (names.empty())
        return drInvalid;
    return DragDrop().StartDrag(names, deCopy | deMove | deLink);
}

void TDirView::WatchVanishedFiles(const std::vector<std::wstring>& FullPaths)
{
    const std::vector<bool> exist = PathsExist(FullPaths);
    RemoveGoneItems(FullPaths, exist);
    std::vector<std::wstring> pending;
    for (size_t i = 0; i < FullPaths.size(); ++i)
        if (exist[i])
            pending.push_back(FullPaths[i]);
    // A target in another process may still be moving them.
    dragPoller_.reset();
    if (!pending.empty())
        dragPoller_ = std::make_unique<TFileDeleteThread>(
            pending,
            [this](TFileDeleteThread*, const std::vector<std::wstring>& Deleted) { RemoveFileItems(Deleted); });
}

void TDirView::RemoveItemIfGone(TFileRec& Item)
{
    if (Item.IsParentDir || PathExists(ItemFullFileName(&Item)))
        return;
    const int index = IndexOf(&Item);
    if (index < 0)
        return;
    DeleteItem(index);
    if (OnDirUpdated)
        OnDirUpdated(this);
}

void TDirView::RemoveFileItem(const std::wstring& FullPath)
{
    RemoveFileItems({FullPath});
}

void TDirView::RemoveFileItems(const std::vector<std::wstring>& FullPaths)
{
    if (!Loaded() || FullPaths.empty())
        return;
    const std::wstring folder = UpperCase(RemoveBackslash(GetPath()));
    std::vector<std::wstring> shown;
    for (const std::wstring& path : FullPaths)
        if (UpperCase(RemoveBackslash(ExtractFilePath(RemoveBackslash(path)))) == folder)
            shown.push_back(path);
    RemoveGoneItems(shown, PathsExist(shown));
}

void TDirView::RemoveGoneItems(const std::vector<std::wstring>& FullPaths, const std::vector<bool>& Exist)
{
    if (!Loaded())
        return;
    const std::wstring folder = UpperCase(RemoveBackslash(GetPath()));
    std::unordered_set<std::wstring> gone;
    for (size_t i = 0; i < FullPaths.size(); ++i)
        if (!Exist[i] && UpperCase(RemoveBackslash(ExtractFilePath(RemoveBackslash(FullPaths[i])))) == folder)
            gone.insert(UpperCase(ExtractFileName(RemoveBackslash(FullPaths[i]))));
    if (gone.empty())
        return;
    bool removed = false;
    {
        TUpdateBracket update(*this);
        std::wstring key;  // its room kept from item to item
        DeleteItems([&](const TFileRec& item) {
            if (item.IsParentDir)
                return false;
            key.assign(item.FileName);
            std::transform(key.begin(), key.end(), key.begin(), UpCaseChar);
            const bool isGone = gone.count(key) > 0;
            removed = removed || isGone;
            return isGone;
        });
    }
    if (removed && OnDirUpdated)
        OnDirUpdated(this);
}

void TDirView::ValidateSelectedItems()
{
    std::vector<std::wstring> selected;
    for (int i = 0; i < ItemCount(); ++i)
        if (const TFileRec* item = GetItemData(i); item->Selected && !item->IsParentDir)
            selected.push_back(ItemFullFileName(item));
    if (selected.size() > 50) {
        ReloadDirectory();
        return;
    }
    RemoveFileItems(selected);
}

bool TDirView::DuplicateSelectedFiles()
{
    if (!Loaded() || IsVirtual())
        return false;
    std::vector<std::wstring> names;
    for (int i = 0; i < ItemCount(); ++i)
        if (const TFileRec* item = GetItemData(i); item->Selected && !item->IsParentDir)
            names.push_back(ItemFullFileName(item));
    if (names.empty())
        return false;
    const auto exists = [](const std::wstring& path) { return PathExists(path); };
    const auto isDirectory = [](const std::wstring& path) { return DirExists(path); };
    const TPastePlan plan = PlanPaste(names, deCopy, AddBackslash(GetPath()), true, exists, isDirectory, true);
    if (!plan.Valid || !PerformDropOperation(GetPath(), deCopy, names, {}, true, false))
        return false;
    // The copies are the selection.
    TUpdateBracket update(*this);
    SelectRange(-1, -1, false);
    TFileRec* first = nullptr;
    for (const std::wstring& copy : plan.Dests)
        if (TFileRec* item = FindFileItem(ExtractFileName(RemoveBackslash(copy)))) {
            SetItemSelected(*item, true);
            first = first ? first : item;
        }
    if (first)
        SetItemFocused(first);
    MarkChanged();
    return true;
}

}  // namespace qrv
