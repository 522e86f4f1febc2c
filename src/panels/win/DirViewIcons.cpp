// TDirView: icons from a worker thread (UseIconUpdateThread). The display
// asks for the icon of each item it draws; a copy of what the shell needs
// goes to the worker, newest first (what was drawn last is what the user
// sees), and the answers come back through a message posted to the list.
// An answer is taken only by the record it was asked for, still at its
// index and still without its icon, while the items are those of the
// request: any change of the items (a load, a sort, a re-read) voids the
// answers under way, and the list, drawn again, asks again.

#include "panels/win/DirViewIcons.h"

#include "framework/TimingTrace.h"

namespace qrv {

TDirView::TIconState::TIconState(TDirShellInfo& Shell)
    : Queue(
          [&Shell](const TIconRequest& Request) {
              return TIconAnswer{Request.Generation, Request.Index, Request.Rec, Request.Query.Path,
                                 QueryItemShellInfo(Shell, Request.Query)};
          },
          [&Shell](const TIconRequest& Request) {
              TItemShellInfo info;
              info.ImageIndex = Request.Query.IsDirectory ? Shell.Icons().FolderIcon : Shell.Icons().DefaultFileIcon;
              return TIconAnswer{Request.Generation, Request.Index, Request.Rec, Request.Query.Path, info};
          },
          Window.Announcement(), L"asking the shell for an item's icon", TQueueOrder::NewestFirst)
{
    PrepareShellWorker(Queue, THREAD_PRIORITY_LOWEST);
}

void TDirView::SetUseIconUpdateThread(bool Value)
{
    if (Value == useIconThread_)
        return;
    useIconThread_ = Value;
    if (!Value)
        icons_.reset();  // waits for the question under way
}

size_t TDirView::IconsPending() const
{
    return icons_ ? icons_->Asked.size() : 0;
}

bool TDirView::IconsFromWorker() const
{
    // Shell folders and the recycle bin bring their icons with their items.
    return useIconThread_ && HandleAllocated() && !IsVirtual() && !FullPathItems();
}

void TDirView::FetchShownIcon(int Index, TFileRec& Item)
{
    if (!IconsFromWorker()) {
        if (Item.InfoEmpty || Item.IconEmpty)
            GetFileInfo(Item, true);
        return;
    }
    GetTypeName(Item);
    if (Item.IconEmpty)
        RequestIcon(Index, Item);
}

void TDirView::FetchShownTypeName(TFileRec& Item)
{
    if (IconsFromWorker())
        GetTypeName(Item);
    else if (Item.InfoEmpty)
        GetFileInfo(Item, false);
}

void TDirView::RequestIcon(int Index, const TFileRec& Item)
{
    if (!icons_) {
        icons_ = std::make_unique<TIconState>(shell_);
        icons_->Window.Set(handle_);
    }
    TIconState& state = *icons_;
    if (!state.Asked.insert(&Item).second)
        return;
    if (!state.Queue.Queue(TIconRequest{++state.LastId, state.Generation, Index, &Item, IconQueryOf(Item)}))
        state.Asked.erase(&Item);
}

void TDirView::TakeFetchedIcons()
{
    if (!icons_)
        return;
    TIconState& state = *icons_;
    const bool waited = !state.Asked.empty();
    for (TIconAnswer& answer : state.Queue.TakeResults()) {
        if (answer.Generation != state.Generation)
            continue;
        state.Asked.erase(answer.Rec);
        TFileRec* rec = ItemsReady() ? GetItemData(answer.Index) : nullptr;
        const bool wantsThumb = rec && viewStyleEx_ == TViewStyleEx::vsxThumb && rec->ThumbIndex == 0;
        if (rec != answer.Rec || (!rec->IconEmpty && !wantsThumb) || ItemFullFileName(rec) != answer.Path)
            continue;
        if (rec->IconEmpty) {
            // The type name from the attributes stays when the shell named none.
            if (answer.Info.TypeName.empty())
                answer.Info.TypeName = rec->TypeName;
            TakeShellInfo(*rec, answer.Info);
        }
        if (wantsThumb)
            MakeThumbnail(*rec);
        if (HandleAllocated())
            SendMessageW(handle_, LVM_REDRAWITEMS, static_cast<WPARAM>(answer.Index), answer.Index);
    }
    if (waited && state.Asked.empty() && TimingTraceEnabled())
        TraceTiming(L"list icons in " + GetPath());
}

void TDirView::ForgetRequestedIcons()
{
    if (!icons_)
        return;
    ++icons_->Generation;
    icons_->Asked.clear();
    icons_->Queue.Clear();
}

}  // namespace qrv
