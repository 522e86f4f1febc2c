#include "common/ShellIdListBlock.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// A list of items, each holding its text's bytes after the 16-bit count.
TPidlBytes List(const std::vector<std::string>& items)
{
    TPidlBytes bytes;
    for (const std::string& item : items) {
        const size_t count = item.size() + 2;
        bytes.push_back(static_cast<uint8_t>(count));
        bytes.push_back(static_cast<uint8_t>(count >> 8));
        bytes.insert(bytes.end(), item.begin(), item.end());
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

uint32_t Word(const std::vector<uint8_t>& block, size_t at)
{
    return block[at] | (block[at + 1] << 8) | (block[at + 2] << 16) | (static_cast<uint32_t>(block[at + 3]) << 24);
}

void PutWord(std::vector<uint8_t>& block, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        block[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

TPidlBytes At(const std::vector<uint8_t>& block, size_t offset)
{
    const int size = GetPidlSize(block.data() + offset, block.size() - offset);
    return TPidlBytes(block.begin() + offset, block.begin() + offset + size);
}

}  // namespace

TEST(ShellIdListBlock, FilesOfOneFolderShareOneParentAndGetOneItemLists)
{
    const std::vector<TPidlBytes> files = {List({"C:", "Ordner", "a.txt"}), List({"C:", "Ordner", "b.txt"}),
                                           List({"C:", "Ordner", "Übersicht"})};
    const std::vector<uint8_t> block = BuildShellIdList(files);
    ASSERT_EQ(Word(block, 0), 3u);
    EXPECT_EQ(Word(block, 4), 4u + 4 * 4) << "the parent follows the offsets";
    EXPECT_EQ(At(block, Word(block, 4)), List({"C:", "Ordner"}));
    EXPECT_EQ(At(block, Word(block, 8)), List({"a.txt"}));
    EXPECT_EQ(At(block, Word(block, 12)), List({"b.txt"}));
    EXPECT_EQ(At(block, Word(block, 16)), List({"Übersicht"}));
    EXPECT_EQ(ParseShellIdList(block.data(), block.size()), files);
}

TEST(ShellIdListBlock, FilesOfSeveralFoldersGoUnderTheDesktopWithAbsoluteLists)
{
    const std::vector<TPidlBytes> files = {List({"C:", "Eins", "a"}), List({"D:", "Zwei", "b"}), List({"C:"})};
    const std::vector<uint8_t> block = BuildShellIdList(files);
    EXPECT_EQ(At(block, Word(block, 4)), List({})) << "the desktop";
    EXPECT_EQ(At(block, Word(block, 12)), files[1]);
    EXPECT_EQ(ParseShellIdList(block.data(), block.size()), files);
}

TEST(ShellIdListBlock, ParentWrittenAgainBeforeItsFilesIsRead)
{
    // parent A, item 1, parent B, item 2: the layout that writes each new
    // parent before the files below it.
    const TPidlBytes parentA = List({"C:", "A"});
    const TPidlBytes parentB = List({"D:", "B"});
    const TPidlBytes one = List({"1"});
    const TPidlBytes two = List({"2"});
    std::vector<uint8_t> block(4 + 4 * 3, 0);
    PutWord(block, 0, 2);
    PutWord(block, 4, static_cast<uint32_t>(block.size()));
    block.insert(block.end(), parentA.begin(), parentA.end());
    PutWord(block, 8, static_cast<uint32_t>(block.size()));
    block.insert(block.end(), one.begin(), one.end());
    block.insert(block.end(), parentB.begin(), parentB.end());
    PutWord(block, 12, static_cast<uint32_t>(block.size()));
    block.insert(block.end(), two.begin(), two.end());

    const auto lists = ParseShellIdList(block.data(), block.size());
    ASSERT_TRUE(lists);
    EXPECT_EQ(*lists, (std::vector<TPidlBytes>{List({"C:", "A", "1"}), List({"D:", "B", "2"})}));
}

TEST(ShellIdListBlock, MalformedBlocksAreRefused)
{
    const std::vector<uint8_t> good = BuildShellIdList({List({"C:", "a"}), List({"C:", "b"})});
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const Case cases[] = {
        {"shorter than the count", [](auto& b) { b.resize(3); }},
        {"count 2^31", [](auto& b) { PutWord(b, 0, 0x80000000u); }},
        {"count past the offsets", [](auto& b) { PutWord(b, 0, 200); }},
        {"parent offset past the end", [](auto& b) { PutWord(b, 4, static_cast<uint32_t>(b.size())); }},
        {"item offset past the end", [](auto& b) { PutWord(b, 12, 0xFFFFFFF0u); }},
        {"last list cut off", [](auto& b) { b.pop_back(); }},
        {"item count reaching past the end", [](auto& b) { b[Word(b, 12)] = 0x7F; }},
        {"item count of 1", [](auto& b) { b[Word(b, 8)] = 1; }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> block = good;
        c.spoil(block);
        EXPECT_FALSE(ParseShellIdList(block.data(), block.size())) << c.what;
    }
    EXPECT_FALSE(ParseShellIdList(nullptr, 0));
}

TEST(ShellIdListBlock, EmptyAndMalformedListsAreNotWritten)
{
    const std::vector<uint8_t> none = BuildShellIdList({});
    EXPECT_EQ(ParseShellIdList(none.data(), none.size())->size(), 0u);
    EXPECT_THROW(BuildShellIdList({TPidlBytes{5, 0, 'x'}}), EInvalidOperation);
    EXPECT_THROW(BuildShellIdList({TPidlBytes{}}), EInvalidOperation);
}

TEST(ShellIdListBlock, OffsetsRepeatingOneItemBelowALongParentAreRefused)
{
    // A parent of 60,000 bytes and 200,000 offsets to one item: 12 GB of
    // lists from a block under a megabyte.
    std::vector<std::string> items(600, std::string(98, 'p'));
    const TPidlBytes parent = List(items);
    const TPidlBytes item = List({"x"});
    const uint32_t count = 200000;
    std::vector<uint8_t> block(4 + 4 * (count + 1), 0);
    PutWord(block, 0, count);
    PutWord(block, 4, static_cast<uint32_t>(block.size()));
    block.insert(block.end(), parent.begin(), parent.end());
    const uint32_t itemOffset = static_cast<uint32_t>(block.size());
    block.insert(block.end(), item.begin(), item.end());
    for (uint32_t i = 1; i <= count; ++i) {
        PutWord(block, 4 + 4 * i, itemOffset);
    }
    EXPECT_FALSE(ParseShellIdList(block.data(), block.size()));
    // The same parent with a few files reads.
    PutWord(block, 0, 3);
    EXPECT_EQ(ParseShellIdList(block.data(), block.size())->size(), 3u);
}
