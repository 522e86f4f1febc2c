#include "dialogs/SelDirRules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qrv;

namespace {

// A system with a few folders, registry values and a current folder.
class FakeSystem : public TSelDirSystem {
public:
    std::map<int, std::wstring> special{{2, L"C:\\Startmenü\\Programme"},
                                        {5, L"C:\\Eigene Dateien"},
                                        {16, L"C:\\Desktop"},
                                        {39, L"C:\\Eigene Dateien\\Bilder"}};
    // Key|Name → value; a missing entry cannot be read.
    std::map<std::wstring, std::wstring> registry;
    std::set<std::wstring> folders{
        L"C:\\", L"C:\\Programme", L"C:\\Daten", L"C:\\Daten\\Alt", L"C:\\Startmenü\\Programme", L"D:\\Bilder"};
    int shellVersion = 6;
    std::wstring current = L"C:\\Daten";
    std::set<wchar_t> readyDrives{L'C', L'D'};
    std::vector<wchar_t> driveReads;

    std::wstring SpecialFolder(int Csidl) override { return special.count(Csidl) ? special.at(Csidl) : L""; }
    bool RegistryString(bool LocalMachine, const std::wstring& Key, const std::wstring& Name,
                        std::wstring& Value) override
    {
        const auto found = registry.find((LocalMachine ? L"HKLM\\" : L"HKCU\\") + Key + L"|" + Name);
        if (found == registry.end())
            return false;
        Value = found->second;
        return true;
    }
    bool DirectoryExists(const std::wstring& Path) override { return folders.count(Path) != 0; }
    int ShellMajorVersion() override { return shellVersion; }
    std::wstring TempDirectory() override { return L"C:\\Temp"; }
    // Enough of the system's rules for the cases below: a relative path is
    // taken from the current folder, ".." goes up, a bare drive is its root.
    std::wstring FullPathName(const std::wstring& Path) override
    {
        if (Path.size() == 2 && Path[1] == L':')
            return Path + L"\\";
        if ((Path.size() >= 3 && Path[1] == L':' && Path[2] == L'\\') || Path.rfind(L"\\\\", 0) == 0)
            return Path;
        if (Path.rfind(L"..\\", 0) == 0)
            return current.substr(0, current.rfind(L'\\')) + L"\\" + Path.substr(3);
        if (Path.find(L':') != std::wstring::npos)
            return L"";  // "C:x": the system forms none here
        return current + L"\\" + Path;
    }
    bool DriveReady(wchar_t Drive) override
    {
        driveReads.push_back(Drive);
        return readyDrives.count(Drive) != 0;
    }
};

const std::wstring kVersionKey = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion|";
const std::wstring kShellFoldersKey = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders|";

}  // namespace

TEST(SelDirRules, ProgramsFolderFromTheRegistryOrTheStartMenu)
{
    struct Case {
        const char* what;
        std::map<std::wstring, std::wstring> registry;
        std::vector<std::wstring> candidates;
    };
    const Case cases[] = {
        {"the first value names an existing folder",
         {{kVersionKey + L"ProgramFilesDir", L"C:\\Programme"}},
         {L"C:\\Programme", L"C:\\Startmenü\\Programme"}},
        {"the first value is empty: the second",
         {{kVersionKey + L"ProgramFilesDir", L""}, {kVersionKey + L"ProgramFilesPath", L"C:\\Programme"}},
         {L"C:\\Programme", L"C:\\Startmenü\\Programme"}},
        {"both values empty",
         {{kVersionKey + L"ProgramFilesDir", L""}, {kVersionKey + L"ProgramFilesPath", L""}},
         {L"C:\\Startmenü\\Programme"}},
        {"the value names a missing folder",
         {{kVersionKey + L"ProgramFilesDir", L"C:\\Fehlt"}},
         {L"C:\\Startmenü\\Programme"}},
        {"the registry fails", {}, {L"C:\\Startmenü\\Programme"}},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.registry = c.registry;
        EXPECT_EQ(JumpCandidates(TSelDirJump::Programs, system), c.candidates) << c.what;
    }
}

TEST(SelDirRules, PicturesByShellVersionAndTheOtherJumps)
{
    FakeSystem system;
    EXPECT_EQ(JumpCandidates(TSelDirJump::MyPictures, system),
              std::vector<std::wstring>{L"C:\\Eigene Dateien\\Bilder"});
    system.shellVersion = 4;
    EXPECT_EQ(JumpCandidates(TSelDirJump::MyPictures, system), std::vector<std::wstring>{L"C:\\Eigene Dateien"})
        << "an older shell without the value: the personal folder";
    system.registry[kShellFoldersKey + L"My Pictures"] = L"D:\\Bilder";
    EXPECT_EQ(JumpCandidates(TSelDirJump::MyPictures, system),
              (std::vector<std::wstring>{L"D:\\Bilder", L"C:\\Eigene Dateien"}));

    EXPECT_EQ(JumpCandidates(TSelDirJump::Desktop, system), std::vector<std::wstring>{L"C:\\Desktop"});
    EXPECT_EQ(JumpCandidates(TSelDirJump::Temp, system), std::vector<std::wstring>{L"C:\\Temp"});
    EXPECT_EQ(JumpCandidates(TSelDirJump::Fonts, system), std::vector<std::wstring>{L""})
        << "a folder the system does not name is one empty candidate";
    EXPECT_EQ(SelDirJumps().size(), 10u);
    EXPECT_EQ(std::wstring(SelDirJumps().back().Caption), L"&TEMP");
}

TEST(SelDirRules, PathBoxCases)
{
    using A = TPathBoxAction;
    struct Case {
        const wchar_t* text;
        bool chosen;
        A action;
        std::wstring path;
        std::wstring name;
    };
    const Case cases[] = {
        {L"C:\\Daten\\Alt", false, A::Select, L"C:\\Daten\\Alt", L""},
        {L"C:\\Daten\\Alt", true, A::Select, L"C:\\Daten\\Alt", L""},
        {L"C:", true, A::Select, L"C:\\", L""},
        {L"C:\\Daten\\Neu\\Tief", true, A::AskCreate, L"C:\\Daten\\Neu\\Tief", L"Tief"},
        {L"C:\\Daten\\Neu\\", true, A::AskCreate, L"C:\\Daten\\Neu\\", L"Neu"},
        {L"C:\\Daten\\Neu", false, A::NotFound, L"C:\\Daten\\Neu", L""},
        {L"E:\\Film", true, A::DriveNotReady, L"E:\\Film", L""},
        {L"E:\\Film", false, A::NotFound, L"E:\\Film", L""},
        {L"", true, A::Beep, L"", L""},
        {L"   ", false, A::Beep, L"", L""},
        {L"Alt", false, A::Select, L"C:\\Daten\\Alt", L""},
        {L"..\\Programme", true, A::Select, L"C:\\Programme", L""},
        {L"..\\Neu", true, A::AskCreate, L"C:\\Neu", L"Neu"},
        {L"C:x", true, A::NotFound, L"C:x", L""},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        const TPathBoxDecision d = DecidePathBox(c.text, c.chosen, system);
        EXPECT_EQ(d.Action, c.action) << c.text << " " << c.chosen;
        EXPECT_EQ(d.Path, c.path) << c.text;
        EXPECT_EQ(d.Name, c.name) << c.text;
        // Only a choice from the list reads the drive again.
        EXPECT_EQ(!system.driveReads.empty(), c.chosen && d.Drive != 0) << c.text;
    }
    FakeSystem system;
    EXPECT_EQ(DecidePathBox(L"E:\\Film", true, system).Drive, L'E');
    EXPECT_EQ(DriveNotReadyText(L'E'), L"Das Laufwerk \"E\" ist nicht bereit.");
    EXPECT_EQ(AskCreateText(L"Tief"),
              L"Das Verzeichnis \"Tief\" ist nicht vorhanden. Soll das Verzeichnis neu angelegt werden?");
    EXPECT_EQ(FolderNotFoundText(L"X:\\y"), L"Verzeichnis \"X:\\y\" nicht gefunden.");
    EXPECT_EQ(CreateFailedText(L"Neu", L"Zugriff verweigert"),
              L"Das Verzeichnis \"Neu\" konnte nicht angelegt werden:\nZugriff verweigert");
}

TEST(SelDirRules, NewFolderNamesCountUpAndSkipNamesMadeMeanwhile)
{
    std::set<std::wstring> disk;
    auto exists = [&](const std::wstring& path) { return disk.count(path) != 0; };
    auto create = [&](const std::wstring& name) {
        disk.insert(L"T:\\ziel\\" + name);
        return 0u;
    };
    // The base name and its counters 1 and 2 present: 3.
    for (const wchar_t* name : {L"Neues Verzeichnis", L"Neues Verzeichnis (1)", L"Neues Verzeichnis (2)"})
        disk.insert(std::wstring(L"T:\\ziel\\") + name);
    EXPECT_EQ(CreateNewFolder(L"T:\\ziel", 255, exists, create).Name, L"Neues Verzeichnis (3)");
    // On a drive of names shorter than 22 characters: no blank.
    for (const wchar_t* name : {L"NEU", L"NEU(1)", L"NEU(2)"})
        disk.insert(std::wstring(L"T:\\ziel\\") + name);
    EXPECT_EQ(CreateNewFolder(L"T:\\ziel\\", 12, exists, create).Name, L"NEU(3)");

    // Made by someone else between the choice and the creation: 183, then
    // the next counter.
    int refusals = 0;
    auto raced = [&](const std::wstring& name) {
        disk.insert(L"T:\\ziel\\" + name);
        return refusals++ == 0 ? 183u : 0u;
    };
    const TNewFolderResult r = CreateNewFolder(L"T:\\ziel", 255, exists, raced);
    EXPECT_EQ(r.Name, L"Neues Verzeichnis (5)");
    EXPECT_EQ(r.Error, 0u);
    // Another failure is reported with the name tried.
    const TNewFolderResult denied = CreateNewFolder(L"T:\\ziel", 255, exists, [](const std::wstring&) { return 5u; });
    EXPECT_EQ(denied.Name, L"Neues Verzeichnis (6)");
    EXPECT_EQ(denied.Error, 5u);
    // A folder that makes every name 183 gives up.
    EXPECT_EQ(CreateNewFolder(
                  L"T:\\ziel", 255, [](const std::wstring&) { return false; }, [](const std::wstring&) { return 183u; })
                  .Error,
              183u);
}

TEST(SelDirRules, ButtonStatesAndKeys)
{
    struct Case {
        TSelDirNodeFacts node;
        bool select, newDir, deleteDir;
    };
    const Case cases[] = {
        {{false, false, false}, false, false, false}, {{true, true, false}, true, true, true},
        {{true, true, true}, true, true, false},      // a drive is not deleted
        {{true, false, false}, false, false, false},  // a shell folder
        {{true, false, true}, false, false, false},   // the network
    };
    for (const Case& c : cases) {
        const TSelDirButtons b = SelDirButtonStates(c.node);
        EXPECT_EQ(b.Select, c.select);
        EXPECT_EQ(b.NewDir, c.newDir);
        EXPECT_EQ(b.DeleteDir, c.deleteDir);
    }

    TSelDirKeys keys;
    auto valid = [](wchar_t d) { return d == L'C' || d == L'T'; };
    EXPECT_EQ(keys.KeyDown(L'T', true, true, false, valid), TSelDirKeyAction::SwitchDrive);
    EXPECT_FALSE(keys.SelectAllowed()) << "the drive key is not to select too";
    keys.Reset();
    EXPECT_TRUE(keys.SelectAllowed());
    EXPECT_EQ(keys.KeyDown(L'Q', true, true, false, valid), TSelDirKeyAction::Beep);
    EXPECT_FALSE(keys.SelectAllowed());
    EXPECT_EQ(keys.KeyDown(0x0D, false, false, false, valid), TSelDirKeyAction::None);
    EXPECT_TRUE(keys.SelectAllowed()) << "any other key clears the flag";
    EXPECT_EQ(keys.KeyDown(L'T', true, false, false, valid), TSelDirKeyAction::None);
    EXPECT_EQ(keys.KeyDown(L'T', true, true, true, valid), TSelDirKeyAction::None);
}
