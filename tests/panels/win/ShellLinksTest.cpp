#include "panels/win/ShellLinks.h"

#include "TestDir.h"
#include "framework/SysUtils.h"
#include "framework/win/WinApi.h"

#include <gtest/gtest.h>

#include <wrl/client.h>

using namespace qrv;
using Microsoft::WRL::ComPtr;

TEST(ShellLinks, CreateAndReadBack)
{
    test::TestDir dir;
    // Names outside every ANSI code page must survive the round trip.
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Bericht.txt", L"Ein Bericht"},
        {L"Ωμέγα 日本 Ärger.txt", L"Ziel: Ωμέγα 日本"},
    };
    for (const auto& [name, description] : cases) {
        const std::wstring target = dir.Write(name, "text");
        const std::wstring link = dir.File(std::wstring(L"Verknüpfung ") + name + L".lnk");
        ASSERT_TRUE(CreateShellLink(target, link, description)) << WideToUtf8(name);

        TShellLinkData data;
        data.ShowCmd = -1;
        ASSERT_TRUE(GetShellLinkData(link, data, false, false)) << WideToUtf8(name);
        EXPECT_EQ(data.Target, target);
        EXPECT_EQ(data.WorkingDir, dir.Path());
        EXPECT_EQ(data.Description, description);
        EXPECT_EQ(data.ShowCmd, SW_SHOWNORMAL);
        EXPECT_EQ(GetShellLinkTarget(link, false, false), target);

        // Resolving finds the target where it is and does not change the link.
        ASSERT_TRUE(GetShellLinkData(link, data, false, true)) << WideToUtf8(name);
        EXPECT_EQ(data.Target, target);
        EXPECT_EQ(GetShellLinkTarget(link, false, true), target);
    }
}

TEST(ShellLinks, EmptyLinkNameAddsTheExtensionToTheTarget)
{
    test::TestDir dir;
    const std::wstring target = dir.Write(L"Programm.exe", "MZ");
    ASSERT_TRUE(CreateShellLink(target, L"", L""));
    EXPECT_NE(GetFileAttributesW((target + L".lnk").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetShellLinkTarget(target + L".lnk", false, false), target);
}

TEST(ShellLinks, FailuresAreReported)
{
    test::TestDir dir;
    const std::wstring target = dir.Write(L"a.txt", "a");
    EXPECT_FALSE(CreateShellLink(target, dir.File(L"fehlt\\a.lnk"), L"")) << "the folder of the link is missing";

    TShellLinkData data;
    data.Description = L"alt";
    EXPECT_FALSE(GetShellLinkData(dir.File(L"keine.lnk"), data, false, false));
    EXPECT_EQ(data.Description, L"") << "the record is cleared first";
    EXPECT_EQ(GetShellLinkTarget(dir.File(L"keine.lnk"), false, false), L"");
    const std::wstring notALink = dir.Write(L"kaputt.lnk", "kein Link");
    EXPECT_FALSE(GetShellLinkData(notALink, data, false, false));
}

TEST(ShellLinks, LinkToANonFileObjectHasNoTarget)
{
    test::TestDir dir;
    const std::wstring linkFile = dir.File(L"Arbeitsplatz.lnk");
    {
        // A shortcut to "My Computer", which has no file-system path.
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))));
        LPITEMIDLIST drives = nullptr;
        ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));
        const HRESULT set = link->SetIDList(drives);
        CoTaskMemFree(drives);
        ASSERT_TRUE(SUCCEEDED(set));
        link->SetDescription(L"Arbeitsplatz");
        ASSERT_TRUE(SUCCEEDED(link.As(&file)));
        ASSERT_TRUE(SUCCEEDED(file->Save(linkFile.c_str(), TRUE)));
    }
    TShellLinkData data;
    EXPECT_FALSE(GetShellLinkData(linkFile, data, false, false));
    EXPECT_EQ(data.Target, L"");
    EXPECT_EQ(data.Description, L"Arbeitsplatz") << "what the link holds is read all the same";
    EXPECT_EQ(GetShellLinkTarget(linkFile, false, false), L"");
}
