#pragma once
// TKyAniCursor: the picture class of Windows animated cursors (.ani). It keeps
// the file as read (saving writes it back unchanged) and shows one frame at a
// time, as an icon the system makes from that frame's image. Its steps are
// the frames of the graphic (TGraphic's frame interface), so that an image
// control plays them; each step lasts its rate by the clock, however late
// the control's timer fires.

#include "framework/Colors.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"
#include "imaging/AniCursorFile.h"
#include "imaging/AniSchedule.h"

#include <memory>
#include <string>

namespace qrv {

class TKyAniCursor : public TGraphic {
public:
    using TClock = TAniSchedule::TClock;
    // On the system's tick count, or on the clock given (milliseconds).
    TKyAniCursor();
    explicit TKyAniCursor(TClock clock);
    ~TKyAniCursor() override;

    // Another animated cursor: a copy of its file; anything else is refused.
    void Assign(const TGraphic& source) override;
    // The current frame at the rectangle's top left, never stretched: on a
    // square of BackgroundColor of the picture's size, or straight onto the
    // canvas with DrawTransparent.
    void Draw(HDC dc, const RECT& rect) override;
    bool Empty() const override { return !file_; }
    int Width() const override;
    int Height() const override;
    bool Transparent() const override { return DrawTransparent; }
    // Always refused (EInvalidGraphicOperation).
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    // The whole stream from its start; throws EAniFormat for a file that is no
    // animated cursor or one of whose frames the system cannot make an icon
    // of (the picture is then empty). Shows step 0.
    void LoadFromStream(TStream& stream) override;
    // The file as read; an empty picture raises EInvalidGraphicOperation.
    void SaveToStream(TStream& stream) override;
    // Always refused (EInvalidGraphicOperation).
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

    // The steps: SetFrame starts the play at that step from now; the current
    // step's delay is what the clock leaves of it, and AdvanceFrame moves to
    // the step the clock has reached.
    int FrameCount() const override;
    int Frame() const override;
    void SetFrame(int step) override;
    int FrameDelay(int step) const override;
    void AdvanceFrame() override;

    // Empty, the texts "unbekannt".
    void Clear();
    // Shows frame index of the file (not a step); nothing for one beyond
    // the frames. Throws EAniFormat when its icon cannot be made.
    void ShowFrame(size_t index);
    size_t CurrentFrame() const { return frame_; }
    // The icon of the current frame, owned by the picture.
    HICON Icon() const { return icon_.Get(); }
    std::wstring Author() const;
    std::wstring Title() const;
    // The parsed file; nullptr when empty.
    const TAniCursorFile* File() const { return file_.get(); }

    bool DrawTransparent = false;
    TColor BackgroundColor = clBtnFace;

private:
    void Load(std::vector<uint8_t> bytes);
    TIconHandle MakeIcon(size_t index) const;

    TClock clock_;
    std::unique_ptr<TAniCursorFile> file_;
    std::unique_ptr<TAniSchedule> schedule_;
    size_t frame_ = 0;
    TIconHandle icon_;
};

// The counted start and end of the unit: "ani" ("Animated Cursor")
// registered with the picture framework.
void StartKyAniCursorUnit();
void EndKyAniCursorUnit();

}  // namespace qrv
