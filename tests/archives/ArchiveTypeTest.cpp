// Deciding the kind of an archive: by extension, by the zip end record at
// the end of a self-extracting file or in its last 8 KB, and by the RAR and
// ACE readers behind a stub; the RAR reader's error event always comes back.

#include "archives/ArchiveType.h"
#include "archives/KyRarArc.h"
#include "external/RarCore.h"
#include "external/RarFixture.h"
#include "framework/FilePath.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

using namespace qrv;
using namespace qrv::external;

namespace {

const std::string kEndRecord = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// Files held in memory, read as the window reads them from disk.
struct TFakeFiles {
    std::map<std::wstring, std::string> Files;
    std::map<std::wstring, uint8_t> Accepts;  // what the reader probes say of a name
    int RarProbes = 0;

    TArchiveProbes Probes()
    {
        TArchiveProbes probes;
        probes.ReadTail = [this](const std::wstring& name, size_t max, uint64_t& size, std::vector<uint8_t>& tail) {
            const auto it = Files.find(name);
            if (it == Files.end())
                return false;
            size = it->second.size();
            const size_t n = std::min(max, it->second.size());
            tail.assign(it->second.end() - static_cast<std::ptrdiff_t>(n), it->second.end());
            return true;
        };
        probes.IsCabinet = [this](const std::wstring& name) { return Accepts[name] == akCabinet; };
        probes.IsRar = [this](const std::wstring& name) {
            ++RarProbes;
            return Accepts[name] == akRAR;
        };
        probes.IsAce = [this](const std::wstring& name) { return Accepts[name] == akACE; };
        return probes;
    }
};

}  // namespace

TEST(ArchiveType, ByExtensionAndContents)
{
    TFakeFiles files;
    // Zip end record in the last 22 bytes of a small stub.
    files.Files[L"small.exe"] = std::string(100, 'M') + kEndRecord;
    // Record inside the last 8 KB (followed by a zip comment).
    files.Files[L"comment.exe"] = std::string(20000, 'M') + kEndRecord + std::string(3000, 'c');
    // Record just outside the last 8 KB.
    files.Files[L"far.exe"] = std::string(20000, 'M') + kEndRecord + std::string(8200, 'c');
    // Exactly 8 KB with the record elsewhere than at the end.
    files.Files[L"exact.exe"] = std::string(100, 'M') + kEndRecord + std::string(8192 - 122, 'c');
    // The signature at offset 0 of the last 8 KB.
    files.Files[L"edge.exe"] = std::string(100, 'M') + kEndRecord + std::string(8192 - 22, 'c');
    files.Files[L"tiny.exe"] = "MZ";
    files.Files[L"rar.exe"] = std::string(9000, 'M');
    files.Files[L"ace.exe"] = std::string(9000, 'M');
    files.Files[L"plain.exe"] = std::string(9000, 'M');
    files.Files[L"small-rar.exe"] = std::string(100, 'M');
    files.Accepts[L"rar.exe"] = akRAR;
    files.Accepts[L"ace.exe"] = akACE;
    files.Accepts[L"small-rar.exe"] = akRAR;
    files.Accepts[L"good.cab"] = akCabinet;
    files.Accepts[L"good.ace"] = akACE;
    files.Files[L"zip.cab"] = kEndRecord;

    const struct {
        const wchar_t* Name;
        uint8_t Kind;
    } cases[] = {
        {L"a.zip", akZip},        {L"C:\\x\\B.JAR", akZip},   {L"missing.ZiP", akZip},  {L"a.rar", akRAR},
        {L"good.cab", akCabinet}, {L"zip.cab", akNone},       {L"good.ace", akACE},     {L"bad.ace", akNone},
        {L"small.exe", akZip},    {L"comment.exe", akZip},    {L"far.exe", akNone},     {L"exact.exe", akNone},
        {L"edge.exe", akZip},     {L"tiny.exe", akNone},      {L"rar.exe", akRAR},      {L"ace.exe", akACE},
        {L"plain.exe", akNone},   {L"small-rar.exe", akNone}, {L"missing.exe", akNone}, {L"a.txt", akNone},
        {L"zip", akNone},         {L"a.zip.txt", akNone},     {L"a.tar.gz", akNone},
    };
    const TArchiveProbes probes = files.Probes();
    for (const auto& c : cases)
        EXPECT_EQ(GetArchiveType(c.Name, probes), c.Kind) << std::string(c.Name, c.Name + wcslen(c.Name));
}

TEST(ArchiveType, AThrowingProbeMeansNoArchive)
{
    TArchiveProbes probes;
    probes.IsCabinet = [](const std::wstring&) -> bool { throw std::runtime_error("cabinet"); };
    probes.ReadTail = [](const std::wstring&, size_t, uint64_t&, std::vector<uint8_t>&) -> bool {
        throw std::runtime_error("read");
    };
    EXPECT_EQ(GetArchiveType(L"a.cab", probes), akNone);
    EXPECT_EQ(GetArchiveType(L"a.exe", probes), akNone);
}

namespace {

TRarPlatform CorePlatform()
{
    TRarPlatform platform;
    platform.LoadUnrar = [](const std::wstring&, TUnrarFunctions& f) {
        f.OpenArchive = RarOpenArchive;
        f.CloseArchive = RarCloseArchive;
        f.ReadHeader = RarReadHeader;
        f.ProcessFile = RarProcessFile;
        f.SetChangeVolProc = RarSetChangeVolProc;
        f.SetProcessDataProc = RarSetProcessDataProc;
        f.SetPassword = RarSetPassword;
        return true;
    };
    return platform;
}

}  // namespace

TEST(ArchiveType, RarProbeKeepsItsErrorEventConnected)
{
    test::TestDir dir;
    const std::filesystem::path root = FsPath(dir.Path());
    TRarFixtureOptions stub;
    stub.Stub = std::string(9000, 'M');
    std::ofstream(root / "sfx.exe", std::ios::binary) << BuildRarFixture({{"a.txt", "aaa"}}, stub);
    std::ofstream(root / "plain.exe", std::ios::binary) << std::string(9000, 'M');

    int errors = 0;
    const auto attach = [&](TKyRAR& rar) { rar.OnError = [&](TKyRAR*, const std::wstring&, int) { ++errors; }; };

    TKyRAR rar(nullptr, CorePlatform());
    attach(rar);
    EXPECT_TRUE(RarHoldsEntries(rar, FromFsPath(root / "sfx.exe")));
    EXPECT_FALSE(RarHoldsEntries(rar, FromFsPath(root / "plain.exe")));
    EXPECT_EQ(errors, 0);  // the refusal was not reported
    ASSERT_TRUE(rar.OnError);

    // A reader whose library throws while loading: no RAR, event back.
    TRarPlatform throwing;
    throwing.LoadUnrar = [](const std::wstring&, TUnrarFunctions&) -> bool { throw std::runtime_error("load"); };
    TKyRAR broken(nullptr, throwing);
    attach(broken);
    EXPECT_FALSE(RarHoldsEntries(broken, FromFsPath(root / "sfx.exe")));
    ASSERT_TRUE(broken.OnError);
    broken.OnError(&broken, L"x", 1);
    EXPECT_EQ(errors, 1);

    // Through the whole detection, with the stub in front.
    TArchiveProbes probes;
    probes.ReadTail = [](const std::wstring& name, size_t max, uint64_t& size, std::vector<uint8_t>& tail) {
        std::ifstream in(FsPath(name), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size = bytes.size();
        const size_t n = std::min(max, bytes.size());
        tail.assign(bytes.end() - static_cast<std::ptrdiff_t>(n), bytes.end());
        return true;
    };
    probes.IsRar = [&](const std::wstring& name) { return RarHoldsEntries(rar, name); };
    EXPECT_EQ(GetArchiveType(FromFsPath(root / "sfx.exe"), probes), akRAR);
    EXPECT_EQ(GetArchiveType(FromFsPath(root / "plain.exe"), probes), akNone);
    EXPECT_TRUE(rar.OnError);
}
