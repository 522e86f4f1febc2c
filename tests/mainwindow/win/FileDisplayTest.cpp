// The file display on a form of its own with the real viewers, a fake of the
// window it serves and fixtures on the test drive: focus changes, forced
// modes, freezing and turning the display off.

#include "mainwindow/win/FileDisplay.h"

#include "FakeMainWindowServices.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "editor/win/EasyEditor.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Image.h"
#include "framework/win/ScrollBox.h"
#include "imaging/win/GIFImage.h"
#include "imaging/win/KyAniCursor.h"
#include "imaging/win/KyBitmap.h"
#include "imaging/win/PNGObject.h"
#include "imaging/win/SystemPictures.h"
#include "panels/win/ShellLinks.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/RtfGroupDepth.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"

#include "TestDir.h"
#include "win/IconFiles.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

using namespace qrv;

namespace {

class FakeDisplayHost : public TFileDisplayHost, public FakeMainWindowServices {
public:
    TDisplayListState ActiveListState() override { return list; }
    void PostDisplayRequest() override { ++requests; }
    void ShowLineCount() override { ++lineCounts; }
    void ShowPictureSize() override { ++pictureSizes; }
    void ShowStatusNote(const std::wstring& Text) override { notes.push_back(Text); }
    void PlaceDisplayPane(bool Visible) override { placed = Visible; }
    bool IsExcluded(const std::wstring& UpperName) override { return excluded.count(UpperName) > 0; }
    bool StartPictureConverter() override
    {
        ++converterAsks;
        return false;
    }
    void StorePictureBackground(TColor Color) override { background = Color; }

    TDisplayListState list;
    std::set<std::wstring> excluded{L"GEHEIM.TXT"};
    int requests = 0;
    int lineCounts = 0;
    int pictureSizes = 0;
    int converterAsks = 0;
    std::vector<std::wstring> notes;
    bool placed = false;
    TColor background = clNone;
};

class FileDisplayTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartPNGUnit();
        StartSystemPictureUnit();
        StartKyBitmapUnit();
        StartKyAniCursorUnit();
        StartGIFUnit();
        SetDefaultOptions(Options, TSystemFacts{});
        form.SetBounds(0, 0, 700, 500);
        auto place = [this](auto* control) {
            control->SetParent(&form);
            control->SetAlign(TAlign::alClient);
            return control;
        };
        panes.HexEditor1 = place(new THexEditor(&form));
        panes.TextView = place(new TTextFileView(&form));
        panes.EasyEdit = place(new TEasyEdit(&form));
        panes.ScrollBox1 = place(new TScrollBox(&form));
        panes.Image1 = new TImage(&form);
        panes.Image1->SetParent(panes.ScrollBox1);
        panes.DirPanel = place(new TKyDirPanel(&form));
        panes.LinkPanel = place(new TKyLinkPanel(&form));
        panes.ErrorPanel = place(new TPanel(&form));
        panes.ErrorpanelCaption = new TLabel(&form);
        panes.ErrorpanelCaption->SetParent(panes.ErrorPanel);
        form.HandleNeeded();
        display = std::make_unique<TFileDisplay>(panes, host, host);
        display->ViewFileExecute(true);
        host.list.Folder = dir.Path();
    }
    void TearDown() override
    {
        display.reset();
        EndGIFUnit();
        EndKyAniCursorUnit();
        EndKyBitmapUnit();
        EndSystemPictureUnit();
        EndPNGUnit();
    }

    // Focuses the item in the fake list and handles the request it posts.
    void Focus(const std::wstring& path, bool isDirectory = false, bool isParent = false)
    {
        host.list.FocusedPath = path;
        host.list.FocusedIsDirectory = isDirectory;
        host.list.FocusedIsParent = isParent;
        display->ListView1Change(path);
        display->DisplaySelectedFile();
    }
    std::wstring MakePng(const std::wstring& name, int width, int height)
    {
        TBitmap bitmap;
        bitmap.SetSize(width, height, clRed);
        TPNGObject png;
        png.Assign(bitmap);
        const std::wstring path = dir.File(name);
        png.SaveToFile(path);
        return path;
    }
    // A JPEG written by the system's own encoder.
    std::wstring MakeJpeg(const std::wstring& name, UINT width, UINT height)
    {
        using Microsoft::WRL::ComPtr;
        const std::wstring path = dir.File(name);
        ComPtr<IWICImagingFactory> factory;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        ComPtr<IPropertyBag2> options;
        EXPECT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
        EXPECT_HRESULT_SUCCEEDED(factory->CreateStream(&stream));
        EXPECT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE));
        EXPECT_HRESULT_SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder));
        EXPECT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
        EXPECT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
        EXPECT_HRESULT_SUCCEEDED(frame->Initialize(options.Get()));
        EXPECT_HRESULT_SUCCEEDED(frame->SetSize(width, height));
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        EXPECT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
        std::string pixels(width * height * 3, '\x80');
        EXPECT_HRESULT_SUCCEEDED(frame->WritePixels(height, width * 3, static_cast<UINT>(pixels.size()),
                                                    reinterpret_cast<BYTE*>(pixels.data())));
        EXPECT_HRESULT_SUCCEEDED(frame->Commit());
        EXPECT_HRESULT_SUCCEEDED(encoder->Commit());
        return path;
    }
    // The lines of the editor, each followed by "|".
    std::wstring Lines()
    {
        std::wstring text;
        for (int i = 0; i < panes.EasyEdit->Lines().Count(); ++i) {
            const std::u16string line = panes.EasyEdit->Lines()[i];
            text += std::wstring(line.begin(), line.end()) + L"|";
        }
        return text;
    }
    TCustomEasyEditSource& Document() { return *panes.EasyEdit->GetEditSource(); }
    // A raster fixture of the imaging tests, copied into the test folder.
    std::wstring CopyRasterFixture(const char* fixture, const std::wstring& name)
    {
        std::ifstream in(std::string("Z:") + QRV_RASTER_FIXTURES + "/" + fixture, std::ios::binary);
        EXPECT_TRUE(in) << fixture;
        return dir.Write(name, std::string(std::istreambuf_iterator<char>(in), {}));
    }
    // The picture control's client area as it paints it (WM_PRINTCLIENT).
    std::vector<COLORREF> ImageShot()
    {
        const HWND image = panes.Image1->Handle();
        RECT client{};
        GetClientRect(image, &client);
        const TWindowDC screen(nullptr);
        const TOwnDC dc(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
        const TSelectObject select(dc.Get(), bitmap.Get());
        SendMessageW(image, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                pixels.push_back(GetPixel(dc.Get(), x, y));
        return pixels;
    }

    test::TestDir dir;
    TForm form{nullptr};
    TMainPanes panes;
    FakeDisplayHost host;
    std::unique_ptr<TFileDisplay> display;
};

// A 24-bit bitmap of 3 x 2 pixels whose pixels start at the given offset.
std::string BitmapFile(uint32_t offset)
{
    std::string file(offset + 16, '\0');
    auto put32 = [&file](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<char>(value >> (8 * i));
    };
    file[0] = 'B', file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, 3);
    put32(22, 2);
    file[26] = 1;
    file[28] = 24;
    for (size_t i = offset; i < file.size(); ++i)
        file[i] = static_cast<char>(0x40);
    return file;
}

}  // namespace

TEST_F(FileDisplayTest, EachItemGoesToThePaneThatSuitsIt)
{
    const std::wstring sub = dir.File(L"Unterordner");
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    const std::wstring notes = dir.Write(L"NOTES", "Name\tWert\r\nEins\t1\r\n");
    const std::wstring unixNotes = dir.Write(L"NOTES.LF", "Name\tWert\nEins\t1\n");
    const std::wstring binary = dir.Write(L"daten.bin1", std::string("MZ\0\x01\x02\r\n", 7));
    const std::wstring png = MakePng(L"bild.png", 40, 30);
    const std::wstring brokenLink = dir.File(L"kaputt.lnk");
    const std::wstring gone = dir.Write(L"weg.txt", "x\r\n");
    ASSERT_TRUE(CreateShellLink(gone, brokenLink, L""));
    ASSERT_TRUE(DeleteFileW(gone.c_str()));
    const std::wstring goodLink = dir.File(L"notiz.lnk");
    ASSERT_TRUE(CreateShellLink(notes, goodLink, L""));
    const std::wstring excluded = dir.Write(L"geheim.txt", "geheim\r\n");

    Focus(sub, true);
    EXPECT_EQ(display->VisiblePane(), panes.DirPanel);
    EXPECT_EQ(panes.DirPanel->Path(), sub);

    Focus(AddBackslash(dir.Path()) + L"..", true, true);
    EXPECT_EQ(display->VisiblePane(), panes.DirPanel);
    EXPECT_EQ(panes.DirPanel->Path(), dir.Path());

    Focus(brokenLink);
    EXPECT_EQ(display->VisiblePane(), panes.LinkPanel);
    EXPECT_EQ(panes.LinkPanel->Path(), brokenLink);

    // A shortcut to an existing file shows the file it leads to.
    const int lineCountsBefore = host.lineCounts;
    Focus(goodLink);
    EXPECT_EQ(display->VisiblePane(), panes.EasyEdit);
    EXPECT_EQ(Document().FileName(), notes);
    EXPECT_EQ(display->ViewedFile(), goodLink);
    // The status bar is told of each loaded text and picture.
    EXPECT_EQ(host.lineCounts, lineCountsBefore + 1);

    const int pictureSizesBefore = host.pictureSizes;
    Focus(png);
    EXPECT_EQ(display->VisiblePane(), panes.ScrollBox1);
    EXPECT_EQ(host.pictureSizes, pictureSizesBefore + 1);
    EXPECT_EQ(panes.Image1->PictureSize().cx, 40);
    EXPECT_EQ(panes.Image1->PictureSize().cy, 30);
    RECT client{};
    GetClientRect(panes.ScrollBox1->Handle(), &client);
    EXPECT_EQ(panes.Image1->Left(), (client.right - 40) / 2);
    EXPECT_EQ(panes.Image1->Top(), (client.bottom - 30) / 2);

    Focus(notes);
    EXPECT_EQ(display->VisiblePane(), panes.EasyEdit);
    // The document keeps no tab characters: they become spaces to the stops.
    EXPECT_EQ(Lines(), L"Name    Wert|Eins    1|");
    EXPECT_FALSE(Document().ReadOnly()) << "a text in a writable file can be changed";
    EXPECT_EQ(Document().Strings().LineBreak(), TEasyLineBreak::lbCRLF);

    Focus(unixNotes);
    EXPECT_EQ(display->VisiblePane(), panes.EasyEdit);
    EXPECT_EQ(Lines(), L"Name    Wert|Eins    1|");
    EXPECT_EQ(Document().Strings().LineBreak(), TEasyLineBreak::lbLF);

    // Rich text still goes to the rich-text view.
    const std::wstring rich = dir.Write(L"brief.rtf", "{\\rtf1\\ansi Hallo}");
    Focus(rich);
    EXPECT_EQ(display->VisiblePane(), panes.TextView);

    Focus(binary);
    EXPECT_EQ(display->VisiblePane(), panes.HexEditor1);
    EXPECT_EQ(panes.HexEditor1->FileName(), binary);

    Focus(excluded);
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Die Datei \"geheim.txt\" wurde von der Anzeige ausgeschlossen.");

    Focus(L"");
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Keine anzuzeigende Datei ausgewählt.");
    EXPECT_EQ(display->ViewedFile(), L"");
}

// The rich-edit control ends the process on a text nested deeper than it
// takes (under Wine 33 groups): such a text shows its source as plain text,
// read-only, with a note; one group less is still rich text.
TEST_F(FileDisplayTest, ARichTextNestedTooDeepShowsItsSourceAsText)
{
    auto nested = [](size_t depth) {
        return "{\\rtf1 " + std::string(depth - 1, '{') + "tief" + std::string(depth, '}');
    };
    const std::wstring deepest = dir.Write(L"tief.rtf", "{\\rtf1" + std::string(10000, '{'));
    const std::wstring tooDeep = dir.Write(L"zu_tief.rtf", nested(kRichEditMaxGroupDepth + 1));
    const std::wstring deepEnough = dir.Write(L"tief_genug.rtf", nested(kRichEditMaxGroupDepth));
    TTextFileView& view = *panes.TextView;

    for (const std::wstring& path : {deepest, tooDeep}) {
        host.notes.clear();
        Focus(path);
        ASSERT_EQ(display->VisiblePane(), panes.TextView) << WideToUtf8(path);
        EXPECT_EQ(view.FileName(), path);
        EXPECT_NE(view.Text().find(L"{\\rtf1"), std::wstring::npos) << "the source is shown";
        EXPECT_TRUE(view.ReadOnly()) << "the source is never saved over the rich text";
        EXPECT_EQ(host.notes, std::vector<std::wstring>{L"Zu tief verschachtelter RTF-Text: als Text angezeigt"});
    }

    host.notes.clear();
    Focus(deepEnough);
    ASSERT_EQ(display->VisiblePane(), panes.TextView);
    EXPECT_EQ(view.Text().find(L"{"), std::wstring::npos);
    EXPECT_NE(view.Text().find(L"tief"), std::wstring::npos);
    EXPECT_TRUE(host.notes.empty());
}

// A large text of many short runs (random bytes named .rtf) is let go by a
// new window, empty at once; the view then shows the next text as before.
TEST_F(FileDisplayTest, ALargeTextIsLetGoAndTheNextOneShows)
{
    std::string noise(200 * 1024, '\0');
    uint32_t seed = 42;
    for (char& c : noise) {
        seed = seed * 1664525 + 1013904223;
        c = static_cast<char>(seed >> 24);
    }
    const std::wstring random = dir.Write(L"zufall.rtf", noise);
    const std::wstring rich = dir.Write(L"brief.rtf", "{\\rtf1\\ansi Hallo}");
    TTextFileView& view = *panes.TextView;
    Focus(random);
    ASSERT_EQ(display->VisiblePane(), panes.TextView);
    ASSERT_GT(view.Text().size(), 16384u);
    Focus(rich);
    ASSERT_EQ(display->VisiblePane(), panes.TextView);
    EXPECT_EQ(view.FileName(), rich);
    EXPECT_EQ(view.Text(), L"Hallo");
    EXPECT_FALSE(view.Modified());
    EXPECT_TRUE(GetWindowLongW(view.Handle(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(FileDisplayTest, BitmapsJpegsAndFilesThatWentAway)
{
    for (uint32_t offset : {54u, 1078u, 1079u}) {
        SCOPED_TRACE(offset);
        const std::wstring path = dir.Write(L"bild" + IntToStr(offset) + L".bmp", BitmapFile(offset));
        Focus(path);
        EXPECT_EQ(display->VisiblePane(), panes.ScrollBox1);
        EXPECT_EQ(panes.Image1->PictureSize().cx, 3);
        EXPECT_EQ(panes.Image1->PictureSize().cy, 2);
    }
    Focus(MakeJpeg(L"foto.jpg", 24, 16));
    EXPECT_EQ(display->VisiblePane(), panes.ScrollBox1);
    EXPECT_EQ(panes.Image1->PictureSize().cx, 24);
    EXPECT_EQ(panes.Image1->PictureSize().cy, 16);
    Focus(dir.Write(L"kaputt.jpg", "kein Foto"));
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Unbekanntes Grafikformat: kaputt.jpg");

    const std::wstring fake = dir.Write(L"kaputt.png", "kein Bild");
    Focus(fake);
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Unbekanntes Grafikformat: kaputt.png");

    // Focused, then deleted before the request is handled.
    const std::wstring gone = dir.Write(L"gleich.weg", "x\r\n");
    host.list.FocusedPath = gone;
    display->ListView1Change(gone);
    ASSERT_TRUE(DeleteFileW(gone.c_str()));
    display->DisplaySelectedFile();
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_TRUE(panes.ErrorpanelCaption->Caption().starts_with(L"\"" + gone + L"\" kann nicht angezeigt werden."));
}

TEST_F(FileDisplayTest, IconsAndCursorsShowInThePicturePaneAsTheirOwnGraphics)
{
    Focus(dir.Write(L"symbol.ico", test::IconFile(1, {{32, RGB(255, 0, 0)}})));
    EXPECT_EQ(display->VisiblePane(), panes.ScrollBox1);
    EXPECT_NE(dynamic_cast<TIconGraphic*>(panes.Image1->Graphic()), nullptr);
    EXPECT_EQ(panes.Image1->PictureSize().cx, 32);
    EXPECT_EQ(panes.Image1->PictureSize().cy, 32);

    Focus(dir.Write(L"zeiger.cur", test::IconFile(2, {{24, RGB(0, 0, 255)}})));
    EXPECT_EQ(display->VisiblePane(), panes.ScrollBox1);
    EXPECT_NE(dynamic_cast<TCursorGraphic*>(panes.Image1->Graphic()), nullptr);
    EXPECT_EQ(panes.Image1->PictureSize().cx, 24);
    EXPECT_EQ(panes.Image1->PictureSize().cy, 24);

    Focus(dir.Write(L"kaputt.ico", "kein Symbol"));
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Unbekanntes Grafikformat: kaputt.ico");
}

// PCX, Targa, anymaps and animated cursors are of the converter's family;
// their own picture classes show them without it.
TEST_F(FileDisplayTest, ConverterFamilyFilesShowThroughTheirPictureClasses)
{
    for (const auto& [fixture, name] :
         {std::pair{"pcx_8bit.pcx", L"bild.pcx"}, std::pair{"tga_rle_rgb.tga", L"bild.tga"},
          std::pair{"pnm_raw_grey_255.pgm", L"bild.pgm"}}) {
        SCOPED_TRACE(fixture);
        Focus(CopyRasterFixture(fixture, name));
        ASSERT_EQ(display->VisiblePane(), panes.ScrollBox1) << "a picture, not hex";
        ASSERT_NE(dynamic_cast<TRasterBitmap*>(panes.Image1->Graphic()), nullptr);
        EXPECT_GT(panes.Image1->PictureSize().cx, 0);
    }
    // A file its class refuses goes to the converter, which is not there.
    const int asksBefore = host.converterAsks;
    Focus(dir.Write(L"kaputt.pcx", "kein Bild"));
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Unbekanntes Grafikformat: kaputt.pcx");
    EXPECT_EQ(host.converterAsks, asksBefore + 1);
    EXPECT_TRUE(panes.Image1->Empty());
}

TEST_F(FileDisplayTest, AnAnimatedCursorPlaysUntilTheDisplayIsCleared)
{
    using namespace std::chrono_literals;
    Focus(CopyRasterFixture("ani_even.ani", L"uhr.ani"));
    ASSERT_EQ(display->VisiblePane(), panes.ScrollBox1);
    ASSERT_NE(dynamic_cast<TKyAniCursor*>(panes.Image1->Graphic()), nullptr);
    EXPECT_EQ(panes.Image1->PictureSize().cx, 32);
    const std::vector<COLORREF> first = ImageShot();
    // Its first step lasts 10 jiffies (167 ms); the image control's timer moves it on.
    EXPECT_TRUE(test::PumpUntil([&] { return ImageShot() != first; }, 5s)) << "the cursor animates";

    ASSERT_TRUE(display->ClearDisplay());
    EXPECT_TRUE(panes.Image1->Empty());
    const std::vector<COLORREF> cleared = ImageShot();
    EXPECT_FALSE(test::PumpUntil([&] { return ImageShot() != cleared; }, 600ms)) << "nothing plays on";
}

TEST_F(FileDisplayTest, AReadOnlyTextStaysReadOnly)
{
    const std::wstring text = dir.Write(L"fest.txt", "Hallo\r\n");
    ASSERT_TRUE(SetFileAttributesW(text.c_str(), FILE_ATTRIBUTE_READONLY));
    const ScopeExit writable([&] { SetFileAttributesW(text.c_str(), FILE_ATTRIBUTE_NORMAL); });
    Focus(text);
    EXPECT_EQ(display->VisiblePane(), panes.EasyEdit);
    EXPECT_TRUE(Document().ReadOnly());
}

TEST_F(FileDisplayTest, AGifAnimationPlaysUntilAnotherFileIsShown)
{
    using namespace std::chrono_literals;
    Focus(CopyRasterFixture("../gif/animation_loop0.gif", L"tanz.gif"));
    ASSERT_EQ(display->VisiblePane(), panes.ScrollBox1);
    ASSERT_NE(dynamic_cast<TGIFImage*>(panes.Image1->Graphic()), nullptr);
    EXPECT_EQ(panes.Image1->PictureSize().cx, 16);
    const std::vector<COLORREF> first = ImageShot();
    // Its first frame lasts 100 ms; a painter thread moves it on.
    EXPECT_TRUE(test::PumpUntil([&] { return ImageShot() != first; }, 5s)) << "the animation plays";
    EXPECT_EQ(TGIFPainter::RunningThreads(), 1);

    Focus(MakePng(L"still.png", 8, 8));
    EXPECT_EQ(dynamic_cast<TGIFImage*>(panes.Image1->Graphic()), nullptr);
    EXPECT_EQ(TGIFPainter::RunningThreads(), 0) << "the painter went with the picture";
    const std::vector<COLORREF> still = ImageShot();
    EXPECT_FALSE(test::PumpUntil([&] { return ImageShot() != still; }, 600ms)) << "nothing plays on";

    Focus(dir.Write(L"kaputt.gif", "GIF89a kein Bild"));
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_EQ(panes.ErrorpanelCaption->Caption(), L"Unbekanntes Grafikformat: kaputt.gif");
}

TEST_F(FileDisplayTest, ForcedTextShowsAnyFileInTheEditor)
{
    const std::wstring program = dir.Write(L"prog.exe", std::string("MZ\x90\0\x03\0\0\0text\r\n", 14));
    const std::wstring text = dir.Write(L"brief.dat", "Hallo\r\n");
    display->SetForcedMode(fdText);
    Focus(program);
    EXPECT_EQ(display->VisiblePane(), panes.EasyEdit);
    EXPECT_EQ(Document().FileName(), program);
    EXPECT_TRUE(Document().ReadOnly());
    Focus(text);
    EXPECT_EQ(Lines(), L"Hallo|");
    EXPECT_TRUE(Document().ReadOnly());

    // A file that cannot be read leaves the error and an empty document.
    const std::wstring gone = dir.Write(L"gleich.dat", "weg\r\n");
    host.list.FocusedPath = gone;
    display->ListView1Change(gone);
    TFileHandle locked(CreateFileW(gone.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    display->DisplaySelectedFile();
    EXPECT_EQ(display->VisiblePane(), panes.ErrorPanel);
    EXPECT_TRUE(panes.ErrorpanelCaption->Caption().starts_with(L"\"" + gone + L"\" kann nicht angezeigt werden."));
    EXPECT_EQ(Document().Strings().Count(), 0);

    display->SetForcedMode(fdHex);
    Focus(text);
    EXPECT_EQ(display->VisiblePane(), panes.HexEditor1);
    EXPECT_EQ(panes.HexEditor1->FileName(), text);
}

TEST_F(FileDisplayTest, TheShownFileIsNotReloadedAndFreezingHoldsTheDisplay)
{
    const std::wstring first = dir.Write(L"eins.txt", "eins\r\n");
    const std::wstring second = dir.Write(L"zwei.txt", "zwei\r\n");
    Focus(first);
    ASSERT_EQ(Lines(), L"eins|");
    // Focusing the shown file again asks for nothing and reads nothing: the
    // view still shows what it read before the file changed.
    dir.Write(L"eins.txt", "geändert\r\n");
    const int requests = host.requests;
    display->ListView1Change(first);
    EXPECT_EQ(host.requests, requests);
    display->DisplaySelectedFile();
    EXPECT_EQ(Lines(), L"eins|");

    display->FreezeDisplayExecute();
    ASSERT_TRUE(display->FreezeDisplay());
    Focus(second);
    EXPECT_EQ(display->ViewedFile(), first);
    EXPECT_EQ(Lines(), L"eins|");

    display->FreezeDisplayExecute();
    EXPECT_EQ(host.requests, requests + 2);  // the focus change, then the unfreezing
    display->DisplaySelectedFile();
    EXPECT_EQ(display->ViewedFile(), second);
    EXPECT_EQ(Lines(), L"zwei|");
}

TEST_F(FileDisplayTest, TurningTheDisplayOffHidesThePaneAndForgetsTheFile)
{
    const std::wstring file = dir.Write(L"daten.bin1", std::string("\0\1\2", 3));
    Focus(file);
    ASSERT_EQ(display->VisiblePane(), panes.HexEditor1);
    EXPECT_TRUE(host.placed);
    display->FreezeDisplayExecute();

    display->ViewFileExecute(true);
    EXPECT_FALSE(display->ViewFile());
    EXPECT_FALSE(display->FreezeDisplay());
    EXPECT_FALSE(host.placed);
    EXPECT_EQ(display->VisiblePane(), nullptr);
    EXPECT_EQ(display->ViewedFile(), L"");
    EXPECT_EQ(panes.HexEditor1->FileName(), L"");
    // While off, focus changes ask for nothing.
    const int requests = host.requests;
    display->ListView1Change(file);
    EXPECT_EQ(host.requests, requests);

    // On again without a focused item: it stays off.
    display->ViewFileExecute(false);
    EXPECT_FALSE(display->ViewFile());
    display->ViewFileExecute(true);
    EXPECT_TRUE(display->ViewFile());
    EXPECT_EQ(host.requests, requests + 1);
}

TEST_F(FileDisplayTest, PictureDragScrollsAndTheBackgroundIsStored)
{
    Focus(MakePng(L"gross.png", 2000, 1500));
    ASSERT_EQ(display->VisiblePane(), panes.ScrollBox1);
    EXPECT_EQ(panes.Image1->Left(), 0);
    // The image's mouse messages drive the drag, as the window connects them.
    TImage& image = *panes.Image1;
    image.OnMouseDown = [this](TComponent*, int X, int Y) { display->Image1MouseDown(X, Y); };
    image.OnMouseMove = [this](TComponent*, int X, int Y) { display->Image1MouseMove(X, Y); };
    image.OnMouseUp = [this](TComponent*) { display->Image1MouseUp(); };
    SendMessageW(image.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    EXPECT_TRUE(display->Dragging());
    SendMessageW(image.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 180));
    EXPECT_EQ(panes.ScrollBox1->HorzPosition(), 50);
    EXPECT_EQ(panes.ScrollBox1->VertPosition(), 20);
    // The image moved with the view: the grabbed point is under the mouse again.
    EXPECT_EQ(image.Left(), -50);
    SendMessageW(image.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 200));
    EXPECT_FALSE(display->Dragging());
    SendMessageW(image.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(panes.ScrollBox1->HorzPosition(), 50);

    display->AlignPictureExecute();
    EXPECT_TRUE(panes.Image1->Stretch());
    EXPECT_EQ(panes.Image1->Align(), TAlign::alClient);

    display->SetPictureBackground(0x00123456);
    EXPECT_EQ(panes.ScrollBox1->Color(), 0x00123456);
    EXPECT_EQ(host.background, 0x00123456);
}

TEST_F(FileDisplayTest, TheEditorsParserLosesItsRulesBeforeEachTextAndParsesWhereShown)
{
    ASSERT_TRUE(display->EasyParser);
    // Rules left from elsewhere: a comment state that would carry over lines.
    display->EasyParser->Rules().SetText(u"State=Normal\nState=Comment\nToken=tnone\nToken=tcomment\n"
                                         u"Normal \\{ Comment tcomment\nComment \\} Normal tcomment");
    ASSERT_FALSE(display->EasyParser->SingleState());

    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "Zeile mit Text\r\n";
    const std::wstring path = dir.Write(L"lang.txt", text);
    Focus(path);
    ASSERT_EQ(display->VisiblePane(), panes.EasyEdit);
    ASSERT_EQ(Document().Strings().Count(), 5000);
    EXPECT_EQ(Document().Parser(), display->EasyParser.get());
    EXPECT_EQ(display->EasyParser->Rules().Count(), 0);
    EXPECT_TRUE(display->EasyParser->StateNames().empty());
    EXPECT_TRUE(Document().LinesParseAlone());

    auto parsed = [this](int line) { return (Document().Strings().Items(line)->Flags & lfParsed) != 0; };
    // Painting parses the lines in view.
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    RedrawWindow(panes.EasyEdit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(parsed(0));
    EXPECT_FALSE(parsed(4000));
    // The end: the lines there are parsed, those between stay as they were.
    SendMessageW(panes.EasyEdit->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    RedrawWindow(panes.EasyEdit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(parsed(4999));
    EXPECT_FALSE(parsed(2500));
    EXPECT_EQ(Document().Strings().StyleAt(4999, 1), 0xFFFF) << "one run without a token";
}
