#pragma once
// The folder tree's node icons: the shell's icons of a folder's path, and
// the worker that asks for them (and for the folder's shell attributes)
// while the tree is drawn with the plain folder's.

#include "panels/BackgroundQueue.h"
#include "panels/win/DriveView.h"
#include "panels/win/PendingNodes.h"
#include "panels/win/ShellWorker.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

namespace qrv {

// A node's closed and open images.
struct TNodeImages {
    int Image = 0;
    int SelectedImage = 0;
};

// The shell's small icons (closed and open) of a folder; where the shell
// gives none that Images holds (a remote folder is not asked: Path empty),
// the plain folder's.
TNodeImages FolderImages(const std::wstring& Path, HIMAGELIST Images);

struct TNodeImageRequest {
    uint64_t NodeId = 0;
    std::wstring Path;
};

struct TNodeImageAnswer {
    uint64_t NodeId = 0;
    TNodeImages Images;
    // The folder's shell attributes of the disk mask (shared, link,
    // read-only, hidden), when the shell named them.
    bool AttrKnown = false;
    uint32_t ShellAttr = 0;
};

struct TDriveView::TImageState {
    explicit TImageState(HIMAGELIST Images);

    // Where the answers are announced: the tree's window.
    TAnswerWindow Window;
    TBackgroundQueue<TNodeImageRequest, TNodeImageAnswer, &TNodeImageRequest::NodeId> Queue;
    TPendingNodes Nodes;
};

}  // namespace qrv
