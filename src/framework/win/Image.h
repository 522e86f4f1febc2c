#pragma once
// A control that shows a picture: a graphic it holds (its frames drawn one
// after the other by one timer of the control when it has several; a
// graphic that plays itself tells its changes by OnChange), or a
// bitmap or an icon it is given, whose handle it does not own: whoever hands
// it over keeps it alive and frees it.

#include "framework/win/Controls.h"

#include <functional>
#include <memory>

namespace qrv {

class TGraphic;

class TImage : public TCustomControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    // Takes the graphic and shows it from its first frame.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    TGraphic* Graphic() const { return graphic_.get(); }

    HBITMAP Bitmap() const { return bitmap_; }
    void SetBitmap(HBITMAP bitmap);
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);
    // Shows nothing.
    void Clear();
    bool Empty() const { return !graphic_ && !bitmap_ && !icon_; }

    // Centre the picture in the control (else top left).
    bool Center() const { return center_; }
    void SetCenter(bool center);
    // Stretch the picture over the whole control.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    // The size of the picture shown, 0 x 0 when empty.
    SIZE PictureSize() const;

    // The left mouse button on the image, in client coordinates; the image
    // holds the mouse between press and release.
    std::function<void(TComponent* Sender, int X, int Y)> OnMouseDown;
    std::function<void(TComponent* Sender, int X, int Y)> OnMouseMove;
    TNotifyEvent OnMouseUp;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;
    void DestroyWnd() override;

private:
    void Changed();
    RECT DestinationRect();
    // The timer for the current frame's delay, when the graphic has frames.
    void ScheduleFrame();
    void NextFrame();

    std::unique_ptr<TGraphic> graphic_;
    bool frameTimer_ = false;

    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    bool center_ = false;
    bool stretch_ = false;
};

}  // namespace qrv
