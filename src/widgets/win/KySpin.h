#pragma once
// TKySpinEdit: an edit for a number with a spin control at its right end
// (the system's up-down control, or TKySpinButton, a square split
// diagonally into an up and a down half that repeats while held); the
// control and the Up and Down keys step the value by Increment.

#include "framework/win/Bitmap.h"
#include "framework/win/StdCtrls.h"
#include "widgets/SpinValue.h"

namespace qrv {

class TKySpinButton : public TCustomControl {
public:
    explicit TKySpinButton(TComponent* owner);
    ~TKySpinButton() override;

    // Takes the focus at a press when it has none.
    TWinControl* FocusControl = nullptr;
    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

    // The arrows on the up and the down half; assigning none (or an empty
    // bitmap) takes the program's "KYSPINUP" / "KYSPINDOWN" again.
    const TBitmap& UpGlyph() const { return upGlyph_; }
    void SetUpGlyph(const TBitmap* glyph);
    const TBitmap& DownGlyph() const { return downGlyph_; }
    void SetDownGlyph(const TBitmap* glyph);

    // The half held down now (None when the mouse left it).
    TSpinHalf Pressed() const { return pressed_; }
    // The repeat timer's interval now; 0 when it does not run.
    unsigned RepeatInterval() const { return interval_; }
    // The face painted while that half is pressed (None: the normal face),
    // drawn once and kept until the size, a glyph or the system colours change.
    const TBitmap& Face(TSpinHalf pressed);

protected:
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    void Click(TSpinHalf half);
    void StartTimer(unsigned interval);
    void StopTimer();
    void Release();
    void DrawFace(HDC dc, TSpinHalf pressed) const;
    void RebuildFacesIfStale();
    TSpinHalf held_ = TSpinHalf::None;  // the half the press began on
    TSpinHalf pressed_ = TSpinHalf::None;
    unsigned interval_ = 0;
    TBitmap upGlyph_;
    TBitmap downGlyph_;
    // Normal, up pressed, down pressed (in TSpinHalf order).
    TBitmap faces_[3];
    bool facesStale_ = true;
};

enum class TSpinButtonKind { bkStandard, bkDiagonal };

class TKySpinEdit : public TEdit {
public:
    explicit TKySpinEdit(TComponent* owner);

    // Reading parses the text (MinValue when it is no number); writing
    // clamps to MinValue..MaxValue when they differ and sets the text.
    double Value();
    void SetValue(double value);
    double MinValue() const { return minValue_; }
    void SetMinValue(double value) { minValue_ = value; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double value) { maxValue_ = value; }
    double Increment() const { return increment_; }
    void SetIncrement(double increment);
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType type);
    // Decimals written for vtFloat.
    int Decimal() const { return decimal_; }
    void SetDecimal(int decimals);
    // False: only the arrows and keys change the value.
    bool EditorEnabled = true;
    // The Up and Down keys step the value.
    bool ArrowKeys = true;

    virtual void StepUp();
    virtual void StepDown();
    // Whether a typed character may go into the text.
    virtual bool IsAcceptedChar(wchar_t key);

    // bkStandard: the system's up-down control; bkDiagonal: TKySpinButton.
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind kind);

    // The up-down control, once the window exists (bkStandard).
    HWND UpDownHandle() const { return upDown_; }
    // The diagonal button (bkDiagonal), else nullptr.
    TKySpinButton* SpinButton() const { return spinButton_; }

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // A refused key or step.
    virtual void Beep() { MessageBeep(0); }

private:
    void Step(double delta);
    void PlaceUpDown();
    static wchar_t DecimalSeparator();

    double minValue_ = 0;
    double maxValue_ = 0;
    double increment_ = 1;
    TValueType valueType_ = TValueType::vtInteger;
    int decimal_ = 2;
    bool quiet_ = false;  // no OnChange while a step writes the text
    HWND upDown_ = nullptr;
    TSpinButtonKind buttonKind_ = TSpinButtonKind::bkStandard;
    TKySpinButton* spinButton_ = nullptr;
    TWinControl* spinHolder_ = nullptr;  // the square window the diagonal button sits in
};

}  // namespace qrv
