#include "widgets/win/KyToolbarCtls.h"

#include "framework/win/Handles.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"

#include <windowsx.h>

#include <algorithm>

namespace qrv {

namespace {

// An 8x8 pattern of button face and highlight for latched buttons.
TGdiObject CreateDitherBrush()
{
    const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    const TGdiObject pattern(CreateBitmap(8, 8, 1, 1, rows));
    return TGdiObject(CreatePatternBrush(static_cast<HBITMAP>(pattern.Get())));
}

void FillTriangle(HDC dc, int x, int y, COLORREF color)
{
    const TGdiObject brush(CreateSolidBrush(color));
    const TGdiObject pen(CreatePen(PS_SOLID, 1, color));
    const TSelectObject selectBrush(dc, brush.Get());
    const TSelectObject selectPen(dc, pen.Get());
    const POINT points[3] = {{x - 2, y}, {x + 2, y}, {x, y + 2}};
    Polygon(dc, points, 3);
}

}  // namespace

TKyToolbarButton::TKyToolbarButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 23, 22);
    glyph_.OnChange = [this] {
        RebuildGlyphList();
        Repaint();
    };
    glyphMask_.OnChange = [this] {
        RebuildGlyphList();
        Repaint();
    };
}

TKyToolbarButton::~TKyToolbarButton()
{
    if (images_)
        images_->RemoveChangeListener(imagesListener_);
}

void TKyToolbarButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyToolbarButton";
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TKyToolbarButton::Repaint()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TKyToolbarButton::BoundsChanged()
{
    // A toolbar lines its buttons up again.
    RequestAlign();
}

void TKyToolbarButton::SetImages(TImageList* images)
{
    if (images == images_)
        return;
    if (images_)
        images_->RemoveChangeListener(imagesListener_);
    images_ = images;
    imagesListener_ = 0;
    if (images_)
        imagesListener_ = images_->AddChangeListener([this](bool destroying) {
            if (destroying) {
                images_ = nullptr;
                imagesListener_ = 0;
            }
            Repaint();
        });
    Repaint();
}

void TKyToolbarButton::SetImageIndex(int index)
{
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    Repaint();
}

void TKyToolbarButton::SetDisplayMode(TButtonDisplayMode mode)
{
    displayMode_ = mode;
    Repaint();
}

void TKyToolbarButton::SetSpacing(int spacing)
{
    spacing_ = spacing;
    Repaint();
}

void TKyToolbarButton::SetMargin(int margin)
{
    margin_ = std::max(-1, margin);
    Repaint();
}

void TKyToolbarButton::SetGlyph(const TBitmap* glyph)
{
    // The number of images follows from the strip's shape.
    int count = 1;
    if (glyph && !glyph->Empty() && glyph->Height() > 0 && glyph->Width() % glyph->Height() == 0 &&
        glyph->Width() / glyph->Height() < 6)
        count = glyph->Width() / glyph->Height();
    numGlyphs_ = std::max(1, count);
    glyph_.Assign(glyph);
}

void TKyToolbarButton::SetGlyphMask(const TBitmap* mask)
{
    glyphMask_.Assign(mask);
}

void TKyToolbarButton::SetNumGlyphs(int count)
{
    numGlyphs_ = std::clamp(count, 1, 5);
    RebuildGlyphList();
    Repaint();
}

void TKyToolbarButton::RebuildGlyphList()
{
    glyphList_.reset();
    if (glyph_.Empty() || glyph_.Width() < numGlyphs_)
        return;
    auto list = std::make_unique<TImageList>(nullptr, glyph_.Width() / numGlyphs_, glyph_.Height());
    if (!glyphMask_.Empty() && glyphMask_.Width() == glyph_.Width()) {
        list->Add(glyph_, &glyphMask_);
    } else {
        // Adding with a mask colour blackens the source, so a copy goes in.
        TBitmap copy;
        copy.Assign(&glyph_);
        list->AddMasked(copy, glyph_.TransparentColor());
    }
    glyphList_ = std::move(list);
}

void TKyToolbarButton::SetDown(bool down)
{
    if (groupIndex_ == 0)
        down = false;
    if (down == down_)
        return;
    if (down_ && !allowAllUp_)
        return;  // the one down button of a group stays down
    down_ = down;
    Repaint();
    if (!down || !Parent())
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TKyToolbarButton*>(Parent()->Controls(i));
        if (!other || other == this || other->groupIndex_ != groupIndex_)
            continue;
        other->allowAllUp_ = allowAllUp_;
        if (other->down_) {
            other->down_ = false;
            other->Repaint();
        }
    }
}

void TKyToolbarButton::SetGroupIndex(int index)
{
    if (index == groupIndex_)
        return;
    groupIndex_ = index;
    if (groupIndex_ == 0) {
        if (down_) {
            down_ = false;
            Repaint();
        }
        return;
    }
    if (down_) {
        // Joining a group as its down button releases the others.
        down_ = false;
        SetDown(true);
    }
}

void TKyToolbarButton::SetAllowAllUp(bool allow)
{
    allowAllUp_ = allow;
    if (groupIndex_ == 0 || !Parent())
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TKyToolbarButton*>(Parent()->Controls(i));
            other && other->groupIndex_ == groupIndex_)
            other->allowAllUp_ = allow;
}

void TKyToolbarButton::SetDropdownCombo(bool combo)
{
    dropdownCombo_ = combo;
    Repaint();
}

void TKyToolbarButton::SetDropdownArrow(bool arrow)
{
    dropdownArrow_ = arrow;
    Repaint();
}

void TKyToolbarButton::SetDropdownArrowWidth(int width)
{
    dropdownArrowWidth_ = std::max(0, width);
    Repaint();
}

void TKyToolbarButton::SetDropdownAlways(bool always)
{
    dropdownAlways_ = always;
    Repaint();
}

void TKyToolbarButton::SetDropdownMenu(TMenu* menu)
{
    dropdownMenu_ = menu;
    Repaint();
}

void TKyToolbarButton::SetFlat(bool flat)
{
    flat_ = flat;
    Repaint();
}

void TKyToolbarButton::SetCaption(const std::wstring& caption)
{
    TWinControl::SetCaption(caption);
    Repaint();
}

void TKyToolbarButton::SetEnabled(bool enabled)
{
    TWinControl::SetEnabled(enabled);
    if (!enabled)
        hot_ = false;
    Repaint();
}

bool TKyToolbarButton::Pushed() const
{
    return (mouseDown_ && pressedInside_) || down_;
}

TButtonState TKyToolbarButton::State() const
{
    if (!Enabled())
        return TButtonState::bsDisabled;
    if (mouseDown_ && pressedInside_)
        return TButtonState::bsDown;
    if (down_)
        return TButtonState::bsExclusive;
    if (hot_)
        return TButtonState::bsHot;
    return TButtonState::bsUp;
}

bool TKyToolbarButton::UsesDropdown() const
{
    // A combo button always has its arrow part; the event may show a menu of its own.
    return dropdownMenu_ || dropdownAlways_ || dropdownCombo_;
}

bool TKyToolbarButton::InArrowPart(int x) const
{
    return x >= Width() - (dropdownArrowWidth_ + 2);
}

void TKyToolbarButton::Click()
{
    if (groupIndex_ != 0)
        SetDown(!down_);
    if (OnClick)
        OnClick(this);
}

void TKyToolbarButton::DropDown()
{
    if (!dropdownCombo_ && OnClick)
        OnClick(this);
    bool showMenu = dropdownMenu_ != nullptr;
    bool removeClicks = true;
    if (OnDropdown)
        OnDropdown(this, showMenu, removeClicks);
    if (!showMenu || !dropdownMenu_ || !HandleAllocated())
        return;
    RECT r;
    GetWindowRect(handle_, &r);
    const UINT command =
        TrackPopupMenuEx(dropdownMenu_->Handle(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, r.left,
                         r.bottom, handle_, nullptr);
    if (removeClicks) {
        // The click that closed the menu over this button must not press it again.
        MSG msg;
        while (PeekMessageW(&msg, handle_, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {}
    }
    if (command)
        dropdownMenu_->DispatchCommand(command);
}

SIZE TKyToolbarButton::GlyphSize() const
{
    if (images_ && imageIndex_ >= 0)
        return SIZE{images_->Width(), images_->Height()};
    if (glyphList_)
        return SIZE{glyphList_->Width(), glyphList_->Height()};
    return SIZE{0, 0};
}

void TKyToolbarButton::DrawContent(HDC dc, RECT area, bool pushed)
{
    if (pushed)
        OffsetRect(&area, 1, 1);
    const SIZE glyph = displayMode_ == TButtonDisplayMode::dmTextOnly ? SIZE{0, 0} : GlyphSize();
    const std::wstring text = displayMode_ == TButtonDisplayMode::dmGlyphOnly ? std::wstring() : Caption();
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    SIZE textSize{0, 0};
    if (!text.empty()) {
        RECT measure{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
        textSize = SIZE{measure.right, measure.bottom};
    }
    const int arrow = !dropdownCombo_ && UsesDropdown() && dropdownArrow_ ? dropdownArrowWidth_ : 0;
    const int space = glyph.cx > 0 && !text.empty() ? (spacing_ < 0 ? 4 : spacing_) : 0;
    const int total = glyph.cx + space + textSize.cx + arrow;
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    int x = margin_ < 0 ? area.left + (areaWidth - total) / 2 : area.left + margin_;
    const bool enabled = Enabled();

    if (glyph.cx > 0) {
        const int y = area.top + (areaHeight - glyph.cy) / 2;
        if (images_ && imageIndex_ >= 0) {
            images_->Draw(dc, x, y, imageIndex_, enabled);
        } else if (glyphList_) {
            // Images of the strip: up, disabled, down, exclusive.
            int index = 0;
            if (!enabled && numGlyphs_ > 1)
                index = 1;
            else if (mouseDown_ && pressedInside_ && numGlyphs_ > 2)
                index = 2;
            else if (down_ && numGlyphs_ > 3)
                index = 3;
            glyphList_->Draw(dc, x, y, index, enabled || numGlyphs_ > 1);
        }
    }
    x += glyph.cx + space;
    if (!text.empty()) {
        SetBkMode(dc, TRANSPARENT);
        RECT textRect{x, area.top, x + textSize.cx, area.bottom};
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
        if (enabled) {
            SetTextColor(dc, ColorToRGB(Font().Color()));
            DrawTextW(dc, text.c_str(), -1, &textRect, format);
        } else {
            RECT shifted = textRect;
            OffsetRect(&shifted, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextW(dc, text.c_str(), -1, &shifted, format);
            SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
            DrawTextW(dc, text.c_str(), -1, &textRect, format);
        }
    }
    SelectObject(dc, oldFont);
    if (arrow > 0) {
        const int middle = x + textSize.cx + arrow / 2;
        const int centreOf = glyph.cy > 0 ? glyph.cy : textSize.cy;
        const int y = area.top + (areaHeight - centreOf) / 2 + (centreOf - 3) / 2;
        if (!enabled)
            FillTriangle(dc, middle + 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        FillTriangle(dc, middle, y, enabled ? ColorToRGB(Font().Color()) : GetSysColor(COLOR_BTNSHADOW));
    }
}

void TKyToolbarButton::Paint(HDC target, const RECT& client)
{
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    // Off-screen, then copied in one step.
    const TOwnDC memory(CreateCompatibleDC(target));
    const TGdiObject bitmap(CreateCompatibleBitmap(target, width, height));
    const HDC dc = memory.Get();
    const TSelectObject selectBitmap(dc, bitmap.Get());

    const bool pushed = Pushed();
    RECT r{0, 0, width, height};
    {
        const TGdiObject face(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &r, static_cast<HBRUSH>(face.Get()));
    }
    if (down_ && !hot_ && !menuDown_) {
        const TGdiObject dither = CreateDitherBrush();
        SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
        SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        FillRect(dc, &inner, static_cast<HBRUSH>(dither.Get()));
    }

    RECT main = r;
    if (dropdownCombo_)
        main.right = std::max(main.left, main.right - (dropdownArrowWidth_ + 2));
    const bool enabled = Enabled();
    if (flat_) {
        if (pushed)
            DrawEdge(dc, &main, BDR_SUNKENOUTER, BF_RECT);
        else if (hot_ && enabled)
            DrawEdge(dc, &main, BDR_RAISEDINNER, BF_RECT);
    } else {
        DrawEdge(dc, &main, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    if (dropdownCombo_) {
        RECT part{main.right, 0, width, height};
        if (menuDown_)
            DrawEdge(dc, &part, BDR_SUNKENOUTER, BF_RECT);
        else if ((hot_ && enabled) || !flat_)
            DrawEdge(dc, &part, flat_ ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
        const int x = (part.left + part.right) / 2 + (menuDown_ ? 1 : 0);
        const int y = height / 2 - 1 + (menuDown_ ? 1 : 0);
        if (!enabled)
            FillTriangle(dc, x + 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        FillTriangle(dc, x, y, enabled ? ColorToRGB(Font().Color()) : GetSysColor(COLOR_BTNSHADOW));
    }
    DrawContent(dc, main, pushed && !menuDown_);

    BitBlt(target, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
}

void TKyToolbarButton::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle_, &ps);
        RECT client;
        GetClientRect(handle_, &client);
        Paint(dc, client);
        EndPaint(handle_, &ps);
        message.Result = 0;
        return;
    }
    case WM_ERASEBKGND:
        message.Result = 1;  // Paint covers everything
        return;
    case WM_MOUSEMOVE: {
        if (!hot_ && Enabled()) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
            TrackMouseEvent(&track);
            Repaint();
        }
        if (mouseDown_) {
            RECT client;
            GetClientRect(handle_, &client);
            const POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            const bool inside = PtInRect(&client, p) != FALSE;
            if (inside != pressedInside_) {
                pressedInside_ = inside;
                Repaint();
            }
        }
        message.Result = 0;
        return;
    }
    case WM_MOUSELEAVE:
        hot_ = false;
        Repaint();
        message.Result = 0;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        message.Result = 0;
        if (!Enabled())
            return;
        const int x = GET_X_LPARAM(message.LParam);
        if (UsesDropdown() && (!dropdownCombo_ || InArrowPart(x))) {
            menuDown_ = true;
            Repaint();
            struct MenuUp {
                TKyToolbarButton* self;
                ~MenuUp()
                {
                    self->menuDown_ = false;
                    self->Repaint();
                }
            } up{this};
            DropDown();
            return;
        }
        SetCapture(handle_);
        mouseDown_ = true;
        pressedInside_ = true;
        Repaint();
        return;
    }
    case WM_LBUTTONUP: {
        message.Result = 0;
        const bool click = mouseDown_ && pressedInside_;
        mouseDown_ = false;
        pressedInside_ = false;
        if (GetCapture() == handle_)
            ReleaseCapture();
        Repaint();
        if (click)
            Click();
        return;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (mouseDown_) {
            mouseDown_ = false;
            pressedInside_ = false;
            Repaint();
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
