#include "framework/win/ImgList.h"

#include "framework/SysUtils.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

namespace qrv {

TImageList::TImageList(TComponent* owner, int width, int height) : TComponent(owner), width_(width), height_(height)
{
    Create();
}

TImageList::~TImageList()
{
    // A copy: a listener may remove itself while it is told.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(true);
    Release();
}

void TImageList::Release()
{
    if (handle_ && !shared_)
        ImageList_Destroy(handle_);
    handle_ = nullptr;
    shared_ = false;
}

void TImageList::ShareImages(HIMAGELIST handle)
{
    if (!handle)
        throw EInvalidOperation(L"Bildliste fehlt");
    if (handle == handle_)
        return;
    int width = 0, height = 0;
    ImageList_GetIconSize(handle, &width, &height);
    Release();
    handle_ = handle;
    shared_ = true;
    width_ = width;
    height_ = height;
    Changed();
}

void TImageList::SetBkColor(COLORREF color)
{
    ImageList_SetBkColor(handle_, color);
    Changed();
}

void TImageList::Create()
{
    handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
    Win32Check(handle_ != nullptr, L"Bildliste kann nicht erstellt werden");
}

void TImageList::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    // A shared list stays as it is; this list gets its own again.
    Release();
    width_ = width;
    height_ = height;
    Create();
    Changed();
}

int TImageList::Count() const
{
    return ImageList_GetImageCount(handle_);
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask)
{
    const int index = ImageList_Add(handle_, image.Handle(), mask ? mask->Handle() : nullptr);
    if (index < 0)
        throw EInvalidOperation(L"Bild kann nicht hinzugefügt werden");
    Changed();
    return index;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor)
{
    const int index = ImageList_AddMasked(handle_, image.Handle(), ColorToRGB(maskColor));
    if (index < 0)
        throw EInvalidOperation(L"Bild kann nicht hinzugefügt werden");
    Changed();
    return index;
}

int TImageList::AddIcon(HICON icon)
{
    const int index = ImageList_AddIcon(handle_, icon);
    if (index < 0)
        throw EInvalidOperation(L"Bild kann nicht hinzugefügt werden");
    Changed();
    return index;
}

void TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
    ImageList_Remove(handle_, index);
    Changed();
}

void TImageList::Clear()
{
    ImageList_Remove(handle_, -1);
    Changed();
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count())
        return;
    if (enabled) {
        ImageList_Draw(handle_, index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    // The system's embossed look of a disabled image.
    if (const TIconHandle icon(ImageList_GetIcon(handle_, index, ILD_TRANSPARENT)); icon)
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0, x, y, width_, height_,
                   DST_ICON | DSS_DISABLED);
}

int TImageList::AddChangeListener(TChangeListener listener)
{
    const int id = nextListener_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void TImageList::RemoveChangeListener(int id)
{
    listeners_.erase(id);
}

void TImageList::Changed()
{
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        if (listeners_.count(id))
            listener(false);
}

}  // namespace qrv
