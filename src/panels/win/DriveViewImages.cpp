// TDriveView: the icons of its folder nodes. Drawing a node that has none
// yet asks the worker for the shell's icons and attributes of its folder
// and shows the plain folder's icons meanwhile: under Wine the shell takes
// up to a second for a folder of 100,000 files, and a question of the
// window's own waits as long while the worker's is under way. The answer is
// taken when its node still exists, and the node is drawn again.

#include "panels/win/DriveViewImages.h"

#include "framework/TimingTrace.h"
#include "framework/win/ImgList.h"
#include "panels/VirtualNodes.h"
#include "panels/win/DriveViewNode.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace qrv {

namespace {

constexpr UINT kNodeImagesMessage = WM_APP + 0x123;

// The small system icon of a path (open: the open folder's); -1 when the
// shell has none. Default: by the attributes alone, without the disk.
int SmallIconOf(const std::wstring& Path, bool Open, bool Default)
{
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (Open ? SHGFI_OPENICON : 0);
    if (Default)
        flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoW(Path.c_str(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags))
        return -1;
    return info.iIcon;
}

// The worker's answer: the folder's icons and its shell attributes.
TNodeImageAnswer AnswerFor(const TNodeImageRequest& Request, HIMAGELIST Images)
{
    TNodeImageAnswer answer{Request.NodeId, FolderImages(Request.Path, Images)};
    SHFILEINFOW info{};
    info.dwAttributes = kDiskAttrMask;
    if (SHGetFileInfoW(Request.Path.c_str(), 0, &info, sizeof info, SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED)) {
        answer.AttrKnown = true;
        answer.ShellAttr = info.dwAttributes & kDiskAttrMask;
    }
    return answer;
}

}  // namespace

TNodeImages FolderImages(const std::wstring& Path, HIMAGELIST Images)
{
    int image = Path.empty() ? -1 : SmallIconOf(Path, false, false);
    int open = Path.empty() ? -1 : SmallIconOf(Path, true, false);
    // Counted after the questions: the list grows as the shell meets new icons.
    const int count = Images ? ImageList_GetImageCount(Images) : 0;
    if (image < 1 || image >= count)
        image = SmallIconOf(L"folder", false, true);
    if (open < 1 || open >= count)
        open = SmallIconOf(L"folder", true, true);
    return TNodeImages{std::max(0, image), std::max(0, open)};
}

TDriveView::TImageState::TImageState(HIMAGELIST Images)
    : Window(kNodeImagesMessage),
      Queue([Images](const TNodeImageRequest& Request) { return AnswerFor(Request, Images); },
            [Images](const TNodeImageRequest& Request) {
                return TNodeImageAnswer{Request.NodeId, FolderImages({}, Images)};
            },
            Window.Announcement(), L"asking the shell for a folder's icons")
{
    PrepareShellWorker(Queue, THREAD_PRIORITY_BELOW_NORMAL);
}

HIMAGELIST TDriveView::ImageListHandle() const
{
    return Images() ? Images()->Handle() : nullptr;
}

bool TDriveView::QueueNodeImages(TTreeNode* Node)
{
    if (!HandleAllocated())
        return false;
    if (!images_) {
        images_ = std::make_unique<TImageState>(ImageListHandle());
        images_->Window.Set(Handle());
    }
    TImageState& state = *images_;
    if (state.Nodes.Contains(Node))
        return true;
    const uint64_t id = state.Nodes.NextId();
    if (!state.Queue.Queue(TNodeImageRequest{id, GetDirPath(Node)}))
        return false;
    state.Nodes.Add(Node, id);
    // The plain folder's images until the answer comes.
    auto& holder = static_cast<TDriveViewNode&>(*Node->Object());
    const TNodeImages plain = FolderImages({}, ImageListHandle());
    holder.Image = plain.Image;
    holder.SelectedImage = plain.SelectedImage;
    return true;
}

bool TDriveView::NodeImagesAwaited(TTreeNode* Node) const
{
    return images_ && images_->Nodes.Contains(Node);
}

void TDriveView::TakeNodeImages()
{
    if (!images_)
        return;
    const bool waited = images_->Nodes.Count() > 0;
    for (const TNodeImageAnswer& answer : images_->Queue.TakeResults()) {
        TTreeNode* node = images_->Nodes.Take(answer.NodeId);
        if (!node)
            continue;  // the node went meanwhile
        auto& holder = static_cast<TDriveViewNode&>(*node->Object());
        holder.Image = answer.Images.Image;
        holder.SelectedImage = answer.Images.SelectedImage;
        holder.Data.IconEmpty = false;
        if (answer.AttrKnown) {
            holder.Data.ShellAttr = (holder.Data.ShellAttr & ~kDiskAttrMask) | answer.ShellAttr;
            ApplyShareOverlay(node);
        }
        // TVM_GETITEMRECT takes the item in the rectangle; FALSE: the whole line.
        RECT rect{};
        const HTREEITEM item = node->ItemId();
        std::memcpy(&rect, &item, sizeof item);
        if (HandleAllocated() && item &&
            SendMessageW(Handle(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
            InvalidateRect(Handle(), &rect, FALSE);
    }
    if (waited && images_->Nodes.Count() == 0 && TimingTraceEnabled())
        TraceTiming(L"tree icons in");
}

void TDriveView::ForgetNodeImages(TTreeNode* Node)
{
    if (!images_)
        return;
    if (const std::optional<uint64_t> id = images_->Nodes.Forget(Node))
        images_->Queue.Forget(*id);
}

size_t TDriveView::ImagesPending() const
{
    return images_ ? images_->Nodes.Count() : 0;
}

bool TDriveView::NodeImagesMessage(TMessage& message)
{
    if (message.Msg != kNodeImagesMessage)
        return false;
    TakeNodeImages();
    message.Result = 0;
    return true;
}

}  // namespace qrv
