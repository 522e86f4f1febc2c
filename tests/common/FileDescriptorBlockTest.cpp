#include "common/FileDescriptorBlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

std::vector<TFileDescriptorEntry> Entries()
{
    TFileDescriptorEntry first;
    first.Flags = 0x40;
    first.Attributes = 0x20;
    first.LastWriteTime = 0x01D9'0000'1234'5678ull;
    first.FileSize = 0x1'0000'0005ull;
    first.Name = L"Anhang.pdf";
    TFileDescriptorEntry second;
    second.Name = L"Ordner\\Bericht Ωmega.txt";
    return {first, second};
}

void PutWord(std::vector<uint8_t>& block, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        block[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace

TEST(FileDescriptorBlock, BothLayoutsRoundTrip)
{
    for (const bool wide : {false, true}) {
        std::vector<TFileDescriptorEntry> entries = Entries();
        if (!wide) {
            entries[1].Name = L"Ordner\\Bericht Übersicht.txt";  // Latin-1 holds it
        }
        const std::vector<uint8_t> block = BuildFileGroupDescriptor(entries, wide, nullptr);
        EXPECT_EQ(block.size(), 4 + 2 * (wide ? 592u : 332u));
        const auto parsed = ParseFileGroupDescriptor(block.data(), block.size(), wide, nullptr);
        ASSERT_TRUE(parsed) << wide;
        ASSERT_EQ(parsed->size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ((*parsed)[i].Name, entries[i].Name);
            EXPECT_EQ((*parsed)[i].Flags, entries[i].Flags);
            EXPECT_EQ((*parsed)[i].Attributes, entries[i].Attributes);
            EXPECT_EQ((*parsed)[i].LastWriteTime, entries[i].LastWriteTime);
            EXPECT_EQ((*parsed)[i].FileSize, entries[i].FileSize);
        }
    }
}

TEST(FileDescriptorBlock, SizeHighAndLowStandWhereTheSystemPutsThem)
{
    const std::vector<uint8_t> block = BuildFileGroupDescriptor(Entries(), false, nullptr);
    EXPECT_EQ(block[4 + 64], 1) << "size high";
    EXPECT_EQ(block[4 + 68], 5) << "size low";
    EXPECT_EQ(block[4 + 72], 'A') << "the name";
}

TEST(FileDescriptorBlock, MalformedBlocksAreRefused)
{
    for (const bool wide : {false, true}) {
        const std::vector<uint8_t> good = BuildFileGroupDescriptor(Entries(), wide, nullptr);
        const size_t record = FileDescriptorSize(wide);

        std::vector<uint8_t> claimsThree = good;  // 4 + 2 records claiming 3
        PutWord(claimsThree, 0, 3);
        EXPECT_FALSE(ParseFileGroupDescriptor(claimsThree.data(), claimsThree.size(), wide, nullptr)) << wide;

        std::vector<uint8_t> huge = good;
        PutWord(huge, 0, 0x80000000u);
        EXPECT_FALSE(ParseFileGroupDescriptor(huge.data(), huge.size(), wide, nullptr)) << wide;

        std::vector<uint8_t> unterminated = good;  // the second name fills its field
        const size_t field = 4 + record + 72;
        for (size_t i = field; i < 4 + 2 * record; ++i) {
            unterminated[i] = 'x';
        }
        EXPECT_FALSE(ParseFileGroupDescriptor(unterminated.data(), unterminated.size(), wide, nullptr)) << wide;

        EXPECT_FALSE(ParseFileGroupDescriptor(good.data(), 3, wide, nullptr));
    }
}

TEST(FileDescriptorBlock, OverlongNamesAreCutInsideTheirField)
{
    std::vector<TFileDescriptorEntry> entries(1);
    entries[0].Name = std::wstring(400, L'n');
    const std::vector<uint8_t> block = BuildFileGroupDescriptor(entries, true, nullptr);
    const auto parsed = ParseFileGroupDescriptor(block.data(), block.size(), true, nullptr);
    ASSERT_TRUE(parsed);
    EXPECT_EQ((*parsed)[0].Name, std::wstring(259, L'n'));
}
