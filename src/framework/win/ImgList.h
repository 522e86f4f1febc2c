#pragma once
// TImageList: images of one size in a common-controls image list, with the
// listeners that redraw when it changes or goes.

#include "framework/Colors.h"
#include "framework/Component.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <map>

namespace qrv {

class TBitmap;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changes the image size; the images are removed.
    void SetSize(int width, int height);
    int Count() const;
    HIMAGELIST Handle() const { return handle_; }
    // Uses an image list that belongs to someone else (the system's icon
    // list); it is never destroyed here. The size is taken from it.
    void ShareImages(HIMAGELIST handle);
    bool Shared() const { return shared_; }
    // The colour images are drawn on; CLR_NONE draws them transparently.
    void SetBkColor(COLORREF color);

    // Adds an image strip (several images when the bitmap is wider than one
    // image); returns the index of the first added image. Throws on failure.
    int Add(const TBitmap& image, const TBitmap* mask);
    // As Add, with every pixel of the mask colour transparent.
    int AddMasked(const TBitmap& image, TColor maskColor);
    int AddIcon(HICON icon);
    void Delete(int index);
    void Clear();

    // Draws an image; a disabled image is drawn embossed in grey.
    void Draw(HDC dc, int x, int y, int index, bool enabled = true) const;

    // Listeners are told of every change (destroying = false) and, once, of
    // the list's destruction (destroying = true).
    using TChangeListener = std::function<void(bool destroying)>;
    int AddChangeListener(TChangeListener listener);
    void RemoveChangeListener(int id);

private:
    void Changed();
    void Create();
    void Release();
    HIMAGELIST handle_ = nullptr;
    bool shared_ = false;
    int width_;
    int height_;
    std::map<int, TChangeListener> listeners_;
    int nextListener_ = 1;
};

}  // namespace qrv
