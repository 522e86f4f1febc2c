#pragma once
// TKyImageList: the thumbnail list of a directory list: colour images of one
// size without masks, growing by 100, that tells nobody of its changes
// (adding a thumbnail redraws only its item).

#include "framework/win/WinApi.h"

#include <commctrl.h>

namespace qrv {

class TKyImageList {
public:
    // Throws EOSError when the system refuses.
    TKyImageList(int Width, int Height);
    ~TKyImageList();
    TKyImageList(const TKyImageList&) = delete;
    TKyImageList& operator=(const TKyImageList&) = delete;

    HIMAGELIST Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    // The bitmap's copy as the next image; -1 when the list refused it.
    int Add(HBITMAP Bitmap);
    void Clear();

private:
    HIMAGELIST handle_ = nullptr;
    int width_;
    int height_;
};

}  // namespace qrv
