#include "framework/win/Forms.h"
#include "framework/win/RichEdit.h"

#include <gtest/gtest.h>

#include <richedit.h>

using namespace qrv;

namespace {

class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TRichEdit(&form);
        edit->SetParent(&form);
        form.HandleNeeded();
    }
    TForm form{nullptr};
    TRichEdit* edit = nullptr;
};

}  // namespace

TEST_F(RichEditTest, LinesReadAndWriteAsText)
{
    wchar_t className[32];
    GetClassNameW(edit->Handle(), className, 32);
    EXPECT_EQ(lstrcmpiW(className, MSFTEDIT_CLASS), 0) << className;

    TRichEditStrings& lines = edit->Lines();
    EXPECT_EQ(lines.Count(), 0);
    lines.SetText(L"eins\r\nzwei\nÄrger\r\n");
    EXPECT_EQ(lines.Count(), 3) << "a final line break adds no line";
    EXPECT_EQ(lines[1], L"zwei");
    EXPECT_EQ(lines[2], L"Ärger");
    EXPECT_EQ(lines[3], L"") << "outside the text";
    lines.Add(L"vier");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.Text(), L"eins\r\nzwei\r\nÄrger\r\nvier\r\n");
    EXPECT_EQ(edit->Text(), L"eins\r\nzwei\r\nÄrger\r\nvier");

    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_FALSE(edit->Modified());
    lines.Add(L"allein");
    EXPECT_EQ(lines.Text(), L"allein\r\n");
}

TEST_F(RichEditTest, SelectionCaretAndModified)
{
    edit->Lines().SetText(L"Hallo Welt\r\nzweite Zeile");
    edit->SetModified(false);
    edit->SetSelStart(6);
    edit->SetSelLength(4);
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(edit->SelLength(), 4);
    EXPECT_EQ(edit->SelText(), L"Welt");

    edit->SetSelText(L"Erde!");
    EXPECT_EQ(edit->Lines()[0], L"Hallo Erde!");
    EXPECT_TRUE(edit->Modified());
    EXPECT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");

    edit->SetSelStart(11 + 7);  // "zweite |Zeile"
    EXPECT_EQ(edit->CaretPos().y, 1);
    EXPECT_EQ(edit->CaretPos().x, 7);

    edit->SetModified(false);
    EXPECT_FALSE(edit->Modified());
    edit->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(RichEditTest, RecreatedWindowKeepsTextFormattingAndModified)
{
    edit->StreamIn("{\\rtf1\\ansi Hallo {\\b Welt}\\par " + std::string(400, 'x') + "}", SF_RTF);
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");
    EXPECT_GT(SendMessageW(edit->Handle(), EM_GETLINECOUNT, 0, 0), 2) << "the long line wraps";
    edit->SetModified(true);
    ASSERT_NE(edit->StreamOut(SF_RTF).find("\\b"), std::string::npos) << edit->StreamOut(SF_RTF);

    HWND before = edit->Handle();
    edit->SetWordWrap(false);
    EXPECT_NE(edit->Handle(), before) << "the wrap mode needs a new window";
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLINECOUNT, 0, 0), 2) << "the long line no longer wraps";
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");
    EXPECT_TRUE(edit->Modified());
    EXPECT_NE(edit->StreamOut(SF_RTF).find("\\b"), std::string::npos) << "bold text kept";

    edit->SetHideScrollBars(false);
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_DISABLENOSCROLL);

    edit->SetPlainText(true);
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
    EXPECT_EQ(edit->StreamOut(SF_RTF).find("\\b "), std::string::npos) << "plain text has no bold";
}

TEST_F(RichEditTest, FindTextHonoursItsOptions)
{
    edit->Lines().SetText(L"Der Baum und die Bäume\r\nbaum");
    const int all = static_cast<int>(edit->Text().size());
    struct Case {
        const wchar_t* text;
        int start;
        unsigned options;
        int expected;
    };
    const Case cases[] = {
        {L"baum", 0, 0, 4},
        {L"baum", 0, TRichEdit::stMatchCase, 23},
        {L"Bäum", 0, TRichEdit::stWholeWord, -1},
        {L"Baum", 5, 0, 23},
        {L"Baum", all, TRichEdit::stUp, 23},
        {L"Wald", 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.options);
        EXPECT_EQ(edit->FindText(c.text, c.start, all, c.options), c.expected);
    }
    EXPECT_EQ(edit->FindText(L"die", 0, all, TRichEdit::stSelect), 13);
    EXPECT_EQ(edit->SelText(), L"die");
}
