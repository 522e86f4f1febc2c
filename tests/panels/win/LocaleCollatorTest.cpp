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

}  // namespace

TEST(LocaleCollator, KeysAreTheSystemsInSeveralLocales)
{
    const std::vector<std::wstring> names = SampleNames();
    for (const wchar_t* locale : {L"de-DE", L"en-US", L"cs-CZ", L"hu-HU", L"da-DK", L"es-ES_tradnl", L"tr-TR"}) {
        const TLocaleCollator collator(locale);
        for (const std::wstring& name : names)
            ASSERT_EQ(collator.SortKey(name), SystemSortKey(locale, name))
                << "locale " << std::string(locale, locale + wcslen(locale));
    }
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
