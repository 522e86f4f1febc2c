#include "panels/VirtualNodes.h"

#include <gtest/gtest.h>

#include <map>

namespace qrv {
namespace {

constexpr uint32_t kFs = kShellAttrFileSystem;
constexpr uint32_t kReal = kShellAttrRealFolder;

// Shortcuts the resolver knows; anything else is no shortcut.
std::wstring TargetOf(const std::wstring& link)
{
    static const std::map<std::wstring, std::wstring> links = {
        {L"C:\\Users\\me\\NetHood\\Docs on other", L"\\\\other\\docs"},
    };
    const auto it = links.find(link);
    return it == links.end() ? std::wstring() : it->second;
}

TEST(VirtualNodes, ItemRecords)
{
    const struct {
        TShellItemFacts item;
        std::wstring parsingName, dirName;
        uint32_t attr;
        bool wanted;
    } cases[] = {
        // A server and a share: their UNC names, browsed.
        {{L"SERVER", L"\\\\SERVER", kFs}, L"\\\\SERVER", L"SERVER", kFs, true},
        {{L"share", L"\\\\SERVER\\share\\", kFs | kShellAttrShare},
         L"\\\\SERVER\\share\\",
         L"share",
         kFs | kShellAttrShare,
         true},
        // A network place: the shortcut stands for its target.
        {{L"Docs on other", L"C:\\Users\\me\\NetHood\\Docs on other", kFs}, L"\\\\other\\docs", L"docs", kFs, true},
        // A folder of the file system that is no shortcut: a real folder.
        {{L"Plain", L"C:\\Users\\me\\NetHood\\Plain", kFs}, L"C:\\Users\\me\\NetHood\\Plain", L"Plain", kReal, true},
        // No parsing name: "\\" and the display name.
        {{L"Workgroup", L"", 0}, L"\\\\Workgroup", L"Workgroup", 0, false},
        // A shell object of its own: left out.
        {{L"Entire Network", L"::{GUID}", 0}, L"::{GUID}", L"::{GUID}", 0, false},
        // An FTP location, in any case: a real folder.
        {{L"ftp site", L"ftp://host/dir", 0}, L"ftp://host/dir", L"ftp://host/dir", kReal, true},
        // A drive has a root of its own.
        {{L"Disk (D:)", L"D:\\", kFs}, L"D:\\", L"D:", kReal, false},
    };
    for (const auto& c : cases) {
        const TNodeData data = VirtualNodeData(c.item, TargetOf);
        const std::string label(c.item.DisplayName.begin(), c.item.DisplayName.end());
        EXPECT_TRUE(data.IsVirtual) << label;
        EXPECT_EQ(data.DisplayName, c.item.DisplayName) << label;
        EXPECT_EQ(data.ParsingName, c.parsingName) << label;
        EXPECT_EQ(data.DirName, c.dirName) << label;
        EXPECT_EQ(data.ShellAttr, c.attr) << label;
        EXPECT_EQ(VirtualNodeWanted(data), c.wanted) << label;
    }
}

TEST(VirtualNodes, NamesAndShortNames)
{
    EXPECT_EQ(LastParsingComponent(L"\\\\server\\share\\"), L"share");
    EXPECT_EQ(LastParsingComponent(L"\\\\server"), L"server");
    EXPECT_EQ(LastParsingComponent(L"plain"), L"plain");
    EXPECT_EQ(VirtualShortName(L"\\", L"SERVER"), L"\\\\SERVER");
    EXPECT_EQ(VirtualShortName(L"\\\\SERVER", L"SHARE"), L"\\\\SERVER\\SHARE");
}

}  // namespace
}  // namespace qrv
