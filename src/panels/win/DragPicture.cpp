#include "panels/win/DragPicture.h"

#include "framework/IgnoredError.h"

#include <algorithm>

namespace qrv {

namespace {

TDragPicture* gCurrent = nullptr;

// Where the counts begin beside the resource picture, and its size.
constexpr int kTextLeft = 36;
constexpr int kPictureSize = 32;
constexpr POINT kCountsHotSpot{25, 20};

POINT CursorIn(HWND Window)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(Window, &cursor);
    return cursor;
}

}  // namespace

TDragPicture::~TDragPicture()
{
    End();
}

TDragPicture* TDragPicture::Current()
{
    return gCurrent;
}

bool TDragPicture::Begin(HIMAGELIST Image, POINT HotSpot, HWND Control)
{
    End();
    if (!Image)
        return false;
    // The system holds one drag picture: a second drag (within a drop's
    // message loop) goes without.
    if (gCurrent || !ImageList_BeginDrag(Image, 0, HotSpot.x, HotSpot.y)) {
        ImageList_Destroy(Image);
        return false;
    }
    image_ = Image;
    window_ = GetAncestor(Control, GA_ROOT);
    gCurrent = this;
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT frame{};
    GetWindowRect(window_, &frame);
    ImageList_DragEnter(window_, cursor.x - frame.left, cursor.y - frame.top);
    shown_ = true;
    ShowCursor(FALSE);
    Follow();
    return true;
}

void TDragPicture::Show(bool Visible)
{
    if (Visible == shown_)
        return;
    ImageList_DragShowNolock(Visible);
    ShowCursor(Visible ? FALSE : TRUE);
    shown_ = Visible;
}

void TDragPicture::Follow()
{
    if (!image_)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT frame{};
    GetWindowRect(window_, &frame);
    const bool inside = PtInRect(&frame, cursor) != 0;
    Show(inside);
    if (inside)
        ImageList_DragMove(cursor.x - frame.left, cursor.y - frame.top);
}

void TDragPicture::End()
{
    if (!image_)
        return;
    ImageList_DragLeave(window_);
    ImageList_EndDrag();
    if (shown_)
        ShowCursor(TRUE);
    ImageList_Destroy(image_);
    image_ = nullptr;
    window_ = nullptr;
    shown_ = false;
    if (gCurrent == this)
        gCurrent = nullptr;
}

TDragPictureHidden::TDragPictureHidden()
{
    TDragPicture* current = TDragPicture::Current();
    if (current && current->shown_) {
        picture_ = current;
        ImageList_DragShowNolock(FALSE);
    }
}

TDragPictureHidden::~TDragPictureHidden()
{
    if (picture_ && TDragPicture::Current() == picture_ && picture_->shown_)
        ImageList_DragShowNolock(TRUE);
}

HIMAGELIST ListRowPicture(HWND List, int Row, POINT& HotSpot)
{
    POINT origin{};
    const auto image = reinterpret_cast<HIMAGELIST>(
        SendMessageW(List, LVM_CREATEDRAGIMAGE, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&origin)));
    const POINT cursor = CursorIn(List);
    HotSpot = {cursor.x - origin.x, cursor.y - origin.y};
    return image;
}

HIMAGELIST TreeNodePicture(HWND Tree, HTREEITEM Node, POINT& HotSpot)
{
    // The node as the tree shows it, its icon and its name, copied from the
    // control (the tree's own drag image belongs to the control's library,
    // whose image lists the drag functions here need not accept).
    RECT text{};
    *reinterpret_cast<HTREEITEM*>(&text) = Node;
    if (!SendMessageW(Tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
        return nullptr;
    const LONG iconRoom = GetSystemMetrics(SM_CXSMICON) + 3;
    const RECT area{std::max(0L, text.left - iconRoom), text.top, text.right, text.bottom};
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    const auto treeBack = static_cast<COLORREF>(SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0));
    const COLORREF back = treeBack == CLR_NONE ? GetSysColor(COLOR_WINDOW) : treeBack;
    TGdiObject image;
    {
        TWindowDC tree(Tree);
        TOwnDC target(CreateCompatibleDC(tree.Get()));
        image.Reset(CreateCompatibleBitmap(tree.Get(), width, height));
        TSelectObject imageIn(target.Get(), image.Get());
        BitBlt(target.Get(), 0, 0, width, height, tree.Get(), area.left, area.top, SRCCOPY);
    }
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (list && ImageList_AddMasked(list, static_cast<HBITMAP>(image.Get()), back) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    const POINT cursor = CursorIn(Tree);
    HotSpot = {std::clamp(cursor.x - area.left, 0L, static_cast<LONG>(width - 1)),
               std::clamp(cursor.y - area.top, 0L, static_cast<LONG>(height - 1))};
    return list;
}

HIMAGELIST CountsPicture(HWND FontSource, const std::vector<std::wstring>& Lines, POINT& HotSpot)
{
    HotSpot = kCountsHotSpot;
    TGdiObject picture(LoadImageW(GetModuleHandleW(nullptr), L"DRAGFILES", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!picture) {
        TraceIgnoredFailure(L"loading the files' drag picture", GetLastError());
        return nullptr;
    }
    TWindowDC screen(nullptr);
    TOwnDC source(CreateCompatibleDC(screen.Get()));
    TOwnDC target(CreateCompatibleDC(screen.Get()));
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(FontSource, WM_GETFONT, 0, 0));
    TGdiObject image;
    COLORREF back = 0;
    int width = kTextLeft;
    int height = kPictureSize;
    {
        TSelectObject useFont(target.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
        int lineHeight = 0;
        for (const std::wstring& line : Lines) {
            SIZE extent{};
            GetTextExtentPoint32W(target.Get(), line.c_str(), static_cast<int>(line.size()), &extent);
            width = std::max(width, static_cast<int>(kTextLeft + extent.cx + 2));
            lineHeight = std::max(lineHeight, static_cast<int>(extent.cy));
        }
        const int textHeight = lineHeight * static_cast<int>(Lines.size());
        height = std::max(height, textHeight);
        // The picture and the text block are both centred on the middle.
        const int pictureTop = (height - kPictureSize) / 2;
        image.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        TSelectObject pictureIn(source.Get(), picture.Get());
        TSelectObject imageIn(target.Get(), image.Get());
        // The top-left pixel's colour is the transparent one.
        back = GetPixel(source.Get(), 0, 0);
        TGdiObject brush(CreateSolidBrush(back));
        RECT all{0, 0, width, height};
        FillRect(target.Get(), &all, static_cast<HBRUSH>(brush.Get()));
        BitBlt(target.Get(), 0, pictureTop, kPictureSize, kPictureSize, source.Get(), 0, 0, SRCCOPY);
        SetBkMode(target.Get(), TRANSPARENT);
        SetTextColor(target.Get(), GetSysColor(COLOR_WINDOWTEXT));
        int y = (height - textHeight) / 2;
        for (const std::wstring& line : Lines) {
            TextOutW(target.Get(), kTextLeft, y, line.c_str(), static_cast<int>(line.size()));
            y += lineHeight;
        }
        HotSpot.y += pictureTop;
    }
    // Out of every DC now: the image list copies the picture.
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (list && ImageList_AddMasked(list, static_cast<HBITMAP>(image.Get()), back) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    return list;
}

}  // namespace qrv
