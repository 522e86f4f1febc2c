// TDirView: the thumbnail view. The items show images of the thumbnail list
// (image 0 an empty frame) in icon view; an item drawn without its
// thumbnail asks the icon worker for its shell icon, and when the answer
// comes the thumbnail is drawn on the list's thread: a folder's large icon,
// a file's picture from OnGetPicture (else its icon), placed by the rules of
// panels/ThumbnailLayout.h, framed, and added to the list.

#include "framework/IgnoredError.h"
#include "framework/win/ImgList.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"
#include "panels/ThumbnailLayout.h"
#include "panels/win/DirView.h"
#include "panels/win/KyImageList.h"

#include <shellapi.h>

namespace qrv {

namespace {

void FrameRect3D(HDC Dc, const RECT& Rect, COLORREF TopLeft, COLORREF BottomRight)
{
    const auto line = [Dc](int x0, int y0, int x1, int y1, COLORREF color) {
        const RECT r{x0, y0, x1, y1};
        TGdiObject brush(CreateSolidBrush(color));
        FillRect(Dc, &r, static_cast<HBRUSH>(brush.Get()));
    };
    line(Rect.left, Rect.top, Rect.right - 1, Rect.top + 1, TopLeft);
    line(Rect.left, Rect.top, Rect.left + 1, Rect.bottom - 1, TopLeft);
    line(Rect.left, Rect.bottom - 1, Rect.right, Rect.bottom, BottomRight);
    line(Rect.right - 1, Rect.top, Rect.right, Rect.bottom, BottomRight);
}

RECT ToRect(const TThumbRect& Rect)
{
    return {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
}

// The raised frame around the whole thumbnail.
void DrawOuterFrame(HDC Dc, int Width, int Height)
{
    const RECT outer{0, 0, Width, Height};
    FrameRect3D(Dc, outer, GetSysColor(COLOR_BTNFACE), RGB(0, 0, 0));
    const RECT inner{1, 1, Width - 1, Height - 1};
    FrameRect3D(Dc, inner, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

// A button-face bitmap of the size with the raised frame.
void DrawEmptyFrame(TBitmap& Bitmap, int Width, int Height)
{
    Bitmap.SetSize(Width, Height, clBtnFace);
    TOwnDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), Bitmap.Handle());
    DrawOuterFrame(dc.Get(), Width, Height);
}

// The shell's large icon of the path (a folder's by the directory attribute
// alone when UseAttributes); nullptr when it has none.
TIconHandle LargeIcon(const std::wstring& Path, bool UseAttributes)
{
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_LARGEICON | (UseAttributes ? SHGFI_USEFILEATTRIBUTES : 0);
    if (!SHGetFileInfoW(Path.c_str(), UseAttributes ? FILE_ATTRIBUTE_DIRECTORY : 0, &info, sizeof info, flags))
        return TIconHandle();
    return TIconHandle(info.hIcon);
}

std::wstring WindowsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

}  // namespace

void TDirView::SetThumbSize(int Width, int Height)
{
    if (Width <= 0 || Height <= 0 || (Width == thumbWidth_ && Height == thumbHeight_))
        return;
    thumbWidth_ = Width;
    thumbHeight_ = Height;
    thumbs_.reset();
    if (viewStyleEx_ == TViewStyleEx::vsxThumb)
        ShowThumbnailList(true);
}

void TDirView::SetThumbFrameSize(int Value)
{
    if (Value == thumbFrameSize_)
        return;
    thumbFrameSize_ = Value;
    ResetThumbnails();
}

void TDirView::SetThumbSpaceWidth(int Value)
{
    thumbSpaceWidth_ = Value;
    if (viewStyleEx_ == TViewStyleEx::vsxThumb)
        ApplyThumbSpacing();
}

int TDirView::ThumbSpaceHeight() const
{
    return thumbSpaceHeight_ == 0 ? GetSystemMetrics(SM_CYICONSPACING) : thumbSpaceHeight_;
}

void TDirView::SetThumbSpaceHeight(int Value)
{
    thumbSpaceHeight_ = Value;
    if (viewStyleEx_ == TViewStyleEx::vsxThumb)
        ApplyThumbSpacing();
}

void TDirView::ApplyThumbSpacing()
{
    if (!HandleAllocated())
        return;
    const TThumbSpacing spacing =
        ThumbnailSpacing(thumbWidth_, thumbHeight_, thumbSpaceWidth_, thumbSpaceHeight_,
                         GetSystemMetrics(SM_CXICONSPACING), GetSystemMetrics(SM_CYICONSPACING));
    SendMessageW(handle_, LVM_SETICONSPACING, 0, MAKELPARAM(spacing.Horizontal, spacing.Vertical));
}

void TDirView::ResetThumbnails()
{
    if (!thumbs_)
        return;
    thumbs_->Clear();
    TBitmap frame;
    DrawEmptyFrame(frame, thumbWidth_, thumbHeight_);
    if (thumbs_->Add(frame.Handle()) != 0)
        TraceIgnoredFailure(L"adding the empty thumbnail frame", GetLastError());
    for (int i = 0; i < ItemCount(); ++i)
        GetItemData(i)->ThumbIndex = 0;
    ForgetRequestedIcons();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TDirView::StopWorkers()
{
    if (Loading() && viewStyleEx_ == TViewStyleEx::vsxThumb)
        ResetThumbnails();
}

void TDirView::ShowThumbnailList(bool Thumbnails)
{
    if (!HandleAllocated())
        return;
    if (!Thumbnails) {
        SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL,
                     reinterpret_cast<LPARAM>(LargeImages() ? LargeImages()->Handle() : nullptr));
        SendMessageW(handle_, LVM_SETICONSPACING, 0, MAKELPARAM(-1, -1));
        return;
    }
    if (!thumbs_)
        thumbs_ = std::make_unique<TKyImageList>(thumbWidth_, thumbHeight_);
    ResetThumbnails();
    SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(thumbs_->Handle()));
    ApplyThumbSpacing();
}

void TDirView::MakeThumbnail(TFileRec& Item)
{
    if (!thumbs_)
        return;
    const int width = thumbWidth_;
    const int height = thumbHeight_;
    const std::wstring path = ItemFullFileName(&Item);

    TPicture picture;
    TIconHandle icon;
    if (Item.IsDirectory) {
        icon = Item.IsParentDir ? LargeIcon(WindowsFolder(), true) : LargeIcon(path, false);
        if (!icon)
            icon = LargeIcon(WindowsFolder(), true);
    } else {
        if (OnGetPicture) {
            try {
                OnGetPicture(this, path, Item.PIDL, picture);
            } catch (const std::exception&) {
                TraceIgnoredException(L"a thumbnail's picture");
                picture.SetGraphic(nullptr);
            }
        }
        if (!picture.Graphic() || picture.Graphic()->Empty())
            icon = LargeIcon(path, false);
    }
    const bool loaded = picture.Graphic() && !picture.Graphic()->Empty();
    TBitmap bitmap;
    bitmap.SetSize(width, height, clBtnFace);
    {
        TOwnDC dc(CreateCompatibleDC(nullptr));
        TSelectObject select(dc.Get(), bitmap.Handle());
        const int pictureWidth = loaded ? picture.Width() : (icon ? GetSystemMetrics(SM_CXICON) : 0);
        const int pictureHeight = loaded ? picture.Height() : (icon ? GetSystemMetrics(SM_CYICON) : 0);
        if (const auto placement =
                PlaceThumbnail(width, height, pictureWidth, pictureHeight, thumbFrameSize_, loaded)) {
            const RECT target = ToRect(placement->Picture);
            if (loaded) {
                SetStretchBltMode(dc.Get(), HALFTONE);
                picture.Graphic()->Draw(dc.Get(), target);
            } else {
                DrawIconEx(dc.Get(), target.left, target.top, icon.Get(), target.right - target.left,
                           target.bottom - target.top, 0, nullptr, DI_NORMAL);
            }
            if (placement->Framed)
                FrameRect3D(dc.Get(), ToRect(placement->FrameRect), GetSysColor(COLOR_BTNSHADOW),
                            GetSysColor(COLOR_BTNHIGHLIGHT));
        }
        DrawOuterFrame(dc.Get(), width, height);
    }
    // Out of the DC: the list copies only a bitmap no DC holds.
    const int index = thumbs_->Add(bitmap.Handle());
    if (index <= 0) {
        TraceIgnoredFailure(L"adding a thumbnail", GetLastError());
        return;
    }
    Item.ThumbIndex = index;
    const int shown = IndexOf(&Item);
    if (shown >= 0)
        RedrawItem(shown);
}

}  // namespace qrv
