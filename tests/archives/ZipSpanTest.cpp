// Spanned sets: the part names, our split of an archive (checked by listing
// it, joining it back and, where the tools run, by Debian's zip and unzip),
// joining the set zip made, and the failures of both.

#include "archives/ZipSpan.h"
#include "ZipFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <zlib.h>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <filesystem>
#include <fstream>
#include <vector>

using namespace qrv;
using qrv::test::ReadZipFixture;

namespace {

// Parts in memory, each limited to Capacity bytes; the part FailAt is refused.
struct TMemoryParts : TSpanOutput {
    uint64_t Capacity = 0;
    int FailAt = -1;
    std::vector<std::string> Parts;
    bool Completed = false;

    bool OpenPart(uint32_t index, uint64_t& capacity, int& error) override
    {
        if (int(index) == FailAt) {
            error = zmUserAbort;
            return false;
        }
        EXPECT_EQ(index, Parts.size());
        Parts.emplace_back();
        capacity = Capacity;
        return true;
    }
    bool Write(const void* data, size_t count) override
    {
        Parts.back().append(static_cast<const char*>(data), count);
        return true;
    }
    bool ClosePart(bool last) override
    {
        Completed = last;
        return true;
    }
};

struct TMemoryOutput : TJoinOutput {
    std::string Bytes;
    bool Write(const void* data, size_t count) override
    {
        Bytes.append(static_cast<const char*>(data), count);
        return true;
    }
};

// Joins parts held in memory.
TSpanResult Join(const std::vector<std::string>& parts, std::string& joined)
{
    std::vector<TZipMemorySource> sources(parts.begin(), parts.end());
    TMemoryOutput out;
    TSpanResult result =
        JoinZipSet([&](uint32_t index) -> TZipSource* { return index < sources.size() ? &sources[index] : nullptr; },
                   uint32_t(parts.size() - 1), out);
    joined = out.Bytes;
    return result;
}

TZipListResult ListBytes(const std::string& bytes)
{
    TZipMemorySource source(bytes);
    TZipListOptions options;
    options.UseDirOnlyEntries = true;
    return ListZipDirectory(source, options);
}

// An entry's stored data as it stands in the archive.
std::string StoredData(const std::string& archive, const TZipListResult& list, const ZipDirEntry& entry)
{
    size_t at = size_t(entry.RelOffLocalHdr + uint64_t(list.Shift));
    auto p = reinterpret_cast<const unsigned char*>(archive.data() + at);
    size_t header = 30 + (p[26] | (p[27] << 8)) + (p[28] | (p[29] << 8));
    return archive.substr(at + header, size_t(entry.ComprSize));
}

// unzip -v's listing: name -> (size, CRC).
std::map<std::string, std::pair<uint64_t, uint32_t>> UnzipListing(const std::string& file)
{
    std::map<std::string, std::pair<uint64_t, uint32_t>> entries;
    std::istringstream listing(ReadZipFixture(file));
    for (std::string line; std::getline(listing, line);) {
        std::istringstream fields(line);
        std::string method, size, ratio, date, time, crc, name;
        uint64_t length = 0;
        if (fields >> length >> method >> size >> ratio >> date >> time >> crc >> name && crc.size() == 8)
            entries[name] = {length, uint32_t(std::stoul(crc, nullptr, 16))};
    }
    return entries;
}

// Stored or deflated data unpacked with zlib.
std::string Unpack(const ZipDirEntry& entry, const std::string& stored)
{
    if (entry.ComprMethod == 0)
        return stored;
    std::string out(size_t(entry.UncomprSize), '\0');
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.data()));
    z.avail_in = uInt(stored.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(ZipSpan, PartNames)
{
    struct TCase {
        const char16_t* Name;
        uint32_t Index;
        bool Last, Compat;
        const char16_t* Expected;
    } cases[] = {
        {u"C:\\set\\archiv.zip", 0, false, true, u"C:\\set\\archiv.z01"},
        {u"C:\\set\\archiv.zip", 11, false, true, u"C:\\set\\archiv.z12"},
        {u"C:\\set\\archiv.zip", 12, true, true, u"C:\\set\\archiv.zip"},
        {u"C:\\set\\archiv.zip", 0, false, false, u"C:\\set\\archiv001.zip"},
        {u"C:\\set\\archiv.zip", 9, true, false, u"C:\\set\\archiv010.zip"},
        {u"C:\\set.d\\archiv", 1, false, false, u"C:\\set.d\\archiv002"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(SpanPartName(c.Name, c.Index, c.Last, c.Compat), c.Expected);
}

TEST(ZipSpan, SplitListsAndJoinsBackByteEqual)
{
    for (const char* file : {"plain.zip", "sfx_raw.zip"}) {
        SCOPED_TRACE(file);
        const std::string plain = ReadZipFixture("plain.zip");
        std::string archive = ReadZipFixture(file);
        TZipMemorySource source(archive);
        TMemoryParts parts;
        parts.Capacity = 4000;
        std::vector<std::u16string> items;
        TSpanProgress progress;
        progress.OnItem = [&](const std::u16string& item, uint64_t) { items.push_back(item); };
        TSpanResult result = SplitZip(source, parts, progress);
        ASSERT_EQ(result.Error, 0);
        EXPECT_TRUE(parts.Completed);
        ASSERT_GT(parts.Parts.size(), 3u);
        EXPECT_EQ(result.Parts, parts.Parts.size());
        for (const std::string& part : parts.Parts)
            EXPECT_LE(part.size(), parts.Capacity);
        EXPECT_EQ(parts.Parts[0].substr(0, 4), std::string("PK\x07\x08", 4));

        // The set lists like the archive.
        TZipListResult original = ListBytes(plain);
        std::vector<TZipMemorySource> sources(parts.Parts.begin(), parts.Parts.end());
        TZipListOptions options;
        options.UseDirOnlyEntries = true;
        options.OpenDisk = [&](uint32_t disk) -> TZipSource* {
            return disk < sources.size() ? &sources[disk] : nullptr;
        };
        TZipListResult set = ListZipDirectory(sources.back(), options);
        EXPECT_EQ(set.Error, 0);
        ASSERT_EQ(set.Entries.size(), original.Entries.size());
        ASSERT_EQ(items.size(), original.Entries.size() + 1);
        EXPECT_EQ(items.back(), u"Copying: central directory");
        for (size_t i = 0; i < set.Entries.size(); ++i) {
            EXPECT_EQ(items[i], u"Copying: " + std::u16string(original.Entries[i].FileName));
            EXPECT_EQ(set.Entries[i].FileName, original.Entries[i].FileName);
            EXPECT_EQ(set.Entries[i].CRC32, original.Entries[i].CRC32);
        }
        // The stub is left behind, everything else comes back as it was.
        std::string joined;
        EXPECT_EQ(Join(parts.Parts, joined).Error, 0);
        EXPECT_TRUE(joined == plain) << joined.size() << " " << plain.size();
    }
}

// zip's own "-s 0" join of this set is damaged (unzip finds overlapping
// entries), so the join is checked entry by entry: every entry's data
// unpacks to the size and CRC unzip lists for it and to the file zip packed.
TEST(ZipSpan, JoinsTheSetZipMade)
{
    std::vector<std::string> parts = {ReadZipFixture("span.z01"), ReadZipFixture("span.z02"),
                                      ReadZipFixture("span.z03"), ReadZipFixture("span.zip")};
    std::string joined;
    TSpanResult result = Join(parts, joined);
    ASSERT_EQ(result.Error, 0);
    auto oracle = UnzipListing("span.zip.unzipv");
    TZipListResult ours = ListBytes(joined);
    EXPECT_EQ(ours.Error, 0);
    EXPECT_TRUE(ours.Warnings.empty());
    ASSERT_EQ(ours.Entries.size(), oracle.size());
    ASSERT_GT(ours.Entries.size(), 5u);
    for (const ZipDirEntry& entry : ours.Entries) {
        std::string name(entry.FileName.begin(), entry.FileName.end());
        std::replace(name.begin(), name.end(), '\\', '/');
        ASSERT_TRUE(oracle.count(name)) << name;
        EXPECT_EQ(entry.StartOnDisk, 0u);
        std::string data = Unpack(entry, StoredData(joined, ours, entry));
        EXPECT_EQ(data.size(), oracle[name].first) << name;
        EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())), oracle[name].second)
            << name;
        if (name.back() != '/') {
            EXPECT_TRUE(data == ReadZipFixture("span.tree/" + name)) << name;
        }
    }
}

#ifndef _WIN32
// Debian's tools take our set and our joined archive.
TEST(ZipSpan, ZipAndUnzipAcceptOurSetAndJoin)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("qrv-span-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string archive = ReadZipFixture("plain.zip");
    TZipMemorySource source(archive);
    TMemoryParts parts;
    parts.Capacity = 5000;
    ASSERT_EQ(SplitZip(source, parts).Error, 0);
    for (size_t i = 0; i < parts.Parts.size(); ++i) {
        std::u16string name = SpanPartName(u"set.zip", uint32_t(i), i + 1 == parts.Parts.size(), true);
        std::ofstream(dir / std::string(name.begin(), name.end()), std::ios::binary) << parts.Parts[i];
    }
    std::string q = "'" + dir.string() + "'";
    EXPECT_EQ(std::system(("cd " + q + " && zip -q -s 0 set.zip --out whole.zip && unzip -tqq whole.zip").c_str()), 0);

    std::vector<std::string> zipSet = {ReadZipFixture("span.z01"), ReadZipFixture("span.z02"),
                                       ReadZipFixture("span.z03"), ReadZipFixture("span.zip")};
    std::string joined;
    ASSERT_EQ(Join(zipSet, joined).Error, 0);
    std::ofstream(dir / "joined.zip", std::ios::binary) << joined;
    EXPECT_EQ(std::system(("unzip -tqq " + q + "/joined.zip").c_str()), 0);
    fs::remove_all(dir);
}
#endif

TEST(ZipSpan, Failures)
{
    std::string archive = ReadZipFixture("plain.zip");
    TZipMemorySource source(archive);
    {
        TMemoryParts parts;
        parts.Capacity = 4000;
        parts.FailAt = 2;
        TSpanResult result = SplitZip(source, parts);
        EXPECT_EQ(result.Error, zmUserAbort);
        EXPECT_FALSE(parts.Completed);
    }
    {
        TMemoryParts parts;
        parts.Capacity = 40;  // no room for a header
        EXPECT_EQ(SplitZip(source, parts).Error, zmNotEnoughSpace);
    }
    {
        TZipMemorySource junk(std::string_view("no archive at all"));
        TMemoryParts parts;
        EXPECT_EQ(SplitZip(junk, parts).Error, zmNotAZip);
    }
    std::vector<std::string> zipSet = {ReadZipFixture("span.z01"), ReadZipFixture("span.z02"),
                                       ReadZipFixture("span.z03"), ReadZipFixture("span.zip")};
    std::string joined;
    // Without the set's marker in front.
    std::vector<std::string> unmarked = zipSet;
    unmarked[0].replace(0, 4, "XXXX");
    EXPECT_EQ(Join(unmarked, joined).Error, zmSpanMarkerReadError);
    // A middle part cut short.
    std::vector<std::string> cut = zipSet;
    cut[1].resize(1000);
    EXPECT_NE(Join(cut, joined).Error, 0);
    // A middle part missing.
    std::vector<TZipMemorySource> sources(zipSet.begin(), zipSet.end());
    TMemoryOutput out;
    TSpanResult missing =
        JoinZipSet([&](uint32_t index) -> TZipSource* { return index == 2 ? nullptr : &sources[index]; }, 3, out);
    EXPECT_NE(missing.Error, 0);
}

}  // namespace
