// EditorProbe as a user of the editor family: its searches through the
// shared search settings, and the settings it saves at its end surviving
// into the next run, in the settings file and in the registry, also when
// two copies save at the same moment.

#include "common/BaseUtils.h"
#include "framework/FilePath.h"
#include "framework/win/Registry.h"

#include "TestDir.h"
#include "win/ProcessOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace qrv;

namespace {

std::wstring Probe()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ExtractFilePath(path) + L"EditorProbe.exe";
}

std::vector<std::string> Lines(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class EditorProbeTest : public ::testing::Test {
protected:
    test::TProcessOutput Run(const std::wstring& arguments)
    {
        return test::RunAndCapture(Probe(), L"\"" + text + L"\" " + arguments, dir.Path());
    }
    // The value a --show-settings run prints for the name.
    static std::string Setting(const std::vector<std::string>& lines, const std::string& name)
    {
        for (const std::string& line : lines)
            if (line.rfind(name + "=", 0) == 0)
                return line.substr(name.size() + 1);
        return "(missing)";
    }

    test::TestDir dir;
    std::wstring text = dir.Write(L"text.txt", "eins\r\nzwei abc\r\n\r\nABC drei\r\nvier\r\n");
    std::wstring settings = dir.File(L"EditorSettings.txt");
};

}  // namespace

TEST_F(EditorProbeTest, SearchesPrintTheirHits)
{
    // The first run searches the entire text; "^" never stays on one spot.
    const test::TProcessOutput anchors = Run(L"--settings \"" + settings + L"\" --search ^ --regex --repeat 6");
    EXPECT_EQ(anchors.ExitCode, 0u) << anchors.Text;
    EXPECT_EQ(Lines(anchors.Text),
              (std::vector<std::string>{"hit 0 1 0", "hit 1 1 0", "hit 2 1 0", "hit 3 1 0", "hit 4 1 0", "not found"}));
    const test::TProcessOutput plain = Run(L"--settings \"" + settings + L"\" --search abc --repeat 3");
    EXPECT_EQ(Lines(plain.Text), (std::vector<std::string>{"hit 1 6 3", "hit 3 1 3", "not found"}));
    const test::TProcessOutput exact = Run(L"--settings \"" + settings + L"\" --search abc --case --back");
    EXPECT_EQ(Lines(exact.Text), (std::vector<std::string>{"hit 1 6 3"}));
    const test::TProcessOutput bad = Run(L"--settings \"" + settings + L"\" --search a[b --regex");
    EXPECT_EQ(bad.ExitCode, 1u);
    EXPECT_NE(bad.Text.find("is invalid mask at"), std::string::npos) << bad.Text;
}

TEST_F(EditorProbeTest, SettingsSurviveIntoTheNextRunInTheFileAndTheRegistry)
{
    const test::TProcessOutput first = Run(L"--settings \"" + settings + L"\" --search zwei --case --back");
    ASSERT_EQ(first.ExitCode, 0u) << first.Text;
    const std::vector<std::string> next = Lines(Run(L"--settings \"" + settings + L"\" --show-settings").Text);
    EXPECT_EQ(Setting(next, "TextToFind"), "zwei");
    EXPECT_EQ(Setting(next, "CaseSensitive"), "1");
    EXPECT_EQ(Setting(next, "Direction"), "backward");
    EXPECT_EQ(Setting(next, "PromptOnReplace"), "1");  // never set: the default

    // The program keeps its search settings under the same key and writes
    // them at every exit in the registry mode, as the settings process tests
    // make it do.
    // ctest: runs alone
    const std::wstring key = L"\\Software\\Quorvan Free\\EditorSettings\\SearchSettings";
    {
        TRegistry user;
        user.DeleteKey(key);
    }
    const test::TProcessOutput viaRegistry = Run(L"--registry --search vier --regex");
    ASSERT_EQ(viaRegistry.ExitCode, 0u) << viaRegistry.Text;
    const std::vector<std::string> again = Lines(Run(L"--registry --show-settings").Text);
    EXPECT_EQ(Setting(again, "TextToFind"), "vier");
    EXPECT_EQ(Setting(again, "RegularExpr"), "1");
    TRegistry user;
    ASSERT_TRUE(user.OpenKeyReadOnly(key));
    EXPECT_EQ(user.ReadString(L"TextToFind"), L"vier");
    EXPECT_FALSE(user.ValueExists(L"FirstSearch")) << "run state is not stored";
    user.CloseKey();
    user.DeleteKey(key);
}

TEST_F(EditorProbeTest, ABlockIsReadAsItsColumnsOfEachLine)
{
    const std::vector<std::string> lines =
        Lines(Run(L"--settings \"" + settings + L"\" --block --rulers --page layout").Text);
    // Columns 2 to 9 of lines 1 to 5; short and empty lines padded.
    const std::vector<std::string> expected = {"block 2:", "ei abc  ", "        ", "C drei  ", "er      ", "        "};
    EXPECT_EQ(lines, expected);
}

TEST_F(EditorProbeTest, TwoCopiesSavingAtOnceLeaveOneWholeFile)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        test::TProcessOutput a, b;
        std::thread first([&] { a = Run(L"--settings \"" + settings + L"\" --search erster"); });
        std::thread second([&] { b = Run(L"--settings \"" + settings + L"\" --search zweiter"); });
        first.join();
        second.join();
        EXPECT_EQ(a.ExitCode, 0u) << a.Text;
        EXPECT_EQ(b.ExitCode, 0u) << b.Text;
        const std::string found =
            Setting(Lines(Run(L"--settings \"" + settings + L"\" --show-settings").Text), "TextToFind");
        EXPECT_TRUE(found == "erster" || found == "zweiter") << found;
    }
    // No temporary is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(FsPath(dir.Path())))
        EXPECT_EQ(FromFsPath(entry.path()).find(L".~tmp"), std::wstring::npos) << FromFsPath(entry.path());
}
