// The text commands on fake viewers: what reaches the clipboard, which undo
// runs, and where find, find again and replace leave the selection.

#include "mainwindow/TextCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// A text with a selection; the search is a plain one (case and whole words
// as the rich edit control has them).
class FakeText : public TSearchTarget {
public:
    explicit FakeText(std::wstring Text, bool Writable = true) : text(std::move(Text)), writable(Writable) {}
    bool Writable() override { return writable; }
    bool CanUndo() override { return !undo.empty(); }
    void Undo() override
    {
        text = undo.back();
        undo.pop_back();
        ++undone;
    }
    std::wstring SelText() override { return text.substr(start, length); }
    void ReplaceSelection(const std::wstring& Text) override
    {
        undo.push_back(text);
        text.replace(start, length, Text);
        length = static_cast<int>(Text.size());
    }
    void SelectAll() override { Select(0, TextLength()); }
    int SelStart() override { return start; }
    int SelLength() override { return length; }
    void Select(int Start, int Length) override
    {
        start = Start;
        length = Length;
    }
    int TextLength() override { return static_cast<int>(text.size()); }
    int Find(const std::wstring& Wanted, int From, const TFindOptions& Options) override
    {
        auto fold = [&](std::wstring s) {
            if (!Options.MatchCase)
                std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return std::towlower(c); });
            return s;
        };
        const std::wstring hay = fold(text), needle = fold(Wanted);
        auto word = [&](size_t at) {
            auto letter = [&](size_t i) { return i < hay.size() && std::iswalnum(hay[i]); };
            return !Options.WholeWord || ((at == 0 || !letter(at - 1)) && !letter(at + needle.size()));
        };
        if (Options.Down) {
            for (size_t at = hay.find(needle, From); at != std::wstring::npos; at = hay.find(needle, at + 1))
                if (word(at))
                    return static_cast<int>(at);
        } else {
            for (int at = From - static_cast<int>(needle.size()); at >= 0; --at)
                if (hay.compare(at, needle.size(), needle) == 0 && word(at))
                    return at;
        }
        return -1;
    }

    std::wstring text;
    bool writable;
    int start = 0, length = 0;
    std::vector<std::wstring> undo;
    int undone = 0;
};

class FakeHex : public THexTarget {
public:
    explicit FakeHex(std::string Data) : data(Data.begin(), Data.end()) {}
    int64_t Size() override { return static_cast<int64_t>(data.size()); }
    THexSearchPlace Place() override { return THexSearchPlace{caret, caret, count}; }
    bool SwapNibbles() override { return false; }
    std::optional<uint8_t> Encode(wchar_t C) override
    {
        return C < 0x80 ? std::optional<uint8_t>(static_cast<uint8_t>(C)) : std::nullopt;
    }
    int64_t Find(const std::vector<uint8_t>& Pattern, bool IgnoreCase, int64_t From) override
    {
        auto low = [IgnoreCase](uint8_t b) { return IgnoreCase ? static_cast<uint8_t>(std::tolower(b)) : b; };
        for (int64_t at = From; at + static_cast<int64_t>(Pattern.size()) <= Size(); ++at)
            if (std::equal(Pattern.begin(), Pattern.end(), data.begin() + at,
                           [&](uint8_t a, uint8_t b) { return low(a) == low(b); }))
                return at;
        return -1;
    }
    void Select(int64_t Offset, int64_t Count) override
    {
        caret = Offset;
        count = Count;
    }
    std::optional<std::wstring> SelectedText() override
    {
        if (tooLarge)
            return std::nullopt;
        return std::wstring(data.begin() + caret, data.begin() + caret + count);
    }

    std::vector<uint8_t> data;
    int64_t caret = 0, count = 0;
    bool tooLarge = false;
};

class FakeHost : public TTextCommandsHost {
public:
    TTextFocus Focus() override { return focus; }
    TSearchTarget* TextView() override { return view; }
    TTextTarget* Editor() override { return editor; }
    THexTarget* HexView() override { return hex; }
    TTextTarget* FocusedCombo() override { return focus == TTextFocus::Combo ? combo : nullptr; }
    bool TextViewHasFile() override { return hasFile; }
    bool FileUndoEnabled() override { return fileUndoPossible; }
    void FileUndo() override { ++fileUndos; }
    void ShowMessage(const std::wstring& Text, TTextMessage Kind) override { messages.push_back({Text, Kind}); }
    void Beep() override { ++beeps; }
    bool PutClipboardText(const std::wstring& Text) override
    {
        clipboard = Text;
        return true;
    }
    std::optional<std::wstring> ClipboardText() override { return clipboard; }
    int CompareLines(const std::wstring& A, const std::wstring& B) override { return A.compare(B); }
    void OpenFindDialog(bool Replace, const std::wstring& Text) override { dialogs.push_back({Replace, Text}); }
    void SearchEditor(bool Replace, bool Again) override { editorSearches.push_back({Replace, Again}); }
    void BeginBusy() override { ++busy; }
    void EndBusy() override { --busy; }

    TTextFocus focus = TTextFocus::Other;
    FakeText* view = nullptr;
    FakeText* editor = nullptr;
    FakeText* combo = nullptr;
    FakeHex* hex = nullptr;
    bool hasFile = true;
    bool fileUndoPossible = true;
    int fileUndos = 0;
    int beeps = 0;
    int busy = 0;
    std::optional<std::wstring> clipboard;
    std::vector<std::pair<std::wstring, TTextMessage>> messages;
    std::vector<std::pair<bool, std::wstring>> dialogs;
    std::vector<std::pair<bool, bool>> editorSearches;
};

TFindRequest Request(const std::wstring& Text, bool MatchCase = false, bool WholeWord = false, bool Down = true)
{
    return TFindRequest{Text, TFindOptions{MatchCase, WholeWord, Down}};
}

}  // namespace

TEST(TextCommands, ClipboardFollowsTheFocus)
{
    FakeHost host;
    FakeText view(L"Hallo Welt");
    FakeText readOnly(L"fest", false);
    FakeText combo(L"C:\\Daten");
    FakeHex hex("ABCDEF");
    host.view = &view;
    host.combo = &combo;
    host.hex = &hex;
    TTextCommands commands(host);

    host.focus = TTextFocus::TextView;
    view.Select(6, 4);
    commands.Copy();
    EXPECT_EQ(host.clipboard, L"Welt");
    commands.Cut();
    EXPECT_EQ(view.text, L"Hallo ");

    // Paste: a whole text into the view, one line into a box.
    host.clipboard = L"Zeile 1\r\nZeile 2";
    commands.Paste();
    EXPECT_EQ(view.text, L"Hallo Zeile 1\r\nZeile 2");
    host.focus = TTextFocus::Combo;
    combo.Select(0, 0);
    commands.Paste();
    EXPECT_EQ(combo.text, L"Zeile 1C:\\Daten");

    // The hex view copies its selected bytes; too many give an error box.
    host.focus = TTextFocus::HexView;
    hex.Select(1, 3);
    commands.Copy();
    EXPECT_EQ(host.clipboard, L"BCD");
    hex.tooLarge = true;
    commands.Copy();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].second, TTextMessage::Error);

    // Read-only text, nothing selected, no text control: a beep each, nothing changed.
    const int beeps = host.beeps;
    host.view = &readOnly;
    host.focus = TTextFocus::TextView;
    readOnly.SelectAll();
    commands.Cut();
    commands.Paste();
    commands.Delete();
    EXPECT_EQ(readOnly.text, L"fest");
    readOnly.Select(0, 0);
    commands.Copy();
    host.focus = TTextFocus::Other;
    commands.Copy();
    commands.SelectAll();
    EXPECT_EQ(host.beeps, beeps + 6);
}

TEST(TextCommands, PasteIntoATextWithoutFileBeeps)
{
    FakeHost host;
    FakeText view(L"x");
    host.view = &view;
    host.focus = TTextFocus::TextView;
    host.hasFile = false;
    host.clipboard = L"neu";
    TTextCommands(host).Paste();
    EXPECT_EQ(view.text, L"x");
    EXPECT_EQ(host.beeps, 1);
}

TEST(TextCommands, UndoTakesTheTextFirstThenTheFileOperation)
{
    FakeHost host;
    FakeText view(L"alt");
    host.view = &view;
    host.focus = TTextFocus::TextView;
    TTextCommands commands(host);
    view.SelectAll();
    view.ReplaceSelection(L"neu");

    commands.Undo();
    EXPECT_EQ(view.text, L"alt");
    EXPECT_EQ(host.fileUndos, 0);
    commands.Undo();
    EXPECT_EQ(host.fileUndos, 1) << "the second Ctrl+Z undoes the copy";

    // With the focus elsewhere a changed text is left alone.
    view.ReplaceSelection(L"wieder");
    host.focus = TTextFocus::Other;
    commands.Undo();
    EXPECT_EQ(view.text, L"wieder");
    EXPECT_EQ(host.fileUndos, 2);
    EXPECT_FALSE(commands.UndoText());
}

TEST(TextCommands, SortsTheSelectedBlockOfAWritableText)
{
    FakeHost host;
    FakeText view(L"kopf\r\nb\r\na\r\nfuss");
    host.view = &view;
    TTextCommands commands(host);
    view.Select(6, 6);  // "b\r\na\r\n"
    commands.Sort();
    EXPECT_EQ(view.text, L"kopf\r\na\r\nb\r\nfuss");

    FakeText readOnly(L"b\r\na", false);
    host.view = &readOnly;
    readOnly.SelectAll();
    commands.Sort();
    EXPECT_EQ(readOnly.text, L"b\r\na");
    EXPECT_EQ(host.beeps, 1);
}

TEST(TextCommands, FindInTheTextViewWithCaseAndWholeWords)
{
    FakeHost host;
    FakeText view(L"Wort wort Wortlaut wort");
    host.view = &view;
    TTextCommands commands(host);

    // From the caret: a match right there is found.
    EXPECT_TRUE(commands.Find(Request(L"wort")));
    EXPECT_EQ(view.SelStart(), 0);
    commands.SearchNext();
    EXPECT_EQ(view.SelStart(), 5);
    EXPECT_EQ(view.SelLength(), 4);

    view.Select(0, 0);
    EXPECT_TRUE(commands.Find(Request(L"wort", true)));
    EXPECT_EQ(view.SelStart(), 5);
    commands.SearchNext();
    EXPECT_EQ(view.SelStart(), 19);

    view.Select(0, 0);
    EXPECT_TRUE(commands.Find(Request(L"Wort", true, true)));
    EXPECT_EQ(view.SelStart(), 0);
    EXPECT_FALSE(commands.Find(Request(L"Wort", true, true))) << "Wortlaut is no whole word";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, L"Gesuchter Text \"Wort\" nicht gefunden.");
    EXPECT_EQ(host.messages[0].second, TTextMessage::Information);
    EXPECT_EQ(view.SelStart(), 0);
    EXPECT_EQ(view.SelLength(), 0);

    // Up from the selection.
    view.Select(19, 4);
    EXPECT_TRUE(commands.Find(Request(L"wort", false, true, false)));
    EXPECT_EQ(view.SelStart(), 5);
}

TEST(TextCommands, ReplaceOneAndReplaceAll)
{
    FakeHost host;
    FakeText view(L"a-a-b");
    host.view = &view;
    TTextCommands commands(host);

    // The first press finds, the second replaces and finds the next.
    EXPECT_TRUE(commands.Replace(Request(L"a"), L"x", false));
    EXPECT_EQ(view.text, L"a-a-b");
    EXPECT_TRUE(commands.Replace(Request(L"a"), L"x", false));
    EXPECT_EQ(view.text, L"x-a-b");
    EXPECT_EQ(view.SelStart(), 2);

    FakeText grows(L"a-a");
    host.view = &grows;
    EXPECT_TRUE(commands.Replace(Request(L"a"), L"aa", true));
    EXPECT_EQ(grows.text, L"aa-aa");
    EXPECT_EQ(host.busy, 0);
    EXPECT_FALSE(commands.Replace(Request(L"zz"), L"y", true));
    EXPECT_EQ(host.messages.back().first, L"Gesuchter Text \"zz\" nicht gefunden.");
}

TEST(TextCommands, HexFindStepsThroughMatches)
{
    FakeHost host;
    FakeHex hex("xxABxxABxAxA");
    host.hex = &hex;
    TTextCommands commands(host);

    hex.Select(1, 0);  // the caret on byte 1
    EXPECT_TRUE(commands.Find(Request(L"X'4142'")));
    EXPECT_EQ(hex.caret, 2);
    EXPECT_EQ(hex.count, 2);
    commands.SearchNext();
    EXPECT_EQ(hex.caret, 6);
    EXPECT_FALSE(commands.Find(Request(L"X'4142'")));
    EXPECT_EQ(host.messages.back().first, L"Gesuchter Text \"X'4142'\" nicht gefunden.");

    // A one-byte pattern at the caret first, then one match after another.
    hex.Select(0, 0);
    std::vector<int64_t> found;
    for (int i = 0; i < 5 && commands.Find(Request(L"X'41'")); ++i)
        found.push_back(hex.caret);
    EXPECT_EQ(found, (std::vector<int64_t>{2, 6, 9, 11}));

    // Text, case and errors.
    hex.Select(0, 0);
    EXPECT_TRUE(commands.Find(Request(L"ab")));
    EXPECT_EQ(hex.caret, 2);
    EXPECT_FALSE(commands.Find(Request(L"ab", true)));
    EXPECT_FALSE(commands.Find(Request(L"zz")));
    EXPECT_EQ(host.messages.back().first, L"Gesuchter Text \"zz\" nicht gefunden.");
    EXPECT_FALSE(commands.Find(Request(L"X'414'")));
    EXPECT_EQ(host.messages.back().first, L"Länge der eingegebenen Hex-Zeichenkette ist ungerade.");
    EXPECT_EQ(host.messages.back().second, TTextMessage::Error);
    EXPECT_FALSE(commands.Find(Request(L"\u00FF\u4E00")));
    EXPECT_EQ(host.messages.back().second, TTextMessage::Information);
}

TEST(TextCommands, SearchOpensTheDialogWithTheSelection)
{
    FakeHost host;
    TTextCommands commands(host);
    commands.Search();
    EXPECT_EQ(host.beeps, 1) << "nothing shown to search";
    FakeText view(L"eins zwei");
    host.view = &view;
    view.Select(5, 4);
    commands.Search();
    commands.OpenReplace();
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.dialogs[0], std::make_pair(false, std::wstring(L"zwei")));
    EXPECT_EQ(host.dialogs[1], std::make_pair(true, std::wstring(L"zwei")));
    // F3 before any search opens the dialog too.
    TTextCommands fresh(host);
    fresh.SearchNext();
    EXPECT_EQ(host.dialogs.size(), 3u);
}

TEST(TextCommands, TheEditorSearchesWithItsOwnForms)
{
    FakeHost host;
    FakeText editor(L"eins zwei");
    host.editor = &editor;
    TTextCommands commands(host);
    commands.Search();
    commands.OpenReplace();
    commands.SearchNext();
    const std::vector<std::pair<bool, bool>> expected = {{false, false}, {true, false}, {false, true}};
    EXPECT_EQ(host.editorSearches, expected);
    EXPECT_TRUE(host.dialogs.empty());
    EXPECT_EQ(host.beeps, 0);
    // A read-only text is not replaced in; a shown text view takes the commands.
    FakeText readOnly(L"fest", false);
    host.editor = &readOnly;
    commands.OpenReplace();
    EXPECT_EQ(host.beeps, 1);
    FakeText view(L"x");
    host.view = &view;
    commands.Search();
    EXPECT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.editorSearches.size(), expected.size());
}
