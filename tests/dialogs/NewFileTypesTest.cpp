// The shell's new-file types over a registry and files of the test's own:
// which keys are offered and how, the templates' places, the order, the
// contents, the command line of a command type and the new files' names.

#include "dialogs/NewFileTypes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qrv;

namespace {

class FakeSystem : public TNewFileSystem {
public:
    std::vector<std::wstring> classes;
    std::map<std::wstring, std::wstring> defaults;  // key -> default value
    std::set<std::wstring> keys;
    std::map<std::pair<std::wstring, std::wstring>, TRegValue> values;
    std::map<std::wstring, std::wstring> typeNames;  // extension -> name
    std::map<std::wstring, std::vector<uint8_t>> files;
    std::set<std::wstring> unreadable;
    std::wstring templates = L"C:\\Users\\u\\Templates";
    std::wstring windows = L"C:\\windows";
    struct Started {
        std::wstring Program, Parameters, Folder;
    };
    std::vector<Started> started;
    intptr_t openResult = 42;

    // A type: its key with a default value, a ShellNew key (below the ProgID
    // when UnderProgId) and a type name.
    std::wstring AddType(const std::wstring& Extension, const std::wstring& ProgId, const std::wstring& Name,
                         bool UnderProgId = false)
    {
        classes.push_back(Extension);
        keys.insert(Extension);
        if (!ProgId.empty())
            defaults[Extension] = ProgId;
        const std::wstring shellNew =
            UnderProgId ? Extension + L"\\" + ProgId + L"\\ShellNew" : Extension + L"\\ShellNew";
        keys.insert(shellNew);
        typeNames[Extension] = Name;
        return shellNew;
    }
    void SetString(const std::wstring& Key, const std::wstring& Name, const std::wstring& Text)
    {
        TRegValue value;
        value.Type = TRegValueType::String;
        value.Text = Text;
        value.Size = (Text.size() + 1) * 2;
        values[{Key, Name}] = value;
    }
    void SetBinary(const std::wstring& Key, const std::wstring& Name, std::vector<uint8_t> Bytes,
                   std::optional<size_t> Size = std::nullopt)
    {
        TRegValue value;
        value.Type = TRegValueType::Binary;
        value.Size = Size.value_or(Bytes.size());
        value.Bytes = std::move(Bytes);
        values[{Key, Name}] = value;
    }
    void SetOther(const std::wstring& Key, const std::wstring& Name)
    {
        TRegValue value;
        value.Type = TRegValueType::Other;
        values[{Key, Name}] = value;
    }

    std::vector<std::wstring> ClassNames() override { return classes; }
    bool KeyExists(const std::wstring& Key) override { return keys.count(Key) > 0; }
    std::wstring DefaultValue(const std::wstring& Key) override
    {
        const auto found = defaults.find(Key);
        return found == defaults.end() ? std::wstring() : found->second;
    }
    TRegValue Value(const std::wstring& Key, const std::wstring& Name) override
    {
        const auto found = values.find({Key, Name});
        return found == values.end() ? TRegValue{} : found->second;
    }
    std::wstring TemplatesFolder() override { return templates; }
    std::wstring WindowsFolder() override { return windows; }
    bool FileExists(const std::wstring& Path) override { return files.count(Path) > 0; }
    std::optional<std::vector<uint8_t>> ReadFile(const std::wstring& Path) override
    {
        const auto found = files.find(Path);
        if (found == files.end() || unreadable.count(Path))
            return std::nullopt;
        return found->second;
    }
    std::wstring TypeName(const std::wstring& Extension) override
    {
        const auto found = typeNames.find(Extension);
        return found == typeNames.end() ? std::wstring() : found->second;
    }
    std::vector<uint8_t> AnsiBytes(const std::wstring& Text) override
    {
        std::vector<uint8_t> bytes;
        for (const wchar_t c : Text)
            bytes.push_back(static_cast<uint8_t>(c < 256 ? c : '?'));
        return bytes;
    }
    intptr_t Open(const std::wstring& Program, const std::wstring& Parameters, const std::wstring& Folder) override
    {
        started.push_back({Program, Parameters, Folder});
        return openResult;
    }
};

class NewFileTypes : public testing::Test {
protected:
    FakeSystem system;
    TNewFileTypeList list{system};

    const TNewFileType* Find(const std::wstring& Extension)
    {
        for (const TNewFileType& type : list.Types())
            if (type.Extension == Extension)
                return &type;
        return nullptr;
    }
    std::vector<std::wstring> Descriptions()
    {
        std::vector<std::wstring> names;
        for (const TNewFileType& type : list.Types())
            names.push_back(type.Description);
        return names;
    }
};

}  // namespace

TEST_F(NewFileTypes, KindByTheFirstValueThatMatches)
{
    struct Case {
        const wchar_t* Extension;
        std::function<void(FakeSystem&, const std::wstring& Key)> Values;
        std::optional<TNewFileKind> Kind;  // std::nullopt: not offered
    };
    const std::vector<Case> cases = {
        {L".nul", [](FakeSystem& s, const std::wstring& k) { s.SetOther(k, L"NullFile"); }, TNewFileKind::NullFile},
        // NullFile wins over every other value.
        {L".nu2",
         [](FakeSystem& s, const std::wstring& k) {
             s.SetString(k, L"NullFile", L"");
             s.SetString(k, L"FileName", L"C:\\t\\x.tpl");
         },
         TNewFileKind::NullFile},
        {L".cmd1", [](FakeSystem& s, const std::wstring& k) { s.SetString(k, L"Command", L"maker.exe %1"); },
         TNewFileKind::Command},
        // A shortcut type's command is no new-file command; without data it is not offered.
        {L".LNK", [](FakeSystem& s, const std::wstring& k) { s.SetString(k, L"Command", L"maker.exe %1"); },
         std::nullopt},
        {L".lnk",
         [](FakeSystem& s, const std::wstring& k) {
             s.SetString(k, L"Command", L"maker.exe %1");
             s.SetBinary(k, L"Data", {1, 2});
         },
         TNewFileKind::Data},
        {L".dat",
         [](FakeSystem& s, const std::wstring& k) {
             s.SetBinary(k, L"Data", {1, 2, 3});
         },
         TNewFileKind::Data},
        {L".dst", [](FakeSystem& s, const std::wstring& k) { s.SetString(k, L"Data", L"abc"); }, TNewFileKind::Data},
        // A FileName that is no string is passed over.
        {L".fno",
         [](FakeSystem& s, const std::wstring& k) {
             s.SetBinary(k, L"FileName", {65});
             s.SetBinary(k, L"Data", {1});
         },
         TNewFileKind::Data},
        {L".none", [](FakeSystem& s, const std::wstring& k) { s.SetOther(k, L"Data"); }, std::nullopt},
        {L".empty", [](FakeSystem&, const std::wstring&) {}, std::nullopt},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring key =
            system.AddType(c.Extension, L"prog" + std::to_wstring(n), L"Typ " + std::to_wstring(n));
        c.Values(system, key);
        ++n;
    }
    list.Refresh();
    EXPECT_TRUE(list.Loaded());
    for (const Case& c : cases) {
        const TNewFileType* type = Find(c.Extension);
        if (!c.Kind) {
            EXPECT_EQ(type, nullptr) << c.Extension;
            continue;
        }
        ASSERT_NE(type, nullptr) << c.Extension;
        EXPECT_EQ(type->Kind, *c.Kind) << c.Extension;
    }
}

TEST_F(NewFileTypes, NoDefaultValueNoTypeNameOrNoShellNewKeyIsNeverOffered)
{
    system.SetOther(system.AddType(L".nod", L"", L"Ohne Vorgabe"), L"NullFile");
    system.SetOther(system.AddType(L".non", L"nonamefile", L""), L"NullFile");
    system.AddType(L".nok", L"nokey", L"Ohne Schlüssel");
    system.keys.erase(L".nok\\ShellNew");
    system.SetOther(system.AddType(L"txtfile", L"x", L"Kein Typ"), L"NullFile");
    system.SetOther(system.AddType(L".ok", L"okfile", L"Gut"), L"NullFile");
    list.Refresh();
    EXPECT_EQ(Descriptions(), std::vector<std::wstring>{L"Gut"});
}

TEST_F(NewFileTypes, TheProgIdsShellNewKeyComesFirst)
{
    const std::wstring own = system.AddType(L".two", L"twofile", L"Zwei");
    system.SetString(own, L"Command", L"own.exe %1");
    system.keys.insert(L".two\\twofile\\ShellNew");
    system.SetOther(L".two\\twofile\\ShellNew", L"NullFile");
    // Only below the ProgID.
    system.SetOther(system.AddType(L".one", L"onefile", L"Eins", true), L"NullFile");
    list.Refresh();
    ASSERT_NE(Find(L".two"), nullptr);
    EXPECT_EQ(Find(L".two")->Kind, TNewFileKind::NullFile);
    EXPECT_EQ(Find(L".two")->ShellNewKey, L".two\\twofile\\ShellNew");
    ASSERT_NE(Find(L".one"), nullptr);
    EXPECT_EQ(Find(L".one")->ShellNewKey, L".one\\onefile\\ShellNew");
}

TEST_F(NewFileTypes, TemplatesAreLookedForWhereTheShellKeepsThem)
{
    system.files[L"D:\\vorlagen\\given.tpl"] = {1};
    system.files[L"C:\\Users\\u\\Templates\\intemplates.tpl"] = {2};
    system.files[L"C:\\windows\\ShellNew\\inwindows.tpl"] = {3};
    // A bare name is never taken from the current folder.
    system.files[L"bare.tpl"] = {4};
    const struct {
        const wchar_t* Extension;
        const wchar_t* FileName;
        const wchar_t* Found;  // nullptr: dropped
    } cases[] = {
        {L".a", L"D:\\vorlagen\\given.tpl", L"D:\\vorlagen\\given.tpl"},
        {L".b", L"intemplates.tpl", L"C:\\Users\\u\\Templates\\intemplates.tpl"},
        {L".c", L"inwindows.tpl", L"C:\\windows\\ShellNew\\inwindows.tpl"},
        {L".d", L"missing.tpl", nullptr},
        {L".e", L"bare.tpl", nullptr},
    };
    for (const auto& c : cases)
        system.SetString(
            system.AddType(c.Extension, std::wstring(c.Extension + 1) + L"file", L"Typ " + std::wstring(c.Extension)),
            L"FileName", c.FileName);
    list.Refresh();
    for (const auto& c : cases) {
        const TNewFileType* type = Find(c.Extension);
        if (!c.Found) {
            EXPECT_EQ(type, nullptr) << c.Extension;
            continue;
        }
        ASSERT_NE(type, nullptr) << c.Extension;
        EXPECT_EQ(type->Kind, TNewFileKind::Template);
        EXPECT_EQ(type->Source, c.Found);
    }
}

TEST_F(NewFileTypes, SortedByDescriptionAndTheFirstOfEqualOnesStays)
{
    system.SetOther(system.AddType(L".z", L"zfile", L"Zeichnung"), L"NullFile");
    system.SetOther(system.AddType(L".txt", L"txtfile", L"Textdokument"), L"NullFile");
    system.SetOther(system.AddType(L".bmp", L"bmpfile", L"bitmap"), L"NullFile");
    system.SetOther(system.AddType(L".text", L"textfile", L"TEXTDOKUMENT"), L"NullFile");
    system.SetOther(system.AddType(L"*", L"star", L"Alles"), L"NullFile");
    list.Refresh();
    EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Alles", L"bitmap", L"Textdokument", L"Zeichnung"}));
    EXPECT_EQ(Find(L".text"), nullptr);
    EXPECT_EQ(list.Item(1)->Extension, L".bmp");
    EXPECT_EQ(list.Item(4), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    // A second reading starts afresh.
    system.classes.pop_back();
    list.Refresh();
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(NewFileTypes, Contents)
{
    system.SetOther(system.AddType(L".nul", L"nulfile", L"Leer"), L"NullFile");
    system.files[L"C:\\Users\\u\\Templates\\t.tpl"] = {'T', 'P', 'L'};
    system.SetString(system.AddType(L".tpl", L"tplfile", L"Vorlage"), L"FileName", L"t.tpl");
    system.files[L"C:\\Users\\u\\Templates\\empty.tpl"] = {};
    system.SetString(system.AddType(L".etp", L"etpfile", L"Leere Vorlage"), L"FileName", L"empty.tpl");
    system.SetBinary(system.AddType(L".bin", L"binfile", L"Binär"), L"Data", {0, 1, 2, 255});
    system.SetBinary(system.AddType(L".bad", L"badfile", L"Geändert"), L"Data", {0, 1}, 3);
    system.SetString(system.AddType(L".str", L"strfile", L"Zeichen"), L"Data", L"{\\rtf1}");
    const std::wstring changed = system.AddType(L".chs", L"chsfile", L"Zeichen geändert");
    system.SetString(changed, L"Data", L"abc");
    system.values[{changed, L"Data"}].Size = 20;
    system.SetString(system.AddType(L".run", L"runfile", L"Programm"), L"Command", L"maker.exe %1");
    list.Refresh();
    ASSERT_EQ(list.Count(), 8);
    const auto content = [&](const wchar_t* Extension) { return list.Content(*Find(Extension)); };
    EXPECT_TRUE(content(L".nul").empty());
    EXPECT_EQ(content(L".tpl"), (std::vector<uint8_t>{'T', 'P', 'L'}));
    // An empty template gives an empty file, not an error.
    EXPECT_TRUE(content(L".etp").empty());
    EXPECT_EQ(content(L".bin"), (std::vector<uint8_t>{0, 1, 2, 255}));
    EXPECT_TRUE(content(L".bad").empty());
    EXPECT_EQ(content(L".str"), (std::vector<uint8_t>{'{', '\\', 'r', 't', 'f', '1', '}'}));
    EXPECT_TRUE(content(L".chs").empty());
    EXPECT_TRUE(content(L".run").empty());

    system.unreadable.insert(L"C:\\Users\\u\\Templates\\t.tpl");
    try {
        content(L".tpl");
        FAIL() << "an unreadable template gave content";
    } catch (const ENewFileContent& error) {
        EXPECT_EQ(error.Message(), L"Could not copy file C:\\Users\\u\\Templates\\t.tpl");
    }
}

TEST_F(NewFileTypes, RunCommandStartsTheProgramInTheFolder)
{
    system.files[L"C:\\tools\\maker.exe"] = {};
    system.SetString(system.AddType(L".mk", L"mkfile", L"Gemacht"), L"Command", L"C:\\tools\\maker %1");
    system.SetString(system.AddType(L".mt", L"mtfile", L"Leer gemacht"), L"Command", L"");
    list.Refresh();
    ASSERT_NE(Find(L".mk"), nullptr);
    EXPECT_TRUE(list.RunCommand(*Find(L".mk"), L"D:\\work", L"D:\\work\\Neu Gemacht.mk"));
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0].Program, L"C:\\tools\\maker");
    EXPECT_EQ(system.started[0].Parameters, L" \"D:\\work\\Neu Gemacht.mk\"");
    EXPECT_EQ(system.started[0].Folder, L"D:\\work");
    system.openResult = 2;
    EXPECT_FALSE(list.RunCommand(*Find(L".mk"), L"D:\\work", L"D:\\work\\x.mk"));
    // The empty command is listed (a string) but starts nothing.
    ASSERT_NE(Find(L".mt"), nullptr);
    EXPECT_FALSE(list.RunCommand(*Find(L".mt"), L"D:\\work", L"D:\\work\\x.mt"));
    EXPECT_EQ(system.started.size(), 2u);
}

TEST(NewFileCommand, Composition)
{
    const std::set<std::wstring> existing = {L"C:\\Program Files\\a.exe", L"C:\\Tools\\b.exe", L"C:\\x y\\c"};
    const auto exists = [&](const std::wstring& Path) { return existing.count(Path) > 0; };
    const std::wstring name = L"D:\\w\\Neu Typ.ext";
    const struct {
        const wchar_t* Command;
        TCommandParts Parts;
    } cases[] = {
        {L"C:\\Program Files\\a.exe %1", {L"C:\\Program Files\\a.exe", L" \"D:\\w\\Neu Typ.ext\""}},
        {L"\"C:\\Program Files\\a.exe\" %1", {L"C:\\Program Files\\a.exe", L" \"D:\\w\\Neu Typ.ext\""}},
        // The placeholder in quotes takes the name bare.
        {L"C:\\Tools\\b \"%1\"", {L"C:\\Tools\\b", L" \"D:\\w\\Neu Typ.ext\""}},
        // %2 before %1.
        {L"C:\\Tools\\b.exe /new %1 %2", {L"C:\\Tools\\b.exe", L" /new %1 \"D:\\w\\Neu Typ.ext\""}},
        // Without an existing file the first word is the program.
        {L"unknown.exe -n %1", {L"unknown.exe", L" -n \"D:\\w\\Neu Typ.ext\""}},
        {L"C:\\x y\\c", {L"C:\\x y\\c", L""}},
        {L"rundll32.exe shell.dll,Make", {L"rundll32.exe", L" shell.dll,Make"}},
        {L"\"C:\\unclosed %1", {L"C:\\unclosed %1", L""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeNewFileCommand(c.Command, name, exists), c.Parts) << c.Command;
}

TEST(NewFileName, CountsAndCleans)
{
    EXPECT_EQ(NewFileCandidate(L"Textdokument", L".txt", 0), L"Neu Textdokument.txt");
    EXPECT_EQ(NewFileCandidate(L"Textdokument", L".txt", 1), L"Neu Textdokument(1).txt");
    EXPECT_EQ(NewFileCandidate(L"A/B: \"C\"?", L".x*", 2), L"Neu A_B_ _C__(2).x_");

    std::set<std::wstring> taken;
    const auto exists = [&](const std::wstring& Name) { return taken.count(Name) > 0; };
    int number = 0;
    EXPECT_EQ(FreeNewFileName(L"Textdokument", L".txt", number, exists), L"Neu Textdokument.txt");
    EXPECT_EQ(number, 0);
    taken = {L"Neu Textdokument.txt", L"Neu Textdokument(1).txt"};
    number = 0;
    EXPECT_EQ(FreeNewFileName(L"Textdokument", L".txt", number, exists), L"Neu Textdokument(2).txt");
    EXPECT_EQ(number, 2);
    // Counting on from a number a creation found taken.
    number = 3;
    EXPECT_EQ(FreeNewFileName(L"Textdokument", L".txt", number, exists), L"Neu Textdokument(3).txt");
    EXPECT_EQ(FreeNewFileName(L"X", L".y", number, [](const std::wstring&) { return true; }), L"");
}
