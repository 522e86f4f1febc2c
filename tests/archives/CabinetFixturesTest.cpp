// The cabinets the tests write byte by byte, read by Debian's cabextract:
// what the cabinet reader's tests rely on is a well-formed cabinet set.

#include "CabinetFixtures.h"
#include "TestDir.h"
#include "framework/FilePath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace qrv;
namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(CabinetFixtures, CabextractUnpacksAFileRunningThroughThreeCabinets)
{
    if (std::system("cabextract --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "cabextract cannot be run here";
    test::TestDir dir;
    const fs::path root = FsPath(dir.Path());
    std::string span;
    for (int i = 0; i < 70000; ++i)
        span.push_back(static_cast<char>('a' + (i * 7) % 26));
    const auto set = test::CabinetSet({{"first.txt", "erste Datei"}, {"sub/span.txt", span}},
                                      {"a1.cab", "a2.cab", "a3.cab"}, {3000, 40000});
    ASSERT_EQ(set.size(), 3u);
    for (size_t i = 0; i < set.size(); ++i)
        std::ofstream(root / ("a" + std::to_string(i + 1) + ".cab"), std::ios::binary) << set[i];
    const std::string command = "cd '" + root.string() + "' && cabextract -q -d out a1.cab >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Read(root / "out" / "first.txt"), "erste Datei");
    EXPECT_TRUE(Read(root / "out" / "sub" / "span.txt") == span);
}
