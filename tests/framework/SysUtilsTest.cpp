#include "framework/SysUtils.h"
#include "framework/Encoding.h"
#include "framework/ShortCuts.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(SysUtils, Utf8RoundTripIncludingCharactersBeyondTheBasicPlane)
{
    const std::wstring text = L"Größe Ω € " + std::wstring(sizeof(wchar_t) == 2 ? L"\xD83D\xDE00" : L"\U0001F600");
    const std::string utf8 = WideToUtf8(text);
    EXPECT_EQ(utf8, "Gr\xC3\xB6\xC3\x9F"
                    "e \xCE\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide(utf8), text);
}

TEST(SysUtils, InvalidUtf8BecomesReplacementCharacters)
{
    struct Case {
        const char* bytes;
        const wchar_t* expected;
    } cases[] = {
        {"a\xFF"
         "b",
         L"a\xFFFD"
         L"b"},
        {"\xC0\xAF", L"\xFFFD\xFFFD"},        // overlong slash
        {"\xED\xA0\x80", L"\xFFFD"},          // an encoded surrogate is one bad sequence
        {"abc\xE2\x82", L"abc\xFFFD\xFFFD"},  // truncated at the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.bytes), c.expected) << c.bytes;
        EXPECT_FALSE(IsValidUtf8(c.bytes));
    }
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA4"));
}

TEST(SysUtils, CaseFoldingCoversGermanAndOtherScripts)
{
    EXPECT_EQ(UpperCase(L"äöü straße ω я"), L"ÄÖÜ STRAßE Ω Я");
    EXPECT_EQ(LowerCase(L"ÄÖÜ ŁÓDŹ"), L"äöü łódź");
    EXPECT_TRUE(SameText(L"Größe", L"GRÖSSE") == false);
    EXPECT_TRUE(SameText(L"größe", L"GRÖßE"));
    EXPECT_LT(CompareText(L"apple", L"Banana"), 0);
    EXPECT_GT(CompareStr(L"apple", L"Banana"), 0);
}

TEST(SysUtils, IntegerParsing)
{
    EXPECT_EQ(StrToInt(L" 42 "), 42);
    EXPECT_EQ(StrToInt(L"-17"), -17);
    EXPECT_EQ(StrToInt(L"$FF"), 255);
    EXPECT_EQ(StrToInt(L"0x7fffffff"), 2147483647);
    EXPECT_EQ(StrToInt64(L"-9223372036854775808"), INT64_MIN);
    EXPECT_THROW(StrToInt64(L"9223372036854775808"), EConvertError);
    EXPECT_THROW(StrToInt(L"2147483648"), EConvertError);
    EXPECT_THROW(StrToInt(L"12a"), EConvertError);
    EXPECT_EQ(StrToIntDef(L"", 5), 5);
    EXPECT_EQ(StrToIntDef(L"-", 5), 5);
}

TEST(Encoding, Windows1252MapsTheHighControlRange)
{
    const TEncoding& cp = TEncoding::Windows1252();
    EXPECT_EQ(cp.GetString("\x80\x9F\xE4"), L"€Ÿä");
    EXPECT_EQ(cp.GetBytes(L"€Ÿä"), "\x80\x9F\xE4");
    EXPECT_EQ(cp.GetBytes(L"Ω"), "?") << "characters outside the code page";
}

TEST(Encoding, Windows1252UnassignedBytesAreControlCharacters)
{
    const TEncoding& cp = TEncoding::Windows1252();
    const std::string unassigned = "\x81\x8D\x8F\x90\x9D";
    EXPECT_EQ(cp.GetString(unassigned), L"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(cp.GetBytes(cp.GetString(unassigned)), unassigned);
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(cp.GetBytes(cp.GetString(all)), all) << "every byte survives a round trip";
}

TEST(Encoding, CheckedEncodeNamesTheFirstCharacterItCannotHold)
{
    std::string bytes;
    size_t bad = 99;
    EXPECT_TRUE(TEncoding::Windows1252().TryGetBytes(L"Grüße €", bytes, bad));
    EXPECT_EQ(bytes, "Gr\xFC\xDF"
                     "e \x80");
    EXPECT_FALSE(TEncoding::Windows1252().TryGetBytes(L"abΩcΩ", bytes, bad));
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(TEncoding::Windows1252().TryGetBytes(L"\uFFFD", bytes, bad)) << "no byte stands for U+FFFD";
    EXPECT_TRUE(TEncoding::Unicode().TryGetBytes(L"Ω", bytes, bad));
    EXPECT_EQ(bytes, "\xA9\x03");
}

TEST(Encoding, Utf16OddByteAndSurrogatePairs)
{
    const TEncoding& le = TEncoding::Unicode();
    const std::string pair("\x3D\xD8\x00\xDE", 4);
    const std::wstring decoded = le.GetString(pair);
    EXPECT_EQ(le.GetBytes(decoded), pair);
    EXPECT_EQ(le.GetString(std::string("A\0B", 3)), L"A\xFFFD");
}

TEST(ShortCuts, GermanTexts)
{
    EXPECT_EQ(ShortCutToText(ShortCut('C', scShift | scCtrl)), L"Umsch+Strg+C");
    EXPECT_EQ(ShortCutToText(ShortCut(0x74, scNone)), L"F5");
    EXPECT_EQ(ShortCutToText(ShortCut(0x2E, scAlt)), L"Alt+Entf");
    EXPECT_EQ(ShortCutToText(ShortCut(0xFF, scCtrl)), L"") << "a key without a name";
}

TEST(ShortCuts, AcceleratorsOfCaptions)
{
    struct Case {
        wchar_t character;
        const wchar_t* caption;
        bool accel;
    };
    const Case cases[] = {
        {L'o', L"&Optionen", true},
        {L'O', L"&Optionen", true},
        {L'p', L"&Optionen", false},
        {L'v', L"Hierher &verschieben", true},
        {L'&', L"A && B", false},
        {L'b', L"A && &B", true},
        {L'x', L"Ende&", false},
        {L'x', L"", false},
        {L'\u00e4', L"&\u00c4ndern", true},
        {L'e', L"&&Ende", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAccel(c.character, c.caption), c.accel)
            << static_cast<int>(c.character) << " in " << WideToUtf8(c.caption);
}
