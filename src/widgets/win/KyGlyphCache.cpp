#include "widgets/win/KyGlyphCache.h"

#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <map>
#include <memory>
#include <utility>

namespace qrv {

namespace {

constexpr DWORD kRopPSDPxax = 0x00B8074A;  // pattern where the source is black
constexpr DWORD kRopDSna = 0x00220326;     // destination and not source

struct SharedList {
    std::unique_ptr<TGlyphList> list;
    int users = 0;
};

std::map<std::pair<int, int>, SharedList>& Lists()
{
    static std::map<std::pair<int, int>, SharedList> lists;
    return lists;
}

}  // namespace

TGlyphList::TGlyphList(int width, int height) : width_(width), height_(height)
{
    handle_ = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (!handle_)
        throw EInvalidOperation(L"Bild kann nicht ersetzt werden");
}

TGlyphList::~TGlyphList()
{
    ImageList_Destroy(handle_);
}

int TGlyphList::Store(HBITMAP image, HBITMAP mask)
{
    for (size_t slot = 0; slot < used_.size(); ++slot) {
        if (used_[slot])
            continue;
        if (!ImageList_Replace(handle_, static_cast<int>(slot), image, mask))
            throw EInvalidOperation(L"Bild kann nicht ersetzt werden");
        used_[slot] = true;
        return static_cast<int>(slot);
    }
    const int slot = ImageList_Add(handle_, image, mask);
    if (slot < 0)
        throw EInvalidOperation(L"Bild kann nicht ersetzt werden");
    used_.resize(static_cast<size_t>(slot) + 1, false);
    used_[slot] = true;
    return slot;
}

int TGlyphList::Add(HBITMAP bitmap, int x, int y, COLORREF maskColor, HBITMAP sourceMask)
{
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info))
        throw EInvalidOperation(L"Ungültige Grafikgröße");
    if (info.bmWidth - x < width_ || info.bmHeight - y < height_)
        throw EInvalidOperation(L"Ungültige Grafikgröße");
    const TOwnDC screenless(CreateCompatibleDC(nullptr));
    const TOwnDC source(CreateCompatibleDC(nullptr));
    const TOwnDC imageDC(CreateCompatibleDC(nullptr));
    const TOwnDC maskDC(CreateCompatibleDC(nullptr));
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TGdiObject image(CreateCompatibleBitmap(screen.Get(), width_, height_));
    const TGdiObject mask(CreateBitmap(width_, height_, 1, 1, nullptr));
    {
        const TSelectObject selectSource(source.Get(), bitmap);
        const TSelectObject selectImage(imageDC.Get(), image.Get());
        const TSelectObject selectMask(maskDC.Get(), mask.Get());
        BitBlt(imageDC.Get(), 0, 0, width_, height_, source.Get(), x, y, SRCCOPY);
        if (sourceMask) {
            const TSelectObject selectSourceMask(screenless.Get(), sourceMask);
            BitBlt(maskDC.Get(), 0, 0, width_, height_, screenless.Get(), x, y, SRCCOPY);
        } else {
            // Pixels of the background colour become the mask's white.
            SetBkColor(source.Get(), maskColor);
            BitBlt(maskDC.Get(), 0, 0, width_, height_, source.Get(), x, y, SRCCOPY);
        }
        // The list draws the image over the mask: transparent pixels black.
        SetBkColor(imageDC.Get(), RGB(255, 255, 255));
        SetTextColor(imageDC.Get(), RGB(0, 0, 0));
        BitBlt(imageDC.Get(), 0, 0, width_, height_, maskDC.Get(), 0, 0, kRopDSna);
    }
    return Store(static_cast<HBITMAP>(image.Get()), static_cast<HBITMAP>(mask.Get()));
}

int TGlyphList::AddDisabled(HIMAGELIST source, int index)
{
    int w = 0, h = 0;
    if (!ImageList_GetIconSize(source, &w, &h) || w != width_ || h != height_)
        throw EInvalidOperation(L"Ungültige Grafikgröße");
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TOwnDC shapeDC(CreateCompatibleDC(nullptr));
    const TOwnDC imageDC(CreateCompatibleDC(nullptr));
    const TGdiObject shape(CreateBitmap(w, h, 1, 1, nullptr));
    const TGdiObject image(CreateCompatibleBitmap(screen.Get(), w, h));
    {
        const TSelectObject selectShape(shapeDC.Get(), shape.Get());
        const TSelectObject selectImage(imageDC.Get(), image.Get());
        // The image's shape: opaque pixels black, transparent ones white.
        PatBlt(shapeDC.Get(), 0, 0, w, h, WHITENESS);
        ImageList_Draw(source, index, shapeDC.Get(), 0, 0, ILD_MASK);
        RECT all{0, 0, w, h};
        FillRect(imageDC.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(imageDC.Get(), RGB(0, 0, 0));
        SetBkColor(imageDC.Get(), RGB(255, 255, 255));
        {
            const TSelectObject highlight(imageDC.Get(), GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            BitBlt(imageDC.Get(), 1, 1, w - 1, h - 1, shapeDC.Get(), 0, 0, kRopPSDPxax);
        }
        {
            const TSelectObject shadow(imageDC.Get(), GetSysColorBrush(COLOR_BTNSHADOW));
            BitBlt(imageDC.Get(), 0, 0, w, h, shapeDC.Get(), 0, 0, kRopPSDPxax);
        }
    }
    return Add(static_cast<HBITMAP>(image.Get()), 0, 0, GetSysColor(COLOR_BTNFACE));
}

void TGlyphList::Delete(int slot)
{
    if (slot >= 0 && slot < static_cast<int>(used_.size()))
        used_[slot] = false;  // the slot is taken again by the next image
}

void TGlyphList::Draw(HDC dc, int x, int y, int slot) const
{
    if (slot >= 0 && slot < static_cast<int>(used_.size()) && used_[slot])
        ImageList_Draw(handle_, slot, dc, x, y, ILD_TRANSPARENT);
}

int TGlyphList::UsedSlots() const
{
    int count = 0;
    for (bool used : used_)
        count += used ? 1 : 0;
    return count;
}

TGlyphList& AcquireGlyphList(int width, int height)
{
    auto& lists = Lists();
    auto it = lists.find({width, height});
    if (it == lists.end())
        it = lists.emplace(std::make_pair(width, height), SharedList{std::make_unique<TGlyphList>(width, height), 0})
                 .first;
    ++it->second.users;
    return *it->second.list;
}

void ReleaseGlyphList(int width, int height)
{
    auto& lists = Lists();
    const auto it = lists.find({width, height});
    if (it == lists.end())
        return;
    if (--it->second.users <= 0)
        lists.erase(it);
}

TGlyphList* FindGlyphList(int width, int height)
{
    const auto it = Lists().find({width, height});
    return it == Lists().end() ? nullptr : it->second.list.get();
}

int GlyphListCount()
{
    return static_cast<int>(Lists().size());
}

}  // namespace qrv
