// The picture classes read by the system's decoders: icons and cursors from
// their files' directories, bitmaps through the system's loader or, from a
// stream, the imaging component; each reached through the picture framework
// by its extension.

#include "TestDir.h"
#include "win/IconFiles.h"

#include "framework/Streams.h"
#include "framework/win/Handles.h"
#include "imaging/win/SystemPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

using qrv::test::IconFile;
using qrv::test::PutDWord;
using qrv::test::PutWord;

// The colour the graphic draws at x, y into a white square of its size.
COLORREF DrawnPixel(TGraphic& graphic, int x, int y)
{
    const TWindowDC screen(nullptr);
    const TOwnDC dc(CreateCompatibleDC(screen.Get()));
    const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), graphic.Width(), graphic.Height()));
    const TSelectObject select(dc.Get(), bitmap.Get());
    RECT whole{0, 0, graphic.Width(), graphic.Height()};
    FillRect(dc.Get(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    graphic.Draw(dc.Get(), whole);
    return GetPixel(dc.Get(), x, y);
}

class SystemPictures : public testing::Test {
protected:
    void SetUp() override { StartSystemPictureUnit(); }
    void TearDown() override { EndSystemPictureUnit(); }
    test::TestDir dir;
};

}  // namespace

TEST_F(SystemPictures, AnIconShowsTheImageOfTheSystemsIconSize)
{
    const int wanted = GetSystemMetrics(SM_CXICON);
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0);
    // The image of the wanted size, wherever it stands in the directory.
    const std::string file = IconFile(1, {{16, green}, {wanted, red}, {48 == wanted ? 64 : 48, green}});
    TPicture picture;
    picture.LoadFromFile(dir.Write(L"symbol.ico", file));
    auto* icon = dynamic_cast<TIconGraphic*>(picture.Graphic());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Width(), wanted);
    EXPECT_EQ(icon->Height(), wanted);
    EXPECT_EQ(DrawnPixel(*icon, wanted / 2, wanted / 2), red);
    EXPECT_THROW(icon->SaveToFile(dir.File(L"kopie.ico")), EConvertError) << "shown only";
}

TEST_F(SystemPictures, ACursorKeepsItsOwnSize)
{
    const COLORREF blue = RGB(0, 0, 255);
    TPicture picture;
    picture.LoadFromFile(dir.Write(L"zeiger.cur", IconFile(2, {{24, blue}})));
    ASSERT_NE(dynamic_cast<TCursorGraphic*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 24);
    EXPECT_EQ(picture.Height(), 24);
    EXPECT_EQ(DrawnPixel(*picture.Graphic(), 12, 12), blue);
}

TEST_F(SystemPictures, BrokenIconFilesAreRefused)
{
    const std::string good = IconFile(1, {{32, RGB(1, 2, 3)}});
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string beyond = good;
    beyond[6 + 12] = '\x7F';  // the image's offset far past the end
    std::string cursorAsIcon = good;
    cursorAsIcon[2] = 2;
    const Case cases[] = {
        {"text", "kein Symbol"},
        {"empty", ""},
        {"no images", std::string("\0\0\1\0\0\0", 6)},
        {"offset beyond the end", beyond},
        {"truncated image", good.substr(0, good.size() - 200)},
        {"a cursor's type", cursorAsIcon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        EXPECT_THROW(picture.LoadFromFile(dir.Write(L"kaputt.ico", c.bytes)), EInvalidGraphic);
    }
}

TEST_F(SystemPictures, BitmapsFromAFileAndFromAStream)
{
    // A 2 x 1 bitmap, 24 bits, rows padded to four bytes.
    std::string file = "BM";
    PutDWord(file, 14 + 40 + 8);
    PutDWord(file, 0);
    PutDWord(file, 14 + 40);
    PutDWord(file, 40);
    PutDWord(file, 2);
    PutDWord(file, 1);
    PutWord(file, 1);
    PutWord(file, 24);
    for (int i = 0; i < 6; ++i)
        PutDWord(file, 0);
    file += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, green
    TPicture picture;
    picture.LoadFromFile(dir.Write(L"bild.bmp", file));
    ASSERT_NE(dynamic_cast<TBmpGraphic*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 1);

    TBmpGraphic streamed;
    TMemoryStream stream;
    stream.WriteBytes(file);
    stream.SetPosition(0);
    streamed.LoadFromStream(stream);
    EXPECT_EQ(streamed.Width(), 2);
    EXPECT_EQ(DrawnPixel(streamed, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(DrawnPixel(streamed, 1, 0), RGB(0, 255, 0));

    // Gone before it is read: the framework's own file error.
    EXPECT_THROW(picture.LoadFromFile(dir.File(L"fehlt.bmp")), EFOpenError);
}
