#include "editor/EasyPersistence.h"
#include "editor/EasyIniFile.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "FakeEasyRegistry.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;
using qrv::test::FakeRegistry;
using namespace std::string_literals;

namespace {

// A settings object with one property of every kind and a nested object.
struct Inner : TEasyPersistent {
    std::wstring Caption = L"innen";
    std::vector<TEasyProperty> Properties() override
    {
        return {StringProperty(
            L"Caption", [this] { return Caption; }, [this](const std::wstring& v) { Caption = v; })};
    }
};

struct Settings : TEasyPersistent {
    int64_t Size = 10;
    int64_t Huge = 1;
    double Ratio = 0.5;
    std::wstring Name = L"Name";
    bool Flag = false;
    TEasyStringsValue Lines;
    Inner Nested;
    std::vector<TEasyProperty> Properties() override
    {
        return {
            IntegerProperty(
                L"Size", [this] { return Size; }, [this](int64_t v) { Size = v; }),
            IntegerProperty(
                L"Huge", [this] { return Huge; }, [this](int64_t v) { Huge = v; }),
            FloatProperty(
                L"Ratio", [this] { return Ratio; }, [this](double v) { Ratio = v; }),
            StringProperty(
                L"Name", [this] { return Name; }, [this](const std::wstring& v) { Name = v; }),
            BooleanProperty(
                L"Flag", [this] { return Flag; }, [this](bool v) { Flag = v; }),
            StringsProperty(
                L"Lines", [this] { return Lines; }, [this](const TEasyStringsValue& v) { Lines = v; }),
            ObjectProperty(L"Nested", Nested),
        };
    }
    void Change()
    {
        Size = -70000;
        Huge = int64_t{1} << 40;
        Ratio = 2.25;
        Name = L"Grüße €";
        Flag = true;
        Lines = {L"eins", L"", L"drei"};
        Nested.Caption = L"geändert";
    }
    bool operator==(const Settings& o) const
    {
        return Size == o.Size && Huge == o.Huge && Ratio == o.Ratio && Name == o.Name && Flag == o.Flag &&
               Lines == o.Lines && Nested.Caption == o.Nested.Caption;
    }
};

}  // namespace

TEST(EasyPersistence, HexAndTextHelpers)
{
    EXPECT_EQ(HexEncode("\x00\xFF\x7F"s), L"00FF7F");
    EXPECT_EQ(HexDecode(L"00FF7F"), "\x00\xFF\x7F"s);
    EXPECT_EQ(HexDecode(L"0aFf"), "\x0A\xFF"s);
    std::string bytes = "alt";
    EXPECT_FALSE(TryHexDecode(L"ABC", bytes));
    EXPECT_FALSE(TryHexDecode(L"0G", bytes));
    EXPECT_THROW(HexDecode(L"0G"), EConvertError);

    EXPECT_EQ(StripQuotes(L"'Text\""), L"Text");
    EXPECT_EQ(StripQuotes(L"\"Text"), L"\"Text");
    EXPECT_EQ(StripQuotes(L"\""), L"\"") << "one character stays";
    EXPECT_EQ(StripQuotes(L"''"), L"");
    EXPECT_EQ(IncludeBackslash(L"a"), L"a\\");
    EXPECT_EQ(IncludeBackslash(L"a\\"), L"a\\");
    EXPECT_EQ(IncludeBackslash(L""), L"");
}

TEST(EasyPersistence, StreamedRoundTripAndDamagedBlocks)
{
    Settings saved;
    saved.Change();
    TMemoryStream stream;
    WriteStreamed(stream, saved);
    const std::vector<uint8_t> block = stream.Bytes();

    Settings loaded;
    stream.SetPosition(0);
    ReadStreamed(stream, loaded);
    EXPECT_TRUE(loaded == saved);

    // Every cut of the block is refused and changes nothing.
    for (size_t cut = 0; cut < block.size(); ++cut) {
        TMemoryStream partial;
        partial.WriteBuffer(block.data(), cut);
        partial.SetPosition(0);
        Settings target;
        EXPECT_THROW(ReadStreamed(partial, target), EReadError) << cut;
        EXPECT_TRUE(target == Settings()) << cut;
    }
    // A value of the wrong kind is refused before anything is set.
    TMemoryStream wrongKind;
    wrongKind.WriteBytes("EPB1\x04Size\x02\x05\x04Name\x09\x00"s);
    wrongKind.SetPosition(0);
    Settings target;
    try {
        ReadStreamed(wrongKind, target);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), L"Ungültiger Eigenschaftswert");
    }
    EXPECT_TRUE(target == Settings());
    // Unknown names are skipped.
    TMemoryStream unknown;
    unknown.WriteBytes("EPB1\x05Other\x02\x05\x04Size\x02\x07\x00"s);
    unknown.SetPosition(0);
    ReadStreamed(unknown, target);
    EXPECT_EQ(target.Size, 7);
}

TEST(EasyPersistence, NameValueFile)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"EasySettings.txt");
    {
        TEasyIniFile ini(file);
        ini.WriteString(L"Farbe", L"rot=1");
        ini.WriteString(L"farbe", L"blau");
        ini.WriteString(L"Größe", L"12");
        EXPECT_TRUE(ini.Modified());
        ini.Save();
    }
    TEasyIniFile ini(file);
    EXPECT_EQ(ini.ReadString(L"FARBE", L"-"), L"blau");
    EXPECT_EQ(ini.ReadString(L"Größe", L"-"), L"12");
    EXPECT_EQ(ini.ReadString(L"fehlt", L"-"), L"-");
    EXPECT_EQ(ini.Lines().Count(), 2);

    Settings saved;
    saved.Change();
    SaveToIniFile(saved, file, L"Editor");
    Settings loaded;
    LoadFromIniFile(loaded, file, L"Editor");
    EXPECT_TRUE(loaded == saved);
    EXPECT_EQ(TEasyIniFile(file).ReadString(L"Farbe", L""), L"blau") << "other names stay";

    Settings untouched;
    LoadFromIniFile(untouched, file, L"Fehlt");
    EXPECT_TRUE(untouched == Settings());

    TEasyIniFile damaged(file);
    damaged.WriteString(L"Editor", TEasyIniFile(file).ReadString(L"Editor", L"") + L"Z");
    damaged.Save();
    EXPECT_THROW(LoadFromIniFile(untouched, file, L"Editor"), EReadError);
    EXPECT_TRUE(untouched == Settings());

    // A file that cannot be written raises.
    TEasyIniFile nowhere(dir.File(L"fehlt") + L"/" + L"x.txt");
    nowhere.WriteString(L"a", L"b");
    EXPECT_THROW(nowhere.Save(), EFileStreamError);
}

TEST(EasyPersistence, RegistryRoundTrip)
{
    FakeRegistry registry;
    Settings saved;
    saved.Change();
    SaveToRegistry(registry, saved, L"\\Software\\Test");
    EXPECT_EQ(registry.openCount, 0) << "every key closed again";
    const auto& values = registry.keys.at(L"\\Software\\Test");
    EXPECT_EQ(values.at(L"Size").kind, TEasyRegistryStore::TValueKind::rvInteger);
    EXPECT_EQ(values.at(L"Huge").kind, TEasyRegistryStore::TValueKind::rvString);
    EXPECT_EQ(values.at(L"Ratio").kind, TEasyRegistryStore::TValueKind::rvBinary);
    EXPECT_EQ(values.at(L"Lines").text, L"eins\r\n\r\ndrei\r\n");
    EXPECT_EQ(registry.keys.at(L"\\Software\\Test\\Nested").at(L"Caption").text, L"geändert");

    Settings loaded;
    LoadFromRegistry(registry, loaded, L"\\Software\\Test");
    EXPECT_TRUE(loaded == saved);
    EXPECT_EQ(registry.openCount, 0);

    // A missing key skips the object; a number stored as text is read.
    Settings untouched;
    LoadFromRegistry(registry, untouched, L"\\Software\\Fehlt");
    EXPECT_TRUE(untouched == Settings());
    registry.keys[L"\\Software\\Text"][L"Size"] = {TEasyRegistryStore::TValueKind::rvString, L"123"};
    LoadFromRegistry(registry, untouched, L"\\Software\\Text");
    EXPECT_EQ(untouched.Size, 123);
    registry.keys[L"\\Software\\Text"][L"Flag"] = {TEasyRegistryStore::TValueKind::rvBinary};
    try {
        LoadFromRegistry(registry, untouched, L"\\Software\\Text");
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), L"Unknown Registry Type");
    }
    EXPECT_EQ(registry.openCount, 0) << "closed on the way out too";
}
