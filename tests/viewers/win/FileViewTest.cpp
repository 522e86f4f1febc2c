#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "viewers/win/FileView.h"

#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

class FileViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = new TTextFileView(&form);
        view->SetParent(&form);
        form.HandleNeeded();
    }
    std::vector<std::wstring> Lines()
    {
        std::vector<std::wstring> lines;
        for (int i = 0; i < view->Lines().Count(); ++i)
            lines.push_back(view->Lines()[i]);
        return lines;
    }
    std::string AllPrintableBytes()
    {
        std::string bytes;
        for (int b = 0x20; b < 0x100; ++b) {
            bytes.push_back(static_cast<char>(b));
            if (b % 32 == 31)
                bytes += "\r\n";
        }
        return bytes;
    }
    std::wstring OemText(const std::string& bytes)
    {
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<size_t>(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                            text.data(), static_cast<int>(text.size()))));
        return text;
    }
    test::TestDir dir;
    TForm form{nullptr};
    TTextFileView* view = nullptr;
};

}  // namespace

TEST_F(FileViewTest, LoadsEachKindOfFile)
{
    using namespace std::string_literals;
    struct Case {
        const wchar_t* name;
        std::string bytes;
        std::vector<std::wstring> lines;
        bool readOnly;
        TFileFormat format;
        bool plainText;
    };
    const Case cases[] = {
        {L"unix.txt", "eins\nzwei\n", {L"eins", L"zwei"}, false, TFileFormat::ffUNIX, true},
        {L"dos.txt", "eins\r\nzwei\r\n", {L"eins", L"zwei"}, false, TFileFormat::ffDOS, true},
        {L"uni.txt",
         "\xff\xfe"
         "G\0r\0\xfc\0\xdf\0e\0\r\0\n\0"s,
         {L"Grüße"},
         true,
         TFileFormat::ffDOS,
         true},
        {L"binär.dat",
         "abc\x01"
         "def",
         {L"abc\x01"
          L"def"},
         true,
         TFileFormat::ffDOS,
         true},
        {L"utf8.txt",
         "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f"
         "e\r\n",
         {L"Grüße"},
         true,
         TFileFormat::ffDOS,
         true},
        {L"tabs.txt", "a\tb\nc\td\n", {L"a\tb", L"c\td"}, false, TFileFormat::ffUNIX, true},
        {L"brief.rtf", "{\\rtf1\\ansi Hallo {\\b Welt}\\par}", {L"Hallo Welt"}, false, TFileFormat::ffUNIX, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        const std::wstring file = dir.Write(c.name, c.bytes);
        EXPECT_TRUE(view->LoadFromFile(file));
        EXPECT_EQ(view->FileName(), file);
        EXPECT_EQ(Lines(), c.lines);
        EXPECT_EQ(view->ReadOnly(), c.readOnly);
        EXPECT_EQ(view->FileFormat(), c.format);
        EXPECT_EQ(view->PlainText(), c.plainText);
        EXPECT_FALSE(view->Modified());
    }
    EXPECT_TRUE(TTextFileView::IsRichTextFile(dir.File(L"brief.rtf")));
    EXPECT_FALSE(TTextFileView::IsRichTextFile(dir.File(L"dos.txt")));
}

TEST_F(FileViewTest, SavesInTheLineEndsItRead)
{
    const std::wstring unixFile = dir.Write(L"unix.txt", "eins\nzwei\n");
    view->LoadFromFile(unixFile);
    view->Lines().Add(L"drei");
    view->SaveToFile(dir.File(L"kopie.txt"));
    EXPECT_EQ(dir.Read(L"kopie.txt"), "eins\nzwei\ndrei\n");

    view->LoadFromFile(dir.Write(L"dos.txt", "a\r\nb\r\n"));
    view->SaveToFile(dir.File(L"kopie2.txt"));
    EXPECT_EQ(dir.Read(L"kopie2.txt"), "a\r\nb\r\n");
}

TEST_F(FileViewTest, SameNameEmptyNameAndMissingFile)
{
    const std::wstring file = dir.Write(L"a.txt", "eins\r\n");
    view->SetFileName(file);
    view->Lines().Add(L"zwei");
    EXPECT_TRUE(view->LoadFromFile(file));
    EXPECT_EQ(view->Lines().Count(), 2) << "the file shown is not read again";

    EXPECT_FALSE(view->LoadFromFile(L""));
    EXPECT_EQ(view->FileName(), L"");
    EXPECT_EQ(view->Lines().Count(), 0);

    view->LoadFromFile(file);
    try {
        view->LoadFromFile(dir.File(L"fehlt.txt"));
        ADD_FAILURE() << "a missing file raises";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), L"Datei \"" + dir.File(L"fehlt.txt") + L"\" nicht vorhanden.");
    }
    EXPECT_EQ(view->FileName(), L"");
    EXPECT_EQ(view->Lines().Count(), 0);
}

TEST_F(FileViewTest, DetectFileKindKeepsTheFlags)
{
    using namespace std::string_literals;
    EXPECT_TRUE(view->DetectFileKind(dir.Write(L"u.txt", "\xff\xfe"
                                                         "a\0"s)));
    EXPECT_TRUE(view->UnicodeFile());
    EXPECT_FALSE(view->LFOnly());
    EXPECT_TRUE(view->DetectFileKind(dir.Write(L"l.txt", "a\nb")));
    EXPECT_FALSE(view->UnicodeFile());
    EXPECT_TRUE(view->LFOnly());
    EXPECT_FALSE(view->DetectFileKind(dir.Write(L"p.exe", "MZ")));
    EXPECT_THROW(view->DetectFileKind(dir.File(L"fehlt.txt")), EInOutError);
}

TEST_F(FileViewTest, LoadAndSaveAreByteForByteInEachCodePageAndLineEnd)
{
    const std::string box = "\xc9\xcd\xcd\xbb\r\n\xba \x84\x94\x81 \xba\r\n\xc8\xcd\xcd\xbc\xb0\xb1\xb2\xdb\r\n";
    std::string lf = box;
    std::erase(lf, '\r');
    struct Case {
        const wchar_t* name;
        TTextTranslation translation;
        std::string bytes;
        TFileFormat format;
    };
    const Case cases[] = {
        {L"ansi-dos.txt", TTextTranslation::ttlANSI, AllPrintableBytes(), TFileFormat::ffDOS},
        {L"ansi-unix.txt", TTextTranslation::ttlANSI,
         "Gr\xfc\xdf"
         "e\n\x80 \x81 \xff\nEnde\n",
         TFileFormat::ffUNIX},
        {L"oem-dos.txt", TTextTranslation::ttlDOS8, box, TFileFormat::ffDOS},
        {L"oem-unix.txt", TTextTranslation::ttlDOS8, lf, TFileFormat::ffUNIX},
        {L"oem-all.txt", TTextTranslation::ttlDOS8, AllPrintableBytes(), TFileFormat::ffDOS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        view->SetTranslation(c.translation);
        view->LoadFromFile(dir.Write(c.name, c.bytes));
        EXPECT_EQ(view->FileFormat(), c.format);
        EXPECT_FALSE(view->ReadOnly());
        if (c.translation == TTextTranslation::ttlDOS8) {
            std::wstring shown = view->Text();
            std::wstring expected = OemText(c.bytes);
            std::erase(shown, L'\r');
            std::erase(expected, L'\r');
            while (!expected.empty() && expected.back() == L'\n')
                expected.pop_back();
            while (!shown.empty() && shown.back() == L'\n')
                shown.pop_back();
            EXPECT_EQ(shown, expected) << "OEM bytes shown as the OEM code page has them";
        }
        const std::wstring copy = L"kopie-" + std::wstring(c.name);
        view->SaveToFile(dir.File(copy));
        EXPECT_EQ(dir.Read(copy), c.bytes);
    }
    view->SetTranslation(TTextTranslation::ttlANSI);
}

TEST_F(FileViewTest, Utf16InEitherByteOrderShowsTheSameTextReadOnly)
{
    using namespace std::string_literals;
    const std::wstring text = L"Gr\u00fc\u00dfe \u2554\u2550\u2557 \U0001F600";
    std::string le = "\xff\xfe", be = "\xfe\xff";
    for (const wchar_t c : text + L"\r\nzwei") {
        le.push_back(static_cast<char>(c & 0xFF));
        le.push_back(static_cast<char>(c >> 8));
        be.push_back(static_cast<char>(c >> 8));
        be.push_back(static_cast<char>(c & 0xFF));
    }
    for (const TTextTranslation translation : {TTextTranslation::ttlANSI, TTextTranslation::ttlDOS8}) {
        view->SetTranslation(translation);
        for (const auto& [name, bytes] : {std::pair{L"le.txt", le}, std::pair{L"be.txt", be}}) {
            SCOPED_TRACE(WideToUtf8(name));
            view->LoadFromFile(dir.Write(name, bytes));
            EXPECT_TRUE(view->UnicodeFile());
            EXPECT_EQ(Lines(), (std::vector<std::wstring>{text, L"zwei"}));
            EXPECT_TRUE(view->ReadOnly());
            view->LoadFromFile(L"");
        }
    }
    view->SetTranslation(TTextTranslation::ttlANSI);
}

TEST_F(FileViewTest, ASlowLargeLoadAsksOnceAndNoLeavesAPartReadOnly)
{
    std::string big;
    while (big.size() < 2 * 1048576)
        big += "Eine Zeile mit \xe4\xf6\xfc, die sich wiederholt.\r\n";
    const std::wstring file = dir.Write(L"gross.txt", big);
    std::vector<std::wstring> questions, notices;
    bool answer = false;
    view->OnLoadQuestion = [&](const std::wstring& question) {
        questions.push_back(question);
        return answer;
    };
    view->OnLoadStopped = [&](const std::wstring& notice) { notices.push_back(notice); };
    // Every block takes 10 s, so the load is late from the first block on and
    // the question comes as soon as more than 512 KB are read.
    uint64_t now = 0;
    view->TickCount = [&] { return now += 10000; };
    view->SetWordWrap(false);
    view->LoadFromFile(file);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].rfind(L"Es wurden bereits 0,5 MB an Daten in den Texteditor eingelesen.\n", 0), 0u)
        << WideToUtf8(questions[0]);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], L"Das Laden der Datei wurde vorzeitig abgebrochen. \nDie Datei wird nur teilweise "
                          L"angezeigt und kann daher nicht bearbeitet werden.");
    EXPECT_TRUE(view->ReadOnly()) << "the file itself is writable";
    EXPECT_EQ(view->FileName(), file);
    // What the control took before the stop: the half megabyte asked about,
    // less what the conversion had read ahead.
    const size_t shown = view->Text().size();
    EXPECT_GT(shown, 0x7FFFFu - 65536);
    EXPECT_LT(shown, big.size());

    questions.clear();
    notices.clear();
    answer = true;
    now = 0;
    view->LoadFromFile(L"");
    view->LoadFromFile(file);
    EXPECT_EQ(questions.size(), 1u) << "Yes: not asked again";
    EXPECT_TRUE(notices.empty());
    EXPECT_FALSE(view->ReadOnly());
    EXPECT_EQ(static_cast<size_t>(view->Lines().Count()),
              big.size() / std::string("Eine Zeile mit xxx, die sich wiederholt.\r\n").size())
        << "all of it";
}
