#include "editor/EasyUtils.h"
#include "framework/Streams.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;
using namespace std::string_literals;

namespace {

TUnicodeKind Detect(const std::string& bytes, int64_t& positionAfter)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    const TUnicodeKind kind = DetectUnicodeStream(stream);
    positionAfter = stream.Position();
    return kind;
}

}  // namespace

TEST(EasyUtils, UnicodeStreamsByMarkOrByTheirUnits)
{
    struct Case {
        std::string bytes;
        TUnicodeKind kind;
        int64_t position;
    };
    const Case cases[] = {
        {"", TUnicodeKind::ukNone, 0},
        {"\xFF\xFE", TUnicodeKind::ukMarkLE, 2},
        {"\xFE\xFF\0A"s, TUnicodeKind::ukMarkBE, 2},
        {"\xFF\xFE"
         "A",
         TUnicodeKind::ukNone, 0},                // odd size
        {"abcd", TUnicodeKind::ukNone, 0},        // even-length ASCII
        {"gr\xFC\xDF", TUnicodeKind::ukNone, 0},  // even-length ANSI
        {"a\0b\0"s, TUnicodeKind::ukUnmarkedLE, 0},
        {"\xE4\0\xF6\0"s, TUnicodeKind::ukUnmarkedLE, 0},
        {"a\0\0\0"s, TUnicodeKind::ukNone, 0},           // U+0000 is no text
        {"\x10\x04\x11\x04"s, TUnicodeKind::ukNone, 0},  // Cyrillic without mark: high bytes not zero
    };
    for (const Case& c : cases) {
        int64_t position = -1;
        EXPECT_EQ(Detect(c.bytes, position), c.kind) << testing::PrintToString(c.bytes);
        EXPECT_EQ(position, c.position) << testing::PrintToString(c.bytes);
    }
}

TEST(EasyUtils, MailAddressesAndUrls)
{
    const std::pair<const char16_t*, bool> mail[] = {
        {u"a@b.c", true},    {u"a@b", false},    {u"a@b@c.d", false}, {u"a@.c", false},
        {u"mailto:x", true}, {u"MailTo:", true}, {u"a@", false},      {u"a@_x.y", true},
    };
    for (const auto& [text, expected] : mail)
        EXPECT_EQ(IsMailAddress(text), expected) << testing::PrintToString(std::u16string(text));
    const std::pair<const char16_t*, bool> urls[] = {
        {u"www.x", true},   {u"Http://a", true},  {u"file://c:/", true}, {u"gopher://g", true},
        {u"FTP://f", true}, {u"https://a", true}, {u"ww.x", false},      {u"", false},
    };
    for (const auto& [text, expected] : urls)
        EXPECT_EQ(IsUrlPrefix(text), expected) << testing::PrintToString(std::u16string(text));
    EXPECT_TRUE(IsUrl(u"a@b.c"));
    EXPECT_TRUE(IsUrl(u"www.a"));
    EXPECT_FALSE(IsUrl(u"hallo"));
}

TEST(EasyUtils, CharacterClasses)
{
    EXPECT_TRUE(WordChars().test('_'));
    EXPECT_FALSE(WordChars().test('-'));
    for (int c : {39, 60, 62, 95, 96, 126})
        EXPECT_FALSE(PunctuationChars().test(c)) << c;
    for (int c : {33, 38, 40, 47, 58, 59, 61, 63, 64, 91, 94, 123, 125})
        EXPECT_TRUE(PunctuationChars().test(c)) << c;
    EXPECT_FALSE(DefaultDelimiters().test(1));
    EXPECT_TRUE(DefaultDelimiters().test(0));
    EXPECT_TRUE(DefaultDelimiters().test(' '));
    EXPECT_TRUE(UrlChars().test('~'));
    EXPECT_TRUE(InCharSet(u'\u00E4', [] {
        TEasyCharSet set;
        set.set(0xE4);
        return set;
    }()));
}

TEST(EasyUtils, StringRoutines)
{
    EXPECT_EQ(FirstNonBlank(u"   x"), 4);
    EXPECT_EQ(FirstNonBlank(u"  "), 3);
    EXPECT_EQ(TrimLineBreak(u"a\r\n\n"), u"a\r");
    EXPECT_EQ(TrimLineBreak(u"a \n"), u"a ");
    EXPECT_EQ(PadRight(u"ab", 4), u"ab  ");
    EXPECT_EQ(PadRight(u"abcde", 4), u"abcde");
    EXPECT_EQ(TrimRightBlanks(u"a \t\x01 \r"), u"a \t\x01");
    EXPECT_EQ(TrimWord(u" 'wort'!, "), u"wort");
    EXPECT_EQ(TrimWord(u"!?"), u"");
    EXPECT_EQ(RemoveChars(u"a-b_c", PunctuationChars()), u"ab_c");
    EXPECT_EQ(PosFrom(u"ab", u"xabab", 1), 2);
    EXPECT_EQ(PosFrom(u"ab", u"xabab", 3), 4);
    EXPECT_EQ(PosFrom(u"abc", u"ab", 1), 0);
    EXPECT_EQ(LastPosBefore(u"ab", u"xabab", 5), 4);
    EXPECT_EQ(LastPosBefore(u"ab", u"xabab", 3), 2);
    EXPECT_EQ(LastPosBefore(u"ab", u"xabab", 1), 0);
    EXPECT_EQ(ShiftBits(0x85), 0x05);
}

TEST(EasyUtils, ColumnsWithoutDoubleByteCodePageAreUnchanged)
{
    ASSERT_FALSE(MultiByteCodePage());
    EXPECT_EQ(CharToByteColumn("abc", 3), 3);
    EXPECT_EQ(ByteToCharColumn("abc", 7), 7);
    EXPECT_EQ(CharCount("abc"), 3);
    EXPECT_TRUE(IsSingleByteAt("\x81\x41", 1));
    EXPECT_FALSE(IsLeadByteAt("\x81\x41", 1));
}
