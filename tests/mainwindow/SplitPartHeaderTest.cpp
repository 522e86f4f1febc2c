// The part header's bytes, the part file names and the sizes that follow
// from a part size.

#include "mainwindow/SplitPartHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

TSplitHeader Sample()
{
    TSplitHeader h;
    h.Start = 0x01020304;
    h.End = 0x05060708;
    h.Number = 7;
    h.Name = "Bericht \xE4.doc";
    h.Created = 0x0102030405060708ull;
    h.Written = 0x1112131415161718ull;
    h.Attributes = 0x2021;
    h.Count = 7;
    return h;
}

TEST(SplitPartHeader, EncodesAndDecodesEveryField)
{
    const TSplitHeaderBytes bytes = EncodeSplitHeader(Sample());
    const std::optional<TSplitHeader> back = DecodeSplitHeader(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Sample());
    // Little-endian at the fixed offsets.
    EXPECT_EQ(bytes[16], 0x04);
    EXPECT_EQ(bytes[19], 0x01);
    EXPECT_EQ(bytes[28], Sample().Name.size());
    EXPECT_EQ(bytes[284], 0x08);
    EXPECT_EQ(bytes[304], 7);
}

TEST(SplitPartHeader, RefusesShortOrWrongMagic)
{
    const TSplitHeaderBytes good = EncodeSplitHeader(Sample());
    struct Case {
        const char* what;
        size_t length;
        int spoilAt;  // -1: none
    } cases[] = {
        {"one byte short", 323, -1},         {"empty", 0, -1},
        {"first magic's length", 324, 0},    {"first magic's text", 324, 5},
        {"second magic's length", 324, 308}, {"second magic's text", 324, 320},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes(good.begin(), good.begin() + c.length);
        if (c.spoilAt >= 0)
            bytes[static_cast<size_t>(c.spoilAt)] ^= 0x20;
        EXPECT_FALSE(DecodeSplitHeader(bytes)) << c.what;
    }
    EXPECT_TRUE(DecodeSplitHeader(good));
}

TEST(SplitPartHeader, PartNamesHaveThreeDigitsAtLeast)
{
    EXPECT_EQ(SplitPartName(L"C:\\a\\REPORT.DOC", 1), L"C:\\a\\REPORT.DOC(001).split");
    EXPECT_EQ(SplitPartName(L"X", 999), L"X(999).split");
    EXPECT_EQ(SplitPartName(L"X", 1000), L"X(1000).split");
}

TEST(SplitPartHeader, PartNamesAreTakenApart)
{
    struct Case {
        const wchar_t* name;
        bool valid;
        const wchar_t* original;
        uint32_t number;
    } cases[] = {
        {L"REPORT.DOC(001).split", true, L"REPORT.DOC", 1},
        {L"x(003).SPLIT", true, L"x", 3},
        {L"a(b)(1000).split", true, L"a(b)", 1000},
        {L"REPORT.DOC(01).split", false, L"", 0},
        {L"REPORT.DOC(000).split", false, L"", 0},
        {L"REPORT.DOC001).split", false, L"", 0},
        {L"(001).split", false, L"", 0},
        {L"REPORT.DOC(001).spl", false, L"", 0},
        {L"X(99999999999).split", false, L"", 0},
    };
    for (const Case& c : cases) {
        const auto parts = ParseSplitPartName(c.name);
        ASSERT_EQ(parts.has_value(), c.valid) << c.name;
        if (c.valid) {
            EXPECT_EQ(parts->Original, c.original);
            EXPECT_EQ(parts->Number, c.number);
        }
    }
}

TEST(SplitPartHeader, SizesFollowThePartSize)
{
    EXPECT_EQ(SplitDataSize(2049), 1012u);
    EXPECT_EQ(SplitDataSize(1'456'128), 1'455'091u);
    // The copy block is the data size up to 8 MiB less one byte.
    EXPECT_EQ(SplitCopyBlock(1012), 1012u);
    EXPECT_EQ(SplitCopyBlock(SplitDataSize(104'857'600)), 0x7FFFFFu);
    // Steps: size over the smaller of the part size and the largest block, plus one.
    EXPECT_EQ(SplitProgressSteps(10'000'000, 1'456'128), 10'000'000u / 1'456'128u + 1);
    EXPECT_EQ(SplitProgressSteps(100'000'000, 838'860'800), 100'000'000u / 0x7FFFFFu + 1);
    EXPECT_EQ(SplitProgressSteps(0, 2049), 1u);
}

TEST(SplitPartHeader, OnlyWholePlainPartsAreJoinable)
{
    TSplitHeader base;
    base.Start = 1012;
    base.End = 2024;
    base.Number = 2;
    base.Name = "REPORT.DOC";
    const uint64_t size = kSplitHeaderSize + 1012;
    EXPECT_TRUE(IsJoinablePart(base, L"REPORT.DOC", L"report.doc(002).split", size));

    struct Case {
        const char* what;
        uint32_t start, end, number, count;
        const wchar_t* name;
        const wchar_t* file;
        uint64_t size;
    } cases[] = {
        {"start at end", 1012, 1012, 2, 0, L"REPORT.DOC", L"REPORT.DOC(002).split", kSplitHeaderSize},
        {"start after end", 2024, 1012, 2, 0, L"REPORT.DOC", L"REPORT.DOC(002).split", size},
        {"data short", 1012, 2024, 2, 0, L"REPORT.DOC", L"REPORT.DOC(002).split", size - 1},
        {"data long", 1012, 2024, 2, 0, L"REPORT.DOC", L"REPORT.DOC(002).split", size + 1},
        {"count not its number", 1012, 2024, 2, 3, L"REPORT.DOC", L"REPORT.DOC(002).split", size},
        {"number zero", 1012, 2024, 0, 0, L"REPORT.DOC", L"REPORT.DOC(000).split", size},
        {"found under another number", 1012, 2024, 2, 0, L"REPORT.DOC", L"REPORT.DOC(003).split", size},
        {"found under another original", 1012, 2024, 2, 0, L"REPORT.DOC", L"REPORT.DO(002).split", size},
        {"parent folder", 1012, 2024, 2, 0, L"..\\evil", L"..\\evil(002).split", size},
        {"drive", 1012, 2024, 2, 0, L"C:x", L"C:x(002).split", size},
        {"stream", 1012, 2024, 2, 0, L"a:b", L"a:b(002).split", size},
        {"slash", 1012, 2024, 2, 0, L"a/b", L"a/b(002).split", size},
        {"dot", 1012, 2024, 2, 0, L".", L".(002).split", size},
        {"empty", 1012, 2024, 2, 0, L"", L"(002).split", size},
        {"device", 1012, 2024, 2, 0, L"CON", L"CON(002).split", size},
        {"device with extension", 1012, 2024, 2, 0, L"nul.txt", L"nul.txt(002).split", size},
        {"trailing dot", 1012, 2024, 2, 0, L"x.", L"x.(002).split", size},
        {"trailing blank", 1012, 2024, 2, 0, L"x ", L"x (002).split", size},
        {"control character", 1012, 2024, 2, 0, L"a\x01z", L"a\x01z(002).split", size},
        {"outside the code page", 1012, 2024, 2, 0, L"a?z", L"a?z(002).split", size},
    };
    for (const Case& c : cases) {
        TSplitHeader h = base;
        h.Start = c.start;
        h.End = c.end;
        h.Number = c.number;
        h.Count = c.count;
        EXPECT_FALSE(IsJoinablePart(h, c.name, c.file, c.size)) << c.what;
    }
}

}  // namespace
