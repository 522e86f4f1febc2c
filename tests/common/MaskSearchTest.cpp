#include "common/MaskSearch.h"
#include "framework/StringList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace qrv;

namespace {

TStringList Masks(const wchar_t* text)
{
    TStringList list;
    ParseMaskList(text, list);
    return list;
}

// Wildcard matching by its definition: "*" any run, "?" one code unit.
bool ReferenceMatch(std::wstring_view name, std::wstring_view mask)
{
    if (mask.empty())
        return name.empty();
    if (mask[0] == L'*')
        return ReferenceMatch(name, mask.substr(1)) || (!name.empty() && ReferenceMatch(name.substr(1), mask));
    if (name.empty())
        return false;
    return (mask[0] == L'?' || mask[0] == name[0]) && ReferenceMatch(name.substr(1), mask.substr(1));
}

// A first-occurrence matcher: a literal after a "*" is taken where
// it first occurs (the last one at the end of the name), without trying
// later places. Whatever it accepts must still match.
bool FirstOccurrenceMatch(std::wstring_view name, std::wstring_view mask)
{
    if (mask == L"*")
        return true;
    if (mask == L"*.*")
        return name.find(L'.') != std::wstring_view::npos;
    if (mask.find_first_of(L"*?") == std::wstring_view::npos && mask == name)
        return true;
    std::vector<std::wstring_view> tokens;
    for (size_t i = 0; i < mask.size();) {
        if (mask[i] == L'*' || mask[i] == L'?') {
            tokens.push_back(mask.substr(i++, 1));
            continue;
        }
        const size_t end = std::min(mask.find_first_of(L"*?", i), mask.size());
        tokens.push_back(mask.substr(i, end - i));
        i = end;
    }
    const auto size = static_cast<std::ptrdiff_t>(name.size());
    std::ptrdiff_t p = 0;
    bool star = false;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const std::wstring_view token = tokens[k];
        const auto length = static_cast<std::ptrdiff_t>(token.size());
        if (token == L"?") {
            if (++p > size)
                return false;
        } else if (token == L"*") {
            star = true;
        } else if (star) {
            if (k + 1 == tokens.size()) {
                p = (size - p >= length && name.ends_with(token)) ? size : size - 1;
            } else {
                const size_t at = name.find(token, static_cast<size_t>(p));
                if (at == std::wstring_view::npos)
                    return false;
                p = static_cast<std::ptrdiff_t>(at) + length;
            }
            star = false;
        } else {
            if (name.substr(static_cast<size_t>(p), token.size()) != token)
                return false;
            p += length;
        }
    }
    return star || p == size;
}

}  // namespace

TEST(MaskSearch, ParseMaskListLowersSortsAndDropsEmptyPieces)
{
    EXPECT_EQ(Masks(L"*.TXT;*.doc").CommaText(), L"*.doc,*.txt");
    EXPECT_EQ(Masks(L"").CommaText(), L"*");
    EXPECT_EQ(Masks(L";;").CommaText(), L"*") << "only separators must not hide every file";
    EXPECT_EQ(Masks(L"*.b;;*.a;").CommaText(), L"*.a,*.b");
    EXPECT_EQ(Masks(L"*.a;*.A").CommaText(), L"*.a");

    TStringList list;
    list.Add(L"old");
    ParseMaskList(L"X*", list);
    EXPECT_EQ(list.CommaText(), L"x*");
    EXPECT_TRUE(list.Sorted());
    list.Add(L"x*");
    EXPECT_EQ(list.Count(), 1) << "duplicates are ignored from then on";
}

TEST(MaskSearch, MatchesMaskList)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* masks;
        bool expected;
    } cases[] = {
        {L"README", L"*.", true},  // no extension: a "." is added
        {L"README.TXT", L"*.", false},
        {L"README", L"*.*", true},
        {L"README", L"*", true},
        {L"Brief.DOC", L"*.txt;*.doc", true},
        {L"brief.docx", L"*.txt;*.doc", false},
        {L"readme.1st", L"*.txt;read?e.*", true},
        {L"ÄRGER.TXT", L"ä*.txt", true},
        {L"a.c", L"*.b;;*.d", false},
        {L"img_a_01.JPG", L"*_??.jpg", true},
        {L"", L"*", true},
    };
    for (const Case& c : cases) {
        const TStringList list = Masks(c.masks);
        EXPECT_EQ(MatchesMaskList(c.name, &list), c.expected) << c.name << " with " << c.masks;
    }
    // Texts longer than any file name take the same rules.
    const std::wstring longName(400, L'N');
    const TStringList noExtension = Masks(L"*.");
    const TStringList txt = Masks(L"n*.txt");
    EXPECT_TRUE(MatchesMaskList(longName, &noExtension));
    EXPECT_TRUE(MatchesMaskList(longName + L".TXT", &txt));
    EXPECT_FALSE(MatchesMaskList(longName + L".TXT", &noExtension));
    EXPECT_FALSE(MatchesMaskList(longName, &txt));

    EXPECT_TRUE(MatchesMaskList(L"x.y", nullptr));
    const TStringList empty;
    EXPECT_TRUE(MatchesMaskList(L"x.y", &empty));
}

TEST(MaskSearch, MatchMask)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* mask;
        bool expected;
    } cases[] = {
        {L"abcd", L"abc", false},
        {L"abc", L"abc", true},
        {L"abc", L"a?c", true},
        {L"ab", L"???", false},
        {L"a.b.c", L"*.c", true},
        {L"x1y2y", L"x*y", true},
        {L"abxcxd", L"*x*d", true},
        {L"abab", L"*ab*b", true},
        {L"img_a_01.jpg", L"*_??.jpg", true},  // needs the second "_"
        {L"aabc", L"*a?c", true},              // needs the second "a"
        {L"bc", L"*a?c", false},
        {L"anything", L"*", true},
        {L"no dot", L"*.*", false},
        {L"a", L"", false},
        {L"", L"", true},
        {L"", L"?", false},
        {L"", L"**", true},
        {L"ABC", L"abc", false},  // exact: callers lower-case both sides
        {L"a*c", L"a*c", true},
        {L"\U0001F600.txt", L"?.txt", true},  // a surrogate pair is one character
        {L"\U0001F600.txt", L"??.txt", false},
        {L"x\U0001F600", L"*?", true},
        {L"\U0001F600", L"*??", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchMask(c.name, c.mask), c.expected) << c.name << " with " << c.mask;
}

TEST(MaskSearch, AgreesWithTheReferenceOnRandomNamesAndMasks)
{
    std::mt19937 random(20240615);
    auto text = [&](std::wstring_view alphabet, int maxLength) {
        std::wstring s(std::uniform_int_distribution<int>(0, maxLength)(random), L' ');
        for (wchar_t& c : s)
            c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
        return s;
    };
    int matches = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::wstring name = text(L"ab.", 9);
        const std::wstring mask = text(L"ab.*?", 7);
        const bool matched = MatchMask(name, mask);
        ASSERT_EQ(matched, ReferenceMatch(name, mask)) << name << " with " << mask;
        if (FirstOccurrenceMatch(name, mask)) {
            ASSERT_TRUE(matched) << name << " with " << mask << " matched before";
        }
        matches += matched;
    }
    // Both outcomes were exercised.
    EXPECT_GT(matches, 1000);
    EXPECT_LT(matches, 19000);
}
