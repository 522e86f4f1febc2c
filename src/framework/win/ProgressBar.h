#pragma once
// A progress bar over the common control: range, position and step.

#include "framework/win/Controls.h"

namespace qrv {

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);

    int Max() const { return max_; }
    void SetMax(int max);
    int Position();
    void SetPosition(int position);
    int Step = 1;
    // Advances the position by Step, held at Max.
    void StepIt();
    // A continuous bar instead of blocks.
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    int max_ = 100;
    int position_ = 0;
    bool smooth_ = false;
};

}  // namespace qrv
