#pragma once
// Labels, push buttons, check boxes, radio buttons and group boxes over the
// standard STATIC and BUTTON controls.

#include "framework/win/Controls.h"

#include <string>
#include <vector>

namespace qrv {

class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* owner);
    // Sizes the label to its caption in its font (single line).
    void AutoSizeToCaption();
    // "&" underlines the next letter (set before the window is made).
    bool ShowAccelChar = false;

protected:
    void CreateParams(TCreateParams& params) override;
};

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    // The modal result a click gives the form the button is on.
    int ModalResult = 0;
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel = false;
    virtual void Click();

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool default_ = false;
};

// The three states of a check box; cbGrayed only with AllowGrayed.
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked();
    void SetChecked(bool checked);
    // A click steps through unchecked, checked and grayed (set before the
    // window is made).
    bool AllowGrayed = false;
    TCheckBoxState State();
    void SetState(TCheckBoxState state);
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
};

// A radio button; the buttons that follow a group start (up to the next
// one) choose among themselves, in the keyboard's arrow-key round as well.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked();
    // Checking one unchecks the others of its group (siblings up to the next
    // group start).
    void SetChecked(bool checked);
    bool GroupStart = false;
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void UncheckGroupSiblings();
    bool checked_ = false;
};

// A frame with a caption around related controls, which are its children;
// the keyboard's Tab round goes through them.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
};

// A group box of radio buttons, one per item, stacked in one column; one
// of them (ItemIndex) is chosen, -1 for none. Items set after the buttons
// exist relabel them.
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* owner);
    void SetItems(const std::vector<std::wstring>& items);
    int ItemCount() const { return static_cast<int>(buttons_.size()); }
    TRadioButton* Button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    int ItemIndex();
    void SetItemIndex(int index);

private:
    void Arrange();
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
};

// The width and height of a text in a font, in pixels.
SIZE MeasureText(HFONT font, const std::wstring& text);

}  // namespace qrv
