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
        {L"uni.txt", "\xff\xfe" "G\0r\0\xfc\0\xdf\0e\0\r\0\n\0"s, {L"Grüße"}, true, TFileFormat::ffDOS, true},
        {L"binär.dat", "abc\x01" "def", {L"abc\x01" L"def"}, true, TFileFormat::ffDOS, true},
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

TEST_F(FileViewTest, IsTextFileKeepsTheFlags)
{
    using namespace std::string_literals;
    EXPECT_TRUE(view->IsTextFile(dir.Write(L"u.txt", "\xff\xfe" "a\0"s)));
    EXPECT_TRUE(view->UnicodeFile());
    EXPECT_FALSE(view->LFOnly());
    EXPECT_TRUE(view->IsTextFile(dir.Write(L"l.txt", "a\nb")));
    EXPECT_FALSE(view->UnicodeFile());
    EXPECT_TRUE(view->LFOnly());
    EXPECT_FALSE(view->IsTextFile(dir.Write(L"p.exe", "MZ")));
    EXPECT_THROW(view->IsTextFile(dir.File(L"fehlt.txt")), EInOutError);
}
