#pragma once
// TKySpinEdit: an edit for a number with an up-down control at its right end;
// the arrows and the Up and Down keys step the value by Increment.

#include "framework/win/StdCtrls.h"
#include "widgets/SpinValue.h"

namespace qrv {

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

    // The up-down control, once the window exists.
    HWND UpDownHandle() const { return upDown_; }

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

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
};

}  // namespace qrv
