// TKyCAB over the system's cabinet.dll: a cabinet from gcab against
// cabextract's unpacking, and small cabinets written here for names stored
// with "/", hostile names, damaged data and throwing handlers.

#include "archives/win/KyCab.h"
#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "TestDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace qrv;
namespace fs = std::filesystem;

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
}

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::map<std::wstring, std::string> Tree(const fs::path& root)
{
    std::map<std::wstring, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).wstring()] = Read(entry.path());
    return tree;
}

// The DOS date-time of a file's last write, in local time.
uint32_t LocalDosTime(const fs::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    FILETIME local;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    WORD date = 0, time = 0;
    FileTimeToDosDateTime(&local, &date, &time);
    return (static_cast<uint32_t>(date) << 16) | time;
}

void Put16(std::string& s, uint32_t v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A cabinet with one uncompressed folder: names exactly as given.
std::string StoredCabinet(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::string entries, data;
    for (const auto& [name, bytes] : files) {
        Put32(entries, static_cast<uint32_t>(bytes.size()));
        Put32(entries, static_cast<uint32_t>(data.size()));
        Put16(entries, 0);       // folder
        Put16(entries, 0x5A8A);  // 2025-04-10
        Put16(entries, 0x6000);  // 12:00:00
        Put16(entries, 0x20);
        entries += name;
        entries.push_back('\0');
        data += bytes;
    }
    const uint32_t filesAt = 36 + 8;
    const uint32_t dataAt = filesAt + static_cast<uint32_t>(entries.size());
    std::string block;
    Put32(block, 0);  // no checksum
    Put16(block, static_cast<uint32_t>(data.size()));
    Put16(block, static_cast<uint32_t>(data.size()));
    block += data;
    std::string cab = "MSCF";
    Put32(cab, 0);
    Put32(cab, dataAt + static_cast<uint32_t>(block.size()));
    Put32(cab, 0);
    Put32(cab, filesAt);
    Put32(cab, 0);
    cab.push_back(3);
    cab.push_back(1);
    Put16(cab, 1);
    Put16(cab, static_cast<uint32_t>(files.size()));
    Put16(cab, 0);
    Put16(cab, 1234);
    Put16(cab, 0);
    Put32(cab, dataAt);  // the folder's first data block
    Put16(cab, 1);
    Put16(cab, 0);       // not compressed
    return cab + entries + block;
}

class KyCabTest : public ::testing::Test {
protected:
    test::TestDir dir;
    fs::path root{dir.Path()};
    TKyCAB cab{nullptr};
    std::vector<std::wstring> errors;

    void SetUp() override
    {
        cab.OnError = [this](TKyCAB*, const std::wstring& text) { errors.push_back(text); };
    }

    std::wstring Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return (root / name).wstring();
    }
};

}  // namespace

TEST_F(KyCabTest, ListsAndExtractsWhatGcabWroteAsCabextractDoes)
{
    const fs::path fixture = fs::path(ProgramFolder()) / "gcab_sub_utf8.cab";
    fs::copy_file(fixture, root / "t.cab");
    cab.SetArchiveName((root / "t.cab").wstring());
    ASSERT_EQ(cab.ArchiveName(), (root / "t.cab").wstring());
    ASSERT_TRUE(cab.List());
    ASSERT_EQ(cab.Count(), 3);
    const auto reference = Tree(fs::path(ProgramFolder()) / "cab_reference");
    EXPECT_EQ(cab.Items(0).Name, L"long.txt");
    EXPECT_EQ(cab.Items(1).Name, L"sub\\Größe.txt");
    EXPECT_EQ(cab.Items(2).Name, L"sub\\x.bin");
    EXPECT_EQ(cab.Items(0).Size, reference.at(L"long.txt").size());
    EXPECT_EQ(cab.Items(0).DateTime, 0x58A63905u);  // 2024-05-06 07:08:10 as stored
    EXPECT_EQ(cab.Items(1).DateTime, 0x56221883u);  // 2023-01-02 03:04:06

    cab.SetTargetDir((root / "paths").wstring());
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_EQ(Tree(root / "paths"), reference);
    for (int i = 0; i < cab.Count(); ++i)
        EXPECT_EQ(LocalDosTime(root / "paths" / cab.Items(i).Name), cab.Items(i).DateTime) << cab.Items(i).Name;

    cab.SetTargetDir((root / "flat").wstring());
    EXPECT_TRUE(cab.Extract(false));
    EXPECT_EQ(Read(root / "flat" / L"Größe.txt"), reference.at(L"sub\\Größe.txt"));
    EXPECT_FALSE(fs::exists(root / "flat" / "sub"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(KyCabTest, SlashNamesListWithBackslashesAndMatchRequestsInThatForm)
{
    cab.SetArchiveName(Write("slash.cab", StoredCabinet({{"dir/a.txt", "alpha"}, {"dir/b.txt", "bravo"}})));
    ASSERT_TRUE(cab.List());
    ASSERT_EQ(cab.Count(), 2);
    EXPECT_EQ(cab.Items(0).Name, L"dir\\a.txt");
    TStringList wanted;
    wanted.Add(L"dir\\b.txt");
    cab.SetFilesToExtract(wanted);
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_EQ(Tree(root / "out"), (std::map<std::wstring, std::string>{{L"dir\\b.txt", "bravo"}}));
}

TEST_F(KyCabTest, AForeignFileKeepsTheOldNameAndADamagedCabinetFails)
{
    const std::wstring good = Write("good.cab", StoredCabinet({{"a.txt", "alpha"}}));
    cab.SetArchiveName(good);
    const std::wstring text = Write("letter.cab", "Sehr geehrte Damen und Herren, dies ist kein Cabinet.");
    cab.SetArchiveName(text);
    EXPECT_EQ(cab.ArchiveName(), good);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"UNCAB: \"" + text + L"\" ist kein gültiges Cabinet-Archiv"});

    std::string damaged = StoredCabinet({{"a.txt", std::string(5000, 'a')}});
    damaged.resize(damaged.size() - 3000);
    cab.SetArchiveName(Write("damaged.cab", damaged));
    errors.clear();
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_FALSE(cab.Extract(true));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back().rfind(L"UNCAB: ", 0), 0u) << errors.back();
}

TEST_F(KyCabTest, HostileNamesWriteNothingOutsideTheTarget)
{
    cab.SetArchiveName(Write("hostile.cab", StoredCabinet({{"..\\up.txt", "x"}, {"\\rooted.txt", "r"},
                                                         {"C:\\drive.txt", "d"}, {"ok.txt", "fine"}})));
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_FALSE(cab.Extract(true));  // one name refused
    EXPECT_EQ(Tree(root / "out"), (std::map<std::wstring, std::string>{
                                      {L"rooted.txt", "r"}, {L"drive.txt", "d"}, {L"ok.txt", "fine"}}));
    EXPECT_FALSE(fs::exists(root / "up.txt"));
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(KyCabTest, AThrowingHandlerEndsTheRunFalse)
{
    cab.SetArchiveName(Write("a.cab", StoredCabinet({{"a.txt", "alpha"}, {"b.txt", "bravo"}})));
    cab.SetTargetDir((root / "out").wstring());
    cab.OnCopyFile = [](TKyCAB*, const std::wstring&, int32_t, uint16_t, uint16_t, uint16_t, TFileCopyAction&) {
        throw Exception(L"Abbruch im Ereignis");
    };
    EXPECT_FALSE(cab.Extract(true));
    EXPECT_EQ(errors, std::vector<std::wstring>{L"UNCAB: Abbruch im Ereignis"});
    EXPECT_FALSE(cab.Busy());
}
