// The animated cursor picture: registered as "ani", each step drawn as the
// system draws that step of the file it loads itself, the steps played by a
// fake clock through the frame interface, the file saved unchanged, and the
// refusals.

#include "TestDir.h"

#include "framework/Streams.h"
#include "framework/win/Handles.h"
#include "imaging/win/KyAniCursor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qrv;

namespace {

std::wstring Fixture(const char* name)
{
    return Utf8ToWide(std::string("Z:") + QRV_RASTER_FIXTURES + "/" + name);
}

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    EXPECT_TRUE(in);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 32-bit canvas of one colour on which something is drawn at 0, 0; its pixels.
template <typename TDrawing>
std::vector<uint32_t> Drawn(int width, int height, COLORREF background, TDrawing draw)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const TGdiObject canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), canvas.Get());
    const TGdiObject brush(CreateSolidBrush(background));
    const RECT whole{0, 0, width, height};
    FillRect(dc.Get(), &whole, static_cast<HBRUSH>(brush.Get()));
    draw(dc.Get());
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(pixels, pixels + static_cast<size_t>(width) * height);
}

struct TFakeClock {
    uint64_t Now = 1000;
    TKyAniCursor::TClock Clock()
    {
        return [this] { return Now; };
    }
};

class KyAniCursor : public testing::Test {
protected:
    void SetUp() override { StartKyAniCursorUnit(); }
    void TearDown() override { EndKyAniCursorUnit(); }
    test::TestDir dir;
};

}  // namespace

TEST_F(KyAniCursor, RegisteredAsAnimatedCursorAndReadThroughThePictureFramework)
{
    const TGraphicFileFormat* format = TPicture::FindFileFormat(L".ANI");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->Description, L"Animated Cursor");
    TPicture picture;
    picture.LoadFromFile(Fixture("ani_padded.ani"));
    auto* cursor = dynamic_cast<TKyAniCursor*>(picture.Graphic());
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->Width(), 32);
    EXPECT_EQ(cursor->Height(), 32);
    EXPECT_EQ(cursor->Title(), L"Uhr");
    EXPECT_EQ(cursor->Author(), L"Quorvan");
    EXPECT_EQ(cursor->FrameCount(), 4) << "the steps";
    EXPECT_NE(cursor->Icon(), nullptr);

    EXPECT_EQ(TKyAniCursor().Author(), L"unbekannt");
    EXPECT_EQ(TKyAniCursor().Title(), L"unbekannt");
    EndKyAniCursorUnit();
    EXPECT_EQ(TPicture::FindFileFormat(L"ani"), nullptr);
    StartKyAniCursorUnit();  // for TearDown
}

// The system reads the file on its own (LoadImageW) and draws each step
// (DrawIconEx's step argument): the picture draws the same pixels, on its
// background square and straight onto the canvas. The files are ones Wine's
// loader reads: it skips a pad byte after every chunk but an icon. It also
// passes over the sequence (its step n is frame n, the last one beyond), so
// each step is compared with the system's step of the frame the sequence
// names; without a sequence that is the step itself.
TEST_F(KyAniCursor, EachStepIsDrawnAsTheSystemDrawsIt)
{
    for (const char* name : {"ani_even.ani", "ani_plain.ani"}) {
        SCOPED_TRACE(name);
        const std::wstring path = Fixture(name);
        TKyAniCursor cursor;
        cursor.LoadFromFile(path);
        const HCURSOR system =
            static_cast<HCURSOR>(LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
        ASSERT_NE(system, nullptr);
        const int w = cursor.Width(), h = cursor.Height();
        const COLORREF face = GetSysColor(COLOR_BTNFACE), pink = RGB(250, 0, 200);
        std::vector<std::vector<uint32_t>> steps;
        for (int step = 0; step < cursor.FrameCount(); ++step) {
            SCOPED_TRACE(step);
            cursor.SetFrame(step);
            EXPECT_EQ(cursor.Frame(), step);
            const auto ours = Drawn(w, h, pink, [&](HDC dc) { cursor.Draw(dc, RECT{0, 0, 5, 5}); });
            const UINT systemStep = static_cast<UINT>(cursor.CurrentFrame());
            if (cursor.File()->Sequence().empty())
                EXPECT_EQ(systemStep, static_cast<UINT>(step));
            const auto theirs = Drawn(w, h, face, [&](HDC dc) {
                EXPECT_TRUE(DrawIconEx(dc, 0, 0, system, 0, 0, systemStep, nullptr, DI_NORMAL));
            });
            EXPECT_EQ(ours, theirs) << "on the button-face square, whatever lies below";
            cursor.DrawTransparent = true;
            const auto straight = Drawn(w, h, pink, [&](HDC dc) { cursor.Draw(dc, RECT{0, 0, w, h}); });
            cursor.DrawTransparent = false;
            EXPECT_EQ(straight, Drawn(w, h, pink, [&](HDC dc) {
                          DrawIconEx(dc, 0, 0, system, 0, 0, systemStep, nullptr, DI_NORMAL);
                      }));
            steps.push_back(ours);
        }
        EXPECT_NE(steps[0], steps[1]) << "the steps show frames apart";
        if (steps.size() == 4)
            EXPECT_EQ(steps[3], steps[1]) << "the sequence shows frame 1 again";
        DestroyCursor(system);
    }
}

TEST_F(KyAniCursor, StepsLastTheirRatesByTheClock)
{
    // Rates 10, 20, 6 and 1 jiffies; the sequence shows frames 0, 1, 2, 1.
    TFakeClock clock;
    TKyAniCursor cursor(clock.Clock());
    cursor.LoadFromFile(Fixture("ani_padded.ani"));
    EXPECT_EQ(cursor.Frame(), 0);
    EXPECT_EQ(cursor.FrameDelay(0), 167);  // 10 / 60 s
    EXPECT_EQ(cursor.FrameDelay(1), 334);
    EXPECT_EQ(cursor.FrameDelay(3), 17);
    // A timer a little early moves nothing and leaves the rest of the step.
    clock.Now += 160;
    cursor.AdvanceFrame();
    EXPECT_EQ(cursor.Frame(), 0);
    EXPECT_EQ(cursor.FrameDelay(0), 7);
    clock.Now += 7;
    cursor.AdvanceFrame();
    EXPECT_EQ(cursor.Frame(), 1);
    EXPECT_EQ(cursor.CurrentFrame(), 1u);
    // A timer far too late lands on the step the clock reached: 30 jiffies
    // (500 ms) end step 1, 36 step 2.
    clock.Now = 1000 + 510;
    cursor.AdvanceFrame();
    EXPECT_EQ(cursor.Frame(), 2);
    EXPECT_EQ(cursor.CurrentFrame(), 2u);
    EXPECT_EQ(cursor.FrameDelay(2), 90);
    clock.Now = 1000 + 601;
    cursor.AdvanceFrame();
    EXPECT_EQ(cursor.Frame(), 3);
    EXPECT_EQ(cursor.CurrentFrame(), 1u) << "the sequence's frame";
    // Setting a step starts the play there from now.
    cursor.SetFrame(0);
    EXPECT_EQ(cursor.CurrentFrame(), 0u);
    EXPECT_EQ(cursor.FrameDelay(0), 167);
}

TEST_F(KyAniCursor, SavesTheFileUnchangedAndRefusesWhatIconsCannotDo)
{
    TKyAniCursor empty;
    TMemoryStream stream;
    try {
        empty.SaveToStream(stream);
        ADD_FAILURE() << "saved";
    } catch (const EInvalidGraphicOperation& error) {
        EXPECT_EQ(error.Message(), L"Ungültiges Bild");
    }
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.FrameCount(), 1);

    for (const char* name : {"ani_padded.ani", "ani_unpadded.ani"}) {
        SCOPED_TRACE(name);
        TKyAniCursor cursor;
        cursor.LoadFromFile(Fixture(name));
        const std::wstring copy = dir.File(L"kopie.ani");
        cursor.SaveToFile(copy);
        EXPECT_EQ(dir.Read(L"kopie.ani"), ReadFile(Fixture(name)));

        TKyAniCursor assigned;
        assigned.Assign(cursor);
        EXPECT_EQ(assigned.FrameCount(), cursor.FrameCount());
        EXPECT_EQ(assigned.File()->Bytes(), cursor.File()->Bytes());

        try {
            cursor.SetWidth(10);
            ADD_FAILURE() << "resized";
        } catch (const EInvalidGraphicOperation& error) {
            EXPECT_EQ(error.Message(), L"Die Größe eines Symbols kann nicht geändert werden");
        }
        EXPECT_THROW(cursor.SetHeight(10), EInvalidGraphicOperation);
        UINT format = 0;
        HANDLE data = nullptr;
        HPALETTE palette = nullptr;
        try {
            cursor.SaveToClipboardFormat(format, data, palette);
            ADD_FAILURE() << "copied";
        } catch (const EInvalidGraphicOperation& error) {
            EXPECT_EQ(error.Message(), L"Zwischenablage unterstützt keine Symbole");
        }
        EXPECT_THROW(cursor.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr), EInvalidGraphicOperation);
    }
}

TEST_F(KyAniCursor, MalformedFilesAndFramesNoIconIsMadeOfAreRefused)
{
    const std::string good = ReadFile(Fixture("ani_padded.ani"));
    // The first frame's image: its bitmap header's size field spoiled.
    std::string badImage = good;
    const size_t frame = good.find("icon");
    ASSERT_NE(frame, std::string::npos);
    const size_t image = frame + 8 + 22;
    for (size_t i = 0; i < 4; ++i)
        badImage[image + i] = '\x7F';
    std::string notAcon = good;
    notAcon[8] = 'X';
    const std::pair<const wchar_t*, std::string> cases[] = {
        {L"bild.ani", badImage},
        {L"form.ani", notAcon},
        {L"kurz.ani", good.substr(0, good.size() / 2)},
        {L"leer.ani", ""},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(WideToUtf8(name));
        TPicture picture;
        try {
            picture.LoadFromFile(dir.Write(name, bytes));
            ADD_FAILURE() << "loaded";
        } catch (const EAniFormat& error) {
            EXPECT_EQ(error.Message(), L"Ungültiges Grafikformat (*.ANI, *.CUR)");
        }
    }
    // A refused load leaves the picture empty.
    TKyAniCursor cursor;
    cursor.LoadFromFile(Fixture("ani_padded.ani"));
    EXPECT_THROW(cursor.LoadFromFile(dir.Write(L"wieder.ani", badImage)), EAniFormat);
    EXPECT_TRUE(cursor.Empty());
    EXPECT_EQ(cursor.Icon(), nullptr);
}
