// The locale collator's keys are the system's keys: for names of plain
// characters they come from a table, and they must be byte for byte what
// LCMapStringEx gives, in locales with and without contractions.

#include "panels/win/LocaleCollator.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace qrv;

namespace {

std::string SystemSortKey(const wchar_t* locale, const std::wstring& text)
{
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int size =
        LCMapStringEx(locale, flags, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr, 0);
    std::string key(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        LCMapStringEx(locale, flags, text.c_str(), static_cast<int>(text.size()), reinterpret_cast<LPWSTR>(key.data()),
                      size, nullptr, nullptr, 0);
    return key;
}

// Names as they come: mostly ASCII file names, with the characters that
// sort specially (hyphen, apostrophe), contraction candidates ("ch", "cs",
// "dzs", "aa", "ll") and umlauts mixed in.
std::vector<std::wstring> SampleNames()
{
    std::vector<std::wstring> names = {
        L"readme.txt", L"README.TXT", L"Chata.doc",   L"chleba", L"hrad",    L"csak",    L"cukor",
        L"dzsungel",   L"Aachen",     L"Zebra",       L"llama",  L"luna",    L"a-b",     L"ab",
        L"it's",       L"_init_.py",  L"f000123.txt", L"x y z",  L"Äpfel",   L"Ölkanne", L"straße",
        L"a~b{c}",     L"[x]",        L"100%",        L"#tag",   L"$dollar", L"a.b.c",   L"9lives",
    };
    const std::wstring alphabet = L"abcdefghijklmnopqrstuvwxyzABCHLSZ0123456789 ._-'~!()[]{}+=,;@#$%&^`äöüßé";
    std::mt19937 random(20261210);
    for (int i = 0; i < 3000; ++i) {
        std::wstring name;
        const int length = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k)
            name += alphabet[random() % alphabet.size()];
        names.push_back(name);
    }
    return names;
}

// Names beyond ASCII: letters with diacritics (the table learns them),
// ideographs, kana whose weights join their neighbours', a dash with a
// special weight, a combining mark (the locale keys those), and names in
// UTF-8 read in code page 1252 or 850, as an archive from Linux shows them.
std::vector<std::wstring> NamesBeyondAscii()
{
    std::vector<std::wstring> names = {
        L"Übersicht Größe 12.txt",
        L"\u5831\u544a\u66f8_7_\u30c7\u30fc\u30bf.xlsx",
        L"Café Müller 3 ß.pdf",
        L"\u5199\u771f 4 \u6771\u4eac.jpg",
        L"Ärger über Öl \u2013 Prüfung.docx",
        L"dž",
        L"Dže",
        L"ñu",
        L"Ã\u0153bersicht GrÃ¶ÃŸe 1.txt",
        L"caf\u00e9",
        L"cafe\u0301",
    };
    const std::wstring alphabet = L"abcdefghijklmnopqrstuvwxyzABCHLSZ0123456789 ._-'~!()[]{}+=,;@#$%&^`äöüßéÄÖÜžčőñ"
                                  L"\u5199\u771f\u6771\u4eac\u5831\u30c7\u30fc\u2013\u0301"
                                  L"Ã¼Ã¶Ã¤Ã\u0178Ã©Å\u0153\u20ac\u2122\u0192\u02c6\u201e\u2039¼½¶¤°\u2500\u2551\u2591";
    std::mt19937 random(20261211);
    for (int i = 0; i < 3000; ++i) {
        std::wstring name;
        const int length = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k)
            name += alphabet[random() % alphabet.size()];
        names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(LocaleCollator, KeysAreTheSystemsInSeveralLocales)
{
    std::vector<std::wstring> names = SampleNames();
    const std::vector<std::wstring> beyond = NamesBeyondAscii();
    names.insert(names.end(), beyond.begin(), beyond.end());
    for (const wchar_t* locale : {L"de-DE", L"en-US", L"cs-CZ", L"hu-HU", L"da-DK", L"es-ES_tradnl", L"tr-TR"}) {
        const TLocaleCollator collator(locale);
        for (const std::wstring& name : names)
            ASSERT_EQ(collator.SortKey(name), SystemSortKey(locale, name))
                << "locale " << std::string(locale, locale + wcslen(locale));
    }
}

TEST(LocaleCollator, LettersBeyondAsciiKeyFromTheTable)
{
    // Umlauts, accents, ideographs and the signs of names read in code page
    // 1252 need no call to the locale; kana, a special-weight dash and a
    // combining mark do.
    const TLocaleCollator collator(L"de-DE");
    for (const wchar_t* name : {L"Übersicht Größe 12.txt", L"Café Müller 3 ß.pdf", L"\u5199\u771f 4 \u6771\u4eac.jpg",
                                L"Ã\u0153bersicht GrÃ¶ÃŸe 1.txt"})
        EXPECT_TRUE(collator.KeyedByTable(name)) << std::string(name, name + wcslen(name));
    for (const wchar_t* name : {L"\u30c7\u30fc\u30bf.xlsx", L"a \u2013 b", L"cafe\u0301", L"a-b"})
        EXPECT_FALSE(collator.KeyedByTable(name)) << std::string(name, name + wcslen(name));
}

TEST(LocaleCollator, UserLocaleAndAppendedKeys)
{
    const TLocaleCollator collator;
    std::string keys;
    for (const std::wstring& name : {std::wstring(L"Beta.txt"), std::wstring(L"alpha-1.doc"), std::wstring(L"Äther")}) {
        const std::string key = SystemSortKey(LOCALE_NAME_USER_DEFAULT, name);
        EXPECT_EQ(collator.SortKey(name), key);
        const size_t before = keys.size();
        collator.AppendSortKey(name, keys);
        EXPECT_EQ(keys.substr(before), key);
    }
    EXPECT_EQ(collator.SortKey(L""), "");
}

TEST(LocaleCollator, CompactKeysOrderAsTheSystemsKeys)
{
    // Sorted by the system's keys, every two neighbours with compact keys
    // must compare the same way by them (equal only when the system's keys
    // are): then any two do.
    std::vector<std::wstring> names = SampleNames();
    for (const wchar_t* locale : {L"de-DE", L"en-US", L"cs-CZ", L"hu-HU", L"da-DK", L"es-ES_tradnl", L"tr-TR"}) {
        const std::string where = "locale " + std::string(locale, locale + wcslen(locale));
        const TLocaleCollator collator(locale);
        if (!collator.CompactBytes())
            continue;  // weights of several lengths: no compact keys
        struct TKeys {
            std::string System, Compact;
        };
        std::vector<TKeys> keyed;
        size_t without = 0;
        for (const std::wstring& name : names) {
            std::string compact = "kept";
            if (!AppendCompactKey(*collator.CompactBytes(), name, compact)) {
                EXPECT_EQ(compact, "kept") << where;  // nothing appended
                ++without;
                continue;
            }
            ASSERT_EQ(compact.size(), 4 + name.size()) << where;
            keyed.push_back({SystemSortKey(locale, name), compact.substr(4)});
            EXPECT_EQ(keyed.back().Compact.find('\0'), std::string::npos) << where;
        }
        EXPECT_GT(keyed.size(), names.size() / 10) << where;
        EXPECT_GT(without, 0u) << where;
        std::sort(keyed.begin(), keyed.end(), [](const TKeys& a, const TKeys& b) { return a.System < b.System; });
        for (size_t i = 1; i < keyed.size(); ++i) {
            const int system = keyed[i - 1].System.compare(keyed[i].System);
            const int compact = keyed[i - 1].Compact.compare(keyed[i].Compact);
            ASSERT_EQ(system < 0, compact < 0) << where << " at " << i;
            ASSERT_EQ(system == 0, compact == 0) << where << " at " << i;
        }
    }
    // Plain names in the user's locale have compact keys; others none.
    const TLocaleCollator user;
    ASSERT_NE(user.CompactBytes(), nullptr);
    std::string key;
    EXPECT_TRUE(AppendCompactKey(*user.CompactBytes(), L"f000123.txt", key));
    EXPECT_EQ(key.size(), 11u);
    EXPECT_FALSE(AppendCompactKey(*user.CompactBytes(), L"Äther", key));
    EXPECT_FALSE(AppendCompactKey(*user.CompactBytes(), L"a-b", key));
    EXPECT_EQ(key.size(), 11u);
}
