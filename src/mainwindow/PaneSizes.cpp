#include "mainwindow/PaneSizes.h"

#include <algorithm>

namespace qrv {

namespace {

// A stored size of at most room - kMinPaneRoom (and at least 1), or 0 when
// none was stored.
int Fit(int stored, int room, int others = kMinPaneRoom)
{
    if (stored <= 0)
        return 0;
    return std::min(stored, std::max(1, room - others));
}

}  // namespace

TPaneSizes FitPaneSizes(const TPaneSizes& Stored, int ClientWidth, int ClientHeight)
{
    TPaneSizes fitted;
    fitted.TreeWidth = Fit(Stored.TreeWidth, ClientWidth);
    // Above the display pane the two file lists may lie one over the other.
    fitted.DisplayHeight = Fit(Stored.DisplayHeight, ClientHeight, 2 * kMinPaneRoom);
    // The first list shares what the display pane leaves with the second.
    const int listRoom = ClientHeight - (fitted.DisplayHeight > 0 ? fitted.DisplayHeight : 0);
    fitted.FirstListHeight = Fit(Stored.FirstListHeight, listRoom);
    // Side by side it shares what the tree leaves.
    const int besideRoom = ClientWidth - (fitted.TreeWidth > 0 ? fitted.TreeWidth : 0);
    fitted.FirstListWidth = Fit(Stored.FirstListWidth, besideRoom);
    return fitted;
}

}  // namespace qrv
