// Going to a typed path over a fake file system and tree.

#include "mainwindow/PathNavigation.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <set>

using namespace qrv;

namespace {

class FakeFacts : public TPathFacts {
public:
    std::set<std::wstring> directories{L"C:\\", L"C:\\Daten", L"C:\\Daten\\", L"C:\\Geheim", L"C:\\Versteckt"};
    std::set<std::wstring> files{L"C:\\Daten\\brief.txt", L"C:\\weg\\alt.txt"};
    std::set<std::wstring> nodes{L"C:\\", L"C:\\Daten"};
    std::set<std::wstring> hidden{L"C:\\Versteckt"};

    bool DirectoryExists(const std::wstring& Path) override { return directories.contains(Path); }
    bool FileExists(const std::wstring& Path) override { return files.contains(Path); }
    bool TreeHasNode(const std::wstring& Folder) override { return nodes.contains(Folder); }
    bool PathHidden(const std::wstring& Folder) override { return hidden.contains(Folder); }
};

TEST(PathNavigation, TypedPaths)
{
    const std::wstring hiddenText =
        L"Das Verzeichnis \"C:\\Versteckt\" oder eines seiner übergeordneten Verzeichnisse kann nicht angezeigt "
        L"werden weil es das Dateiattribut \"versteckt\" besitzt.";
    struct Case {
        const wchar_t* path;
        bool showHidden;
        TPathAction action;
        const wchar_t* folder;
        const wchar_t* fileName;
        std::wstring message;  // its start
    } cases[] = {
        {L"C:", false, TPathAction::Refused, L"", L"", L""},
        {L"  C:  ", false, TPathAction::Refused, L"", L"", L""},
        {L"C:\\", false, TPathAction::Select, L"C:\\", L"", L""},
        {L"C:\\Daten", false, TPathAction::Select, L"C:\\Daten", L"", L""},
        {L" C:\\Daten\\ ", false, TPathAction::Select, L"C:\\Daten", L"", L""},
        {L"C:\\Daten\\brief.txt", false, TPathAction::Select, L"C:\\Daten", L"brief.txt", L""},
        {L"C:\\Daten\\fehlt.txt", false, TPathAction::Report, L"", L"",
         L"Ausgewählter Pfad nicht vorhanden:\nC:\\Daten\\fehlt.txt"},
        {L"C:\\weg\\alt.txt", false, TPathAction::Report, L"", L"",
         L"Ausgewählter Pfad nicht vorhanden:\nC:\\weg\\alt.txt"},
        {L"C:\\Geheim", false, TPathAction::Report, L"", L"", L"Verzeichnis \"C:\\Geheim\" nicht gefunden."},
        {L"C:\\Versteckt", false, TPathAction::Report, L"", L"", hiddenText},
        {L"C:\\Versteckt", true, TPathAction::Report, L"", L"", L"Verzeichnis \"C:\\Versteckt\" nicht gefunden."},
    };
    for (const Case& c : cases) {
        FakeFacts facts;
        const TPathNavigation result = DecidePathNavigation(c.path, c.showHidden, facts);
        const std::string name = testing::PrintToString(std::wstring(c.path));
        EXPECT_EQ(result.Action, c.action) << name;
        EXPECT_EQ(result.Folder, c.folder) << name;
        EXPECT_EQ(result.FileName, c.fileName) << name;
        EXPECT_EQ(result.Message.substr(0, c.message.size()), c.message) << name;
        EXPECT_EQ(result.Message.empty(), c.message.empty()) << name;
        EXPECT_EQ(result.HelpContext, c.action == TPathAction::Report ? kPathMessageHelp : 0) << name;
    }
}

}  // namespace
