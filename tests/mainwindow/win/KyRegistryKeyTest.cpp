// The registry mode of the settings store, on a key of its own below
// HKEY_CURRENT_USER.

#include "SettingsGuards.h"

#include "framework/StringList.h"
#include "framework/SysUtils.h"
#include "framework/win/Registry.h"
#include "settings/StoredSettings.h"
#include "settings/win/KyRegistryWin.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

const std::wstring kBase = L"\\Software\\Quorvan Free Tests\\Store";

class KyRegistryKey : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free Tests"};

    static bool KeyExists(const std::wstring& key) { return TRegistry(KEY_READ).KeyExists(key); }
};

}  // namespace

TEST_F(KyRegistryKey, ValuesRoundTripAndMissingOnesGiveTheDefault)
{
    TKyRegistryKey store(kBase);
    EXPECT_EQ(store.BaseKey(), kBase + L"\\");
    store.WriteString(L"S", L"Text", L"Grüße");
    store.WriteInteger(L"S", L"Int", -42);
    store.WriteInt64(L"S", L"Big", 5000000000LL);
    store.WriteBool(L"T", L"Flag", true);
    store.UpdateFile();

    TKyRegistryKey reader(kBase);
    EXPECT_EQ(reader.ReadString(L"S", L"Text", L""), L"Grüße");
    EXPECT_EQ(reader.ReadInteger(L"S", L"Int", 0), -42);
    EXPECT_EQ(reader.ReadInt64(L"S", L"Big", 0), 5000000000LL);
    EXPECT_TRUE(reader.ReadBool(L"T", L"Flag", false));
    EXPECT_EQ(reader.ReadInt64(L"S", L"Int", 0), -42) << "a 32-bit value reads as a 64-bit one";
    EXPECT_EQ(reader.ReadInteger(L"S", L"Text", 7), 7) << "a value of another type gives the default";
    EXPECT_EQ(reader.ReadString(L"S", L"Missing", L"def"), L"def");
    EXPECT_TRUE(reader.ValueExists(L"S", L"Int"));
    EXPECT_FALSE(reader.ValueExists(L"S", L"Missing"));
}

TEST_F(KyRegistryKey, ReadingNeverCreatesAKey)
{
    TKyRegistryKey store(kBase);
    EXPECT_EQ(store.ReadInteger(L"Nowhere", L"X", 5), 5);
    EXPECT_FALSE(store.ValueExists(L"Nowhere", L"X"));
    EXPECT_FALSE(store.OpenKeyForRead(kBase + L"\\Nowhere"));
    EXPECT_EQ(store.OpenKeyPath(), L"");
    EXPECT_FALSE(KeyExists(kBase + L"\\Nowhere"));
}

TEST_F(KyRegistryKey, AKeyOpenedForReadingIsReopenedForWriting)
{
    {
        TKyRegistryKey setup(kBase);
        setup.WriteInteger(L"S", L"A", 1);
        setup.UpdateFile();
    }
    TKyRegistryKey store(kBase);
    EXPECT_EQ(store.ReadInteger(L"S", L"A", 0), 1);
    EXPECT_TRUE(store.OpenedForRead());
    store.WriteInteger(L"S", L"A", 2);
    EXPECT_FALSE(store.OpenedForRead());
    EXPECT_NO_THROW(store.UpdateFile());
    EXPECT_EQ(TKyRegistryKey(kBase).ReadInteger(L"S", L"A", 0), 2);
}

TEST_F(KyRegistryKey, ErasingASectionForgetsItsOpenKey)
{
    TKyRegistryKey store(kBase);
    store.WriteString(L"S", L"Old", L"x");
    EXPECT_EQ(store.OpenKeyPath(), kBase + L"\\S");
    store.EraseSection(L"S");
    EXPECT_EQ(store.OpenKeyPath(), L"");
    EXPECT_FALSE(KeyExists(kBase + L"\\S"));
    store.WriteString(L"S", L"New", L"y");
    EXPECT_NO_THROW(store.UpdateFile());
    TKyRegistryKey reader(kBase);
    EXPECT_EQ(reader.ReadString(L"S", L"New", L""), L"y");
    EXPECT_FALSE(reader.ValueExists(L"S", L"Old"));
}

TEST_F(KyRegistryKey, AFailedWriteIsReportedByUpdateFile)
{
    TKyRegistryKey store(kBase);
    // A key name longer than the registry allows cannot be created.
    store.WriteInteger(std::wstring(300, L's'), L"X", 1);
    store.WriteInteger(L"S", L"Fine", 1);
    EXPECT_THROW(store.UpdateFile(), ERegistryException);
    EXPECT_NO_THROW(store.UpdateFile()) << "reported once";
    EXPECT_EQ(TKyRegistryKey(kBase).ReadInteger(L"S", L"Fine", 0), 1) << "the other values are written";
}

TEST_F(KyRegistryKey, TheSchemaRoundTripsThroughTheRegistry)
{
    TOptions options;
    SetDefaultOptions(options, TSystemFacts{});
    options.Grid = true;
    options.ViewArchive = true;
    options.Reload = 2500;
    options.FKeys[1][4] = TFKeyRecord{L"Zip", L"C:\\zip.exe", L"-r [F]", -1};
    options.FilterList = {{L"Alle Dateien", L"*.*"}, {L"Texte", L"*.txt"}};
    TMainWindowState state;
    state.Bounds = TBounds{30, 40, 700, 500};
    state.List1.ColWidths = {100, 60, 70, 80, 40};
    state.CommandLines = {L"dir", L"cls"};
    state.Filter1.SizeTo = 6000000000LL;
    TStringList bookmarks, captions;
    bookmarks.Add(L"D:\\Daten");
    captions.Add(L"Daten");
    TSettingsFacts facts;
    facts.ScreenWidth = 1280;
    facts.ScreenHeight = 1024;
    {
        TKyRegistryKey store(kBase);
        SaveStoredSettings(store, options, state, bookmarks, captions, facts, {true, true, true});
        store.UpdateFile();
    }

    TOptions loaded;
    SetDefaultOptions(loaded, TSystemFacts{});
    TMainWindowState loadedState;
    loadedState.List1.ColWidths.resize(5);
    loadedState.Filter1 = {};
    TStringList loadedBookmarks, loadedCaptions;
    TKyRegistryKey store(kBase);
    // Filters are read back only when the lists restore them.
    store.WriteBool(L"Window", L"scRestoreFilter", true);
    LoadStoredSettings(store, loaded, loadedState, loadedBookmarks, loadedCaptions, facts);
    EXPECT_TRUE(loaded.Grid);
    EXPECT_TRUE(loaded.ViewArchive) << "Window\\ViewArchive";
    EXPECT_EQ(loaded.Reload, 2500);
    EXPECT_EQ(loaded.FKeys[1][4], options.FKeys[1][4]);
    EXPECT_EQ(loaded.FilterList, options.FilterList);
    EXPECT_EQ(loadedState.Bounds, state.Bounds);
    EXPECT_EQ(loadedState.List1.ColWidths, state.List1.ColWidths);
    EXPECT_EQ(loadedState.CommandLines, state.CommandLines);
    EXPECT_EQ(loadedState.Filter1.SizeTo, 6000000000LL);
    ASSERT_EQ(loadedBookmarks.Count(), 1);
    EXPECT_EQ(loadedCaptions[0], L"Daten");
    EXPECT_EQ(TKyRegistryKey(kBase).ReadInteger(L"Others", L"UpdateLevel", 0), 460);
}
