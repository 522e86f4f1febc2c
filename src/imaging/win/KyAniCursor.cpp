#include "imaging/win/KyAniCursor.h"

#include "framework/Encoding.h"
#include "framework/IgnoredError.h"
#include "framework/Streams.h"
#include "framework/win/Graphics.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

int unitStarts = 0;

constexpr DWORD kIconResourceVersion = 0x00030000;

[[noreturn]] void RefuseSize()
{
    throw EInvalidGraphicOperation(L"Die Größe eines Symbols kann nicht geändert werden");
}

[[noreturn]] void RefuseClipboard()
{
    throw EInvalidGraphicOperation(L"Zwischenablage unterstützt keine Symbole");
}

int ClampToInt(uint64_t value)
{
    return static_cast<int>(std::min<uint64_t>(value, INT_MAX));
}

}  // namespace

TKyAniCursor::TKyAniCursor() : TKyAniCursor([] { return static_cast<uint64_t>(GetTickCount64()); }) {}

TKyAniCursor::TKyAniCursor(TClock clock) : clock_(std::move(clock)) {}

TKyAniCursor::~TKyAniCursor() = default;

void TKyAniCursor::Clear()
{
    schedule_.reset();
    file_.reset();
    icon_.Reset();
    frame_ = 0;
}

void TKyAniCursor::Load(std::vector<uint8_t> bytes)
{
    Clear();
    try {
        auto file = std::make_unique<TAniCursorFile>(std::move(bytes));
        file_ = std::move(file);
        // Every frame must make an icon: a broken one is found now, not while
        // the animation plays.
        for (size_t i = 0; i < file_->Frames().size(); ++i)
            MakeIcon(i);
        schedule_ = std::make_unique<TAniSchedule>(*file_, clock_);
        ShowFrame(schedule_->Frame());
    } catch (...) {
        Clear();
        throw;
    }
}

void TKyAniCursor::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const std::string bytes = stream.ReadAll();
    Load(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void TKyAniCursor::SaveToStream(TStream& stream)
{
    if (!file_)
        throw EInvalidGraphicOperation(L"Ungültiges Bild");
    stream.WriteBuffer(file_->Bytes().data(), file_->Bytes().size());
}

void TKyAniCursor::Assign(const TGraphic& source)
{
    if (&source == this)
        return;
    if (const auto* other = dynamic_cast<const TKyAniCursor*>(&source)) {
        if (other->file_)
            Load(other->file_->Bytes());
        else
            Clear();
        return;
    }
    TGraphic::Assign(source);
}

TIconHandle TKyAniCursor::MakeIcon(size_t index) const
{
    const std::span<const uint8_t> image = file_->FrameImage(index);
    TIconHandle icon(CreateIconFromResourceEx(const_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()), TRUE,
                                              kIconResourceVersion, 0, 0, LR_DEFAULTCOLOR));
    if (!icon)
        throw EAniFormat(kAniFormatError);
    return icon;
}

void TKyAniCursor::ShowFrame(size_t index)
{
    if (!file_ || index >= file_->Frames().size())
        return;
    TIconHandle icon = MakeIcon(index);
    frame_ = index;
    icon_ = std::move(icon);
}

void TKyAniCursor::Draw(HDC dc, const RECT& rect)
{
    if (!icon_)
        return;
    if (DrawTransparent) {
        if (!DrawIconEx(dc, rect.left, rect.top, icon_.Get(), 0, 0, 0, nullptr, DI_NORMAL))
            TraceIgnoredFailure(L"animated cursor: drawing its frame", GetLastError());
        return;
    }
    const int width = Width(), height = Height();
    const TOwnDC memory(CreateCompatibleDC(dc));
    const TGdiObject square(CreateCompatibleBitmap(dc, width, height));
    if (!memory || !square) {
        TraceIgnoredFailure(L"animated cursor: its drawing square", GetLastError());
        return;
    }
    const TSelectObject select(memory.Get(), square.Get());
    const TGdiObject brush(CreateSolidBrush(ColorToRGB(BackgroundColor)));
    const RECT whole{0, 0, width, height};
    FillRect(memory.Get(), &whole, static_cast<HBRUSH>(brush.Get()));
    if (!DrawIconEx(memory.Get(), 0, 0, icon_.Get(), 0, 0, 0, nullptr, DI_NORMAL))
        TraceIgnoredFailure(L"animated cursor: drawing its frame", GetLastError());
    if (!BitBlt(dc, rect.left, rect.top, width, height, memory.Get(), 0, 0, SRCCOPY))
        TraceIgnoredFailure(L"animated cursor: drawing its square", GetLastError());
}

int TKyAniCursor::Width() const
{
    return file_ ? static_cast<int>(file_->Width()) : 0;
}

int TKyAniCursor::Height() const
{
    return file_ ? static_cast<int>(file_->Height()) : 0;
}

void TKyAniCursor::SetHeight(int)
{
    RefuseSize();
}

void TKyAniCursor::SetWidth(int)
{
    RefuseSize();
}

void TKyAniCursor::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE)
{
    RefuseClipboard();
}

void TKyAniCursor::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&)
{
    RefuseClipboard();
}

int TKyAniCursor::FrameCount() const
{
    return schedule_ ? ClampToInt(schedule_->StepCount()) : 1;
}

int TKyAniCursor::Frame() const
{
    return schedule_ ? ClampToInt(schedule_->Step()) : 0;
}

void TKyAniCursor::SetFrame(int step)
{
    if (!schedule_ || step < 0 || step >= FrameCount())
        return;
    schedule_->StartAt(static_cast<size_t>(step));
    ShowFrame(schedule_->Frame());
}

int TKyAniCursor::FrameDelay(int step) const
{
    if (!schedule_ || step < 0 || step >= FrameCount())
        return 0;
    if (step == Frame())
        return ClampToInt(schedule_->MillisecondsToNextStep());
    return ClampToInt((uint64_t{schedule_->StepRate(static_cast<size_t>(step))} * 1000 + 59) / 60);
}

void TKyAniCursor::AdvanceFrame()
{
    if (schedule_ && schedule_->Update())
        ShowFrame(schedule_->Frame());
}

std::wstring TKyAniCursor::Author() const
{
    return TEncoding::Default().GetString(file_ ? file_->Author() : kAniUnknownText);
}

std::wstring TKyAniCursor::Title() const
{
    return TEncoding::Default().GetString(file_ ? file_->Title() : kAniUnknownText);
}

void StartKyAniCursorUnit()
{
    if (unitStarts++ > 0)
        return;
    TPicture::RegisterFileFormat<TKyAniCursor>(L"ani", L"Animated Cursor");
}

void EndKyAniCursorUnit()
{
    if (unitStarts == 0 || --unitStarts > 0)
        return;
    TPicture::UnregisterGraphicClass<TKyAniCursor>();
}

}  // namespace qrv
