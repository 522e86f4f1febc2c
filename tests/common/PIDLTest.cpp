#include "common/PIDL.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <random>
#include <vector>

using namespace qrv;

namespace {

// The heap as the allocator, counting what is out; it can be told to fail.
class CountingAllocator final : public TPidlAllocator {
public:
    void* Alloc(size_t Size) override
    {
        if (Fail)
            return nullptr;
        ++Live;
        // Non-zero filling shows whether AllocPidl zeroes the block.
        void* block = std::malloc(Size);
        std::memset(block, 0xCC, Size);
        return block;
    }
    void Free(void* Block) override
    {
        --Live;
        std::free(Block);
    }
    int Live = 0;
    bool Fail = false;
};

// A list with items of the given counts; each item's bytes after its count
// are its index + 1, so items differ.
std::vector<uint8_t> MakeList(std::initializer_list<uint16_t> counts)
{
    std::vector<uint8_t> list;
    uint8_t fill = 1;
    for (uint16_t count : counts) {
        list.push_back(static_cast<uint8_t>(count & 0xFF));
        list.push_back(static_cast<uint8_t>(count >> 8));
        list.insert(list.end(), count - 2u, fill++);
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

std::vector<uint8_t> BytesOf(const TOwnedPidl& pidl)
{
    return PidlBytes(pidl.get());
}

class PidlTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(alloc.Live, 0) << "a list was not freed"; }
    CountingAllocator alloc;
};

}  // namespace

TEST(PidlSize, CountsItemsAndTerminator)
{
    EXPECT_EQ(GetPidlSize(nullptr), 0);
    EXPECT_EQ(GetPidlSize(MakeList({}).data()), 2);
    EXPECT_EQ(GetPidlSize(MakeList({20, 14}).data()), 36);
    const auto list = MakeList({20, 14});
    EXPECT_EQ(GetPidlSize(list.data(), list.size()), 36) << "exactly the bytes received";
}

TEST(PidlSize, RejectsMalformedLists)
{
    const auto good = MakeList({20, 14});
    std::vector<uint8_t> countOfOne = MakeList({20, 14});
    countOfOne[20] = 1;  // second item claims a single byte
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        size_t available;
    };
    const Case cases[] = {
        {"no bytes", {}, 0},
        {"one byte", {0}, 1},
        {"item count of 1", countOfOne, countOfOne.size()},
        {"item runs past the block", good, 30},
        {"terminator cut off", good, 35},
        {"item count past the end", {5, 0, 1}, 3},
    };
    for (const Case& c : cases) {
        // A copy exactly as long as the block, so that AddressSanitizer sees
        // any read past it.
        const auto block = std::make_unique<uint8_t[]>(c.available);
        std::copy_n(c.bytes.begin(), c.available, block.get());
        EXPECT_EQ(GetPidlSize(block.get(), c.available), -1) << c.what;
    }
    EXPECT_EQ(GetPidlSize(countOfOne.data()), -1) << "also without a known end";
}

TEST(PidlSize, RandomBlocksAreNeverReadPastTheirEnd)
{
    std::mt19937 random(42);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> block(random() % 24);
        for (uint8_t& byte : block)
            byte = static_cast<uint8_t>(random() % 8);  // small counts, so walks go on
        const int size = GetPidlSize(block.data(), block.size());
        if (size > 0) {
            ASSERT_LE(static_cast<size_t>(size), block.size());
            EXPECT_EQ(block[static_cast<size_t>(size) - 2], 0);
            EXPECT_EQ(block[static_cast<size_t>(size) - 1], 0);
            EXPECT_EQ(PidlBytes(block.data(), block.size()).size(), static_cast<size_t>(size));
        } else {
            EXPECT_TRUE(PidlBytes(block.data(), block.size()).empty());
        }
    }
}

TEST(PidlWalk, NextItemStopsAtTheTerminator)
{
    const auto list = MakeList({20, 14});
    const void* second = NextPidlItem(list.data());
    EXPECT_EQ(second, list.data() + 20);
    EXPECT_EQ(NextPidlItemOrNil(second), list.data() + 34);
    EXPECT_EQ(NextPidlItemOrNil(list.data() + 34), nullptr);
    EXPECT_EQ(NextPidlItem(nullptr), nullptr);
    EXPECT_EQ(NextPidlItemOrNil(nullptr), nullptr);
}

TEST_F(PidlTest, AllocZeroFillsAndReportsFailure)
{
    TOwnedPidl block = AllocPidl(alloc, 6);
    ASSERT_TRUE(block);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(block.get()), static_cast<uint8_t*>(block.get()) + 6),
              std::vector<uint8_t>(6, 0));
    block.reset();
    alloc.Fail = true;
    EXPECT_FALSE(AllocPidl(alloc, 6));
    const auto list = MakeList({20});
    EXPECT_FALSE(CopyPidl(alloc, list.data()));
    EXPECT_FALSE(ConcatPidls(alloc, list.data(), list.data()));
}

TEST_F(PidlTest, CopyTakesOnlyTheListFromALargerBlock)
{
    auto block = MakeList({20, 14});
    block.insert(block.end(), {7, 7, 7});  // whatever follows the list
    TOwnedPidl copy = CopyPidl(alloc, block.data(), block.size());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), block.data());
    EXPECT_EQ(BytesOf(copy), MakeList({20, 14}));
    EXPECT_FALSE(CopyPidl(alloc, block.data(), 30)) << "the list does not fit the bytes received";
    EXPECT_FALSE(CopyPidl(alloc, nullptr));
}

TEST_F(PidlTest, ConcatJoinsItemsOfBothLists)
{
    const auto a = MakeList({20, 14});
    const auto b = MakeList({6});
    const auto empty = MakeList({});

    EXPECT_EQ(BytesOf(ConcatPidls(alloc, nullptr, b.data())), b) << "nil first list counts as no items";
    EXPECT_EQ(BytesOf(ConcatPidls(alloc, a.data(), empty.data())), a);
    EXPECT_EQ(BytesOf(ConcatPidls(alloc, empty.data(), empty.data())), empty);

    std::vector<uint8_t> joined(a.begin(), a.end() - 2);
    joined.insert(joined.end(), b.begin(), b.end());
    EXPECT_EQ(BytesOf(ConcatPidls(alloc, a.data(), b.data())), joined);

    EXPECT_FALSE(ConcatPidls(alloc, a.data(), nullptr)) << "the second must be a list";
    std::vector<uint8_t> bad = a;
    bad[0] = 1;
    EXPECT_FALSE(ConcatPidls(alloc, bad.data(), b.data()));
    EXPECT_FALSE(ConcatPidls(alloc, b.data(), bad.data()));
}

TEST_F(PidlTest, SplitCutsOffTheLastItem)
{
    TOwnedPidl parent, last;
    const auto one = MakeList({20});
    SplitPidl(alloc, one.data(), parent, last);
    EXPECT_EQ(BytesOf(parent), MakeList({}));
    EXPECT_EQ(BytesOf(last), one);

    const auto two = MakeList({20, 14});
    SplitPidl(alloc, two.data(), parent, last);
    EXPECT_EQ(BytesOf(parent), MakeList({20}));
    std::vector<uint8_t> secondItem(two.begin() + 20, two.end());
    EXPECT_EQ(BytesOf(last), secondItem);

    SplitPidl(alloc, MakeList({}).data(), parent, last);
    EXPECT_EQ(BytesOf(parent), MakeList({}));
    EXPECT_FALSE(last);

    SplitPidl(alloc, nullptr, parent, last);
    EXPECT_FALSE(parent);
    EXPECT_FALSE(last);
}

TEST_F(PidlTest, FirstAndLastItemCopies)
{
    const auto two = MakeList({20, 14});
    EXPECT_EQ(BytesOf(CopyFirstPidlItem(alloc, two.data())), std::vector<uint8_t>(MakeList({20})));
    EXPECT_EQ(BytesOf(CopyLastPidlItem(alloc, two.data())), std::vector<uint8_t>(two.begin() + 20, two.end()));
    const auto empty = MakeList({});
    EXPECT_EQ(BytesOf(CopyFirstPidlItem(alloc, empty.data())), empty);
    EXPECT_EQ(BytesOf(CopyLastPidlItem(alloc, empty.data())), empty);
    EXPECT_FALSE(CopyFirstPidlItem(alloc, nullptr));
    EXPECT_FALSE(CopyLastPidlItem(alloc, nullptr));
}

TEST(PidlCompare, EqualityOfNilAndOfBytes)
{
    const auto a = MakeList({20, 14});
    const auto sameBytes = MakeList({20, 14});
    const auto shorter = MakeList({20});
    auto differs = MakeList({20, 14});
    differs[30] ^= 0xFF;

    EXPECT_FALSE(PidlsEqual(nullptr, nullptr));
    EXPECT_TRUE(SamePidl(nullptr, nullptr));
    EXPECT_FALSE(PidlsEqual(a.data(), nullptr));
    EXPECT_FALSE(SamePidl(nullptr, a.data()));
    EXPECT_TRUE(PidlsEqual(a.data(), sameBytes.data()));
    EXPECT_TRUE(SamePidl(a.data(), sameBytes.data()));
    EXPECT_FALSE(PidlsEqual(a.data(), shorter.data()));
    EXPECT_FALSE(PidlsEqual(a.data(), differs.data()));
}
