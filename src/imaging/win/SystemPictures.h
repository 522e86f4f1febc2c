#pragma once
// The picture classes read by the system's own decoders, registered with
// the picture framework beside the program's own: icons and cursors
// (.ico, .cur) as icons, bitmaps (.bmp, .dib) through
// the system's bitmap loader with the imaging component as its fallback, and
// JPEG through the imaging component. Drawn, they are shown as the system
// shows them; they are read-only.

#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"

#include <string>

namespace qrv {

// An icon or a cursor: the image of the directory that suits the screen
// (an icon at the system's icon size, a cursor at its own size).
class TIconGraphic : public TGraphic {
public:
    void Draw(HDC dc, const RECT& rect) override;
    bool Empty() const override { return !icon_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Transparent() const override { return true; }
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

    HICON Handle() const { return icon_.Get(); }

protected:
    virtual bool IsCursor() const { return false; }

private:
    void Take(HICON icon);
    TIconHandle icon_;
    int width_ = 0;
    int height_ = 0;
};

class TCursorGraphic : public TIconGraphic {
protected:
    bool IsCursor() const override { return true; }
};

// A picture held as a bitmap the system decoded.
class TDecodedBitmapGraphic : public TGraphic {
public:
    void AssignTo(TBitmap& target) const override;
    void Draw(HDC dc, const RECT& rect) override;
    bool Empty() const override { return bitmap_.Empty(); }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    // Through the imaging component, whatever format it knows.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

protected:
    TBitmap bitmap_;
};

// A JPEG, decoded at the scale set for the process (the thumbnails' one).
class TJpegGraphic : public TDecodedBitmapGraphic {
public:
    void LoadFromStream(TStream& stream) override;
};

// The size JPEG pictures are decoded at from now on: 0 full, 1 half, 2 a
// quarter, 3 an eighth (each side rounded up).
void SetJpegDecodeScale(int Scale);
int JpegDecodeScale();

class TBmpGraphic : public TDecodedBitmapGraphic {
public:
    // The system's bitmap loader; a bitmap it refuses goes to the imaging
    // component.
    void LoadFromFile(const std::wstring& fileName) override;
};

// Registers and unregisters the classes; counted like the PNG unit.
void StartSystemPictureUnit();
void EndSystemPictureUnit();

}  // namespace qrv
