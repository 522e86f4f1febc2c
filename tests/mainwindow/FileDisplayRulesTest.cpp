// The file display's decisions: viewer choice, display requests, picture
// placement and the links the text view opens.

#include "mainwindow/FileDisplayRules.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// The families as the default options build them, checked by lookup.
TViewerChoiceFacts ChoiceFor(const std::wstring& ext, const TOptions& options, uint8_t forced,
                             const std::string& content, int* contentReads = nullptr, bool converter = false)
{
    TViewerChoiceFacts facts;
    facts.ForcedMode = forced;
    facts.InFamily = [&options, ext](TExtFamily family) { return InExtFamily(options, family, ext); };
    facts.ConverterAvailable = [converter] { return converter; };
    facts.ContentTest = [content, contentReads] {
        if (contentReads)
            ++*contentReads;
        return ClassifyTextSample(content);
    };
    return facts;
}

TOptions DefaultOptions()
{
    TOptions options;
    SetDefaultOptions(options, TSystemFacts{});
    return options;
}

}  // namespace

TEST(FileDisplayRules, ShortExtensionIsUpperCaseAndAtMostSixCharacters)
{
    EXPECT_EQ(ShortExtension(L"C:\\a\\bild.png"), L".PNG");
    EXPECT_EQ(ShortExtension(L"C:\\a\\notes"), L"");
    EXPECT_EQ(ShortExtension(L"C:\\a.b\\notes"), L"");
    EXPECT_EQ(ShortExtension(L"x.Manifest"), L".MANIF");
    EXPECT_EQ(ShortExtension(L"x.rtfx"), L".RTFX");
}

TEST(FileDisplayRules, ChooseViewerKindByFamilyModeAndContent)
{
    const TOptions options = DefaultOptions();
    const std::string crlfTabs = "Name\tWert\r\nEins\t1\r\n";
    const std::string lfTabs = "Name\tWert\nEins\t1\n";
    const std::string binary = std::string("MZ\x90\0\x03\0\0\0\r\n", 10);
    struct Case {
        const char* name;
        std::wstring ext;
        uint8_t forced;
        std::string content;
        uint8_t expected;
    } cases[] = {
        {"forced hex beats a picture", L".PNG", fdHex, "", vkHex},
        {"forced text beats a program", L".EXE", fdText, binary, vkText},
        {"PNG is a picture", L".PNG", fdAutomatic, binary, vkPicture},
        {".RT is rich text", L".RT", fdAutomatic, "plain", vkRichText},
        {".RTF is rich text", L".RTF", fdAutomatic, "plain", vkRichText},
        {".RTFX is not rich text", L".RTFX", fdAutomatic, binary, vkHex},
        {"rich text found by content", L".DAT", fdAutomatic, "{\\rtf1\\ansi x}", vkRichText},
        {"text with CR LF and tabs", L"", fdAutomatic, crlfTabs, vkText},
        {"text with LF only and tabs", L"", fdAutomatic, lfTabs, vkText},
        {"UTF-8 mark", L"", fdAutomatic,
         "\xef\xbb\xbf"
         "gr\xc3\xbc\xc3\x9f\n",
         vkText},
        {"CR LF with a NUL", L"", fdAutomatic, std::string("a\r\nb\0c", 6), vkHex},
        {".EXE is hex", L".EXE", fdAutomatic, "text\r\n", vkHex},
        {".TXT is text whatever it holds", L".TXT", fdAutomatic, binary, vkText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChooseViewerKind(c.ext, ChoiceFor(c.ext, options, c.forced, c.content)), c.expected);
    }
}

TEST(FileDisplayRules, ConverterOnlyWhenAvailableAndContentReadOnce)
{
    TOptions options = DefaultOptions();
    BuildExtFamily(*options.ExtLists[ConvertExts], L".XYZ");
    EXPECT_EQ(ChooseViewerKind(L".XYZ", ChoiceFor(L".XYZ", options, fdAutomatic, "", nullptr, true)),
              vkConvertedPicture);
    int reads = 0;
    // Not available: the file goes on to the content tests, which read once.
    EXPECT_EQ(ChooseViewerKind(L".XYZ", ChoiceFor(L".XYZ", options, fdAutomatic, "\x01\x02\x03", &reads, false)),
              vkHex);
    EXPECT_EQ(reads, 1);
}

TEST(FileDisplayRules, ConverterFamilyWithAPictureClassIsAPictureBeforeTheConverter)
{
    const TOptions options = DefaultOptions();
    struct Case {
        const char* name;
        std::wstring ext;
        bool registered;
        bool converter;
        uint8_t expected;
    } cases[] = {
        {"registered, converter too", L".PCX", true, true, vkPicture},
        {"registered, no converter", L".ANI", true, false, vkPicture},
        {"not registered, converter", L".TIF", false, true, vkConvertedPicture},
        {"not registered, no converter", L".TIF", false, false, vkHex},
        {"registered but in no picture family", L".XYZ", true, true, vkHex},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TViewerChoiceFacts facts = ChoiceFor(c.ext, options, fdAutomatic, "\x01\x02\x03", nullptr, c.converter);
        int asked = 0;
        facts.PictureClassRegistered = [&] {
            ++asked;
            return c.registered;
        };
        EXPECT_EQ(ChooseViewerKind(c.ext, facts), c.expected);
        EXPECT_LE(asked, 1);
    }
    // Forced modes win over the class.
    TViewerChoiceFacts forced = ChoiceFor(L".PCX", options, fdHex, "");
    forced.PictureClassRegistered = [] { return true; };
    EXPECT_EQ(ChooseViewerKind(L".PCX", forced), vkHex);
}

TEST(FileDisplayRules, DisplayRequestDecisions)
{
    auto base = [] {
        TDisplayFacts f;
        f.ViewFile = true;
        f.ListFolder = L"C:\\daten";
        f.LinkTarget = [](const std::wstring& link) {
            return link == L"C:\\daten\\gut.lnk" ? std::wstring(L"C:\\ziel\\bild.png") : L"C:\\weg\\fehlt.txt";
        };
        f.FileExists = [](const std::wstring& path) { return path == L"C:\\ziel\\bild.png"; };
        f.Excluded = [](const std::wstring& name) { return name == L"PAGEFILE.SYS"; };
        return f;
    };
    using A = TDisplayAction;
    struct Case {
        const char* name;
        std::function<void(TDisplayFacts&)> set;
        A action;
        std::wstring path;
    } cases[] = {
        {"the shown path again", [](TDisplayFacts& f) { f.FocusedPath = f.ViewedFile = L"C:\\daten\\a.txt"; },
         A::daNothing, L""},
        {"display off", [](TDisplayFacts& f) { f.ViewFile = false, f.FocusedPath = L"C:\\daten\\a.txt"; }, A::daNothing,
         L""},
        {"frozen", [](TDisplayFacts& f) { f.Frozen = true, f.FocusedPath = L"C:\\daten\\a.txt"; }, A::daNothing, L""},
        {"list loading", [](TDisplayFacts& f) { f.Loading = true, f.FocusedPath = L"C:\\daten\\a.txt"; }, A::daNothing,
         L""},
        {"nothing focused", [](TDisplayFacts& f) { f.ViewedFile = L"C:\\daten\\a.txt"; }, A::daNoFile, L""},
        {"parent entry",
         [](TDisplayFacts& f) { f.FocusedPath = L"C:\\daten\\..", f.FocusedIsDirectory = f.FocusedIsParent = true; },
         A::daDirectory, L"C:\\daten"},
        {"folder", [](TDisplayFacts& f) { f.FocusedPath = L"C:\\daten\\sub", f.FocusedIsDirectory = true; },
         A::daDirectory, L"C:\\daten\\sub"},
        {"shortcut followed", [](TDisplayFacts& f) { f.FocusedPath = L"C:\\daten\\gut.lnk"; }, A::daViewer,
         L"C:\\ziel\\bild.png"},
        {"shortcut with missing target, automatic", [](TDisplayFacts& f) { f.FocusedPath = L"C:\\daten\\kaputt.lnk"; },
         A::daLink, L"C:\\daten\\kaputt.lnk"},
        {"shortcut with missing target, forced hex",
         [](TDisplayFacts& f) { f.FocusedPath = L"C:\\daten\\kaputt.lnk", f.ForcedMode = fdHex; }, A::daViewer,
         L"C:\\daten\\kaputt.lnk"},
        {"shortcut not followed",
         [](TDisplayFacts& f) { f.FocusedPath = L"C:\\daten\\gut.lnk", f.FollowLinks = false; }, A::daLink,
         L"C:\\daten\\gut.lnk"},
        {"excluded name, any case", [](TDisplayFacts& f) { f.FocusedPath = L"C:\\pagefile.sys"; }, A::daExcluded,
         L"C:\\pagefile.sys"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDisplayFacts facts = base();
        c.set(facts);
        const TDisplayDecision d = DecideDisplay(facts);
        EXPECT_EQ(d.Action, c.action);
        EXPECT_EQ(d.Path, c.path);
        if (d.Action != A::daNothing) {
            EXPECT_EQ(d.NewViewedFile, facts.FocusedPath);
        }
        if (d.Action == A::daViewer || d.Action == A::daExcluded) {
            EXPECT_EQ(d.Extension, ShortExtension(c.path));
            EXPECT_EQ(d.Name, c.path.substr(c.path.rfind(L'\\') + 1));
        }
    }
}

TEST(FileDisplayRules, PicturesAreCentredBesideShownScrollBars)
{
    struct Case {
        int w, h, boxW, boxH, vBar, hBar;
        TPicturePlace expected;
    } cases[] = {
        {100, 50, 301, 200, 0, 0, {100, 75}},  // odd difference rounds down
        {400, 50, 300, 200, 0, 17, {0, 66}},   // wider: left 0, the shown bar shrinks the height
        {100, 500, 300, 200, 17, 0, {91, 0}},  // higher: top 0, the bar shrinks the width
        {300, 200, 300, 200, 0, 0, {0, 0}},    // exactly fitting
        {10, 10, 0, 0, 0, 0, {0, 0}},          // box without room
        {0, 0, 2147483647, 2147483647, 0, 0, {1073741823, 1073741823}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CenterPicture(c.w, c.h, c.boxW, c.boxH, c.vBar, c.hBar), c.expected)
            << c.w << "x" << c.h << " in " << c.boxW << "x" << c.boxH;
    // Dragging right by 30 pixels moves the view 30 to the left.
    EXPECT_EQ(DragScrollPosition(100, 50, 80), 70);
    EXPECT_TRUE(ShowsDragCursor(true, false, true));
    EXPECT_FALSE(ShowsDragCursor(true, true, true));
    EXPECT_FALSE(ShowsDragCursor(false, false, true));
}

TEST(FileDisplayRules, ArchivesShowInTheArchiveListOnlyWithTheSwitchOn)
{
    const TOptions options = DefaultOptions();
    const std::string zipBytes = std::string("PK\x03\x04\x14\0\0\0", 8);
    struct Case {
        std::wstring ext;
        bool viewArchive;
        uint8_t forced;
        uint8_t expected;
    } cases[] = {
        {L".ZIP", true, fdAutomatic, vkArchive}, {L".JAR", true, fdAutomatic, vkArchive},
        {L".CAB", true, fdAutomatic, vkArchive}, {L".RAR", true, fdAutomatic, vkArchive},
        {L".ACE", true, fdAutomatic, vkArchive}, {L".ZIP", false, fdAutomatic, vkHex},
        {L".CAB", false, fdAutomatic, vkHex},    {L".ZIP", true, fdHex, vkHex},
        {L".ZIPX", true, fdAutomatic, vkHex},
    };
    for (const Case& c : cases) {
        TViewerChoiceFacts facts = ChoiceFor(c.ext, options, c.forced, zipBytes);
        facts.ViewArchive = c.viewArchive;
        EXPECT_EQ(ChooseViewerKind(c.ext, facts), c.expected)
            << std::string(c.ext.begin(), c.ext.end()) << " " << c.viewArchive;
    }
}
