// TKyZipper with sets on removable disks, through a fake drive (Wine has
// none): a folder on the test drive stands for the drive, and "disks" are
// swapped in and out of it with their labels. Writing asks for each disk,
// labels it, wipes or formats it only after the user's Yes, asks again for
// a disk that holds an earlier part or has too little room; listing and
// extracting ask for the disks they need.

#include "KyZipperFixture.h"
#include "archives/ZipSpan.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace qrv;
using namespace qrv::test;

namespace {

// A removable drive whose disks are numbered; the one in the drive is the
// folder's content and a label. Disk 0 is no disk: the drive is empty.
struct TFakeDrive : IZipDrive {
    struct TDisk {
        std::wstring Label;
        std::map<std::wstring, std::string> Files;
        uint64_t Free = 30000;
    };
    fs::path Folder;
    std::map<int, TDisk> Shelf;  // every disk not in the drive
    int InDrive = 1;
    TDisk Current;
    std::vector<std::wstring> LabelsSet;
    int Wipes = 0;
    int Formats = 0;
    TFormatResult FormatAnswer = frNotPossible;

    void Insert(int disk)
    {
        if (disk == InDrive)
            return;
        Current.Files.clear();
        for (const auto& entry : fs::directory_iterator(Folder)) {
            Current.Files[entry.path().filename().wstring()] = Read(entry.path());
            fs::remove(entry.path());
        }
        Shelf[InDrive] = Current;
        Current = Shelf[disk];
        Shelf.erase(disk);
        for (const auto& [name, bytes] : Current.Files)
            Write(Folder / name, bytes);
        InDrive = disk;
    }
    // The bytes of a file on a disk, in the drive or not.
    std::string FileOn(int disk, const std::wstring& name)
    {
        if (disk == InDrive)
            return Read(Folder / name);
        return Shelf[disk].Files[name];
    }
    bool HasFile(int disk, const std::wstring& name)
    {
        if (disk == InDrive)
            return fs::exists(Folder / name);
        return Shelf[disk].Files.count(name) != 0;
    }
    void Clear()
    {
        for (const auto& entry : fs::directory_iterator(Folder))
            fs::remove_all(entry.path());
    }

    bool IsRemovable(const std::wstring&) override { return true; }
    bool IsReady(const std::wstring&) override { return InDrive != 0; }
    std::wstring VolumeLabel(const std::wstring&) override { return Current.Label; }
    bool ChangeVolumeLabel(const std::wstring&, const std::wstring& label) override
    {
        LabelsSet.push_back(label);
        Current.Label = label;
        return true;
    }
    uint64_t FreeSpace(const std::wstring&) override { return Current.Free; }
    bool IsEmpty(const std::wstring&) override { return fs::is_empty(Folder); }
    bool Wipe(const std::wstring&, const TRemoved& removed) override
    {
        ++Wipes;
        for (const auto& entry : fs::directory_iterator(Folder)) {
            const bool folder = entry.is_directory();
            fs::remove_all(entry.path());
            removed(entry.path().wstring(), folder);
        }
        return true;
    }
    TFormatResult Format(const std::wstring&) override
    {
        ++Formats;
        if (FormatAnswer == frFormatted)
            Clear();
        return FormatAnswer;
    }
};

std::wstring PartLabel(unsigned number)
{
    wchar_t label[16];
    swprintf(label, 16, L"PKBACK# %03u", number);
    return label;
}

bool StartsWith(const std::wstring& text, const std::wstring& start)
{
    return text.rfind(start, 0) == 0;
}

class KyZipperDisksTest : public KyZipperTest {
protected:
    void SetUp() override
    {
        KyZipperTest::SetUp();
        drive->Folder = root / "floppy";
        fs::create_directories(drive->Folder);
        fs::create_directories(root / "temp");
        zipper.TempDir = (root / "temp").wstring();
        zipper.Drive = drive;
        zipper.Unattended = false;
        zipper.MinFreeVolumeSize = 1000;
        zipper.AskUser = [this](const std::wstring& text, const std::wstring&, unsigned) {
            questions.push_back(text);
            return Answer ? Answer(text) : IDOK;
        };
        zipper.SetZipFileName(setPath.wstring());
    }

    // Writes the tree (without secret.txt) as a set onto the disks.
    int AddSpanned()
    {
        zipper.RootDir = source.wstring();
        zipper.AddOptions = AddDirNames | AddRecurseDirs | AddDiskSpan;
        zipper.FSpecArgs = {L"text\\*.*", L"data.bin"};
        return zipper.Add();
    }

    // Each disk asked for is put in.
    void InsertWhenAsked()
    {
        zipper.OnGetNextDisk = [this](TComponent*, int seqNo, int, const std::wstring&, bool&) {
            prompts.push_back(seqNo);
            drive->Insert(seqNo);
        };
    }

    int Questions(const std::wstring& start) const
    {
        return int(std::count_if(questions.begin(), questions.end(),
                                 [&](const std::wstring& q) { return StartsWith(q, start); }));
    }

    void ExpectExtractedByteEqual()
    {
        zipper.ExtrBaseDir = (root / "out").wstring();
        zipper.ExtrOptions = ExtrDirNames | ExtrOverWrite | ExtrForceDirs;
        zipper.FSpecArgs = {L"*.*"};
        EXPECT_EQ(zipper.Extract(), 0) << (messages.empty() ? L"" : messages.back());
        TTree expected = tree;
        expected.erase(L"secret.txt");
        EXPECT_EQ(ReadTree(root / "out"), expected);
        EXPECT_TRUE(fs::is_empty(root / "temp"));
    }

    std::shared_ptr<TFakeDrive> drive = std::make_shared<TFakeDrive>();
    fs::path setPath = root / "floppy" / "set.zip";
    std::function<int(const std::wstring&)> Answer;
    std::vector<std::wstring> questions;
    std::vector<int> prompts;
};

TEST_F(KyZipperDisksTest, WritesLabelledDisksThatListAndExtract)
{
    Write(drive->Folder / "alt.txt", "alte Daten");
    Answer = [](const std::wstring& text) { return StartsWith(text, L"Erase ") ? IDNO : IDOK; };
    zipper.SpanOptions = spWipeFiles;
    std::vector<unsigned> statuses;
    zipper.OnStatusDisk = [&](TComponent*, int, const std::wstring&, unsigned status, TZipDiskAction&) {
        statuses.push_back(status);
    };
    InsertWhenAsked();
    ASSERT_EQ(AddSpanned(), 0) << (messages.empty() ? L"" : messages.back());

    // Each disk asked for in turn and labelled; the first held a file.
    const int disks = int(prompts.size());
    ASSERT_GE(disks, 3);
    std::vector<int> inTurn(disks);
    std::vector<std::wstring> labels(disks);
    for (int i = 0; i < disks; ++i) {
        inTurn[i] = i + 1;
        labels[i] = PartLabel(i + 1);
    }
    EXPECT_EQ(prompts, inTurn);
    EXPECT_EQ(drive->LabelsSet, labels);
    ASSERT_EQ(statuses.size(), size_t(disks));
    EXPECT_EQ(statuses[0], unsigned(zdsHasFiles));
    EXPECT_EQ(statuses[1], unsigned(zdsEmpty));
    // The erase question answered No: nothing wiped.
    EXPECT_EQ(Questions(L"Erase T:"), disks);
    EXPECT_EQ(drive->Wipes, 0);
    EXPECT_EQ(drive->FileOn(1, L"alt.txt"), "alte Daten");
    EXPECT_TRUE(fs::is_empty(root / "temp"));

    // The last disk is in the drive: the set lists; extracting asks for
    // every other disk in turn.
    zipper.SetZipFileName(setPath.wstring());
    EXPECT_EQ(zipper.Count(), 3);
    EXPECT_EQ(zipper.TotalDisks(), unsigned(disks));
    prompts.clear();
    ExpectExtractedByteEqual();
    inTurn.pop_back();
    EXPECT_EQ(prompts, inTurn);

    // Nobody to ask: refused.
    zipper.Unattended = true;
    zipper.FSpecArgs = {L"data.bin"};
    zipper.AddOptions |= AddDiskSpan;
    EXPECT_EQ(zipper.Add(), zmUnattendedSpan);
}

TEST_F(KyZipperDisksTest, WipesOrFormatsOnlyAfterYes)
{
    Write(drive->Folder / "alt.txt", "alte Daten");
    Answer = [](const std::wstring&) { return IDYES; };
    InsertWhenAsked();
    struct TCase {
        const char* What;
        unsigned Options;
        IZipDrive::TFormatResult Format;
        int Result, Formats, Wipes;
    } cases[] = {
        {"wiped", spWipeFiles, IZipDrive::frNotPossible, 0, 0, -1},
        {"formatted", spWipeFiles | spTryFormat, IZipDrive::frFormatted, 0, -1, 0},
        {"format not possible: wiped", spWipeFiles | spTryFormat, IZipDrive::frNotPossible, 0, -1, -1},
        {"format cancelled", spWipeFiles | spTryFormat, IZipDrive::frCancelled, zmUserAbort, 1, 0},
        {"format failed", spWipeFiles | spTryFormat, IZipDrive::frFailed, zmUserAbort, 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        drive->Insert(1);
        Write(drive->Folder / "alt.txt", "alte Daten");
        drive->Wipes = drive->Formats = 0;
        drive->FormatAnswer = c.Format;
        prompts.clear();
        questions.clear();
        zipper.SpanOptions = c.Options;
        EXPECT_EQ(AddSpanned(), c.Result);
        // -1: once for every disk written.
        const int disks = int(prompts.size());
        EXPECT_EQ(drive->Formats, c.Formats < 0 ? disks : c.Formats);
        EXPECT_EQ(drive->Wipes, c.Wipes < 0 ? disks : c.Wipes);
        EXPECT_EQ(Questions(L"Erase T:"), c.Result == 0 ? disks : 1);
        EXPECT_EQ(drive->HasFile(1, L"alt.txt"), c.Result != 0);
        EXPECT_TRUE(fs::is_empty(root / "temp"));
    }

    // No to the question: neither format nor wipe.
    drive->Insert(1);
    drive->Wipes = drive->Formats = 0;
    Answer = [](const std::wstring& text) { return StartsWith(text, L"Erase ") ? IDNO : IDYES; };
    zipper.SpanOptions = spWipeFiles | spTryFormat;
    EXPECT_EQ(AddSpanned(), 0);
    EXPECT_EQ(drive->Formats + drive->Wipes, 0);
    EXPECT_EQ(drive->FileOn(1, L"alt.txt"), "alte Daten");
}

TEST_F(KyZipperDisksTest, AnEarlierDiskOfTheSetIsAskedForAgain)
{
    // The user leaves the first disk in when the second is wanted.
    zipper.OnGetNextDisk = [this](TComponent*, int seqNo, int, const std::wstring&, bool&) {
        prompts.push_back(seqNo);
        if (!(seqNo == 2 && std::count(prompts.begin(), prompts.end(), 2) == 1))
            drive->Insert(seqNo);
    };
    Answer = [](const std::wstring& text) {
        return StartsWith(text, L"ACHTUNG: Diese Diskette wird bereits benutzt ( Nr. 1 ) !!!") ? IDNO : IDOK;
    };
    ASSERT_EQ(AddSpanned(), 0) << (messages.empty() ? L"" : messages.back());
    ASSERT_GE(prompts.size(), 4u);
    EXPECT_EQ(std::vector<int>(prompts.begin(), prompts.begin() + 3), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(Questions(L"ACHTUNG"), 1);
    // The first disk kept its part: the set extracts.
    zipper.SetZipFileName(setPath.wstring());
    InsertWhenAsked();
    ExpectExtractedByteEqual();

    // Through OnStatusDisk: the status names the earlier disk; Cancel ends.
    for (auto& [number, disk] : drive->Shelf)
        disk.Files.clear();
    drive->Clear();
    drive->Insert(1);
    prompts.clear();
    zipper.OnGetNextDisk = [this](TComponent*, int seqNo, int, const std::wstring&, bool&) {
        prompts.push_back(seqNo);
        if (seqNo != 2)
            drive->Insert(seqNo);
    };
    std::vector<std::pair<int, unsigned>> statuses;
    zipper.OnStatusDisk = [&](TComponent*, int previous, const std::wstring&, unsigned status, TZipDiskAction& action) {
        statuses.emplace_back(previous, status);
        action = (status & zdsPreviousDisk) ? zdaCancel : zdaOk;
    };
    EXPECT_EQ(AddSpanned(), zmUserAbort);
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[1], std::make_pair(1, unsigned(zdsHasFiles | zdsPreviousDisk)));
    EXPECT_TRUE(fs::is_empty(root / "temp"));
}

TEST_F(KyZipperDisksTest, TooLittleRoomAsksAgain)
{
    drive->Shelf[2].Free = 500;  // below MinFreeVolumeSize
    InsertWhenAsked();
    // Retry: the second disk is asked for again; the user puts another in.
    Answer = [this](const std::wstring& text) {
        if (text == L"Auf dem Datenträger ist nicht genügend Speicherplatz verfügbar") {
            drive->Current.Free = 30000;
            return IDRETRY;
        }
        return IDOK;
    };
    ASSERT_EQ(AddSpanned(), 0) << (messages.empty() ? L"" : messages.back());
    EXPECT_EQ(std::vector<int>(prompts.begin(), prompts.begin() + 3), (std::vector<int>{1, 2, 2}));
    zipper.SetZipFileName(setPath.wstring());
    ExpectExtractedByteEqual();

    // Cancel ends the run; OnStatusDisk's zdaCancel too.
    for (auto& [number, disk] : drive->Shelf)
        disk.Files.clear();
    drive->Clear();
    drive->Insert(1);
    drive->Current.Free = 500;
    Answer = [](const std::wstring& text) { return StartsWith(text, L"Auf dem") ? IDCANCEL : IDOK; };
    EXPECT_EQ(AddSpanned(), zmUserAbort);
    std::vector<unsigned> statuses;
    zipper.OnStatusDisk = [&](TComponent*, int, const std::wstring&, unsigned status, TZipDiskAction& action) {
        statuses.push_back(status);
        action = status == zdsNotEnoughSpace ? zdaCancel : zdaOk;
    };
    EXPECT_EQ(AddSpanned(), zmUserAbort);
    EXPECT_EQ(statuses, (std::vector<unsigned>{zdsEmpty, zdsNotEnoughSpace}));
    EXPECT_TRUE(fs::is_empty(drive->Folder));
    EXPECT_TRUE(fs::is_empty(root / "temp"));
}

// A set of two disks whose central directory lies wholly on the first: the
// second holds the end record only.
class TTwoParts : public TSpanOutput {
public:
    explicit TTwoParts(uint64_t firstCapacity) : first_(firstCapacity) {}
    bool OpenPart(uint32_t index, uint64_t& capacity, int&) override
    {
        Parts.emplace_back();
        capacity = index == 0 ? first_ : 0;
        return true;
    }
    bool Write(const void* data, size_t count) override
    {
        Parts.back().append(static_cast<const char*>(data), count);
        return true;
    }
    bool ClosePart(bool) override { return true; }
    std::vector<std::string> Parts;

private:
    uint64_t first_;
};

TEST_F(KyZipperDisksTest, ListingAsksForTheDiskWithTheDirectory)
{
    // An archive of the tree split by hand onto two disks.
    zipper.SetZipFileName(archive.wstring());
    zipper.RootDir = source.wstring();
    zipper.AddOptions = AddDirNames | AddRecurseDirs;
    zipper.FSpecArgs = {L"text\\*.*", L"data.bin"};
    ASSERT_EQ(zipper.Add(), 0);
    const std::string whole = Read(archive);
    TZipMemorySource input(whole);
    TTwoParts parts(4 + whole.size() - 22);
    ASSERT_EQ(SplitZip(input, parts).Error, 0);
    ASSERT_EQ(parts.Parts.size(), 2u);
    ASSERT_EQ(parts.Parts[1].size(), 22u);
    drive->Shelf[1] = {PartLabel(1), {{L"set.zip", parts.Parts[0]}}};
    drive->Current = {PartLabel(2), {}};
    drive->InDrive = 2;
    Write(setPath, parts.Parts[1]);

    // Unattended: nobody to ask, nothing listed.
    zipper.Unattended = true;
    zipper.SetZipFileName(setPath.wstring());
    EXPECT_EQ(zipper.Count(), 0);
    EXPECT_EQ(zipper.ErrCode(), zmUserAbort);

    // The box asks for disk 1 of 2; a disk of another set put in is asked
    // for again.
    drive->Shelf[3] = {PartLabel(5), {{L"set.zip", "ein anderer Satz"}}};
    zipper.Unattended = false;
    std::vector<std::wstring> prompted;
    Answer = [&](const std::wstring& text) {
        prompted.push_back(text);
        drive->Insert(prompted.size() == 1 ? 3 : 1);
        return IDOK;
    };
    zipper.SetZipFileName(setPath.wstring());
    EXPECT_EQ(zipper.Count(), 3);
    const std::wstring disk1 = L"Bitte legen Sie Diskette 1 von 2 ein\nin Laufwerk: T:";
    EXPECT_EQ(prompted, (std::vector<std::wstring>{disk1, disk1}));

    // Extracting: the last disk first (disk 1 is in the drive), then disk 1.
    prompted.clear();
    Answer = [&](const std::wstring& text) {
        prompted.push_back(text);
        drive->Insert(StartsWith(text, L"Bitte legen Sie die letzte Diskette ein") ? 2 : 1);
        return IDOK;
    };
    ExpectExtractedByteEqual();
    EXPECT_EQ(prompted,
              (std::vector<std::wstring>{L"Bitte legen Sie die letzte Diskette ein\nin Laufwerk: T:", disk1}));
}

TEST_F(KyZipperDisksTest, AHandlerThatThrowsEndsTheRunWithoutLeftovers)
{
    // Writing: the handler fails when the second disk is wanted.
    zipper.OnGetNextDisk = [this](TComponent*, int seqNo, int, const std::wstring&, bool&) {
        if (seqNo == 2)
            throw std::runtime_error("Laufwerk klemmt");
        drive->Insert(seqNo);
    };
    EXPECT_EQ(AddSpanned(), zmSpanFailed);
    EXPECT_EQ(zipper.Message(), L"Unbekannter Fehler in Funktion ReadSpan() oder WriteSpan() Laufwerk klemmt");
    EXPECT_FALSE(zipper.ZipBusy());
    EXPECT_EQ(drive->InDrive, 1);
    EXPECT_TRUE(fs::is_empty(drive->Folder));
    EXPECT_TRUE(fs::is_empty(root / "temp"));

    // Extracting: a set is written, then the handler fails on the first disk.
    InsertWhenAsked();
    ASSERT_EQ(AddSpanned(), 0);
    zipper.SetZipFileName(setPath.wstring());
    zipper.OnGetNextDisk = [](TComponent*, int, int, const std::wstring&, bool&) {
        throw std::runtime_error("Laufwerk klemmt");
    };
    zipper.ExtrBaseDir = (root / "out").wstring();
    zipper.ExtrOptions = ExtrDirNames | ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), zmSpanFailed);
    EXPECT_FALSE(zipper.UnzBusy());
    EXPECT_TRUE(fs::is_empty(root / "temp"));
    EXPECT_FALSE(fs::exists(root / "out"));
}

TEST_F(KyZipperDisksTest, AnEmptyDriveIsAskedAgain)
{
    // The second disk wanted, the first taken out, nothing put in yet.
    zipper.OnGetNextDisk = [this](TComponent*, int seqNo, int, const std::wstring&, bool&) {
        prompts.push_back(seqNo);
        drive->Insert(seqNo == 2 && std::count(prompts.begin(), prompts.end(), 2) == 1 ? 0 : seqNo);
    };
    ASSERT_EQ(AddSpanned(), 0) << (messages.empty() ? L"" : messages.back());
    EXPECT_EQ(std::vector<int>(prompts.begin(), prompts.begin() + 3), (std::vector<int>{1, 2, 2}));
    zipper.SetZipFileName(setPath.wstring());
    InsertWhenAsked();
    ExpectExtractedByteEqual();
}

TEST_F(KyZipperDisksTest, WipingIsReportedWithTrace)
{
    Write(drive->Folder / "alt.txt", "alte Daten");
    fs::create_directories(drive->Folder / "ordner");
    Answer = [](const std::wstring&) { return IDYES; };
    InsertWhenAsked();
    zipper.SpanOptions = spWipeFiles;
    zipper.Trace = true;
    ASSERT_EQ(AddSpanned(), 0);
    const fs::path folder = drive->Folder;
    auto reported = [&](const std::wstring& text) { return std::count(messages.begin(), messages.end(), text); };
    EXPECT_EQ(reported(L"EraseFloppy - Deleting " + (folder / "alt.txt").wstring()), 1);
    EXPECT_EQ(reported(L"EraseFloppy - Removing " + (folder / "ordner").wstring()), 1);

    // Without Trace nothing is reported.
    messages.clear();
    drive->Insert(1);
    Write(drive->Folder / "alt.txt", "alte Daten");
    zipper.Trace = false;
    ASSERT_EQ(AddSpanned(), 0);
    for (const std::wstring& message : messages)
        EXPECT_FALSE(StartsWith(message, L"EraseFloppy")) << message;
}

// The system's wipe on a folder of the test drive standing for a disk.
TEST_F(KyZipperDisksTest, SystemWipeDeletesEverythingOnTheDisk)
{
    const fs::path disk = root / "disk";
    Write(disk / "a.txt", "a");
    Write(disk / "tief" / "er" / "b.txt", "b");
    Write(disk / L"schreibgeschützt.txt", "c");
    ASSERT_TRUE(SetFileAttributesW((disk / L"schreibgeschützt.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    std::vector<std::pair<std::wstring, bool>> removed;
    EXPECT_TRUE(SystemZipDrive()->Wipe(
        disk.wstring() + L"\\", [&](const std::wstring& path, bool folder) { removed.emplace_back(path, folder); }));
    EXPECT_TRUE(fs::exists(disk));
    EXPECT_TRUE(fs::is_empty(disk));
    std::sort(removed.begin(), removed.end());
    const std::wstring base = disk.wstring() + L"\\";
    EXPECT_EQ(removed, (std::vector<std::pair<std::wstring, bool>>{{base + L"a.txt", false},
                                                                   {base + L"schreibgeschützt.txt", false},
                                                                   {base + L"tief", true},
                                                                   {base + L"tief\\er", true},
                                                                   {base + L"tief\\er\\b.txt", false}}));
}

}  // namespace
