#pragma once
// The picture that goes with the cursor while files are dragged out of a
// list or the tree: the control's own image of one row, a node as the tree
// shows it, or the
// files' resource picture with the counts written beside it. It is drawn
// over the pane's top-level window (the cursor hidden meanwhile) and left
// out wherever the cursor goes outside that window, so the drag is never
// without a mark. One picture at a time, as the system's image lists allow.

#include "framework/win/Handles.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace qrv {

class TDragPicture {
public:
    TDragPicture() = default;
    ~TDragPicture();
    TDragPicture(const TDragPicture&) = delete;
    TDragPicture& operator=(const TDragPicture&) = delete;

    // Shows Image (taken over) held at HotSpot under the cursor over the
    // top-level window of Control; false when it cannot be shown (the image
    // is then freed).
    bool Begin(HIMAGELIST Image, POINT HotSpot, HWND Control);
    // Follows the cursor; hidden outside the window.
    void Follow();
    // Takes the picture away and shows the cursor again.
    void End();
    bool Active() const { return image_ != nullptr; }

    // The picture of this process's drag, or nullptr.
    static TDragPicture* Current();

private:
    friend class TDragPictureHidden;
    void Show(bool Visible);

    HIMAGELIST image_ = nullptr;
    HWND window_ = nullptr;
    bool shown_ = false;
};

// Takes the current picture off the screen while a window beneath it is
// drawn (a moved highlight, a scrolled list) and puts it back after, so
// that it does not leave traces of itself behind.
class TDragPictureHidden {
public:
    TDragPictureHidden();
    ~TDragPictureHidden();
    TDragPictureHidden(const TDragPictureHidden&) = delete;
    TDragPictureHidden& operator=(const TDragPictureHidden&) = delete;

private:
    TDragPicture* picture_ = nullptr;
};

// The list control's image of Row; HotSpot: where the cursor holds it.
HIMAGELIST ListRowPicture(HWND List, int Row, POINT& HotSpot);
// Node as the tree shows it, its icon and its name; HotSpot as above.
HIMAGELIST TreeNodePicture(HWND Tree, HTREEITEM Node, POINT& HotSpot);
// The files' resource picture (32 x 32) widened by Lines of text in the
// font of FontSource, centred on its middle; HotSpot is fixed.
HIMAGELIST CountsPicture(HWND FontSource, const std::vector<std::wstring>& Lines, POINT& HotSpot);

}  // namespace qrv
