#include "widgets/win/KyToolbarCtls.h"

#include "framework/win/ActnList.h"

#include "framework/IgnoredError.h"
#include "framework/ShortCuts.h"
#include "framework/win/ActnList.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyDockCommon.h"
#include "widgets/win/KyGlyphCache.h"

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

constexpr UINT_PTR kRepeatTimer = 1;

// The one button the mouse is over; the hook releases it when the mouse
// moves elsewhere in the program or the program is deactivated.
TKyToolbarButton* g_hotButton = nullptr;

}  // namespace

TKyToolbarButton* TKyToolbarButton::HotButton()
{
    return g_hotButton;
}

void TKyToolbarButton::HookProc(int code, HWND wnd, WPARAM wParam, LPARAM /*lParam*/)
{
    TKyToolbarButton* hot = g_hotButton;
    if (!hot)
        return;
    if (code == 0 && !wParam && !hot->showBorderWhenInactive_)
        hot->ReleaseHot();
    else if (code == 3 && (!hot->HandleAllocated() || wnd != hot->handle_))
        hot->ReleaseHot();
}

TKyToolbarButton::TKyToolbarButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 23, 22);
    RegisterToolWindowHookClient(HookProc, hpSendActivateApp | hpGetMessage);
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
    *alive_ = false;
    // A freed button is nobody's hot button any more.
    if (g_hotButton == this)
        g_hotButton = nullptr;
    if (images_)
        images_->RemoveChangeListener(imagesListener_);
    ReleaseGlyphSlots();
    UnregisterToolWindowHookClient(HookProc);
}

void TKyToolbarButton::BecomeHot()
{
    if (g_hotButton == this || !Enabled())
        return;
    if (g_hotButton)
        g_hotButton->ReleaseHot();
    if (!showBorderWhenInactive_ && !IsAnyWindowActive())
        return;
    g_hotButton = this;
    hot_ = true;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
    TrackMouseEvent(&track);
    Repaint();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TKyToolbarButton::ReleaseHot()
{
    if (g_hotButton == this)
        g_hotButton = nullptr;
    if (!hot_ || mouseDown_)
        return;
    hot_ = false;
    Repaint();
    if (OnMouseExit)
        OnMouseExit(this);
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
    ReleaseImageDisabled();
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
            ReleaseImageDisabled();
            Repaint();
        });
    Repaint();
}

void TKyToolbarButton::SetImageIndex(int index)
{
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    ReleaseImageDisabled();
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

void TKyToolbarButton::ReleaseGlyphSlots()
{
    if (usesGlyphList_) {
        if (TGlyphList* list = FindGlyphList(glyphSize_.cx, glyphSize_.cy)) {
            for (int slot : glyphSlots_)
                list->Delete(slot);
            list->Delete(disabledSlot_);
        }
        ReleaseGlyphList(glyphSize_.cx, glyphSize_.cy);
        usesGlyphList_ = false;
    }
    glyphSlots_.clear();
    disabledSlot_ = -1;
    ReleaseImageDisabled();
}

void TKyToolbarButton::ReleaseImageDisabled()
{
    if (imageDisabledSlot_ >= 0) {
        if (TGlyphList* list = FindGlyphList(imageDisabledSize_.cx, imageDisabledSize_.cy))
            list->Delete(imageDisabledSlot_);
        ReleaseGlyphList(imageDisabledSize_.cx, imageDisabledSize_.cy);
    }
    imageDisabledSlot_ = -1;
    imageDisabledIndex_ = -1;
}

void TKyToolbarButton::SetOldDisabledStyle(bool old)
{
    if (old == oldDisabledStyle_)
        return;
    oldDisabledStyle_ = old;
    RebuildGlyphList();
    Repaint();
}

namespace {

// A copy of the strip's disabled image (the second) in the system's colours
// of the day: white and silver become the highlight, grey the shadow. The
// transparent colour stays as it is.
HBITMAP OldStyleDisabledImage(HBITMAP strip, int width, int height, COLORREF transparent)
{
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TOwnDC sourceDC(CreateCompatibleDC(nullptr));
    const TOwnDC imageDC(CreateCompatibleDC(nullptr));
    TGdiObject image(CreateCompatibleBitmap(screen.Get(), width, height));
    const TSelectObject selectSource(sourceDC.Get(), strip);
    const TSelectObject selectImage(imageDC.Get(), image.Get());
    BitBlt(imageDC.Get(), 0, 0, width, height, sourceDC.Get(), width, 0, SRCCOPY);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(imageDC.Get(), x, y);
            if (c == transparent)
                continue;
            if (c == RGB(255, 255, 255) || c == RGB(192, 192, 192))
                SetPixel(imageDC.Get(), x, y, highlight);
            else if (c == RGB(128, 128, 128))
                SetPixel(imageDC.Get(), x, y, shadow);
        }
    return static_cast<HBITMAP>(image.Release());
}

}  // namespace

void TKyToolbarButton::RebuildGlyphList()
{
    ReleaseGlyphSlots();
    if (glyph_.Empty() || glyph_.Width() < numGlyphs_ || glyph_.Height() <= 0)
        return;
    const int width = glyph_.Width() / numGlyphs_;
    const int height = glyph_.Height();
    TGlyphList& list = AcquireGlyphList(width, height);
    glyphSize_ = SIZE{width, height};
    usesGlyphList_ = true;
    try {
        const bool masked = !glyphMask_.Empty() && glyphMask_.Width() == glyph_.Width();
        const COLORREF transparent = ColorToRGB(glyph_.TransparentColor());
        for (int i = 0; i < numGlyphs_; ++i) {
            if (i == 1 && oldDisabledStyle_ && !masked) {
                const TGdiObject recoloured(OldStyleDisabledImage(glyph_.Handle(), width, height, transparent));
                glyphSlots_.push_back(list.Add(static_cast<HBITMAP>(recoloured.Get()), 0, 0, transparent));
                continue;
            }
            glyphSlots_.push_back(
                list.Add(glyph_.Handle(), i * width, 0, transparent, masked ? glyphMask_.Handle() : nullptr));
        }
        // A strip without a disabled image gets an embossed one.
        if (numGlyphs_ < 2)
            disabledSlot_ = list.AddDisabled(list.Handle(), glyphSlots_[0]);
    } catch (...) {
        ReleaseGlyphSlots();
        throw;
    }
}

void TKyToolbarButton::SetLayout(TButtonLayout layout)
{
    layout_ = layout;
    Repaint();
}

void TKyToolbarButton::SetWordWrap(bool wrap)
{
    wordWrap_ = wrap;
    Repaint();
}

void TKyToolbarButton::SetAlignment(TButtonAlignment alignment)
{
    alignment_ = alignment;
    Repaint();
}

std::vector<TKyToolbarButton*> TKyToolbarButton::GroupSiblings()
{
    std::vector<TKyToolbarButton*> buttons;
    if (Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* button = dynamic_cast<TKyToolbarButton*>(Parent()->Controls(i)))
                buttons.push_back(button);
    } else {
        buttons.push_back(this);
    }
    return buttons;
}

void TKyToolbarButton::ApplyGroup(const std::vector<TKyToolbarButton*>& buttons,
                                  const std::vector<TGroupButton>& states)
{
    for (size_t i = 0; i < buttons.size(); ++i) {
        TKyToolbarButton* button = buttons[i];
        button->allowAllUp_ = states[i].AllowAllUp;
        if (button->down_ != states[i].Down) {
            button->down_ = states[i].Down;
            button->Repaint();
        }
    }
}

void TKyToolbarButton::SetDown(bool down)
{
    const std::vector<TKyToolbarButton*> buttons = GroupSiblings();
    std::vector<TGroupButton> states;
    for (TKyToolbarButton* button : buttons)
        states.push_back(TGroupButton{button->groupIndex_, button->down_, button->allowAllUp_});
    const size_t self = std::find(buttons.begin(), buttons.end(), this) - buttons.begin();
    const std::vector<size_t> changed = SetGroupButtonDown(states, self, down);
    ApplyGroup(buttons, states);
    // The actions of the buttons that went up or down follow them.
    for (size_t i : changed)
        if (TAction* action = buttons[i]->Action(); action && action->Checked() != buttons[i]->down_)
            action->SetChecked(buttons[i]->down_);
}

void TKyToolbarButton::SetGroupIndex(int index)
{
    if (index == groupIndex_)
        return;
    groupIndex_ = index;
    // Joining a group as its down button releases the others.
    const bool wasDown = down_;
    down_ = false;
    if (wasDown)
        SetDown(true);
    Repaint();
}

void TKyToolbarButton::SetAllowAllUp(bool allow)
{
    const std::vector<TKyToolbarButton*> buttons = GroupSiblings();
    std::vector<TGroupButton> states;
    for (TKyToolbarButton* button : buttons)
        states.push_back(TGroupButton{button->groupIndex_, button->down_, button->allowAllUp_});
    const size_t self = std::find(buttons.begin(), buttons.end(), this) - buttons.begin();
    SetGroupAllowAllUp(states, self, allow);
    ApplyGroup(buttons, states);
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
    if (!enabled) {
        if (g_hotButton == this)
            g_hotButton = nullptr;
        hot_ = false;
    }
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

void TKyToolbarButton::StartRepeatTimer(unsigned ms)
{
    if (HandleAllocated() && !SetTimer(handle_, kRepeatTimer, ms, nullptr))
        TraceIgnoredFailure(L"starting a button's repeat timer", GetLastError());
}

void TKyToolbarButton::StopRepeatTimer()
{
    if (HandleAllocated())
        KillTimer(handle_, kRepeatTimer);
}

void TKyToolbarButton::RepeatTimerFired()
{
    if (!mouseDown_) {
        StopRepeatTimer();
        return;
    }
    StartRepeatTimer(repeatInterval_);
    if (pressedInside_ && GetCapture() == handle_)
        Click();  // may free the button: nothing after it
}

void TKyToolbarButton::Click()
{
    if (groupIndex_ != 0)
        SetDown(!down_);
    if (modalResult_ != 0 && handle_)
        if (auto* form = dynamic_cast<TForm*>(FromHandle(GetAncestor(handle_, GA_ROOT))))
            form->SetModalResult(modalResult_);
    if (OnClick)
        OnClick(this);
    else if (TAction* action = Action())
        action->Execute();
}

bool TKyToolbarButton::DialogKey(WORD key)
{
    if (!((key == VK_RETURN && default_) || (key == VK_ESCAPE && cancel_)))
        return false;
    Click();  // may free the button: nothing after it
    return true;
}

bool TKyToolbarButton::DialogChar(wchar_t character)
{
    if (displayMode_ == TButtonDisplayMode::dmGlyphOnly || !IsAccel(character, Caption()))
        return false;
    Click();  // may free the button: nothing after it
    return true;
}

TAction* TKyToolbarButton::Action() const
{
    return actionAlive_.expired() ? nullptr : action_;
}

void TKyToolbarButton::SetAction(TAction* action)
{
    action_ = action;
    actionAlive_ = action ? action->Lifetime() : std::weak_ptr<const bool>();
    if (!action)
        return;
    action->SetChecked(down_);
    // The action outlives no button it forgets: the client checks that the
    // button is still there and still linked to it.
    action->AddClient([this, alive = std::weak_ptr<bool>(alive_)](const TAction& changed) {
        if (alive.expired() || !*alive.lock() || Action() != &changed)
            return;
        SetEnabled(changed.Enabled());
        SetVisible(changed.Visible());
        SetHint(changed.Hint());
        if (changed.Checked() != down_)
            SetDown(changed.Checked());
    });
}

POINT TKyToolbarButton::DropdownMenuPosition(UINT& alignment)
{
    RECT r{0, 0, Width(), Height()};
    if (HandleAllocated())
        GetWindowRect(handle_, &r);
    alignment = TPM_LEFTALIGN | TPM_TOPALIGN;
    switch (DockPositionOf(this).value_or(TDockPosition::dpTop)) {
    case TDockPosition::dpLeft:
        return POINT{r.right, r.top};
    case TDockPosition::dpRight:
        alignment = TPM_RIGHTALIGN | TPM_TOPALIGN;
        return POINT{r.left, r.top};
    default:
        return POINT{r.left, r.bottom};
    }
}

void TKyToolbarButton::DropDown()
{
    if (!dropdownCombo_ && OnClick)
        OnClick(this);
    if (GetCapture() == handle_)
        ReleaseCapture();
    bool showMenu = dropdownMenu_ != nullptr;
    bool removeClicks = true;
    if (OnDropdown)
        OnDropdown(this, showMenu, removeClicks);
    if (!showMenu || !dropdownMenu_ || !HandleAllocated())
        return;
    UINT alignment = 0;
    const POINT at = DropdownMenuPosition(alignment);
    const HWND window = handle_;
    const UINT command = TrackPopupMenuEx(dropdownMenu_->Handle(), TPM_RETURNCMD | TPM_LEFTBUTTON | alignment, at.x,
                                          at.y, window, nullptr);
    if (removeClicks) {
        // The click that closed the menu over this button must not press it
        // again; clicks meant for other windows are passed on.
        std::vector<MSG> others;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE))
            if (msg.hwnd != window)
                others.push_back(msg);
        for (const MSG& other : others)
            PostMessageW(other.hwnd, other.message, other.wParam, other.lParam);
    }
    if (command)
        dropdownMenu_->DispatchCommand(command);
}

SIZE TKyToolbarButton::GlyphSize() const
{
    if (images_ && imageIndex_ >= 0)
        return SIZE{images_->Width(), images_->Height()};
    if (!glyphSlots_.empty())
        return glyphSize_;
    return SIZE{0, 0};
}

int TKyToolbarButton::ImageDisabledSlot()
{
    if (!images_ || imageIndex_ < 0 || imageIndex_ >= images_->Count())
        return -1;
    if (imageDisabledSlot_ >= 0 && imageDisabledIndex_ == imageIndex_)
        return imageDisabledSlot_;
    ReleaseImageDisabled();
    TGlyphList& list = AcquireGlyphList(images_->Width(), images_->Height());
    imageDisabledSize_ = SIZE{images_->Width(), images_->Height()};
    try {
        imageDisabledSlot_ = list.AddDisabled(images_->Handle(), imageIndex_);
    } catch (...) {
        ReleaseGlyphList(imageDisabledSize_.cx, imageDisabledSize_.cy);
        throw;
    }
    imageDisabledIndex_ = imageIndex_;
    return imageDisabledSlot_;
}

void TKyToolbarButton::DrawContent(HDC dc, RECT area, bool pushed)
{
    if (pushed)
        OffsetRect(&area, 1, 1);
    const SIZE glyph = displayMode_ == TButtonDisplayMode::dmTextOnly ? SIZE{0, 0} : GlyphSize();
    const std::wstring text = displayMode_ == TButtonDisplayMode::dmGlyphOnly ? std::wstring() : Caption();
    const TSelectObject font(dc, Font().Handle());
    TButtonContentInput in;
    in.Width = area.right - area.left;
    in.Height = area.bottom - area.top;
    in.GlyphWidth = glyph.cx;
    in.GlyphHeight = glyph.cy;
    in.ArrowWidth = !dropdownCombo_ && UsesDropdown() && dropdownArrow_ ? dropdownArrowWidth_ : 0;
    in.Margin = margin_;
    in.Spacing = spacing_;
    in.Layout = layout_;
    const UINT lines = wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
    if (!text.empty()) {
        RECT measure{0, 0, wordWrap_ ? std::max(1, ButtonCaptionWrapWidth(in)) : 0, 0};
        DrawTextW(dc, text.c_str(), -1, &measure, DT_CALCRECT | lines);
        in.TextWidth = measure.right;
        in.TextHeight = measure.bottom;
    }
    const TButtonContent place = LayoutButtonContent(in);
    const bool enabled = Enabled();

    if (glyph.cx > 0) {
        const int x = area.left + place.GlyphX;
        const int y = area.top + place.GlyphY;
        if (images_ && imageIndex_ >= 0) {
            const int disabled = enabled ? -1 : ImageDisabledSlot();
            if (disabled >= 0) {
                if (const TGlyphList* list = FindGlyphList(images_->Width(), images_->Height()))
                    list->Draw(dc, x, y, disabled);
            } else {
                images_->Draw(dc, x, y, imageIndex_, true);
            }
        } else if (const TGlyphList* list = FindGlyphList(glyphSize_.cx, glyphSize_.cy)) {
            // Images of the strip: up, disabled, down, exclusive, hot.
            int slot = glyphSlots_[0];
            const int count = static_cast<int>(glyphSlots_.size());
            if (!enabled)
                slot = count > 1 ? glyphSlots_[1] : disabledSlot_;
            else if (mouseDown_ && pressedInside_ && count > 2)
                slot = glyphSlots_[2];
            else if (down_ && count > 3)
                slot = glyphSlots_[3];
            else if (hot_ && count > 4)
                slot = glyphSlots_[4];
            list->Draw(dc, x, y, slot);
        }
    }
    if (!text.empty()) {
        SetBkMode(dc, TRANSPARENT);
        RECT textRect{area.left + place.TextLeft, area.top + place.TextTop, area.left + place.TextRight,
                      area.top + place.TextBottom};
        const UINT align = alignment_ == TButtonAlignment::taLeftJustify    ? DT_LEFT
                           : alignment_ == TButtonAlignment::taRightJustify ? DT_RIGHT
                                                                            : DT_CENTER;
        // The rectangle is the caption's measured size: it is centred already.
        const UINT format = lines | align | (wordWrap_ ? 0 : DT_VCENTER);
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
    if (in.ArrowWidth > 0) {
        const int x = area.left + place.ArrowX;
        const int y = area.top + place.ArrowY;
        if (!enabled)
            FillTriangle(dc, x + 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        FillTriangle(dc, x, y, enabled ? ColorToRGB(Font().Color()) : GetSysColor(COLOR_BTNSHADOW));
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
        BecomeHot();
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
        ReleaseHot();
        message.Result = 0;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        message.Result = 0;
        if (!Enabled())
            return;
        if (message.Msg == WM_LBUTTONDBLCLK && down_ && OnDblClick) {
            OnDblClick(this);
            return;
        }
        const int x = GET_X_LPARAM(message.LParam);
        if (UsesDropdown() && (!dropdownCombo_ || InArrowPart(x))) {
            menuDown_ = true;
            Repaint();
            const std::shared_ptr<bool> alive = alive_;
            DropDown();
            if (*alive) {
                menuDown_ = false;
                Repaint();
            }
            return;
        }
        SetCapture(handle_);
        mouseDown_ = true;
        pressedInside_ = true;
        Repaint();
        if (repeating_) {
            // A repeating button clicks at once, then while it is held.
            const std::shared_ptr<bool> alive = alive_;
            Click();
            if (*alive && mouseDown_)
                StartRepeatTimer(repeatDelay_);
        }
        return;
    }
    case WM_LBUTTONUP: {
        message.Result = 0;
        const bool click = mouseDown_ && pressedInside_ && !repeating_;
        mouseDown_ = false;
        pressedInside_ = false;
        StopRepeatTimer();
        if (GetCapture() == handle_)
            ReleaseCapture();
        Repaint();
        if (click)
            Click();
        return;
    }
    case WM_TIMER:
        if (message.WParam == kRepeatTimer) {
            RepeatTimerFired();
            message.Result = 0;
            return;
        }
        break;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (mouseDown_) {
            StopRepeatTimer();
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
