// The main window's support routines: filter lookups, pane shares, the
// bookmark toolbar layout, the save question and the quoting of dropped names.

#include "mainwindow/BookmarkButtons.h"
#include "mainwindow/DroppedNames.h"
#include "mainwindow/FilterLookups.h"
#include "mainwindow/PaneResize.h"
#include "mainwindow/SaveQuestion.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qrv;

namespace {

const std::vector<TFilterRec> kFilters = {
    {L"Alle Dateien", L"*.*"},
    {L"Texte", L"*.txt;*.ini"},
    {L"Bilder", L"*.bmp;*.png"},
    {L"Zweite Texte", L"*.txt;*.ini"},
};

}  // namespace

TEST(FilterLookups, NamesAndMasks)
{
    EXPECT_EQ(FilterMasksForName(kFilters, L"*.txt"), L"*.txt");
    EXPECT_EQ(FilterMasksForName(kFilters, L"bild?"), L"bild?");
    EXPECT_EQ(FilterMasksForName(kFilters, L"alle dateien"), L"*.*");
    EXPECT_EQ(FilterMasksForName(kFilters, L"BILDER"), L"*.bmp;*.png");
    EXPECT_EQ(FilterMasksForName(kFilters, L"Unbekannt"), L"Unbekannt");
    EXPECT_EQ(FilterMasksForName({}, L"Texte"), L"Texte");

    EXPECT_EQ(FindFilterByMask(kFilters, L"*.txt;*.ini"), 1);   // the first of two
    EXPECT_EQ(FindFilterByMask(kFilters, L"*.TXT;*.INI"), -1);  // masks compare exactly
    EXPECT_EQ(FilterNameForMasks(kFilters, L"*.bmp;*.png"), L"Bilder");
    EXPECT_EQ(FilterNameForMasks(kFilters, L"*.doc"), L"*.doc");
}

TEST(PaneResize, FirstWindowKeepsItsShare)
{
    struct Case {
        int oldFirst, oldPanel, newPanel, newFirst;
    } cases[] = {
        {300, 600, 900, 450},
        {300, 600, 300, 150},
        {100, 300, 400, 133},  // 133.33 rounds down
        {200, 300, 400, 267},  // 266.67 rounds up
        {300, 600, 600, 300},
        // A hidden or minimised panel had no width: the size stays.
        {300, 0, 900, 300},
        {300, -4, 900, 300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleFirstWindow(c.oldFirst, c.oldPanel, c.newPanel), c.newFirst)
            << c.oldFirst << " of " << c.oldPanel << " -> " << c.newPanel;

    // Stacked: a change of less than 2 pixels keeps the height.
    EXPECT_EQ(ScaleFirstWindowHeight(200, 400, 401), 200);
    EXPECT_EQ(ScaleFirstWindowHeight(200, 400, 399), 200);
    EXPECT_EQ(ScaleFirstWindowHeight(200, 400, 402), 201);
    EXPECT_EQ(ScaleFirstWindowHeight(200, 400, 200), 100);
    EXPECT_EQ(ScaleFirstWindowHeight(200, 0, 500), 200);
}

TEST(BookmarkButtons, OneButtonPerPathSeparatorsAtEmptyEntries)
{
    TBookmarkLayoutInput in;
    in.Paths = {L"C:\\Daten", L"", L"\\\\server\\share", L"D:\\Spiele", L"", L""};
    in.Captions = {L"Daten", L"", L"Server", L"Spiele", L"", L""};
    in.TextWidth = [](const std::wstring& text) { return static_cast<int>(text.size()) * 7; };
    in.IsFixedDrivePath = [](const std::wstring& path) { return path.starts_with(L"C:"); };

    const std::vector<TBookmarkButton> buttons = LayoutBookmarkButtons(in);
    ASSERT_EQ(buttons.size(), static_cast<size_t>(kBookmarkButtonCount));

    EXPECT_TRUE(buttons[0].Visible);
    EXPECT_EQ(buttons[0].Caption, L"Daten");
    EXPECT_EQ(buttons[0].Width, 5 * 7 + 26);
    EXPECT_EQ(buttons[0].Tag, 0);
    EXPECT_EQ(buttons[0].Hint, L"C:\\Daten");
    EXPECT_EQ(buttons[0].Image, TBookmarkImage::PathIcon);
    EXPECT_TRUE(buttons[0].SeparatorAfter);

    // A network path gets the folder image even where the drive test says fixed.
    EXPECT_EQ(buttons[1].Tag, 2);
    EXPECT_EQ(buttons[1].Image, TBookmarkImage::Folder);
    EXPECT_FALSE(buttons[1].SeparatorAfter);
    EXPECT_EQ(buttons[2].Tag, 3);
    EXPECT_EQ(buttons[2].Image, TBookmarkImage::Folder);  // not a fixed drive
    EXPECT_TRUE(buttons[2].SeparatorAfter);

    for (size_t i = 3; i < buttons.size(); ++i) {
        EXPECT_FALSE(buttons[i].Visible) << i;
        EXPECT_EQ(buttons[i].Tag, -1) << i;
        EXPECT_TRUE(buttons[i].Caption.empty()) << i;
        EXPECT_FALSE(buttons[i].SeparatorAfter) << i;
    }

    in.Windows9x = true;
    EXPECT_EQ(LayoutBookmarkButtons(in)[0].Image, TBookmarkImage::Folder);
}

TEST(BookmarkButtons, AtMostSixteenAndNoSeparatorAfterTheLast)
{
    TBookmarkLayoutInput in;
    for (int i = 0; i < 20; ++i) {
        in.Paths.push_back(L"C:\\B" + std::to_wstring(i));
        in.Captions.push_back(L"B" + std::to_wstring(i));
    }
    in.Paths[16].clear();
    const std::vector<TBookmarkButton> buttons = LayoutBookmarkButtons(in);
    ASSERT_EQ(buttons.size(), static_cast<size_t>(kBookmarkButtonCount));
    for (int i = 0; i < kBookmarkButtonCount; ++i) {
        EXPECT_TRUE(buttons[i].Visible);
        EXPECT_EQ(buttons[i].Tag, i);
        EXPECT_FALSE(buttons[i].SeparatorAfter) << i;
    }
}

namespace {

// Records what the question did to a changed text.
class TFakeSaveHost : public TSaveQuestionHost {
public:
    std::optional<std::wstring> Name = L"C:\\a.txt";
    TSaveAnswer Answer = TSaveAnswer::Yes;
    bool SaveSucceeds = true;
    bool Modified = true;
    bool Saved = false;  // the file holds the edit
    std::wstring Asked;

    std::optional<std::wstring> ModifiedTextName() override { return Modified ? Name : std::nullopt; }
    TSaveAnswer AskSave(const std::wstring& Question) override
    {
        Asked = Question;
        return Answer;
    }
    bool SaveText(const std::wstring& FileName) override
    {
        if (!SaveSucceeds || FileName != Name)
            return false;
        Saved = true;
        Modified = false;
        return true;
    }
    void DiscardModified() override { Modified = false; }
    void PostHeldDisplayRequest() override {}
};

// The display pane with a changed rich text, as the window drives it: a
// focus change posts a display request; the request asks the question
// before the display moves on. The question's box runs a message loop, in
// which posted requests and folder notifications (each a new request) are
// handled. Every write is recorded by file name.
class TDisplaySession : public TSaveQuestionHost {
public:
    std::wstring Viewed = L"T:\\notiz.rtf";
    std::wstring Focused;
    bool Changed = true;
    TSaveAnswer Reply = TSaveAnswer::Yes;
    // What arrives while a box is open.
    int QueuedRequests = 0;
    int Notifications = 0;

    TSaveQuestion Question{*this};
    int Questions = 0;
    int OpenBoxes = 0;
    int MostOpenBoxes = 0;
    std::vector<std::wstring> Writes;
    std::vector<int> Posted;

    // The request handler of the window's display message.
    void DisplayRequest()
    {
        if (!Question.AdmitDisplayRequest() || Focused == Viewed)
            return;
        if (!Question.Query())
            return;
        // The display moves on; the rich text was let go.
        Viewed = Focused;
        Changed = false;
    }
    // The window's message loop until nothing is posted.
    void RunPosted()
    {
        for (int guard = 0; !Posted.empty() && guard < 100; ++guard) {
            Posted.pop_back();
            DisplayRequest();
        }
    }

    std::optional<std::wstring> ModifiedTextName() override
    {
        return Changed ? std::optional<std::wstring>(L"T:\\notiz.rtf") : std::nullopt;
    }
    TSaveAnswer AskSave(const std::wstring&) override
    {
        ++Questions;
        MostOpenBoxes = std::max(MostOpenBoxes, ++OpenBoxes);
        // The box's own message loop takes what has arrived so far.
        while (QueuedRequests > 0) {
            --QueuedRequests;
            DisplayRequest();
        }
        while (Notifications > 0) {
            --Notifications;
            DisplayRequest();
        }
        --OpenBoxes;
        return Reply;
    }
    bool SaveText(const std::wstring& FileName) override
    {
        if (!Changed || FileName != L"T:\\notiz.rtf")
            return false;
        // The text written under the name the question was asked for.
        Writes.push_back(FileName);
        Changed = false;
        return true;
    }
    void DiscardModified() override { Changed = false; }
    void PostHeldDisplayRequest() override { Posted.push_back(1); }
};

}  // namespace

// However many requests and folder notifications arrive while the question
// is open: one box at a time, the rich text is written only under its own
// name, and after the answer the display shows the focused file (unless the
// answer kept the text).
TEST(SaveQuestion, OneQuestionAtATimeAndOnlyTheNamedFileIsWritten)
{
    struct Case {
        bool changed;
        const wchar_t* focused;
        int queued, notifications;
        TSaveAnswer reply;
        int questions, writes;
        const wchar_t* viewedAfter;
    } cases[] = {
        {true, L"T:\\bild.png", 0, 0, TSaveAnswer::Yes, 1, 1, L"T:\\bild.png"},
        {true, L"T:\\bild.png", 1, 0, TSaveAnswer::Yes, 1, 1, L"T:\\bild.png"},
        {true, L"T:\\bild.png", 3, 8, TSaveAnswer::Yes, 1, 1, L"T:\\bild.png"},
        {true, L"T:\\bild.png", 0, 8, TSaveAnswer::No, 1, 0, L"T:\\bild.png"},
        {true, L"T:\\bild.png", 2, 8, TSaveAnswer::Cancel, 1, 0, L"T:\\notiz.rtf"},
        // The focus went back to the rich text: nothing to ask.
        {true, L"T:\\notiz.rtf", 3, 8, TSaveAnswer::Yes, 0, 0, L"T:\\notiz.rtf"},
        {false, L"T:\\bild.png", 3, 8, TSaveAnswer::Yes, 0, 0, L"T:\\bild.png"},
    };
    for (const Case& c : cases) {
        TDisplaySession session;
        session.Changed = c.changed;
        session.Focused = c.focused;
        session.QueuedRequests = c.queued;
        session.Notifications = c.notifications;
        session.Reply = c.reply;
        session.DisplayRequest();
        session.RunPosted();
        const std::string label = WideToUtf8(c.focused) + " queued " + std::to_string(c.queued) + " notified " +
                                  std::to_string(c.notifications) + " reply " + std::to_string(int(c.reply));
        EXPECT_LE(session.MostOpenBoxes, 1) << label;
        EXPECT_EQ(session.Questions, c.questions) << label;
        EXPECT_EQ(session.Writes.size(), size_t(c.writes)) << label;
        for (const std::wstring& written : session.Writes)
            EXPECT_EQ(written, L"T:\\notiz.rtf") << label;
        EXPECT_EQ(session.Viewed, c.viewedAfter) << label;
    }
}

// A question whose text was saved or dropped while its box was open (by
// another part of the window) neither writes nor drops anything more.
TEST(SaveQuestion, AQuestionWhoseTextWasLetGoMeanwhileIsDropped)
{
    for (const TSaveAnswer answer : {TSaveAnswer::Yes, TSaveAnswer::No, TSaveAnswer::Cancel}) {
        class LetGoWhileAsking : public TFakeSaveHost {
        public:
            TSaveAnswer AskSave(const std::wstring& Question) override
            {
                Modified = false;
                return TFakeSaveHost::AskSave(Question);
            }
            bool SaveText(const std::wstring&) override
            {
                ++saves;
                return false;
            }
            int saves = 0;
        } host;
        host.Answer = answer;
        TSaveQuestion question(host);
        EXPECT_TRUE(question.Query()) << int(answer);
        EXPECT_EQ(host.saves, 0) << int(answer);
        EXPECT_FALSE(question.Open());
    }
}

TEST(QuerySaveModifiedText, AnswersDecideMarkAndGoOn)
{
    struct Case {
        TSaveAnswer answer;
        bool saveSucceeds;
        bool goOn, stillModified, saved;
    } cases[] = {
        {TSaveAnswer::Yes, true, true, false, true},
        // A failed save keeps the edit and its mark and stops the action.
        {TSaveAnswer::Yes, false, false, true, false},
        {TSaveAnswer::No, true, true, false, false},
        {TSaveAnswer::Cancel, true, false, true, false},
    };
    for (const Case& c : cases) {
        TFakeSaveHost host;
        host.Answer = c.answer;
        host.SaveSucceeds = c.saveSucceeds;
        const bool goOn = TSaveQuestion(host).Query();
        EXPECT_EQ(goOn, c.goOn) << static_cast<int>(c.answer) << c.saveSucceeds;
        EXPECT_EQ(host.Modified, c.stillModified) << static_cast<int>(c.answer) << c.saveSucceeds;
        EXPECT_EQ(host.Saved, c.saved) << static_cast<int>(c.answer) << c.saveSucceeds;
        EXPECT_EQ(host.Asked, L"Geänderte Datei \"C:\\a.txt\" speichern?");
    }
}

TEST(QuerySaveModifiedText, NothingChangedAsksNothing)
{
    TFakeSaveHost host;
    host.Modified = false;
    host.Answer = TSaveAnswer::Cancel;
    EXPECT_TRUE(TSaveQuestion(host).Query());
    EXPECT_TRUE(host.Asked.empty());
}

TEST(DroppedNames, QuotedWhereTheCommandProcessorWouldSplitOrRunThem)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* argument;
    } cases[] = {
        {L"C:\\Daten\\brief.txt", L"C:\\Daten\\brief.txt"},
        {L"C:\\Eigene Dateien\\a.txt", L"\"C:\\Eigene Dateien\\a.txt\""},
        {L"C:\\a&calc.txt", L"\"C:\\a&calc.txt\""},
        {L"C:\\x|y", L"\"C:\\x|y\""},
        {L"C:\\x<y>z", L"\"C:\\x<y>z\""},
        {L"C:\\x^y", L"\"C:\\x^y\""},
        {L"C:\\Programme (x86)", L"\"C:\\Programme (x86)\""},
        {L"C:\\(a)", L"\"C:\\(a)\""},
        {L"C:\\a,b;c=d", L"\"C:\\a,b;c=d\""},
        // A trailing backslash would make the closing quote part of the name.
        {L"C:\\Eigene Dateien\\", L"\"C:\\Eigene Dateien\\\\\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuoteCommandArgument(c.name), c.argument);
    // Always: every name but the empty one, by the same rules.
    EXPECT_EQ(QuoteCommandArgument(L"C:\\dir\\", TQuoting::Always), L"\"C:\\dir\\\\\"");
    EXPECT_EQ(QuoteCommandArgument(L"a.txt", TQuoting::Always), L"\"a.txt\"");
    EXPECT_EQ(QuoteCommandArgument(L"", TQuoting::Always), L"");
    EXPECT_EQ(EscapeBeforeQuote(L"C:\\\\"), L"C:\\\\\\\\");
    EXPECT_EQ(EscapeBeforeQuote(L"a\\b"), L"a\\b");

    EXPECT_EQ(AppendDroppedNames(L"copy", {L"C:\\a.txt", L"D:\\b c.txt"}), L"copy C:\\a.txt \"D:\\b c.txt\"");
    EXPECT_EQ(AppendDroppedNames(L"", {}), L"");
}

TEST(SaveQuestion, BackupNameAndErrorText)
{
    EXPECT_EQ(BackupFileName(L"C:\\Daten\\brief.txt"), L"C:\\Daten\\brief.bak");
    EXPECT_EQ(BackupFileName(L"C:\\Daten\\archiv.tar.gz"), L"C:\\Daten\\archiv.tar.bak");
    EXPECT_EQ(BackupFileName(L"C:\\Daten.alt\\liesmich"), L"C:\\Daten.alt\\liesmich.bak");
    // A backup's own backup never takes the file's name.
    EXPECT_EQ(BackupFileName(L"C:\\Daten\\notiz.bak"), L"C:\\Daten\\notiz.bak.bak");
    EXPECT_EQ(BackupFileName(L"C:\\Daten\\NOTIZ.BAK"), L"C:\\Daten\\NOTIZ.BAK.bak");
    EXPECT_EQ(BackupFileName(L"x.txt"), L"x.bak");
    EXPECT_EQ(BackupFileName(L"x"), L"x.bak");
    EXPECT_EQ(BackupFileName(L"x.bak"), L"x.bak.bak");
    EXPECT_EQ(SaveErrorText(L"C:\\a.txt"), L"Fehler beim Speichern der Datei: \nC:\\a.txt");
}
