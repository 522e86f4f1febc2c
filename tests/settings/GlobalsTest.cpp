#include "settings/Quorvan32Globals.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {
std::wstring Joined(const TStringList& list)
{
    std::wstring out;
    for (int i = 0; i < list.Count(); ++i)
        out += (i ? L"," : L"") + list[i];
    return out;
}
}  // namespace

TEST(Options, DefaultsOfTheRecord)
{
    TOptions o;
    o.SelBothFileWin = false;  // defaults replace whatever was there
    o.StartDir = L"X:\\";
    SetDefaultOptions(o, TSystemFacts{});
    struct Flag {
        const char* name;
        bool value;
        bool expected;
    } flags[] = {
        {"SelBothFileWin", o.SelBothFileWin, true},
        {"TrayApp", o.TrayApp, false},
        {"SecondFileWin", o.SecondFileWin, true},
        {"RestoreInitDir", o.RestoreInitDir, true},
        {"ConfirmLogicalDel", o.ConfirmLogicalDel, true},
        {"SortByExt", o.SortByExt, false},
        {"InfoTips", o.InfoTips, true},
        {"ShowDirs", o.ShowDirs, true},
        {"RowSelect", o.RowSelect, false},
        {"ViewArchive", o.ViewArchive, false},
        {"UseActiveX", o.UseActiveX, true},
        {"UseRegistry", o.UseRegistry, false},
        {"ShowLogo", o.ShowLogo, true},
        {"ViewFile", o.ViewFile, false},
        {"FollowLinks", o.FollowLinks, true},
        {"WantTabs", o.WantTabs, false},
        {"TwoTBDrives", o.TwoTBDrives, false},
        {"ShowHiddenDirs", o.ShowHiddenDirs, true},
        {"ChangeUserSettings", o.ChangeUserSettings, true},
        {"PreserveDirs", o.PreserveDirs, true},
        {"DirsOnTop", o.DirsOnTop, false},
        {"AbbreviatedSize", o.AbbreviatedSize, true},
    };
    for (const Flag& f : flags)
        EXPECT_EQ(f.value, f.expected) << f.name;
    EXPECT_EQ(o.TBButtonSize, 22);
    EXPECT_EQ(static_cast<uint32_t>(o.Color), 0xFF000016u);
    EXPECT_EQ(static_cast<uint32_t>(o.ActiveColor), 0xFF000005u);
    EXPECT_EQ(o.CompressedColor, 0x00FF0000);
    EXPECT_EQ(static_cast<uint32_t>(o.HiddenColor), 0xFF000011u);
    EXPECT_EQ(o.PicBKColor, 0x00808080);
    EXPECT_EQ(o.Reload, 1500);
    EXPECT_EQ(o.DividerStyle, 1);
    EXPECT_EQ(o.DDOption, 1);
    EXPECT_EQ(o.DDExpandDelay, 1000);
    EXPECT_EQ(o.FileNameDisplay, 3);
    EXPECT_EQ(o.ListFont, (TFontSetting{L"MS Sans Serif", 8, 0, 0}));
    EXPECT_EQ(o.TextFont, (TFontSetting{L"Courier New", 9, 0, 0}));
    EXPECT_EQ(o.StartDir, L"");
    EXPECT_EQ(o.PixelX, 96);
    EXPECT_EQ(o.PixelY, 72);
    EXPECT_EQ(o.DistX, 20);
    EXPECT_EQ(o.FrameSize, 2);
    for (const auto& set : o.FKeys)
        for (const TFKeyRecord& key : set)
            EXPECT_EQ(key, (TFKeyRecord{L"", L"", L"", -1}));
    EXPECT_TRUE(o.FilterList.empty());
}

TEST(Options, DefaultsThatDependOnTheSystem)
{
    TOptions nt;
    SetDefaultOptions(nt, TSystemFacts{true, 0, false, false, true});
    EXPECT_TRUE(nt.DragImages);
    EXPECT_TRUE(nt.UseCompressedColor);
    EXPECT_TRUE(nt.ShowNetwork);

    TOptions win95;
    SetDefaultOptions(win95, TSystemFacts{false, 0, false, false, false});
    EXPECT_FALSE(win95.DragImages);
    EXPECT_FALSE(win95.UseCompressedColor);
    EXPECT_FALSE(win95.ShowNetwork);

    TOptions win98;
    SetDefaultOptions(win98, TSystemFacts{false, 10, false, false, false});
    EXPECT_TRUE(win98.DragImages) << "a non-zero minor version";
}

TEST(ExtensionFamilies, BuiltSortedWithoutBlanksOrDuplicates)
{
    TOptions o;
    SetDefaultOptions(o, TSystemFacts{});
    const TStringList& text = *o.ExtLists[TextExts];
    EXPECT_EQ(Joined(text), L".BAT,.C,.CMD,.CPP,.CSS,.H,.HTM,.HTML,.INF,.INI,.JAVA,.JS,.PAS,.RTF,.TXT,.URL,.XML");
    EXPECT_EQ(Joined(*o.ExtLists[PictureExts]), L".BMP,.CUR,.DIB,.EMF,.GIF,.ICO,.JPEG,.JPG,.PNG,.RLE,.WMF");
    EXPECT_EQ(Joined(*o.ExtLists[BinaryExts]), L".BIN,.COM,.CPL,.DLL,.EXE,.OBJ,.OCX,.PIF");

    const TStringList& convert = *o.ExtLists[ConvertExts];
    EXPECT_EQ(convert.IndexOf(L".PGM") >= 0, true);
    int pgm = 0;
    for (int i = 0; i < convert.Count(); ++i)
        pgm += convert[i] == L".PGM";
    EXPECT_EQ(pgm, 1) << ".PGM stands twice in the text and once in the family";

    TStringList small;
    BuildExtFamily(small, L".H  .C  .JS ");
    EXPECT_EQ(Joined(small), L".C,.H,.JS");
}

TEST(ExtensionFamilies, PdfJoinsTheWebFamilyOnGermanSystemsWithAnOpenVerb)
{
    struct Case {
        bool german;
        bool openVerb;
        bool pdf;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const Case& c : cases) {
        TOptions o;
        SetDefaultOptions(o, TSystemFacts{true, 0, c.german, c.openVerb, false});
        EXPECT_EQ(o.ExtLists[WebExts]->IndexOf(L".PDF") >= 0, c.pdf) << c.german << c.openVerb;
        EXPECT_GE(o.ExtLists[WebExts]->IndexOf(L".HTML"), 0);
    }
}

TEST(DisplayColors, CountByBitsPerPixel)
{
    struct Case {
        int bits;
        uint32_t count;
    } cases[] = {{1, 255}, {4, 15}, {8, 255}, {15, 32767}, {16, 65535}, {24, 16777215}, {32, 0xFFFFFFFF}, {0, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(ColorCountForBitsPerPixel(c.bits), c.count) << c.bits;
}
