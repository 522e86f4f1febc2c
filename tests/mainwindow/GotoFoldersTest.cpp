// The special folders of the "&Springen" menu over a fake system: the
// shell's version, registry values, the folders it names and which of them
// the tree shows.

#include "mainwindow/GotoFolders.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qrv;

namespace {

constexpr uint32_t Shell(uint32_t Major, uint32_t Minor)
{
    return Major << 16 | Minor;
}

class FakeSystem : public TSpecialFolderSystem {
public:
    std::map<int, std::wstring> folders;
    std::map<std::wstring, std::wstring> registry;  // "HKLM\\Name" or "HKCU\\Name"
    std::set<std::wstring> directories;
    std::set<std::wstring> hidden;
    std::set<std::wstring> nodes;
    uint32_t version = Shell(6, 0);
    std::wstring temp = L"C:\\Temp";

    std::wstring SpecialFolderPath(int Csidl) override
    {
        const auto found = folders.find(Csidl);
        return found == folders.end() ? std::wstring() : found->second;
    }
    bool RegistryString(bool LocalMachine, const std::wstring& Key, const std::wstring& Name,
                        std::wstring& Value) override
    {
        const auto found = registry.find((LocalMachine ? L"HKLM\\" : L"HKCU\\") + Name);
        if (found == registry.end())
            return false;
        EXPECT_NE(Key.find(L"Software\\Microsoft\\Windows\\CurrentVersion"), std::wstring::npos) << Key;
        Value = found->second;
        return true;
    }
    bool DirectoryExists(const std::wstring& Path) override { return directories.contains(Path); }
    bool PathHidden(const std::wstring& Path) override { return hidden.contains(Path); }
    uint32_t ShellVersion() override { return version; }
    std::wstring TempDirectory() override { return temp; }
    bool TreeHasNode(const std::wstring& Path) override { return nodes.contains(Path); }

    // A folder that exists and that the tree shows.
    void Shown(int Csidl, const std::wstring& Path)
    {
        folders[Csidl] = Path;
        directories.insert(Path);
        nodes.insert(Path);
    }
};

const wchar_t kNoPath[] = L"Das Verzeichnis konnte nicht ermittelt werden.";

std::wstring NotFound(const std::wstring& Path)
{
    return L"Verzeichnis \"" + Path + L"\" nicht gefunden.";
}

}  // namespace

TEST(GotoFolders, FoldersByTheirIds)
{
    FakeSystem system;
    system.Shown(csidl::kDesktopDirectory, L"C:\\users\\u\\Desktop");
    system.Shown(csidl::kPersonal, L"C:\\users\\u\\Documents");
    system.folders[csidl::kFonts] = L"C:\\windows\\Fonts";  // no node
    const TGotoDecision desktop = DecideGoto(TGotoTarget::Desktop, false, system);
    EXPECT_EQ(desktop.Action, TGotoAction::Select);
    EXPECT_EQ(desktop.Path, L"C:\\users\\u\\Desktop");
    EXPECT_EQ(DecideGoto(TGotoTarget::Personal, false, system).Path, L"C:\\users\\u\\Documents");

    const TGotoDecision fonts = DecideGoto(TGotoTarget::Fonts, false, system);
    EXPECT_EQ(fonts.Action, TGotoAction::Report);
    EXPECT_EQ(fonts.Message, NotFound(L"C:\\windows\\Fonts"));

    const TGotoDecision cookies = DecideGoto(TGotoTarget::Cookies, false, system);
    EXPECT_EQ(cookies.Action, TGotoAction::Report);
    EXPECT_EQ(cookies.Message, kNoPath) << "no path";

    struct Shell {
        TGotoTarget target;
        int csidl;
    };
    for (const Shell s :
         {Shell{TGotoTarget::RecycleBin, 10}, Shell{TGotoTarget::ControlPanel, 3}, Shell{TGotoTarget::Printers, 4}}) {
        const TGotoDecision decision = DecideGoto(s.target, false, system);
        EXPECT_EQ(decision.Action, TGotoAction::OpenInShell);
        EXPECT_EQ(decision.Csidl, s.csidl);
    }
}

TEST(GotoFolders, HiddenFoldersAreNamedUnlessShown)
{
    FakeSystem system;
    system.folders[csidl::kTemplates] = L"C:\\users\\u\\Templates";
    system.hidden.insert(L"C:\\users\\u\\Templates");
    const TGotoDecision hidden = DecideGoto(TGotoTarget::Templates, false, system);
    EXPECT_EQ(hidden.Action, TGotoAction::Report);
    EXPECT_NE(hidden.Message.find(L"\"C:\\users\\u\\Templates\" oder eines seiner übergeordneten Verzeichnisse"),
              std::wstring::npos);
    EXPECT_NE(hidden.Message.find(L"Optionen von Quorvan Free"), std::wstring::npos);
    EXPECT_EQ(DecideGoto(TGotoTarget::Templates, true, system).Message, NotFound(L"C:\\users\\u\\Templates"))
        << "with hidden folders shown the folder is simply not there";

    system.temp = L"C:\\versteckt\\Temp";
    system.hidden.insert(system.temp);
    const TGotoDecision temp = DecideGoto(TGotoTarget::Temp, false, system);
    EXPECT_EQ(temp.Action, TGotoAction::Report);
    EXPECT_TRUE(temp.Message.starts_with(L"Das Verzeichnis \"C:\\versteckt\\Temp\" oder"))
        << "the temporary folder too";
    system.nodes.insert(system.temp);
    EXPECT_EQ(DecideGoto(TGotoTarget::Temp, false, system).Path, L"C:\\versteckt\\Temp");
}

TEST(GotoFolders, ProgramFilesFromTheRegistry)
{
    struct Case {
        const char* name;
        std::map<std::wstring, std::wstring> registry;
        std::set<std::wstring> nodes;
        std::wstring expected;
    };
    const std::wstring programs = L"C:\\Program Files";
    const std::wstring startPrograms = L"C:\\users\\u\\Start Menu\\Programs";
    const Case cases[] = {
        {"ProgramFilesDir", {{L"HKLM\\ProgramFilesDir", programs}}, {programs}, programs},
        {"ProgramFilesPath when Dir is missing", {{L"HKLM\\ProgramFilesPath", programs}}, {programs}, programs},
        {"ProgramFilesPath when Dir is empty",
         {{L"HKLM\\ProgramFilesDir", L""}, {L"HKLM\\ProgramFilesPath", programs}},
         {programs},
         programs},
        {"no value", {}, {programs}, startPrograms},
        {"a folder the tree lacks", {{L"HKLM\\ProgramFilesDir", programs}}, {}, startPrograms},
        {"a folder that is not there", {{L"HKLM\\ProgramFilesDir", L"C:\\Weg"}}, {L"C:\\Weg"}, startPrograms},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.registry = c.registry;
        system.directories = {programs};
        system.nodes = c.nodes;
        system.Shown(csidl::kPrograms, startPrograms);
        const TGotoDecision decision = DecideGoto(TGotoTarget::Programs, false, system);
        EXPECT_EQ(decision.Action, TGotoAction::Select) << c.name;
        EXPECT_EQ(decision.Path, c.expected) << c.name;
    }
}

TEST(GotoFolders, PicturesByShellVersion)
{
    const std::wstring pictures39 = L"C:\\users\\u\\Pictures";
    const std::wstring myPictures = L"C:\\users\\u\\Eigene Bilder";
    const std::wstring personal = L"C:\\users\\u\\Documents";
    struct Case {
        uint32_t version;
        bool folder39;
        bool registryValue;
        std::wstring expected;  // empty: the no-path message
        bool available;
    };
    const Case cases[] = {
        {Shell(6, 0), true, true, pictures39, true},
        {Shell(6, 0), false, true, L"", false},
        {Shell(5, 50), true, true, pictures39, true},
        {Shell(5, 0), false, true, personal, false},
        {Shell(4, 72), true, true, myPictures, true},
        {Shell(4, 72), true, false, personal, false},  // below 5.0 folder 39 does not count
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.version = c.version;
        system.Shown(csidl::kPersonal, personal);
        if (c.folder39)
            system.Shown(csidl::kMyPictures, pictures39);
        if (c.registryValue) {
            system.registry[L"HKCU\\My Pictures"] = myPictures;
            system.directories.insert(myPictures);
            system.nodes.insert(myPictures);
        }
        const TGotoDecision decision = DecideGoto(TGotoTarget::Pictures, false, system);
        if (c.expected.empty()) {
            EXPECT_EQ(decision.Message, kNoPath) << std::hex << c.version;
        } else {
            EXPECT_EQ(decision.Action, TGotoAction::Select) << std::hex << c.version;
            EXPECT_EQ(decision.Path, c.expected) << std::hex << c.version;
        }
        EXPECT_EQ(GotoAvailable(TGotoTarget::Pictures, system), c.available) << std::hex << c.version;
    }
}

TEST(GotoFolders, EntriesTheSystemOffers)
{
    FakeSystem system;
    system.version = Shell(4, 0);
    system.folders[csidl::kFavorites] = L"C:\\Favoriten";   // a path is enough
    system.registry[L"HKCU\\My Pictures"] = L"C:\\Bilder";  // not there
    system.temp = L"C:\\Temp";
    system.directories.insert(L"C:\\Temp");
    EXPECT_TRUE(GotoAvailable(TGotoTarget::Favorites, system));
    EXPECT_FALSE(GotoAvailable(TGotoTarget::Cookies, system));
    EXPECT_FALSE(SpecialFolderAvailable(csidl::kMyPictures, system)) << "below 5.0 the value must name a folder";
    EXPECT_TRUE(GotoAvailable(TGotoTarget::Pictures, system)) << "a value names the folder";
    EXPECT_TRUE(GotoAvailable(TGotoTarget::Temp, system));
    system.directories.clear();
    EXPECT_FALSE(GotoAvailable(TGotoTarget::Temp, system));
    for (const TGotoTarget always :
         {TGotoTarget::Programs, TGotoTarget::RecycleBin, TGotoTarget::ControlPanel, TGotoTarget::Printers})
        EXPECT_TRUE(GotoAvailable(always, system));
}
