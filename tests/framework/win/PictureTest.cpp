// The picture registry: classes found by extension without regard to case,
// the latest registration first, removed by class; files of unknown kinds
// refused.
#include "framework/Streams.h"
#include "framework/win/Picture.h"

#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A picture whose file is its width as text.
class TextSizedGraphic : public TGraphic {
public:
    void Draw(HDC, const RECT&) override {}
    bool Empty() const override { return width_ == 0; }
    int Height() const override { return 1; }
    int Width() const override { return width_; }
    void SetHeight(int) override {}
    void SetWidth(int width) override { width_ = width; }
    void LoadFromStream(TStream& stream) override { width_ = std::stoi(stream.ReadAll()); }
    void SaveToStream(TStream& stream) override { stream.WriteBytes(std::to_string(width_)); }
    void LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) override {}
    void SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) override {}

private:
    int width_ = 0;
};

class OtherGraphic : public TextSizedGraphic {};

}  // namespace

TEST(PictureTest, GraphicClassesAreFoundByExtension)
{
    TPicture::RegisterFileFormat<TextSizedGraphic>(L"txs", L"Text sized");
    EXPECT_EQ(TPicture::FindFileFormat(L".TXS")->Description, L"Text sized");
    TPicture::RegisterFileFormat<OtherGraphic>(L".Txs", L"Other");
    EXPECT_EQ(TPicture::FindFileFormat(L"txs")->Description, L"Other");

    test::TestDir dir;
    TPicture picture;
    picture.LoadFromFile(dir.Write(L"Bild.eins.TXS", "42"));
    ASSERT_NE(dynamic_cast<OtherGraphic*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 42);
    picture.Graphic()->SetWidth(7);
    picture.SaveToFile(dir.File(L"neu.txs"));
    EXPECT_EQ(dir.Read(L"neu.txs"), "7");

    TPicture::UnregisterGraphicClass<OtherGraphic>();
    EXPECT_EQ(TPicture::FindFileFormat(L"txs")->Description, L"Text sized");
    TPicture::UnregisterGraphicClass<TextSizedGraphic>();
    EXPECT_EQ(TPicture::FindFileFormat(L"txs"), nullptr);
    EXPECT_THROW(picture.LoadFromFile(dir.Write(L"a.txs", "1")), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(dir.Write(L"ohne_endung", "1")), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 7);  // a refused file leaves the picture as it was
}
