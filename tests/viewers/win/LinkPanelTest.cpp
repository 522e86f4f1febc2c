#include "common/win/BaseUtilsWin.h"
#include "framework/win/Forms.h"
#include "viewers/win/KyLinkPanel.h"

#include "TestDir.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

using namespace qrv;
using Microsoft::WRL::ComPtr;

namespace {

std::wstring Shown(TLabel& label)
{
    wchar_t text[512] = L"";
    GetWindowTextW(label.Handle(), text, 512);
    return text;
}

// A shortcut written through the shell's own link object.
bool MakeShortcut(const std::wstring& file, const std::wstring& target, const std::wstring& workingDir, int showCmd,
                  const std::wstring& description)
{
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
           SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link->SetWorkingDirectory(workingDir.c_str())) &&
           SUCCEEDED(link->SetShowCmd(showCmd)) && SUCCEEDED(link->SetDescription(description.c_str())) &&
           SUCCEEDED(link.As(&persist)) && SUCCEEDED(persist->Save(file.c_str(), TRUE));
}

// The show command the shell's link object reads back from a shortcut file.
int LoadedShowCmd(const std::wstring& file)
{
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    int showCmd = -1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link.As(&persist)) && SUCCEEDED(persist->Load(file.c_str(), STGM_READ)))
        link->GetShowCmd(&showCmd);
    return showCmd;
}

class LinkPanelTest : public testing::Test {
protected:
    LinkPanelTest() : form(nullptr)
    {
        form.SetBounds(0, 0, 600, 300);
        panel = new TKyLinkPanel(&form);
        panel->SetAlign(TAlign::alClient);
        panel->SetParent(&form);
        form.HandleNeeded();
    }

    std::wstring Row(int row) { return Shown(panel->ValueLabel(row)); }

    test::TestDir dir;
    TForm form;
    TKyLinkPanel* panel;
};

}  // namespace

TEST_F(LinkPanelTest, ShowsWhatTheShortcutHolds)
{
    const std::wstring target = dir.Write(L"Notizen.txt", "Montag");
    const std::wstring link = dir.File(L"Meine Notizen.lnk");
    ASSERT_TRUE(MakeShortcut(link, target, L"T:\\Arbeit\\", SW_SHOWMINNOACTIVE, L"Notizen der Woche"));

    panel->ShowLink(link);
    EXPECT_EQ(Row(1), L"Meine Notizen");
    EXPECT_EQ(Row(2), target);
    EXPECT_EQ(Row(3), L"T:\\Arbeit");
    SHFILEINFOW info{};
    SafeGetFileInfo(target, FILE_ATTRIBUTE_NORMAL, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES, info);
    EXPECT_FALSE(std::wstring(info.szTypeName).empty());
    EXPECT_EQ(Row(4), info.szTypeName);
    // Wine 8's link object writes the show command into the file but reads
    // every shortcut back as a normal window; Windows gives back what was stored.
    const int minimized = LoadedShowCmd(link);
    ASSERT_TRUE(minimized == SW_SHOWMINNOACTIVE || minimized == SW_SHOWNORMAL) << minimized;
    EXPECT_EQ(Row(5), minimized == SW_SHOWMINNOACTIVE ? L"Minimiertes Fenster" : L"Normales Fenster");
    EXPECT_EQ(Row(6), L"Notizen der Woche");
    EXPECT_NE(panel->Image().Icon(), nullptr);

    // A description that only repeats the target's name is no comment.
    const std::wstring plain = dir.File(L"Notizen.txt.lnk");
    ASSERT_TRUE(MakeShortcut(plain, target, dir.Path(), SW_SHOWMAXIMIZED, L"Notizen.txt"));
    panel->ShowLink(plain);
    EXPECT_EQ(Row(1), L"Notizen.txt");
    EXPECT_EQ(Row(3), dir.Path());
    const int maximized = LoadedShowCmd(plain);
    ASSERT_TRUE(maximized == SW_SHOWMAXIMIZED || maximized == SW_SHOWNORMAL) << maximized;
    EXPECT_EQ(Row(5), maximized == SW_SHOWMAXIMIZED ? L"Maximiertes Fenster" : L"Normales Fenster");
    EXPECT_EQ(Row(6), L"");
}

TEST_F(LinkPanelTest, AShortcutToAFolderNamesItsTargetAFolder)
{
    const std::wstring folder = dir.File(L"Projekte");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring link = dir.File(L"Projekte.lnk");
    ASSERT_TRUE(MakeShortcut(link, folder, dir.Path(), SW_SHOWNORMAL, L"Ordner"));
    panel->ShowLink(link);
    EXPECT_EQ(Row(2), folder);
    EXPECT_EQ(Row(4), L"Dateiordner");

    // A file target keeps the shell's type for its name.
    const std::wstring file = dir.Write(L"Liste.txt", "x");
    const std::wstring fileLink = dir.File(L"Liste.lnk");
    ASSERT_TRUE(MakeShortcut(fileLink, file, dir.Path(), SW_SHOWNORMAL, L""));
    panel->ShowLink(fileLink);
    SHFILEINFOW info{};
    SafeGetFileInfo(file, FILE_ATTRIBUTE_NORMAL, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES, info);
    EXPECT_EQ(Row(4), info.szTypeName[0] ? std::wstring(info.szTypeName) : std::wstring(L"Datei TXT"));
}

TEST_F(LinkPanelTest, AnUnreadableShortcutShowsItsNameAndEmptyRows)
{
    const std::wstring target = dir.Write(L"Ziel.txt", "x");
    const std::wstring good = dir.File(L"Gut.lnk");
    ASSERT_TRUE(MakeShortcut(good, target, dir.Path(), SW_SHOWNORMAL, L"Kommentar"));
    const std::wstring garbage = dir.Write(L"Kaputt.lnk", std::string(300, '\x5a'));

    panel->ShowLink(good);
    ASSERT_EQ(Row(2), target);
    const HICON goodIcon = panel->Image().Icon();
    ASSERT_NE(goodIcon, nullptr);

    panel->ShowLink(garbage);
    EXPECT_EQ(Row(1), L"Kaputt");
    for (int row = 2; row <= 6; ++row)
        EXPECT_EQ(Row(row), L"") << row;
    // The icon of the shortcut shown before is gone with it.
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(goodIcon, &info));

    panel->ShowLink(L"");
    EXPECT_EQ(Row(1), L"");
    EXPECT_EQ(panel->Image().Icon(), nullptr);
}

TEST_F(LinkPanelTest, CaptionsStandBesideTheirValues)
{
    const wchar_t* captions[] = {L"Verknüpfung:", L"Ziel:", L"Ausführen in:", L"Zieltyp:", L"Fenster:", L"Kommentar:"};
    ASSERT_EQ(panel->RowCount(), 6);
    panel->ArrangeLabels();
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(Shown(panel->CaptionLabel(row)), captions[row - 1]) << row;
    for (int row = 2; row <= 6; ++row) {
        EXPECT_EQ(panel->ValueLabel(row).Top(), panel->CaptionLabel(row).Top()) << row;
        EXPECT_GE(panel->ValueLabel(row).Left(),
                  panel->CaptionLabel(row).Left() + panel->CaptionLabel(row).Width() + 10)
            << row;
    }
}
