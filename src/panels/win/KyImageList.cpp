#include "panels/win/KyImageList.h"

#include "framework/win/WinApi.h"

namespace qrv {

TKyImageList::TKyImageList(int Width, int Height) : width_(Width), height_(Height)
{
    handle_ = ImageList_Create(Width, Height, ILC_COLOR32, 1, 100);
    Win32Check(handle_ != nullptr, L"Bildliste kann nicht erstellt werden");
}

TKyImageList::~TKyImageList()
{
    ImageList_Destroy(handle_);
}

int TKyImageList::Count() const
{
    return ImageList_GetImageCount(handle_);
}

int TKyImageList::Add(HBITMAP Bitmap)
{
    return ImageList_Add(handle_, Bitmap, nullptr);
}

void TKyImageList::Clear()
{
    ImageList_RemoveAll(handle_);
}

}  // namespace qrv
