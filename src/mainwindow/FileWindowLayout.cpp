#include "mainwindow/FileWindowLayout.h"

#include <algorithm>

namespace qrv {

int SplitOf(const TPaneSizes& Sizes, int Layout)
{
    return Layout == kLayoutStacked ? Sizes.FirstListHeight : Sizes.FirstListWidth;
}

void SetSplit(TPaneSizes& Sizes, int Layout, int Split)
{
    (Layout == kLayoutStacked ? Sizes.FirstListHeight : Sizes.FirstListWidth) = Split;
}

TFileWindowLayout ArrangeFileWindows(const TFileWindowRequest& Request)
{
    const int splitter = std::max(0, Request.SplitterSize);
    // The tree and the display pane first get what the window can show at all.
    const TPaneSizes fitted = FitPaneSizes(Request.Sizes, Request.ClientWidth, Request.ClientHeight);
    TFileWindowLayout out;
    out.Sizes = Request.Sizes;

    int tree = std::max(fitted.TreeWidth, kMinPaneRoom);
    if (tree > Request.ClientWidth - kMinPaneRoom)
        tree = std::max(1, Request.ClientWidth - kMinPaneRoom);
    out.Sizes.TreeWidth = tree;

    int display = fitted.DisplayHeight;
    const int displayRoom = Request.ClientHeight - (Request.TreeMinHeight + splitter + 10);
    if (display > displayRoom)
        display = std::max(1, displayRoom);
    out.Sizes.DisplayHeight = display;

    out.AreaWidth = std::max(0, Request.ClientWidth - (Request.TreeShown ? tree + splitter : 0));
    out.AreaHeight = std::max(0, Request.ClientHeight - (Request.DisplayShown ? display + splitter : 0));

    if (!Request.SecondShown) {
        out.First = {0, 0, out.AreaWidth, out.AreaHeight};
        return out;
    }
    const bool stacked = Request.Layout == kLayoutStacked;
    const int extent = stacked ? out.AreaHeight : out.AreaWidth;
    int split = SplitOf(Request.Sizes, Request.Layout);
    if (!Request.WindowShown) {
        // Before the window has its size the stored split is only cut to it.
        split = SplitOf(fitted, Request.Layout);
        if (split <= 0)
            split = extent / 2;
    } else if (split < kMinPaneRoom || split > extent - kMinPaneRoom) {
        split = extent / 2;
    }
    SetSplit(out.Sizes, Request.Layout, split);

    const int rest = std::max(0, extent - split - splitter);
    if (stacked) {
        out.First = {0, 0, out.AreaWidth, split};
        out.Splitter = {0, split, out.AreaWidth, splitter};
        out.Second = {0, split + splitter, out.AreaWidth, rest};
    } else {
        out.First = {0, 0, split, out.AreaHeight};
        out.Splitter = {split, 0, splitter, out.AreaHeight};
        out.Second = {split + splitter, 0, rest, out.AreaHeight};
    }
    return out;
}

}  // namespace qrv
