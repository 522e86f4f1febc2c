#include "mainwindow/TextCommandRules.h"

#include "../viewers/HexDocumentCodePages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

using Bytes = std::vector<uint8_t>;

// The hex view's character set as the view encodes typed characters.
THexCharEncoder EncoderFor(TTranslationType Translation)
{
    static const test::TFixedCodePages pages;
    static const THexCharset charset(pages);
    return [Translation](wchar_t c) { return charset.Type(c, Translation); };
}

}  // namespace

TEST(HexSearchPattern, BytePatternsAndTheirErrors)
{
    struct Case {
        const wchar_t* text;
        bool swap;
        THexPatternError error;
        Bytes bytes;
    };
    const Case cases[] = {
        {L"X'4142'", false, THexPatternError::None, {0x41, 0x42}},
        {L"X'41'", false, THexPatternError::None, {0x41}},
        {L"x'41'", false, THexPatternError::None, {0x41}},
        {L"X'41 42'", false, THexPatternError::None, {0x41, 0x42}},
        {L"X'4142'", true, THexPatternError::None, {0x14, 0x24}},
        {L"X'414'", false, THexPatternError::OddLength, {}},
        {L"X'4G'", false, THexPatternError::NotConvertible, {}},
        {L"X'  '", false, THexPatternError::NotConvertible, {}},
        {L"", false, THexPatternError::Empty, {}},
    };
    for (const Case& c : cases) {
        const THexSearchPattern pattern =
            MakeHexSearchPattern(c.text, false, c.swap, EncoderFor(TTranslationType::ttAnsi));
        EXPECT_EQ(pattern.Error, c.error) << c.text;
        EXPECT_EQ(pattern.Bytes, c.bytes) << c.text;
    }
    // Too short to be a byte pattern: the text itself is searched.
    for (const wchar_t* text : {L"X''", L"X'4'", L"X'41", L"Y'41'"}) {
        EXPECT_FALSE(IsHexBytePattern(text)) << text;
        const THexSearchPattern pattern =
            MakeHexSearchPattern(text, false, false, EncoderFor(TTranslationType::ttAnsi));
        EXPECT_EQ(pattern.Error, THexPatternError::None) << text;
        EXPECT_EQ(pattern.Bytes, Bytes(std::wstring_view(text).begin(), std::wstring_view(text).end())) << text;
    }
}

TEST(HexSearchPattern, MessagesNameWhatWentWrong)
{
    auto message = [](const std::wstring& text) {
        return HexPatternMessage(MakeHexSearchPattern(text, false, false, EncoderFor(TTranslationType::ttAnsi)), text);
    };
    EXPECT_EQ(message(L"X'414'"), L"Länge der eingegebenen Hex-Zeichenkette ist ungerade.");
    EXPECT_EQ(message(L"X'4G'"), L"Hex-Zeichenkette 4G kann nicht konvertiert werden.");
    EXPECT_EQ(message(L""), L"Zu suchender Text ist leer.");
    EXPECT_EQ(message(L"AB"), L"");
    // No ANSI byte is this character: no file byte can match it.
    EXPECT_EQ(message(L"a\u4E00"), L"Gesuchter Text \"a\u4E00\" nicht gefunden.");
}

TEST(HexSearchPattern, TextInTheViewsCharacterSetAndWholeWords)
{
    struct Case {
        const wchar_t* text;
        TTranslationType translation;
        bool wholeWord;
        Bytes bytes;
    };
    const Case cases[] = {
        {L"A", TTranslationType::ttAnsi, false, {0x41}},
        {L"A", TTranslationType::ttEBCDIC, false, {0xC1}},
        {L"Ä", TTranslationType::ttAnsi, false, {0xC4}},
        {L"Ä", TTranslationType::ttDos8, false, {0x8E}},
        {L"ab", TTranslationType::ttAnsi, true, {0x20, 0x61, 0x62, 0x20}},
        {L"A", TTranslationType::ttEBCDIC, true, {0x40, 0xC1, 0x40}},
    };
    for (const Case& c : cases) {
        const THexSearchPattern pattern = MakeHexSearchPattern(c.text, c.wholeWord, false, EncoderFor(c.translation));
        EXPECT_EQ(pattern.Error, THexPatternError::None) << c.text;
        EXPECT_EQ(pattern.Bytes, c.bytes) << c.text << " in set " << static_cast<int>(c.translation);
    }
    // 7-bit ASCII has no umlaut; no best-fit "A" stands in for it.
    const THexSearchPattern ascii = MakeHexSearchPattern(L"Ä", false, false, EncoderFor(TTranslationType::ttASCII));
    EXPECT_EQ(ascii.Error, THexPatternError::Unmappable);
    EXPECT_TRUE(ascii.Bytes.empty());
}

TEST(HexSearchStart, CaretSelectionAndRepeatedSearches)
{
    struct Case {
        const char* what;
        THexSearchPlace place;
        int64_t patternLength;
        int64_t start;
    };
    const Case cases[] = {
        {"after the caret", {10, 10, 0, -1, 0}, 2, 11},
        {"one byte, nothing selected: at the caret", {10, 10, 0, -1, 0}, 1, 10},
        {"one byte, its match selected: steps on", {10, 10, 1, 10, 1}, 1, 11},
        {"F3 on the last match", {20, 20, 2, 20, 2}, 2, 21},
        {"a selection of the user's own", {5, 5, 3, 20, 2}, 2, 6},
        {"one byte, a selection of the user's own", {5, 5, 3, 20, 1}, 1, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexSearchStart(c.place, c.patternLength), c.start) << c.what;
}

TEST(SortBlock, LinesInOrderWithTheBlocksOwnEnding)
{
    const TLineCompare ordinal = [](const std::wstring& a, const std::wstring& b) { return a.compare(b); };
    struct Case {
        std::wstring block, sorted;
    };
    const Case cases[] = {
        {L"b\r\na", L"a\r\nb"},         {L"b\r\na\r\n", L"a\r\nb\r\n"},
        {L"c\rb\ra\r", L"a\rb\rc\r"},   {L"b\na", L"a\nb"},
        {L"einzeln", L"einzeln"},       {L"", L""},
        {L"b\r\n\r\na", L"\r\na\r\nb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SortBlock(c.block, ordinal), c.sorted);
    // Lines that compare equal keep their order.
    const TLineCompare ignoringCase = [](const std::wstring& a, const std::wstring& b) {
        return towlower(a[0]) - towlower(b[0]);
    };
    EXPECT_EQ(SortBlock(L"B\r\na\r\nb", ignoringCase), L"a\r\nB\r\nb");
}

TEST(ReplaceEvery, GoesOnAfterEachReplacement)
{
    struct Case {
        std::wstring text, find, replacement, result;
        int count;
    };
    const Case cases[] = {
        {L"a-a", L"a", L"aa", L"aa-aa", 2},
        {L"aaa", L"aa", L"b", L"ba", 1},
        {L"xyz", L"a", L"b", L"xyz", 0},
        {L"abab", L"ab", L"", L"", 2},
    };
    for (const Case& c : cases) {
        std::wstring text = c.text;
        const auto find = [&](int from) {
            const size_t at = text.find(c.find, static_cast<size_t>(from));
            return at == std::wstring::npos ? -1 : static_cast<int>(at);
        };
        const auto replace = [&](int at) { text.replace(static_cast<size_t>(at), c.find.size(), c.replacement); };
        EXPECT_EQ(ReplaceEvery(find, replace, static_cast<int>(c.replacement.size())), c.count) << c.text;
        EXPECT_EQ(text, c.result) << c.text;
    }
}

TEST(OneLinePasteText, UpToTheFirstCarriageReturnWithoutLineFeeds)
{
    EXPECT_EQ(OneLinePasteText(L"C:\\Daten\r\nzweite"), L"C:\\Daten");
    EXPECT_EQ(OneLinePasteText(L"a\nb\nc"), L"abc");
    EXPECT_EQ(OneLinePasteText(L"\rx"), L"");
    EXPECT_EQ(OneLinePasteText(L""), L"");
}

TEST(ChooseUndo, FocusedTextFirstThenTheFileOperation)
{
    using F = TActionFocus;
    struct Case {
        const char* what;
        TUndoFacts facts;
        TUndoTarget target;
    };
    const Case cases[] = {
        {"changed text over a copy", {F::TextView, true, true, false, false, true}, TUndoTarget::TextView},
        {"text undone: the copy", {F::TextView, false, true, false, false, true}, TUndoTarget::FileOperation},
        {"a text without a file has no undo", {F::TextView, true, false, false, false, false}, TUndoTarget::None},
        {"editor", {F::Editor, false, false, true, false, true}, TUndoTarget::Editor},
        {"read-only editor", {F::Editor, false, false, true, true, true}, TUndoTarget::FileOperation},
        {"the list: the copy even with a changed text",
         {F::List, true, true, true, false, true},
         TUndoTarget::FileOperation},
        {"nothing", {F::Tree, false, false, false, false, false}, TUndoTarget::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseUndo(c.facts), c.target) << c.what;
}

TEST(DisplayMode, KeysAndButtons)
{
    struct Case {
        uint8_t current, wanted;
        bool on;
        TModeStep step;
    };
    const Case cases[] = {
        {1, 1, true, TModeStep::Nothing}, {0, 1, true, TModeStep::Redisplay}, {2, 0, true, TModeStep::Redisplay},
        {0, 1, false, TModeStep::TurnOn}, {1, 2, false, TModeStep::TurnOn},   {2, 0, false, TModeStep::SetOnly},
        {1, 1, false, TModeStep::TurnOn},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayModeStep(c.current, c.wanted, c.on), c.step)
            << int(c.current) << "->" << int(c.wanted) << " on " << c.on;
    // A button whose mode is in force returns to automatic.
    EXPECT_EQ(ModeOfButton(0, 1), 1);
    EXPECT_EQ(ModeOfButton(1, 1), 0);
    EXPECT_EQ(ModeOfButton(1, 2), 2);
    EXPECT_EQ(ModeOfButton(2, 2), 0);
}
