#include "editor/win/EasyRuler.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

using namespace qrv;

namespace {

// The ruler's painting, read back as 32-bit pixels.
class RulerPicture {
public:
    explicit RulerPicture(TEasyRuler& ruler) : width_(ruler.Width()), height_(ruler.Height())
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        TOwnDC dc(CreateCompatibleDC(nullptr));
        TGdiObject bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        EXPECT_TRUE(bitmap.Valid());
        {
            TSelectObject select(dc.Get(), bitmap.Get());
            SendMessageW(ruler.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
            GdiFlush();
            const auto* pixels = static_cast<const uint32_t*>(bits);
            pixels_.assign(pixels, pixels + size_t(width_) * size_t(height_));
        }
        header_ = info.bmiHeader;
    }

    // As COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const
    {
        const uint32_t p = pixels_.at(size_t(y) * size_t(width_) + size_t(x));
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    bool AnyDark(int x0, int x1, int y0, int y1) const
    {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const COLORREF c = At(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
                    return true;
            }
        }
        return false;
    }

    // A BMP for a person to look at.
    void Save(const std::string& file) const
    {
        BITMAPINFOHEADER header = header_;
        header.biHeight = -height_;
        const DWORD size = DWORD(pixels_.size() * 4);
        BITMAPFILEHEADER fileHeader{};
        fileHeader.bfType = 0x4D42;
        fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
        fileHeader.bfSize = fileHeader.bfOffBits + size;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out.write(reinterpret_cast<const char*>(pixels_.data()), size);
    }

private:
    int width_, height_;
    BITMAPINFOHEADER header_{};
    std::vector<uint32_t> pixels_;
};

class EasyRulerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(0, 0, 500, 300);
        ruler = new TEasyRuler(&form);
        ruler->SetParent(&form);
        ruler->OnChange = [this](TEasyRuler* sender, const TEasyRulerItem& item) {
            EXPECT_EQ(sender, ruler);
            changes.push_back(item);
        };
        form.HandleNeeded();
        ruler->HandleNeeded();
    }

    void Send(UINT msg, int x, int y, WPARAM keys) { SendMessageW(ruler->Handle(), msg, keys, MAKELPARAM(x, y)); }

    TForm form{nullptr};
    TEasyRuler* ruler = nullptr;
    std::vector<TEasyRulerItem> changes;
};

void SaveIfAsked(const RulerPicture& picture, const char* name)
{
    if (const char* dir = std::getenv("QRV_SCREENSHOT_DIR"))
        picture.Save(std::string(dir) + "/" + name);
}

}  // namespace

TEST_F(EasyRulerTest, HorizontalRulerPaintsItsScaleAndSliders)
{
    EXPECT_EQ(ruler->Width(), 400);
    EXPECT_EQ(ruler->Height(), 26);
    EXPECT_EQ(ruler->Geometry().Sliders.size(), 4u);
    ruler->SetUnits(TEasyRulerUnits::erInches);
    const int ppi = ruler->Geometry().PixelsPerInch;
    RulerPicture picture(*ruler);
    SaveIfAsked(picture, "ruler-horizontal.bmp");

    EXPECT_EQ(picture.At(10, 13), GetSysColor(COLOR_BTNSHADOW)) << "the first indentation's area";
    EXPECT_EQ(picture.At(10, 2), GetSysColor(COLOR_BTNFACE)) << "the outer band";
    EXPECT_EQ(picture.At(390, 13), GetSysColor(COLOR_BTNSHADOW)) << "the second indentation's area";
    // The number 1 one inch from the indentation, nothing between marks.
    const int inch = 36 + ppi;
    EXPECT_TRUE(picture.AnyDark(inch - 4, inch + 4, 6, 18));
    const int between = 36 + ppi / 8;  // half way between the first two marks
    EXPECT_EQ(picture.At(between, 13), GetSysColor(COLOR_WINDOW));
    // The first-line slider's outline at the top.
    EXPECT_TRUE(picture.AnyDark(32, 40, 3, 4));
}

TEST_F(EasyRulerTest, VerticalRulerHasNoSliders)
{
    ruler->SetOrientation(TEasyRulerOrientation::Vertical);
    EXPECT_EQ(ruler->Width(), 26);
    EXPECT_EQ(ruler->Height(), 400);
    EXPECT_TRUE(ruler->Geometry().Sliders.empty());
    ruler->SetEnd(400);
    ruler->SetUnits(TEasyRulerUnits::erCharacters);
    ruler->SetUnitSize(16);
    RulerPicture picture(*ruler);
    SaveIfAsked(picture, "ruler-vertical.bmp");
    EXPECT_EQ(picture.At(13, 10), GetSysColor(COLOR_BTNSHADOW));
    // The label 4 at mark 4: 36 + 4 × 16 + 8.
    const int mark = 36 + 4 * 16 + 8;
    EXPECT_TRUE(picture.AnyDark(6, 19, mark - 6, mark + 6));
    // A changed font is turned again.
    ruler->Font().SetStyle(fsBold);
    RulerPicture bold(*ruler);
    EXPECT_TRUE(bold.AnyDark(6, 19, mark - 6, mark + 6));
}

TEST_F(EasyRulerTest, DragGivesOneChangeAndTheSnappedOffset)
{
    ruler->SetUnits(TEasyRulerUnits::erInches);
    ASSERT_EQ(ruler->Geometry().PixelsPerInch, 96);
    Send(WM_LBUTTONDOWN, 36, 5, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), ruler->Handle());
    Send(WM_MOUSEMOVE, 70, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 86, 5, MK_LBUTTON);
    EXPECT_TRUE(changes.empty()) << "nothing is reported before the release";
    Send(WM_LBUTTONUP, 86, 5, 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Kind, TEasyRulerItem::Slider);
    EXPECT_EQ(ruler->Geometry().Sliders[size_t(changes[0].Index)].Kind, TEasyRulerSliderKind::First);
    EXPECT_EQ(ruler->Geometry().Sliders[size_t(changes[0].Index)].Offset, 48);
    EXPECT_NE(GetCapture(), ruler->Handle());

    // Dragging the second indentation: reported as the indentation.
    changes.clear();
    Send(WM_LBUTTONDOWN, 364, 1, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 300, 1, MK_LBUTTON);
    Send(WM_LBUTTONUP, 300, 1, 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (TEasyRulerItem{TEasyRulerItem::Indentation, 1}));
    EXPECT_EQ(ruler->SecondIndent(), 96);
}

TEST_F(EasyRulerTest, LostCaptureEndsTheDragWithoutAChange)
{
    Send(WM_LBUTTONDOWN, 36, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 120, 5, MK_LBUTTON);
    ASSERT_TRUE(ruler->Geometry().Dragging());
    ReleaseCapture();
    EXPECT_FALSE(ruler->Geometry().Dragging());
    Send(WM_LBUTTONUP, 120, 5, 0);
    EXPECT_TRUE(changes.empty());
}

#include "editor/win/EasyEditor.h"

TEST(EasyEditorRuler, EditorRulerOptionsGoToItsRulerSettings)
{
    TForm form{nullptr};
    auto* edit = new TEasyEdit(&form);
    EXPECT_EQ(edit->RulerOptions(), 0u);
    edit->SetRulerOptions(roHorzRuler);
    EXPECT_TRUE(edit->Ruler().HorzVisible());
    EXPECT_FALSE(edit->Ruler().VertVisible());
    edit->Ruler().SetOptions(roHorzRuler | roVertRuler);
    EXPECT_EQ(edit->RulerOptions(), unsigned(roHorzRuler | roVertRuler));
}

TEST(EasyRulerGuideLine, DrawnWhileDraggingAndErasedWhenCaptureIsLost)
{
    TForm form{nullptr};
    form.SetBounds(0, 0, 500, 300);
    auto* ruler = new TEasyRuler(&form);
    ruler->SetParent(&form);
    ruler->SetUnits(TEasyRulerUnits::erPixels);
    ruler->SetUnitSize(1);
    form.Show();
    UpdateWindow(form.Handle());
    HWND parent = form.Handle();
    const int x = 150, y = 150;
    auto pixel = [&] {
        TWindowDC dc(parent);
        return GetPixel(dc.Get(), x, y);
    };
    const COLORREF before = pixel();
    SendMessageW(ruler->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(36, 5));
    SendMessageW(ruler->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 5));
    // A dotted line: some pixels of a short stretch are inverted.
    TWindowDC dc(parent);
    auto changed = [&] {
        int count = 0;
        for (int dy = 0; dy < 8; ++dy)
            count += GetPixel(dc.Get(), x, y + dy) != before;
        return count;
    };
    EXPECT_GT(changed(), 0);
    EXPECT_EQ(GetPixel(dc.Get(), x + 3, y), before) << "only the line's column";
    ReleaseCapture();
    EXPECT_EQ(changed(), 0);
    form.Hide();
}
