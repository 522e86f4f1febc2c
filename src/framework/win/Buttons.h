#pragma once
// Labels, push buttons, check boxes and radio buttons over the standard STATIC and BUTTON
// controls.

#include "framework/win/Controls.h"

namespace qrv {

class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* owner);
    // Sizes the label to its caption in its font (single line).
    void AutoSizeToCaption();

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

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked();
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool checked_ = false;
};

// A radio button; the buttons with one parent form a group, and checking one
// clears the others.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked();
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool checked_ = false;
};

// The width and height of a text in a font, in pixels.
SIZE MeasureText(HFONT font, const std::wstring& text);

}  // namespace qrv
