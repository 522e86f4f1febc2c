// Splitting and joining over the in-memory file system: the parts' bytes
// against the golden headers, joins in any order and with parts missing or
// spoilt, the questions on the way, and the full removable drive.

#include "mainwindow/SplitJoin.h"

#include "GoldenSplitHeaders.h"
#include "MemorySplitFiles.h"
#include "framework/Encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;

namespace {

std::string Noise(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& ch : bytes)
        ch = static_cast<char>(random());
    return bytes;
}

class SplitJoinTest : public ::testing::Test {
protected:
    TMemorySplitFiles files;
    TRecordingSplitUi user;
    TSplitJoinUi ui = user.Ui();
    TSplitJoin engine{files, ui, TEncoding::Windows1252()};

    // Puts Bytes at C:\src\Name and splits it into D:\parts\.
    void SplitInto(const std::wstring& name, const std::string& bytes, uint64_t partSize, uint32_t attributes = 0x20)
    {
        files.Put(L"C:\\src\\" + name, bytes, attributes, 0x01D9123456789ABCull, 0x01DA000011112222ull);
        ASSERT_TRUE(engine.SplitFileParts(L"C:\\src\\" + name, partSize, L"D:\\parts\\"));
    }
    std::wstring Part(const std::wstring& name, uint32_t number)
    {
        return SplitPartName(L"D:\\parts\\" + name, number);
    }
    // Plans the join of the selected parts in D:\parts and runs it into E:\out.
    bool Join(const std::vector<std::wstring>& selected)
    {
        const TSplitJoin::TJoinPlan plan = engine.PlanJoin(selected, L"D:\\parts");
        return engine.RunJoin(plan, L"E:\\out");
    }
};

TEST_F(SplitJoinTest, PartsOf2049BytesMatchTheGoldenHeaders)
{
    const std::string original = Noise(2500, 1);
    SplitInto(L"REPORT.DOC", original, 2049, 0x21);
    const std::string golden(kGoldenSplitHeaders, sizeof kGoldenSplitHeaders);
    ASSERT_EQ(files.Files.size(), 4u);  // the original and three parts
    const std::string first = files.Bytes(Part(L"REPORT.DOC", 1));
    const std::string last = files.Bytes(Part(L"REPORT.DOC", 3));
    EXPECT_EQ(first.substr(0, kSplitHeaderSize), golden.substr(0, kSplitHeaderSize));
    EXPECT_EQ(last.substr(0, kSplitHeaderSize), golden.substr(kSplitHeaderSize));
    EXPECT_EQ(first.substr(kSplitHeaderSize), original.substr(0, 1012));
    EXPECT_EQ(files.Bytes(Part(L"REPORT.DOC", 2)).substr(kSplitHeaderSize), original.substr(1012, 1012));
    EXPECT_EQ(last.substr(kSplitHeaderSize), original.substr(2024));
    EXPECT_EQ(files.Announced,
              (std::vector<std::wstring>{Part(L"REPORT.DOC", 1), Part(L"REPORT.DOC", 2), Part(L"REPORT.DOC", 3)}));
    EXPECT_TRUE(user.Asked.empty());
}

TEST_F(SplitJoinTest, OneDataSizeGivesOnePartNumberedAndCountedOne)
{
    SplitInto(L"one.bin", Noise(1012, 2), 2049);
    ASSERT_EQ(files.Files.size(), 2u);
    const std::string part = files.Bytes(Part(L"one.bin", 1));
    const auto header = DecodeSplitHeader(std::span(reinterpret_cast<const uint8_t*>(part.data()), part.size()));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->Number, 1u);
    EXPECT_EQ(header->Count, 1u);
    EXPECT_EQ(header->End, 1012u);
}

TEST_F(SplitJoinTest, JoinsInAnySelectionOrderWithTimesAndAttributes)
{
    const std::string original = Noise(5000, 3);
    // Compressed is a storage attribute: the joined file does not take it.
    SplitInto(L"data.bin", original, 2049, 0x21 | 0x800);
    user.Steps = 0;
    ASSERT_TRUE(Join({Part(L"data.bin", 4), Part(L"data.bin", 1), Part(L"data.bin", 5), Part(L"data.bin", 2),
                      Part(L"data.bin", 3)}));
    EXPECT_TRUE(user.Asked.empty());
    EXPECT_EQ(files.Bytes(L"E:\\out\\data.bin"), original);
    const TMemoryEntry* joined = files.Find(L"E:\\out\\data.bin");
    EXPECT_EQ(joined->Created, 0x01D9123456789ABCull);
    EXPECT_EQ(joined->Written, 0x01DA000011112222ull);
    EXPECT_EQ(joined->Attributes, 0x21u);
    EXPECT_EQ(user.Steps, 5);
    EXPECT_EQ(user.Labels.front(), L"data.bin(001).split wird zusammengesetzt...");
    EXPECT_EQ(files.Announced.back(), L"E:\\out\\data.bin");
}

TEST_F(SplitJoinTest, LastPartAloneFindsTheOthersAndAStartOnAMiddlePartProbes)
{
    const std::string original = Noise(4000, 4);
    SplitInto(L"X", original, 2049);
    ASSERT_TRUE(Join({Part(L"X", 4)}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\X"), original);
    files.Delete(L"E:\\out\\X");
    ASSERT_TRUE(Join({Part(L"X", 3)}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\X"), original);
    EXPECT_TRUE(user.Asked.empty());
}

TEST_F(SplitJoinTest, AMissingPartSkipsOnlyItsOriginal)
{
    const std::string a = Noise(3000, 5), b = Noise(3000, 6);
    SplitInto(L"a.bin", a, 2049);
    SplitInto(L"b.bin", b, 2049);
    ASSERT_TRUE(files.Delete(Part(L"a.bin", 2)));
    // A part of the other original between the selected parts.
    ASSERT_TRUE(Join({Part(L"a.bin", 1), Part(L"b.bin", 2), Part(L"a.bin", 3)}));
    ASSERT_EQ(user.Asked.size(), 1u);
    EXPECT_EQ(user.Asked[0], MissingPartText(L"a.bin(002).split", L"a.bin"));
    EXPECT_FALSE(files.Find(L"E:\\out\\a.bin"));
    EXPECT_EQ(files.Bytes(L"E:\\out\\b.bin"), b);
}

TEST_F(SplitJoinTest, ASpoiltPartGivesUpItsOriginalOnlyEvenBesideALongerName)
{
    // REPORT.DOC and REPORT.DOC.OLD share the start of their part names.
    const std::string doc = Noise(3000, 7), old = Noise(3000, 8);
    SplitInto(L"REPORT.DOC", doc, 2049);
    SplitInto(L"REPORT.DOC.OLD", old, 2049);
    files.Find(Part(L"REPORT.DOC", 2))->Bytes[400] ^= 1;  // data: still joined
    files.Find(Part(L"REPORT.DOC", 2))->Bytes[1] = 'Q';   // magic: refused
    ASSERT_TRUE(Join({Part(L"REPORT.DOC", 3), Part(L"REPORT.DOC.OLD", 3)}));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{InvalidPartText(Part(L"REPORT.DOC", 2))}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\REPORT.DOC.OLD"), old);
    // The spoilt original got part 1 only, and no times or attributes.
    EXPECT_EQ(files.Bytes(L"E:\\out\\REPORT.DOC"), doc.substr(0, 1012));
    EXPECT_EQ(files.Find(L"E:\\out\\REPORT.DOC")->Written, files.Clock);
}

TEST_F(SplitJoinTest, ALongerTargetEndsAtTheOriginalsSize)
{
    const std::string original = Noise(3000, 9);
    SplitInto(L"t.bin", original, 2049);
    files.Put(L"E:\\out\\t.bin", Noise(9000, 10));
    user.Answers = {sbYes};
    ASSERT_TRUE(Join({Part(L"t.bin", 1)}));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{L"Die Datei \"E:\\out\\t.bin\" ist bereits vorhanden. "
                                                     L"Überschreiben?"}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\t.bin"), original);
}

TEST_F(SplitJoinTest, TheOverwriteQuestionsAnswers)
{
    const std::string original = Noise(3000, 11);
    SplitInto(L"q.bin", original, 2049);
    const std::string kept = Noise(100, 12);
    files.Put(L"E:\\out\\q.bin", kept, 0x21);
    // No: the original is skipped; Cancel: the join stops.
    user.Answers = {sbNo};
    EXPECT_TRUE(Join({Part(L"q.bin", 1)}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\q.bin"), kept);
    user.Answers = {sbCancel};
    EXPECT_FALSE(Join({Part(L"q.bin", 1)}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\q.bin"), kept);
    // Yes over a read-only file.
    user.Asked.clear();
    user.Answers = {sbYes};
    EXPECT_TRUE(Join({Part(L"q.bin", 1)}));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{L"Die Datei \"E:\\out\\q.bin\" ist bereits vorhanden und "
                                                     L"schreibgeschützt. Trotzdem überschreiben?"}));
    EXPECT_EQ(files.Bytes(L"E:\\out\\q.bin"), original);
}

TEST_F(SplitJoinTest, AHeaderNamingAnotherFolderWritesNothing)
{
    const std::string original = Noise(1500, 13);
    SplitInto(L"evil", original, 2049);
    // The part's header names "..\evil", found under a harmless name.
    std::string& bytes = files.Find(Part(L"evil", 1))->Bytes;
    TSplitHeader header = *DecodeSplitHeader(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), 324));
    for (const char* name : {"..\\evil", "C:\\evil", "a:b", "CON"}) {
        header.Name = name;
        const TSplitHeaderBytes spoilt = EncodeSplitHeader(header);
        bytes.replace(0, spoilt.size(), reinterpret_cast<const char*>(spoilt.data()), spoilt.size());
        files.WrittenPaths.clear();
        user.Asked.clear();
        EXPECT_TRUE(Join({Part(L"evil", 1)})) << name;
        EXPECT_TRUE(files.WrittenPaths.empty()) << name;
        EXPECT_EQ(user.Asked, (std::vector<std::wstring>{InvalidPartText(Part(L"evil", 1))})) << name;
    }
}

TEST_F(SplitJoinTest, APartLeftShortByIgnoreIsRefused)
{
    const std::string original = Noise(3000, 14);
    files.ShortWritesOf = UpperCase(Part(L"w.bin", 2));
    files.WriteLimit = 500;
    user.Answers = {sbIgnore};
    SplitInto(L"w.bin", original, 2049);
    ASSERT_EQ(user.Asked.size(), 1u);
    EXPECT_EQ(user.Asked[0], L"Fehler beim Schreiben in Datei \"D:\\parts\\w.bin(002).split\"\r\rFehler der Probe.");
    user.Asked.clear();
    files.ShortWritesOf.clear();
    ASSERT_TRUE(Join({Part(L"w.bin", 3)}));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{InvalidPartText(Part(L"w.bin", 2))}));
    EXPECT_EQ(files.Find(L"E:\\out\\w.bin")->Bytes, original.substr(0, 1012));
}

TEST_F(SplitJoinTest, AWriteErrorEndedByCancelDeletesThePart)
{
    files.Put(L"C:\\src\\c.bin", Noise(3000, 15));
    files.ShortWritesOf = UpperCase(Part(L"c.bin", 2));
    files.WriteLimit = 500;
    user.Answers = {sbCancel};
    EXPECT_FALSE(engine.SplitFileParts(L"C:\\src\\c.bin", 2049, L"D:\\parts\\"));
    EXPECT_TRUE(files.Find(Part(L"c.bin", 1)));
    EXPECT_FALSE(files.Find(Part(L"c.bin", 2)));
    EXPECT_FALSE(files.Find(Part(L"c.bin", 3)));
}

TEST_F(SplitJoinTest, AnOriginalThatCannotBeOpenedIsAskedAgain)
{
    files.Put(L"C:\\src\\o.bin", Noise(1000, 16));
    files.Unopenable.insert(UpperCase(L"C:\\src\\o.bin"));
    user.Default = [this](const std::wstring&, uint8_t) {
        files.Unopenable.clear();  // the second try opens it
        return sbRetry;
    };
    EXPECT_TRUE(engine.SplitFileParts(L"C:\\src\\o.bin", 2049, L"D:\\parts\\"));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{L"Die Datei \"C:\\src\\o.bin\" kann nicht geöffnet "
                                                     L"werden.\r\rFehler der Probe."}));
    EXPECT_TRUE(files.Find(Part(L"o.bin", 1)));
    user.Default = [](const std::wstring&, uint8_t) { return sbCancel; };
    files.Unopenable.insert(UpperCase(L"C:\\src\\o.bin"));
    EXPECT_FALSE(engine.SplitFileParts(L"C:\\src\\o.bin", 2049, L"D:\\parts\\"));
}

TEST_F(SplitJoinTest, ANameOutsideTheCodePageIsRefusedBeforeAnyPart)
{
    files.Put(L"C:\\src\\\x0416.txt", Noise(100, 17));
    EXPECT_TRUE(engine.SplitFileParts(L"C:\\src\\\x0416.txt", 2049, L"D:\\parts\\"));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{SplitNameNotStorableText(L"\x0416.txt")}));
    EXPECT_EQ(files.Files.size(), 1u);
}

TEST_F(SplitJoinTest, AFullRemovableDriveAsksForANewMediumBeforeEachPart)
{
    files.Kind = TSplitDriveKind::Removable;
    // The medium in the drive is full; each one put in takes one part.
    size_t inserted = 0;
    std::wstring drive = L"A:\\";
    files.Free = [&](const std::wstring& root) -> std::optional<uint64_t> {
        EXPECT_EQ(root, drive);
        return inserted > files.Announced.size() ? std::optional<uint64_t>(1'457'664) : std::optional<uint64_t>(0);
    };
    user.Default = [&](const std::wstring&, uint8_t buttons) {
        EXPECT_EQ(buttons, sbOk | sbCancel);
        ++inserted;
        return sbOk;
    };
    files.Put(L"C:\\src\\big.bin", Noise(3'000'000, 18));
    ASSERT_TRUE(engine.SplitFileParts(L"C:\\src\\big.bin", 1'456'128, L"A:\\"));
    EXPECT_EQ(user.Asked, std::vector<std::wstring>(3, L"Kein Speicherplatz auf den Laufwerk A: verfügbar. Bitte "
                                                       L"legen Sie ein neues Medium ein."));
    EXPECT_TRUE(files.Find(L"A:\\big.bin(003).split"));

    // Cancel stops the split before the next part.
    user.Asked.clear();
    user.Default = [](const std::wstring&, uint8_t) { return sbCancel; };
    drive = L"B:\\";
    EXPECT_FALSE(engine.SplitFileParts(L"C:\\src\\big.bin", 1'456'128, drive));
    EXPECT_EQ(user.Asked.size(), 1u);
    EXPECT_FALSE(files.Find(L"B:\\big.bin(001).split"));
}

TEST_F(SplitJoinTest, AFullFixedDriveEndsTheSplit)
{
    files.Free = [](const std::wstring&) { return std::optional<uint64_t>(100); };
    files.Put(L"C:\\src\\f.bin", Noise(3000, 19));
    EXPECT_FALSE(engine.SplitFileParts(L"C:\\src\\f.bin", 2049, L"D:\\parts\\"));
    EXPECT_EQ(user.Asked, (std::vector<std::wstring>{L"Kein Speicherplatz auf den Laufwerk D: vorhanden"}));
    EXPECT_EQ(files.Files.size(), 1u);
}

}  // namespace
