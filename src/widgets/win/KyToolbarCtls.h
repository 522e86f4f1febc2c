#pragma once
// TKyToolbarButton: the flat, hot-tracking button of toolbars and forms, with
// a glyph (from an image list or a bitmap strip) and/or a caption; a push
// button, a toggle in a group, a repeating button or a drop-down button.
// Glyph images, and the embossed images of disabled buttons made from them,
// are kept in image lists shared by all buttons of one glyph size.

#include "framework/win/Bitmap.h"
#include "framework/win/Controls.h"
#include "widgets/ButtonLayout.h"
#include "widgets/ToolbarVersion.h"

#include <functional>
#include <memory>
#include <vector>

namespace qrv {

class TAction;
class TImageList;
class TMenu;

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsHot };
enum class TButtonAlignment { taLeftJustify, taRightJustify, taCenter };

// ShowMenu: pop up DropdownMenu (preset: a menu is set); RemoveClicks:
// discard the clicks that closed the menu.
using TButtonDropdownEvent = std::function<void(TComponent* Sender, bool& ShowMenu, bool& RemoveClicks)>;

class TKyToolbarButton : public TWinControl {
public:
    explicit TKyToolbarButton(TComponent* owner);
    ~TKyToolbarButton() override;

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    TButtonDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TButtonDisplayMode mode);
    // Pixels between glyph and caption.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // Pixels from the edge to the content (-1: centred).
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    // Where the glyph sits beside the caption.
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    // The caption wraps at word breaks to the room the button has for it.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    // How the lines of a wrapped caption line up.
    TButtonAlignment Alignment() const { return alignment_; }
    void SetAlignment(TButtonAlignment alignment);
    // Clicks while held: first after RepeatDelay, then every RepeatInterval (ms).
    bool Repeating() const { return repeating_; }
    void SetRepeating(bool repeating) { repeating_ = repeating; }
    unsigned RepeatDelay() const { return repeatDelay_; }
    void SetRepeatDelay(unsigned ms) { repeatDelay_ = ms; }
    unsigned RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(unsigned ms) { repeatInterval_ = ms; }
    // Hot tracking also while no window of the program is active.
    bool ShowBorderWhenInactive() const { return showBorderWhenInactive_; }
    void SetShowBorderWhenInactive(bool show) { showBorderWhenInactive_ = show; }

    // A strip of NumGlyphs images side by side: up, disabled, down, exclusive, hot.
    TBitmap& Glyph() { return glyph_; }
    void SetGlyph(const TBitmap* glyph);
    TBitmap& GlyphMask() { return glyphMask_; }
    void SetGlyphMask(const TBitmap* mask);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    // The strip's own disabled image drawn in today's colours: its white and
    // silver become the button highlight, its grey the button shadow.
    bool OldDisabledStyle() const { return oldDisabledStyle_; }
    void SetOldDisabledStyle(bool old);

    // A button of a group (GroupIndex not 0) stays down until another of its
    // group on the same parent goes down; with AllowAllUp it can also go up.
    bool Down() const { return down_; }
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow);

    // A combo button has an arrow part at its right end that drops down.
    bool DropdownCombo() const { return dropdownCombo_; }
    void SetDropdownCombo(bool combo);
    // The arrow after the content of a (non-combo) drop-down button.
    bool DropdownArrow() const { return dropdownArrow_; }
    void SetDropdownArrow(bool arrow);
    int DropdownArrowWidth() const { return dropdownArrowWidth_; }
    void SetDropdownArrowWidth(int width);
    // Drop down on every press, also without a menu.
    bool DropdownAlways() const { return dropdownAlways_; }
    void SetDropdownAlways(bool always);
    // The menu shown below the button; it must be a popup menu.
    TMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TMenu* menu);
    bool Flat() const { return flat_; }
    const wchar_t* Version() const { return kToolbarLibraryVersion; }
    // Enter clicks a Default button, Esc a Cancel button, when the focused
    // window does not want the key itself.
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Set on the button's form by a click (0: none).
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void SetFlat(bool flat);

    // The action the button stands for: it takes the action's enabled and
    // visible state, hint and checked state (as Down), its Down changes
    // check the action, and a click without OnClick executes it. Linking
    // copies Down to the action's checked state.
    TAction* Action() const;
    void SetAction(TAction* action);

    TButtonState State() const;
    // What a full click does: toggles a grouped button, then OnClick.
    virtual void Click();
    // Where the drop-down menu goes (screen) and how TrackPopupMenu aligns
    // it: below the button, beside it in a left dock, right-aligned at its
    // left edge in a right dock.
    POINT DropdownMenuPosition(UINT& alignment);
    // The button the mouse is over now, if any.
    static TKyToolbarButton* HotButton();

    void SetCaption(const std::wstring& caption) override;
    void SetEnabled(bool enabled) override;
    bool DialogKey(WORD key) override;
    // The caption's accelerator clicks, unless only the glyph shows.
    bool DialogChar(wchar_t character) override;

    TButtonDropdownEvent OnDropdown;
    // A double click on a button that is down.
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void BoundsChanged() override;
    virtual void Paint(HDC dc, const RECT& client);
    // The glyph (embossed when disabled), caption and arrow inside area.
    void DrawContent(HDC dc, RECT area, bool pushed);
    void Repaint();
    bool Hot() const { return hot_; }
    bool Pushed() const;
    // The repeat timer; tests put a clock of their own in its place.
    virtual void StartRepeatTimer(unsigned ms);
    virtual void StopRepeatTimer();
    // The repeat timer fired: a click while the button is held inside.
    void RepeatTimerFired();

private:
    static void HookProc(int code, HWND wnd, WPARAM wParam, LPARAM lParam);
    void BecomeHot();
    void ReleaseHot();
    std::vector<TKyToolbarButton*> GroupSiblings();
    void ApplyGroup(const std::vector<TKyToolbarButton*>& buttons, const std::vector<TGroupButton>& states);
    void ReleaseGlyphSlots();
    void ReleaseImageDisabled();
    // The embossed image of Images[ImageIndex], made on first use (-1: none).
    int ImageDisabledSlot();
    bool UsesDropdown() const;
    bool InArrowPart(int x) const;
    void DropDown();
    void RebuildGlyphList();
    SIZE GlyphSize() const;

    TImageList* images_ = nullptr;
    int imagesListener_ = 0;
    int imageIndex_ = -1;
    TButtonDisplayMode displayMode_ = TButtonDisplayMode::dmBoth;
    int spacing_ = 4;
    int margin_ = -1;
    TBitmap glyph_;
    TBitmap glyphMask_;
    // The strip's images and the made disabled image in the shared list of
    // their size (-1: none).
    std::vector<int> glyphSlots_;
    int disabledSlot_ = -1;
    SIZE glyphSize_{0, 0};
    bool usesGlyphList_ = false;
    // The embossed image of the Images entry when disabled.
    int imageDisabledSlot_ = -1;
    int imageDisabledIndex_ = -1;
    SIZE imageDisabledSize_{0, 0};
    int numGlyphs_ = 1;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    bool wordWrap_ = false;
    bool oldDisabledStyle_ = false;
    TAction* action_ = nullptr;
    std::weak_ptr<const bool> actionAlive_;
    TButtonAlignment alignment_ = TButtonAlignment::taCenter;
    bool repeating_ = false;
    unsigned repeatDelay_ = 400;
    unsigned repeatInterval_ = 100;
    bool showBorderWhenInactive_ = false;
    // Cleared when the button goes: a click handler may free it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool dropdownCombo_ = false;
    bool dropdownArrow_ = true;
    int dropdownArrowWidth_ = 9;
    bool dropdownAlways_ = false;
    TMenu* dropdownMenu_ = nullptr;
    bool flat_ = true;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    bool hot_ = false;
    bool mouseDown_ = false;
    bool pressedInside_ = false;
    bool menuDown_ = false;
};

}  // namespace qrv
