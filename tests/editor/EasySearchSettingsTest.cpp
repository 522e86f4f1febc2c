#include "editor/EasySearchSettings.h"
#include "editor/EasyIniFile.h"
#include "editor/EasyPersistence.h"
#include "editor/EasyRegExpr.h"
#include "editor/EasyStrings.h"
#include "editor/EditorSettings.h"
#include "framework/Component.h"

#include "FakeEasyRegistry.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace qrv;
using qrv::test::FakeRegistry;

namespace {

// Points the settings at a fresh file (or the fake registry) and puts the
// process-wide location back afterwards.
class SettingsPlace {
public:
    explicit SettingsPlace(bool useRegistry)
        : oldFile_(SettingsFileName()), oldKey_(SettingsKey()), oldUse_(SettingsUseRegistry()),
          oldStore_(SettingsRegistryStore())
    {
        ReleaseEasySettings();
        SetSettingsFileName(dir.File(L"EditorSettings.txt"));
        SetSettingsKey(L"\\Software\\Quorvan Free\\EditorSettings");
        SetSettingsUseRegistry(useRegistry);
        SetSettingsRegistryStore(&registry);
    }
    ~SettingsPlace()
    {
        ReleaseEasySettings();
        SetSettingsFileName(oldFile_);
        SetSettingsKey(oldKey_);
        SetSettingsUseRegistry(oldUse_);
        SetSettingsRegistryStore(oldStore_);
    }
    test::TestDir dir;
    FakeRegistry registry;

private:
    std::wstring oldFile_;
    std::wstring oldKey_;
    bool oldUse_;
    TEasyRegistryStore* oldStore_;
};

void ChangeEverything(TEasySearchSettings& s)
{
    s.TextToFind = L"abc";
    s.ReplaceWith = L"Grüße";
    s.PromptOnReplace = false;
    s.CaseSensitive = true;
    s.WholeWordsOnly = true;
    s.RegularExpr = true;
    s.Direction = TEasySearchDirection::srBackward;
    s.Scope = TEasySearchScope::scSelectedText;
    s.Origin = TEasySearchOrigin::sgFromCursor;
    s.ShowNotFound = false;
    s.GotoLineNumber = 42;
    s.ReplaceAll = true;
    s.InReplace = true;
    s.FirstSearch = true;
}

void ExpectStoredFieldsChanged(const TEasySearchSettings& s)
{
    EXPECT_EQ(s.TextToFind, L"abc");
    EXPECT_EQ(s.ReplaceWith, L"Grüße");
    EXPECT_FALSE(s.PromptOnReplace);
    EXPECT_TRUE(s.CaseSensitive);
    EXPECT_TRUE(s.WholeWordsOnly);
    EXPECT_TRUE(s.RegularExpr);
    EXPECT_EQ(s.Direction, TEasySearchDirection::srBackward);
    EXPECT_EQ(s.Scope, TEasySearchScope::scSelectedText);
    EXPECT_EQ(s.Origin, TEasySearchOrigin::sgFromCursor);
    EXPECT_FALSE(s.ShowNotFound);
    EXPECT_EQ(s.GotoLineNumber, 42);
}

void ExpectDefaults(const TEasySearchSettings& s)
{
    const TEasySearchSettings fresh;
    EXPECT_EQ(s.TextToFind, fresh.TextToFind);
    EXPECT_EQ(s.ReplaceWith, fresh.ReplaceWith);
    EXPECT_TRUE(s.PromptOnReplace);
    EXPECT_FALSE(s.CaseSensitive);
    EXPECT_FALSE(s.WholeWordsOnly);
    EXPECT_FALSE(s.RegularExpr);
    EXPECT_EQ(s.Direction, TEasySearchDirection::srForward);
    EXPECT_EQ(s.Scope, TEasySearchScope::scGlobal);
    EXPECT_EQ(s.Origin, TEasySearchOrigin::sgEntireScope);
    EXPECT_TRUE(s.ShowNotFound);
    EXPECT_EQ(s.GotoLineNumber, 0);
}

}  // namespace

TEST(EasySearchSettings, RoundTripThroughFileAndRegistryWithoutRunState)
{
    for (const bool useRegistry : {false, true}) {
        SCOPED_TRACE(useRegistry ? "registry" : "file");
        SettingsPlace place(useRegistry);
        {
            TEasySearchSettings& first = GetSearchSettings();
            ExpectDefaults(first);
            ChangeEverything(first);
            ASSERT_TRUE(ReleaseEasySettings());  // the end of one run
        }
        TEasySearchSettings& next = GetSearchSettings();  // the next run
        ExpectStoredFieldsChanged(next);
        // The state of one run is not carried into the next.
        EXPECT_FALSE(next.ReplaceAll);
        EXPECT_FALSE(next.InReplace);
        EXPECT_FALSE(next.FirstSearch);
        if (useRegistry) {
            const auto& values = place.registry.keys.at(L"\\Software\\Quorvan Free\\EditorSettings\\SearchSettings");
            EXPECT_EQ(values.at(L"TextToFind").text, L"abc");
            for (const wchar_t* runState : {L"ReplaceAll", L"InReplace", L"FirstSearch"})
                EXPECT_EQ(values.count(runState), 0u) << runState;
        } else {
            const TEasyIniFile file(SettingsFileName());
            EXPECT_FALSE(file.ReadString(L"SearchSettings", L"").empty());
        }
    }
}

TEST(EasySearchSettings, MissingFieldsDefaultAndDamagedStoresLeaveAllDefaults)
{
    {
        SettingsPlace place(true);
        const std::wstring key = L"\\Software\\Quorvan Free\\EditorSettings\\SearchSettings";
        ASSERT_TRUE(place.registry.OpenKey(key, true));
        place.registry.WriteString(L"TextToFind", L"nur das");
        place.registry.WriteInteger(L"Direction", 1);
        place.registry.CloseKey();
        TEasySearchSettings& s = GetSearchSettings();
        EXPECT_EQ(s.TextToFind, L"nur das");
        EXPECT_EQ(s.Direction, TEasySearchDirection::srBackward);
        EXPECT_TRUE(s.PromptOnReplace);
        EXPECT_TRUE(s.ShowNotFound);
        EXPECT_EQ(s.Origin, TEasySearchOrigin::sgEntireScope);
    }
    // A value of the wrong kind, after one that was read: nothing half-read.
    {
        SettingsPlace place(true);
        ASSERT_TRUE(place.registry.OpenKey(L"\\Software\\Quorvan Free\\EditorSettings\\SearchSettings", true));
        place.registry.WriteString(L"TextToFind", L"halb");
        place.registry.WriteBinary(L"CaseSensitive", "xx");
        place.registry.CloseKey();
        ExpectDefaults(GetSearchSettings());
    }
    // An enumeration out of range.
    {
        SettingsPlace place(true);
        ASSERT_TRUE(place.registry.OpenKey(L"\\Software\\Quorvan Free\\EditorSettings\\SearchSettings", true));
        place.registry.WriteString(L"TextToFind", L"halb");
        place.registry.WriteInteger(L"Origin", 7);
        place.registry.CloseKey();
        ExpectDefaults(GetSearchSettings());
    }
    // A damaged block in the file, and one cut short.
    for (const std::wstring& value : {std::wstring(L"4550423"), std::wstring(L"45504231FFFF")}) {
        SettingsPlace place(false);
        TEasyIniFile file(SettingsFileName());
        file.WriteString(L"SearchSettings", value);
        file.Save();
        ExpectDefaults(GetSearchSettings());
    }
}

TEST(EasySearchSettings, AssignCopiesEveryField)
{
    TEasySearchSettings source;
    ChangeEverything(source);
    TEasySearchSettings target;
    target.Assign(source);
    ExpectStoredFieldsChanged(target);
    EXPECT_TRUE(target.ReplaceAll);
    EXPECT_TRUE(target.InReplace);
    EXPECT_TRUE(target.FirstSearch);
    EXPECT_EQ(source.UpdateCount(), 0);
}

TEST(EasySearchSettings, ComponentSettingsAreMadeOnceForTheirClass)
{
    struct Marked : TEasySettings {
        int64_t Value = 1;
        std::wstring SectionName() const override { return L"MarkedSettings"; }
        void SetDefaults() override { Value = 1; }
        std::vector<TEasyProperty> Properties() override
        {
            return {IntegerProperty(
                L"Value", [this] { return Value; }, [this](int64_t v) { Value = v; })};
        }
    };
    SettingsPlace place(false);
    TComponent wanted(nullptr);
    TComponent other(nullptr);
    int made = 0;
    TComponent* const wantedPointer = &wanted;
    const int registration = RegisterEasySettings([wantedPointer](TComponent* c) { return c == wantedPointer; },
                                                  [&made] {
                                                      ++made;
                                                      return std::make_unique<Marked>();
                                                  });
    EXPECT_EQ(ComponentSettings(&other), nullptr);
    TEasySettings* settings = ComponentSettings(&wanted);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(ComponentSettings(&wanted), settings);
    EXPECT_EQ(made, 1);
    static_cast<Marked*>(settings)->Value = 99;
    ASSERT_TRUE(ReleaseEasySettings());
    auto* again = static_cast<Marked*>(ComponentSettings(&wanted));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Value, 99);
    EXPECT_EQ(made, 2);
    UnregisterEasySettings(registration);
    EXPECT_EQ(ComponentSettings(&wanted), nullptr);
}

TEST(EasySearchSettings, SaveFailureIsReportedNotThrown)
{
    SettingsPlace place(false);
    SetSettingsFileName(place.dir.File(L"kein Ordner") + L"/EditorSettings.txt");
    GetSearchSettings().TextToFind = L"x";
    EXPECT_FALSE(SaveEasySettings());
}

namespace {

void Fill(TEasyStrings& result, std::initializer_list<const char16_t*> lines)
{
    for (const char16_t* line : lines)
        result.Add(line);
}

struct Found {
    bool Hit;
    int X, Y, Length;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f)
{
    return os << (f.Hit ? "hit " : "miss ") << f.X << "," << f.Y << " len " << f.Length;
}

Found Find(TEasySearchSettings& s, const TEasyStrings& lines, TEasyPoint& pos)
{
    int length = -1;
    const bool hit = s.Search(lines, pos, DefaultDelimiters(), length);
    return hit ? Found{true, pos.X, pos.Y, length} : Found{false, 0, 0, 0};
}

// Searches again and again from where the last search left the position.
std::vector<Found> Walk(TEasySearchSettings& s, const TEasyStrings& lines, TEasyPoint pos, int times)
{
    std::vector<Found> found;
    for (int i = 0; i < times; ++i)
        found.push_back(Find(s, lines, pos));
    return found;
}

}  // namespace

TEST(EasySearchSettings, FirstSearchOverTheEntireScope)
{
    TEasyStrings lines;
    Fill(lines, {u"abc", u"x abc", u"abc"});
    TEasySearchSettings s;
    s.TextToFind = L"abc";
    // Entire scope: the caret's place does not matter for the first search.
    s.FirstSearch = true;
    TEasyPoint pos{4, 1};
    EXPECT_EQ(Find(s, lines, pos), (Found{true, 1, 0, 3}));
    EXPECT_FALSE(s.FirstSearch);
    s.FirstSearch = true;
    s.Direction = TEasySearchDirection::srBackward;
    pos = {1, 0};
    EXPECT_EQ(Find(s, lines, pos), (Found{true, 1, 2, 3}));
    // From the cursor: the caret's place counts, and FirstSearch is cleared
    // too, so the next F3 goes on.
    s.Origin = TEasySearchOrigin::sgFromCursor;
    s.Direction = TEasySearchDirection::srForward;
    s.FirstSearch = true;
    pos = {2, 0};
    EXPECT_EQ(Find(s, lines, pos), (Found{true, 3, 1, 3}));
    EXPECT_FALSE(s.FirstSearch);
    // Nothing is searched in no lines.
    const TEasyStrings none;
    pos = {1, 0};
    EXPECT_EQ(Find(s, none, pos), (Found{false, 0, 0, 0}));
}

TEST(EasySearchSettings, RepeatedSearchesNeverStayOnOneSpot)
{
    TEasyStrings lines;
    Fill(lines, {u"ab", u"xx", u"", u"cd", u"ab ab"});
    struct Case {
        const char* name;
        const wchar_t* text;
        bool regex;
        bool backward;
        TEasyPoint from;
        std::vector<Found> expected;
    };
    const std::vector<Case> cases = {
        {"^ forward",
         L"^",
         true,
         false,
         {1, 0},
         {{true, 1, 1, 0}, {true, 1, 2, 0}, {true, 1, 3, 0}, {true, 1, 4, 0}, {false, 0, 0, 0}}},
        {"$ backward",
         L"$",
         true,
         true,
         {6, 4},
         {{true, 3, 3, 0}, {true, 1, 2, 0}, {true, 3, 1, 0}, {true, 3, 0, 0}, {false, 0, 0, 0}}},
        {"x* backward",
         L"x*",
         true,
         true,
         {2, 1},
         // The engine starts a backward search on the line's last character.
         {{true, 2, 1, 1}, {true, 1, 1, 2}, {true, 2, 0, 0}, {true, 1, 0, 0}, {false, 0, 0, 0}}},
        {"x* forward",
         L"x*",
         true,
         false,
         {2, 0},
         // Only anchors match an empty line.
         {{true, 3, 0, 0}, {true, 1, 1, 2}, {true, 2, 1, 1}, {true, 3, 1, 0}, {true, 1, 3, 0}}},
        {"plain forward from the match", L"ab", false, false, {1, 4}, {{true, 4, 4, 2}, {false, 0, 0, 0}}},
        {"plain backward from the match",
         L"ab",
         false,
         true,
         {4, 4},
         {{true, 1, 4, 2}, {true, 1, 0, 2}, {false, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEasySearchSettings s;
        s.TextToFind = c.text;
        s.RegularExpr = c.regex;
        s.Origin = TEasySearchOrigin::sgFromCursor;
        s.Direction = c.backward ? TEasySearchDirection::srBackward : TEasySearchDirection::srForward;
        TEasyPoint pos = c.from;
        if (!c.regex) {
            // The walk starts on a match the search returned.
            ASSERT_TRUE(Find(s, lines, pos).Hit);
        }
        EXPECT_EQ(Walk(s, lines, pos, static_cast<int>(c.expected.size())), c.expected);
    }
}

TEST(EasySearchSettings, AFirstSearchFindsAMatchAtTheScopesStart)
{
    TEasyStrings lines;
    Fill(lines, {u"eins", u"zwei"});
    TEasySearchSettings s;
    s.TextToFind = L"^";
    s.RegularExpr = true;
    s.FirstSearch = true;
    EXPECT_EQ(Walk(s, lines, {3, 1}, 3), (std::vector<Found>{{true, 1, 0, 0}, {true, 1, 1, 0}, {false, 0, 0, 0}}));
}

TEST(EasySearchSettings, ABadPatternRaisesAndClearsFirstSearch)
{
    TEasyStrings lines;
    Fill(lines, {u"abc"});
    TEasySearchSettings s;
    s.TextToFind = L"a[b";
    s.RegularExpr = true;
    s.FirstSearch = true;
    TEasyPoint pos{1, 0};
    int length = 0;
    EXPECT_THROW(s.Search(lines, pos, DefaultDelimiters(), length), EEasyRegExprError);
    EXPECT_FALSE(s.FirstSearch);
}

TEST(EasySearchSettings, PatternsFollowTheCaseAndAHookMaySupplyTheMatcher)
{
    TEasyStrings lines;
    Fill(lines, {u"Abc abc"});
    TEasySearchSettings s;
    s.TextToFind = L"a[a-z]c";
    s.RegularExpr = true;
    s.CaseSensitive = true;
    TEasyPoint pos{1, 0};
    EXPECT_EQ(Find(s, lines, pos), (Found{true, 5, 0, 3}));
    s.CaseSensitive = false;
    pos = {1, 0};
    EXPECT_EQ(Find(s, lines, pos), (Found{true, 1, 0, 3}));

    // A hook's matcher: finds the last character of the line, whatever the pattern.
    struct LastChar : TEasyLineMatcher {
        bool Search(std::u16string_view line, int& column, bool, int& length) override
        {
            if (line.empty())
                return false;
            column = static_cast<int>(line.size());
            length = 1;
            return true;
        }
    };
    std::u16string seenPattern;
    SetSearchHook([&](const std::u16string& pattern, bool) {
        seenPattern = pattern;
        return std::make_unique<LastChar>();
    });
    pos = {1, 0};
    const Found hooked = Find(s, lines, pos);
    SetSearchHook(nullptr);
    EXPECT_EQ(hooked, (Found{true, 7, 0, 1}));
    EXPECT_EQ(seenPattern, u"a[a-z]c");
}
