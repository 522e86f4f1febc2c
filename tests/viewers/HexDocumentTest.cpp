#include "viewers/HexDocument.h"

#include "framework/SysUtils.h"
#include "HexDocumentCodePages.h"

#include <gtest/gtest.h>

#include <random>

using namespace qrv;

namespace {

std::vector<uint8_t> Bytes(std::string_view text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A document over an in-memory file; file() shows what is on "disk".
class HexDocumentTest : public ::testing::Test {
protected:
    void Open(std::vector<uint8_t> bytes)
    {
        auto owned = std::make_unique<TMemoryHexFile>(std::move(bytes));
        file = owned.get();
        doc.Open(std::move(owned));
    }
    THexDocument doc;
    TMemoryHexFile* file = nullptr;
    THexEditPosition at;
};

}  // namespace

TEST_F(HexDocumentTest, OpeningReadsNothingAndTheViewReadsOnePage)
{
    Open(std::vector<uint8_t>(1 << 20, 0x5A));
    EXPECT_EQ(doc.Size(), 1 << 20);
    EXPECT_EQ(file->BytesRead, 0) << "opening reads no data";
    size_t available = 0;
    const uint8_t* row = doc.CachedBytes(600000, 16, available);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(available, 16u);
    EXPECT_EQ(row[0], 0x5A);
    EXPECT_EQ(file->BytesRead, int64_t(THexDocument::CacheSize));
    // Neighbouring rows come from the same cache.
    (void)doc.CachedBytes(600000 - 30000, 16, available);
    (void)doc.CachedBytes(600000 + 30000, 16, available);
    EXPECT_EQ(file->ReadCalls, 1);
    // A row at the end of the data is cut.
    row = doc.CachedBytes((1 << 20) - 5, 16, available);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(available, 5u);
    EXPECT_EQ(doc.CachedBytes(1 << 20, 16, available), nullptr);
}

TEST_F(HexDocumentTest, ChangeByteMarksJournalsAndUpdatesTheCache)
{
    Open(Bytes("0123456789"));
    uint8_t value = 0;
    ASSERT_TRUE(doc.ReadByte(3, value));  // fills the cache
    EXPECT_TRUE(doc.ChangeByte(3, 'X', true, at));
    ASSERT_TRUE(doc.ReadByte(3, value));
    EXPECT_EQ(value, 'X') << "the cache holds the written byte";
    EXPECT_EQ(file->Bytes()[3], 'X');
    EXPECT_TRUE(doc.IsChanged(3));
    EXPECT_FALSE(doc.IsChanged(2));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.JournalCount(), 1);
    EXPECT_EQ(doc.JournalDescription(), L"Byte changed");
    EXPECT_EQ(doc.Journal().back().Payload, std::vector<uint8_t>{'3'});

    EXPECT_TRUE(doc.ChangeByte(4, '4', true, at)) << "an unchanged value";
    EXPECT_FALSE(doc.IsChanged(4));
    EXPECT_EQ(doc.JournalCount(), 1) << "is not journalled";
    EXPECT_TRUE(doc.ChangeByte(5, 'Y', false, at));
    EXPECT_FALSE(doc.IsChanged(5)) << "insert mode does not mark";
    EXPECT_FALSE(doc.ChangeByte(10, 'Z', true, at)) << "past the end";
}

TEST_F(HexDocumentTest, ChangeMarksAreRanges)
{
    THexChangeMarks marks;
    for (int64_t o : {INT64_C(5), INT64_C(7), INT64_C(6), INT64_C(0x140000000), INT64_C(4)})
        marks.Mark(o);
    EXPECT_EQ(marks.RangeCount(), 2u) << "4..7 merged, one far beyond 4 GiB";
    for (int64_t o = 3; o <= 8; ++o)
        EXPECT_EQ(marks.IsMarked(o), o >= 4 && o <= 7) << o;
    EXPECT_TRUE(marks.IsMarked(INT64_C(0x140000000)));
    marks.DropFrom(6);
    EXPECT_TRUE(marks.IsMarked(5));
    EXPECT_FALSE(marks.IsMarked(6));
    EXPECT_FALSE(marks.IsMarked(INT64_C(0x140000000)));
    EXPECT_EQ(marks.RangeCount(), 1u);
}

TEST_F(HexDocumentTest, EditsMoveTheTailAcrossBlocks)
{
    std::vector<uint8_t> expected(1000);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<uint8_t>(i * 7);
    Open(expected);
    doc.MoveBlockSize = 64;  // many blocks, and a short last one
    doc.ChangeByte(900, 1, true, at);
    expected[900] = 1;

    const std::vector<uint8_t> inserted(150, 0xEE);
    ASSERT_TRUE(doc.InsertBytes(100, inserted.data(), inserted.size(), at));
    expected.insert(expected.begin() + 100, inserted.begin(), inserted.end());
    EXPECT_EQ(file->Bytes(), expected);
    EXPECT_EQ(doc.Size(), 1150);
    EXPECT_FALSE(doc.IsChanged(1050)) << "marks from the insertion on are dropped";

    ASSERT_TRUE(doc.DeleteRange(10, 333, at));
    expected.erase(expected.begin() + 10, expected.begin() + 333);
    EXPECT_EQ(file->Bytes(), expected);
    EXPECT_EQ(doc.JournalDescription(), L"Byte(s) removed");
    EXPECT_EQ(doc.Journal().back().PayloadSize, 323);

    const uint8_t tail[] = {1, 2, 3};
    ASSERT_TRUE(doc.AppendBytes(tail, 3, at));
    expected.insert(expected.end(), tail, tail + 3);
    EXPECT_EQ(file->Bytes(), expected);
    EXPECT_EQ(doc.JournalDescription(), L"Append buffer");
}

TEST_F(HexDocumentTest, AdmissionAndNoSizeChange)
{
    Open({});
    uint8_t b = 1;
    EXPECT_FALSE(doc.ChangeByte(0, 1, true, at));
    EXPECT_FALSE(doc.DeleteRange(0, 1, at));
    EXPECT_TRUE(doc.InsertBytes(0, &b, 1, at)) << "empty data may grow";
    EXPECT_TRUE(doc.AppendBytes(&b, 1, at));
    EXPECT_EQ(doc.Size(), 2);

    Open(Bytes("abcdef"));
    doc.NoSizeChange = true;
    EXPECT_FALSE(doc.DeleteRange(0, 2, at));
    EXPECT_FALSE(doc.InsertBytes(0, &b, 1, at));
    EXPECT_FALSE(doc.AppendBytes(&b, 1, at));
    EXPECT_EQ(doc.Size(), 6);
    EXPECT_FALSE(doc.Modified());

    // A longer replacement is cut to the range, a shorter one narrows it.
    const auto longer = Bytes("WXYZ");
    int64_t start = 1;
    size_t count = longer.size();
    ASSERT_TRUE(doc.ReplaceRange(start, 2, longer.data(), count, at));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(file->Bytes(), Bytes("aWXdef"));
    const auto shorter = Bytes("Q");
    start = 3;
    count = 1;
    ASSERT_TRUE(doc.ReplaceRange(start, 3, shorter.data(), count, at));
    EXPECT_EQ(file->Bytes(), Bytes("aWXQef"));
    EXPECT_EQ(doc.Size(), 6);
    EXPECT_EQ(doc.JournalDescription(), L"Replace selection");

    doc.NoSizeChange = false;
    start = 0;
    count = 4;
    ASSERT_TRUE(doc.ReplaceRange(start, 1, longer.data(), count, at));
    EXPECT_EQ(file->Bytes(), Bytes("WXYZWXQef"));
}

TEST_F(HexDocumentTest, JournalKeepsTheLastHundred)
{
    Open(std::vector<uint8_t>(200, 0));
    EXPECT_EQ(doc.JournalDescription(), L"No Undo");
    for (int i = 0; i < 101; ++i) {
        THexEditPosition position;
        position.CaretOffset = i;
        ASSERT_TRUE(doc.ChangeByte(i, 1, true, position));
    }
    EXPECT_EQ(doc.JournalCount(), THexDocument::JournalLimit);
    EXPECT_EQ(doc.Journal().front().Position.CaretOffset, 1) << "the oldest record went";
    EXPECT_EQ(doc.Journal().back().Position.CaretOffset, 100);
    EXPECT_TRUE(doc.Journal().front().WasModified) << "the kept records were made after the first change";
}

TEST_F(HexDocumentTest, JournalKeepsLargeRemovedRangesOutOfMemory)
{
    Open(std::vector<uint8_t>(300000, 7));
    ASSERT_TRUE(doc.DeleteRange(0, 250000, at));
    EXPECT_EQ(doc.Journal().back().PayloadSize, 250000);
    EXPECT_LE(doc.Journal().back().Payload.size(), THexDocument::JournalPayloadLimit);
}

TEST_F(HexDocumentTest, FindAcrossBlockBorders)
{
    std::vector<uint8_t> data(5000, 'x');
    const auto pattern = Bytes("Needle");
    for (size_t at : {size_t(1021), size_t(2045), size_t(4994)})
        std::copy(pattern.begin(), pattern.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
    Open(data);
    doc.FindBlockSize = 1024;  // the first needle straddles 1024
    EXPECT_EQ(doc.Find(pattern.data(), 6, nullptr, 4999, 0), 1021);
    EXPECT_EQ(doc.Find(pattern.data(), 6, nullptr, 4999, 1022), 2045);
    EXPECT_EQ(doc.Find(pattern.data(), 6, nullptr, 4999, 2046), 4994) << "the match ends on the last byte";
    EXPECT_EQ(doc.Find(pattern.data(), 6, nullptr, 4998, 2046), -1) << "bytes beyond last are not compared";
    EXPECT_EQ(doc.Find(pattern.data(), 6, nullptr, 100000, 2046), 4994) << "last is lowered to the data";
    EXPECT_EQ(doc.Find(pattern.data(), 6, nullptr, 1025, 1021), -1) << "longer than the range: -1 at once";
    EXPECT_EQ(doc.Find(pattern.data(), 0, nullptr, 4999, 0), -1);

    file->FailReads = true;
    EXPECT_THROW(doc.Find(pattern.data(), 6, nullptr, 4999, 0), EReadError) << "a failed read is reported";
    file->FailReads = false;

    test::TFixedCodePages pages;
    const THexCharset charset(pages);
    const auto upper = Bytes("NEEDLE");
    EXPECT_EQ(doc.Find(upper.data(), 6, nullptr, 4999, 0), -1);
    EXPECT_EQ(doc.Find(upper.data(), 6, &charset.AnsiLowerTable(), 4999, 0), 1021);
}

TEST_F(HexDocumentTest, FindMatchesTheNaiveSearch)
{
    std::mt19937 random(7);
    std::vector<uint8_t> data(20000);
    for (auto& b : data)
        b = static_cast<uint8_t>(random() % 3);  // a small alphabet gives many partial matches
    Open(data);
    doc.FindBlockSize = 777;
    for (int trial = 0; trial < 200; ++trial) {
        const size_t length = 1 + random() % 9;
        std::vector<uint8_t> pattern(length);
        for (auto& b : pattern)
            b = static_cast<uint8_t>(random() % 3);
        const int64_t first = random() % 20000;
        const int64_t last = random() % 20000;
        int64_t expected = -1;
        for (int64_t s = first; s + static_cast<int64_t>(length) <= last + 1 && expected < 0; ++s)
            if (std::equal(pattern.begin(), pattern.end(), data.begin() + s))
                expected = s;
        ASSERT_EQ(doc.Find(pattern.data(), static_cast<int64_t>(length), nullptr, last, first), expected)
            << "trial " << trial;
    }
}

TEST_F(HexDocumentTest, BufferFromFile)
{
    Open(Bytes("0123456789"));
    int64_t count = 100;
    EXPECT_EQ(doc.BufferFromFile(7, count), Bytes("789"));
    EXPECT_EQ(count, 3);
    try {
        doc.BufferFromFile(10, count);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), L"Invalid BufferFromFile argument");
    }
    EXPECT_THROW(doc.BufferFromFile(-1, count), ERangeError);
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer stops at a failed allocation instead of throwing
    // A buffer that cannot be allocated gives count 0 instead of a crash.
    struct HugeFile : TMemoryHexFile {
        int64_t Size() override { return INT64_C(1) << 62; }
    };
    doc.Open(std::make_unique<HugeFile>());
    count = INT64_C(1) << 61;
    EXPECT_TRUE(doc.BufferFromFile(0, count).empty());
    EXPECT_EQ(count, 0);
#endif
}

TEST(HexStringToBytes, DigitsArePairedAndOthersSkipped)
{
    EXPECT_EQ(HexStringToBytes(u"4a 5", false), std::vector<uint8_t>{0x4A});
    EXPECT_EQ(HexStringToBytes(u"4a 5", true), std::vector<uint8_t>{0xA4});
    EXPECT_EQ(HexStringToBytes(u"DEad-BEef", false), (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(HexStringToBytes(u"xyz", false), std::vector<uint8_t>{});
    EXPECT_EQ(HexStringToBytes(u"", false), std::vector<uint8_t>{});
}

TEST(HexBackup, WhenABackupIsMadeAndItsName)
{
    EXPECT_TRUE(HexSaveMakesBackup(true, true, L"C:\\d\\a.bin", L"c:\\D\\A.BIN"));
    EXPECT_FALSE(HexSaveMakesBackup(true, false, L"C:\\d\\a.bin", L"C:\\d\\a.bin")) << "no changes";
    EXPECT_FALSE(HexSaveMakesBackup(true, true, L"C:\\d\\b.bin", L"C:\\d\\a.bin")) << "another name";
    EXPECT_FALSE(HexSaveMakesBackup(false, true, L"C:\\d\\a.bin", L"C:\\d\\a.bin"));

    EXPECT_EQ(HexBackupName(L"C:\\d\\a.bin", L".bak"), L"C:\\d\\a.bak");
    EXPECT_EQ(HexBackupName(L"C:\\d\\x.bak", L".bak"), L"C:\\d\\x.bak.bak") << "never onto itself";
    EXPECT_EQ(HexBackupName(L"C:\\d\\x.BAK", L".bak"), L"C:\\d\\x.BAK.bak");
    EXPECT_EQ(HexBackupName(L"C:\\d.x\\readme", L".bak"), L"C:\\d.x\\readme.bak");
    EXPECT_EQ(HexBackupName(L"C:\\d\\a.tar.gz", L".bak"), L"C:\\d\\a.tar.bak");
}

// Random edits through the document give what the same edits give on a
// plain byte vector; the journal never exceeds its limit.
TEST(HexDocumentProperty, RandomEditsMatchAByteVector)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::vector<uint8_t> expected(random() % 300);
        for (auto& b : expected)
            b = static_cast<uint8_t>(random());
        THexDocument doc;
        doc.MoveBlockSize = 1 + random() % 40;
        auto owned = std::make_unique<TMemoryHexFile>(expected);
        TMemoryHexFile* file = owned.get();
        doc.Open(std::move(owned));
        const THexEditPosition at;
        for (int step = 0; step < 300; ++step) {
            const auto size = static_cast<int64_t>(expected.size());
            const int64_t offset = size ? static_cast<int64_t>(random() % static_cast<unsigned>(size)) : 0;
            std::vector<uint8_t> bytes(1 + random() % 50);
            for (auto& b : bytes)
                b = static_cast<uint8_t>(random());
            switch (random() % 5) {
            case 0:
                if (doc.ChangeByte(offset, bytes[0], true, at))
                    expected[static_cast<size_t>(offset)] = bytes[0];
                else
                    ASSERT_EQ(size, 0);
                break;
            case 1: {
                const int64_t to = std::min(size, offset + 1 + static_cast<int64_t>(random() % 60));
                if (doc.DeleteRange(offset, to, at))
                    expected.erase(expected.begin() + offset, expected.begin() + to);
                else
                    ASSERT_EQ(size, 0);
                break;
            }
            case 2:
                ASSERT_TRUE(doc.InsertBytes(offset, bytes.data(), bytes.size(), at));
                expected.insert(expected.begin() + offset, bytes.begin(), bytes.end());
                break;
            case 3:
                ASSERT_TRUE(doc.AppendBytes(bytes.data(), bytes.size(), at));
                expected.insert(expected.end(), bytes.begin(), bytes.end());
                break;
            case 4: {
                int64_t start = offset;
                const int64_t length = std::min<int64_t>(size - offset, random() % 20);
                size_t count = bytes.size();
                if (doc.ReplaceRange(start, length, bytes.data(), count, at)) {
                    expected.erase(expected.begin() + start, expected.begin() + start + length);
                    expected.insert(expected.begin() + start, bytes.begin(), bytes.end());
                }
                break;
            }
            }
            ASSERT_EQ(doc.Size(), static_cast<int64_t>(expected.size())) << "step " << step;
            // Reads through the cache see the same bytes as the file.
            uint8_t value = 0;
            if (!expected.empty()) {
                const auto probe = static_cast<int64_t>(random() % expected.size());
                ASSERT_TRUE(doc.ReadByte(probe, value));
                ASSERT_EQ(value, expected[static_cast<size_t>(probe)]) << "step " << step;
            }
        }
        EXPECT_EQ(file->Bytes(), expected);
        EXPECT_LE(doc.JournalCount(), THexDocument::JournalLimit);
    }
}
