// The zip component's directory reader: archives made by Debian's zip
// (compared with the listings zipinfo and unzip give of them) and archives
// written byte by byte for the cases zip does not make: name codings,
// the empty archive, damaged directories.

#include "archives/ZipDirectory.h"
#include "ZipFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>

using namespace qrv;

namespace {

std::string ReadFixture(const std::string& name)
{
    return qrv::test::ReadZipFixture(name);
}

std::string Ascii(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

// A source that shows nothing in place: its directory is read header by
// header through the reader's window.
class TReadOnlySource : public TZipSource {
public:
    explicit TReadOnlySource(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override { return bytes_.ReadAt(offset, buffer, count); }

private:
    TZipMemorySource bytes_;
};

// The first entry in which two listings differ, for the failure message.
std::string FirstDifference(const TZipListResult& a, const TZipListResult& b)
{
    for (size_t i = 0; i < std::min(a.Entries.size(), b.Entries.size()); ++i)
        if (!(a.Entries[i] == b.Entries[i]))
            return "entry " + std::to_string(i) + ": " + Ascii(a.Entries[i].FileName) + " / " +
                   Ascii(b.Entries[i].FileName);
    return "entries " + std::to_string(a.Entries.size()) + " / " + std::to_string(b.Entries.size()) + ", error " +
           std::to_string(a.Error) + " / " + std::to_string(b.Error);
}

// Lists the bytes as the component lists a file it can map: in place, in
// parts of two entries here so that small archives are split too. The same
// bytes read header by header must give the same listing.
TZipListResult List(std::string_view bytes, TZipListOptions options = {})
{
    TZipListOptions plain = options;
    plain.OnNewName = nullptr;
    TReadOnlySource readOnly(bytes);
    const TZipListResult read = ListZipDirectory(readOnly, plain);
    options.MinEntriesPerPart = 2;
    TZipMemorySource source(bytes);
    TZipListResult result = ListZipDirectory(source, options);
    EXPECT_TRUE(result == read) << FirstDifference(result, read);
    return result;
}

// What the oracles say about one entry.
struct TOracleEntry {
    uint64_t Size = 0;
    uint64_t Packed = 0;
    std::string Time;  // yyyymmdd.hhmmss
    std::string Crc;   // 8 hex digits
};

// Joins zipinfo's long listing (sizes, times) with unzip's verbose one (CRC).
std::map<std::string, TOracleEntry> OracleListing(const std::string& archive)
{
    std::map<std::string, TOracleEntry> entries;
    std::istringstream zipinfo(ReadFixture(archive + ".zipinfo"));
    for (std::string line; std::getline(zipinfo, line);) {
        std::istringstream fields(line);
        std::string perms, version, host, kind, method, time, name;
        TOracleEntry entry;
        if (fields >> perms >> version >> host >> entry.Size >> kind >> entry.Packed >> method >> time >> name &&
            perms.size() == 10)
            entries[name] = {entry.Size, entry.Packed, time, {}};
    }
    std::istringstream unzip(ReadFixture(archive + ".unzipv"));
    for (std::string line; std::getline(unzip, line);) {
        std::istringstream fields(line);
        std::string length, method, size, ratio, date, time, crc, name;
        if (fields >> length >> method >> size >> ratio >> date >> time >> crc >> name && entries.count(name))
            entries[name].Crc = crc;
    }
    return entries;
}

std::string DosTimeText(uint32_t dos)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u.%02u%02u%02u", (dos >> 25) + 1980, (dos >> 21) & 15,
                  (dos >> 16) & 31, (dos >> 11) & 31, (dos >> 5) & 63, (dos & 31) * 2);
    return text;
}

std::string Hex8(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

std::string ZipName(std::u16string_view name)
{
    std::string out = Ascii(name);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

// Little-endian writing for archives made in the test.
void Put16(std::string& out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct TWrittenEntry {
    std::string Name;
    uint8_t Host = 0;
    uint8_t MadeBy = 20;
    uint16_t Flags = 0;
    std::string Extra;
    std::string Comment;
};

uint32_t Crc32(std::string_view bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// Empty stored entries: local headers, the central directory, the end record.
std::string WriteZip(const std::vector<TWrittenEntry>& entries, const std::string& comment = {})
{
    std::string out;
    std::vector<uint32_t> offsets;
    for (const TWrittenEntry& e : entries) {
        offsets.push_back(uint32_t(out.size()));
        Put32(out, 0x04034B50);
        Put16(out, 10);
        Put16(out, e.Flags);
        Put16(out, 0);
        Put32(out, 0x58210000);
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, 0);
        Put16(out, uint32_t(e.Name.size()));
        Put16(out, 0);
        out += e.Name;
    }
    size_t central = out.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const TWrittenEntry& e = entries[i];
        Put32(out, 0x02014B50);
        out += char(e.MadeBy);
        out += char(e.Host);
        Put16(out, 10);
        Put16(out, e.Flags);
        Put16(out, 0);
        Put32(out, 0x58210000);
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, 0);
        Put16(out, uint32_t(e.Name.size()));
        Put16(out, uint32_t(e.Extra.size()));
        Put16(out, uint32_t(e.Comment.size()));
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, 0);
        Put32(out, offsets[i]);
        out += e.Name + e.Extra + e.Comment;
    }
    size_t centralSize = out.size() - central;
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, uint32_t(entries.size()));
    Put16(out, uint32_t(entries.size()));
    Put32(out, uint32_t(centralSize));
    Put32(out, uint32_t(central));
    Put16(out, uint32_t(comment.size()));
    out += comment;
    return out;
}

std::string UnicodePathExtra(std::string_view stored, std::string_view utf8, uint32_t crcDelta = 0)
{
    std::string extra;
    Put16(extra, 0x7075);
    Put16(extra, uint32_t(5 + utf8.size()));
    extra += char(1);
    Put32(extra, Crc32(stored) + crcDelta);
    extra += utf8;
    return extra;
}

TEST(ZipDirectory, ListsWhatZipinfoAndUnzipShow)
{
    for (const char* archive : {"plain.zip", "zip64.zip"}) {
        SCOPED_TRACE(archive);
        auto oracle = OracleListing(archive);
        ASSERT_GT(oracle.size(), 3u);
        TZipListOptions options;
        options.UseDirOnlyEntries = true;
        TZipListResult result = List(ReadFixture(archive), options);
        EXPECT_EQ(result.Error, 0);
        EXPECT_TRUE(result.Warnings.empty());
        ASSERT_EQ(result.Entries.size(), oracle.size());
        for (const ZipDirEntry& entry : result.Entries) {
            std::string name = ZipName(entry.FileName);
            ASSERT_TRUE(oracle.count(name)) << name;
            const TOracleEntry& expected = oracle[name];
            EXPECT_EQ(entry.UncomprSize, expected.Size) << name;
            EXPECT_EQ(entry.ComprSize, expected.Packed) << name;
            EXPECT_EQ(DosTimeText(entry.DateTime), expected.Time) << name;
            EXPECT_EQ(Hex8(entry.CRC32), expected.Crc) << name;
            EXPECT_EQ(entry.HostVersionNo, 3) << name;
            EXPECT_EQ(entry.FileName.find(u'/'), std::u16string::npos);
        }
    }
}

TEST(ZipDirectory, LargeDirectoriesKeepEveryTextWhenTheEntriesMove)
{
    // Enough long names, extra fields and comments to fill several text
    // blocks and to make fields straddle the reader's window; plain ASCII
    // names, UTF-8 names and one name near the longest possible.
    std::vector<TWrittenEntry> written;
    for (int i = 0; i < 700; ++i) {
        TWrittenEntry e;
        e.Host = 3;
        const std::string number = std::to_string(i);
        if (i % 3 == 0) {
            e.Flags = 0x0800;
            e.Name = "ordner/\xC3\xA4" + std::string(size_t(300 + i), char('a' + i % 26)) + number;
        } else {
            e.Name = "dir" + number + "/" + std::string(size_t(400 + 3 * i), char('A' + i % 26)) + ".txt";
        }
        if (i == 350)
            e.Name = std::string(60000, 'n') + number;
        e.Extra = std::string("\x34\x12\x04\x00", 4) + number.substr(0, 1) + "xyz";
        if (i % 5 == 0)
            e.Comment = "Notiz " + number;
        written.push_back(e);
    }
    const std::string bytes = WriteZip(written);
    ASSERT_GT(bytes.size(), 3u * 256 * 1024);

    TZipEntries moved;
    {
        TZipListResult result = List(bytes);
        ASSERT_EQ(result.Error, 0);
        moved = std::move(result.Entries);
    }
    ASSERT_EQ(moved.size(), written.size());
    size_t nameLengths = 0;
    for (size_t i = 0; i < written.size(); ++i) {
        const TWrittenEntry& e = written[i];
        const ZipDirEntry& entry = moved[i];
        std::u16string expected = DecodeUtf8(e.Name);
        std::replace(expected.begin(), expected.end(), u'/', u'\\');
        EXPECT_EQ(entry.FileName, expected) << i;
        EXPECT_EQ(entry.FileNameLength, e.Name.size()) << i;
        EXPECT_EQ(entry.ExtraData, e.Extra) << i;
        EXPECT_EQ(entry.FileComment, DecodeUtf8(e.Comment)) << i;
        nameLengths += expected.size();
    }
    EXPECT_EQ(moved.NameLengths(), nameLengths);
}

TEST(ZipDirectory, TextBlocksMovedAwayKeepTheirTexts)
{
    TTextBlocks<char16_t> first;
    const std::u16string_view kept = first.Store(u"kept text");
    TTextBlocks<char16_t> second = std::move(first);
    // The moved-from set takes new texts into a block of its own.
    const std::u16string_view later = first.Store(u"written later");
    const std::u16string_view own = second.Store(u"the second's own");
    EXPECT_EQ(kept, u"kept text");
    EXPECT_EQ(later, u"written later");
    EXPECT_EQ(own, u"the second's own");
    first.Clear();
    EXPECT_EQ(kept, u"kept text");
    EXPECT_EQ(own, u"the second's own");
}

TEST(ZipDirectory, FindsTheLongCommentAndDropsFolders)
{
    std::string bytes = ReadFixture("plain.zip");
    auto oracle = OracleListing("plain.zip");
    size_t folders = 0;
    for (const auto& [name, entry] : oracle)
        folders += name.back() == '/';
    ASSERT_GT(folders, 0u);

    std::vector<int> sequence;
    TZipListOptions options;
    options.OnNewName = [&](int seqNo, const ZipDirEntry& entry) {
        sequence.push_back(seqNo);
        EXPECT_NE(entry.FileName.back(), u'\\');
    };
    TZipListResult result = List(bytes, options);
    EXPECT_EQ(result.Error, 0);
    // zip breaks the comment into lines; the 1,000 characters all arrive.
    std::u16string comment = result.Comment;
    std::erase(comment, u'\r');
    std::erase(comment, u'\n');
    EXPECT_EQ(comment, std::u16string(1000, u'K'));
    EXPECT_EQ(result.DirOnlyEntries, folders);
    EXPECT_EQ(result.Entries.size(), oracle.size() - folders);
    ASSERT_EQ(sequence.size(), result.Entries.size());
    for (size_t i = 0; i < sequence.size(); ++i)
        EXPECT_EQ(sequence[i], int(i + 1));
    EXPECT_EQ(result.FirstLocalOffset, 0u);
}

TEST(ZipDirectory, StubsPaddingAndTrailingData)
{
    const std::string plain = ReadFixture("plain.zip");
    const size_t stub = ReadFixture("sfx_raw.zip").size() - plain.size();
    ASSERT_GT(stub, 0u);
    const auto entries = List(plain).Entries.size();
    struct TCase {
        const char* File;
        std::vector<int> Warnings;
        uint64_t FirstLocal;
    } cases[] = {
        {"sfx_raw.zip", {zmStructureWarning}, stub},
        {"sfx_adjusted.zip", {}, stub},
        {"padded.zip", {}, 0},
        {"trailing.zip", {zmTrailingDataWarning}, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TZipListResult result = List(ReadFixture(c.File));
        EXPECT_EQ(result.Error, 0);
        EXPECT_EQ(result.Warnings, c.Warnings);
        EXPECT_EQ(result.Entries.size(), entries);
        EXPECT_EQ(result.FirstLocalOffset, c.FirstLocal);
        EXPECT_EQ(std::count(result.Comment.begin(), result.Comment.end(), u'K'), 1000);
    }
    std::string padded = ReadFixture("padded.zip");
    ASSERT_EQ(padded.size() % 512, 0u);
    ASSERT_GT(padded.size(), plain.size());
    // One non-zero byte in the padding is trailing data.
    padded.back() = 'x';
    EXPECT_EQ(List(padded).Warnings, std::vector<int>{zmTrailingDataWarning});
}

TEST(ZipDirectory, EndRecordBeyondTheSearchIsNotFound)
{
    TZipListResult result = List(ReadFixture("far.zip"));
    EXPECT_EQ(result.Error, zmNotAZip);
    EXPECT_TRUE(result.Entries.empty());
    EXPECT_EQ(Ascii(ZipMessageOrFallback(result.Error)), "Dieses (SFX-) Archiv ist keine g?ltige ZIP-Datei");
}

TEST(ZipDirectory, EmptyArchive)
{
    std::string empty = WriteZip({});
    ASSERT_EQ(empty.size(), 22u);
    TZipListResult result = List(empty);
    EXPECT_EQ(result.Error, 0);
    EXPECT_TRUE(result.Warnings.empty());
    EXPECT_TRUE(result.Entries.empty());
    EXPECT_EQ(result.FirstLocalOffset, 0u);
}

TEST(ZipDirectory, SeventyThousandEntriesThroughZip64)
{
    std::istringstream names(ReadFixture("many.zip.names"));
    std::vector<std::string> expected;
    for (std::string line; std::getline(names, line);)
        expected.push_back(line);
    ASSERT_EQ(expected.size(), 70000u);
    TZipListResult result = List(ReadFixture("many.zip"));
    EXPECT_EQ(result.Error, 0);
    EXPECT_TRUE(result.Warnings.empty());
    EXPECT_TRUE(result.Zip64);
    ASSERT_EQ(result.Entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(ZipName(result.Entries[i].FileName), expected[i]) << i;
}

TEST(ZipDirectory, NameCodings)
{
    const std::string cp850 = "Gr\x94\xE1"
                              "e.txt";
    const std::string utf8 = "Gr\xC3\xB6\xC3\x9F"
                             "e.txt";
    const std::u16string grosse = u"Größe.txt";
    struct TCase {
        const char* What;
        TWrittenEntry Entry;
        CodePageOpts CodePage;
        std::u16string Expected;
    } cases[] = {
        {"DOS host, automatic", {cp850, 0, 20}, cpAuto, grosse},
        {"DOS host, no conversion", {cp850, 0, 20}, cpNone, u"Gr\u201D\u00E1e.txt"},
        {"Unix host, forced OEM", {cp850, 3, 20}, cpOEM, grosse},
        {"NTFS host", {cp850, 11, 50}, cpAuto, grosse},
        {"HPFS host", {cp850, 6, 20}, cpNone, grosse},
        {"UTF-8 flag before every code page", {utf8, 0, 20, 0x0800}, cpOEM, grosse},
        {"Unicode path field", {"Grosse.txt", 0, 20, 0, UnicodePathExtra("Grosse.txt", utf8)}, cpAuto, grosse},
        {"Unicode path field of another name",
         {"Grosse.txt", 0, 20, 0, UnicodePathExtra("Grosse.txt", utf8, 1)},
         cpAuto,
         u"Grosse.txt"},
        {"folder separators", {"a/b/c.txt", 3, 30}, cpAuto, u"a\\b\\c.txt"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TZipListOptions options;
        options.CodePage = c.CodePage;
        TZipListResult result = List(WriteZip({c.Entry}), options);
        EXPECT_EQ(result.Error, 0);
        ASSERT_EQ(result.Entries.size(), 1u);
        EXPECT_EQ(result.Entries[0].FileName, c.Expected);
    }
}

TEST(ZipDirectory, SingleByteTablesDecodeAsTheirDecoders)
{
    // Every byte but "/" (a separator) and 0: names of all the high bytes,
    // in folders, among plain ones.
    std::vector<TWrittenEntry> entries;
    for (int first = 1; first < 256; first += 15) {
        std::string name = "ordner/";
        for (int byte = first; byte < first + 15 && byte < 256; ++byte)
            if (byte != '/')
                name += static_cast<char>(byte);
        entries.push_back({name, 3, 30});
        entries.push_back({name, 0, 20});
        entries.push_back({"plain" + std::to_string(first) + ".txt", 3, 30});
    }
    entries.push_back({"utf8/Gr\xC3\xB6\xC3\x9F\xE5\xA0\xB1\xF0\x9F\x98\x80"
                       "e/",
                       3, 30, 0x0800});
    entries.push_back({"bad utf8 \xC3(\xE5\xA0", 3, 30, 0x0800});
    const std::string bytes = WriteZip(entries);
    // Made-up code pages, so that a mix-up of the two shows.
    auto oem = std::make_shared<std::array<char16_t, 256>>();
    auto ansi = std::make_shared<std::array<char16_t, 256>>();
    for (int byte = 0; byte < 256; ++byte) {
        (*oem)[size_t(byte)] = char16_t(byte < 0x80 ? byte : 0x0400 + byte);
        (*ansi)[size_t(byte)] = char16_t(byte < 0x80 ? byte : 0x3000 + byte);
    }
    auto decoderOf = [](std::shared_ptr<std::array<char16_t, 256>> table) {
        return [table](std::string_view text) {
            std::u16string out;
            for (char c : text)
                out += (*table)[static_cast<unsigned char>(c)];
            return out;
        };
    };
    // Both ways, in place in parts and header by header (List).
    TZipListOptions decoders;
    decoders.OemDecode = decoderOf(oem);
    decoders.AnsiDecode = decoderOf(ansi);
    decoders.UseDirOnlyEntries = true;
    TZipListOptions tables = decoders;
    // (The archive's comment, empty here, still goes to its decoder.)
    tables.OemDecode = tables.AnsiDecode = [](std::string_view text) -> std::u16string {
        if (!text.empty())
            ADD_FAILURE() << "a decoder was asked though a table was there";
        return {};
    };
    tables.OemTable = oem;
    tables.AnsiTable = ansi;
    const TZipListResult byDecoders = List(bytes, decoders);
    const TZipListResult byTables = List(bytes, tables);
    EXPECT_EQ(byDecoders.Error, 0);
    EXPECT_TRUE(byDecoders == byTables) << FirstDifference(byDecoders, byTables);
    ASSERT_EQ(byTables.Entries.size(), entries.size());
    EXPECT_EQ(byTables.Entries[0].FileName.substr(0, 8), u"ordner\\\u0001");
    EXPECT_EQ(byTables.Entries[1].FileName.substr(0, 7), u"ordner\\") << "the OEM table for a DOS host";
    EXPECT_EQ(byTables.Entries[3 * 9].FileName.back(), char16_t(0x3000 + 0x96)) << "the ANSI table for Unix";
    EXPECT_EQ(byTables.Entries[3 * 9 + 1].FileName.back(), char16_t(0x0400 + 0x96)) << "the OEM table for DOS";
    EXPECT_EQ(byTables.Entries.end()[-2].FileName, u"utf8\\Gr\u00F6\u00DF\u5831\U0001F600e\\");
    EXPECT_EQ(byTables.Entries.back().FileName, u"bad utf8 \uFFFD(\uFFFD\uFFFD");
}

// The bytes through View only: reading the central directory fails, so a
// listing that succeeds was made in place.
class TViewOnlySource : public TZipSource {
public:
    TViewOnlySource(std::string_view bytes, uint64_t directoryStart, uint64_t directoryEnd)
        : bytes_(bytes), start_(directoryStart), end_(directoryEnd)
    {}
    uint64_t Size() const override { return bytes_.Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        return (offset + count <= start_ || offset >= end_) && bytes_.ReadAt(offset, buffer, count);
    }
    const char* View(uint64_t offset, size_t count) override { return bytes_.View(offset, count); }

private:
    TZipMemorySource bytes_;
    uint64_t start_, end_;
};

TEST(ZipDirectory, ListedInPartsWhereTheSourceShowsItInPlace)
{
    // Folders among the files, and names whose raw bytes look like a
    // folder's or a file's and decode to the other: "a double-byte code
    // page" whose pair 0x83 0x5C is one letter, and Unicode path fields.
    std::vector<TWrittenEntry> plain;
    for (int i = 0; i < 60; ++i) {
        plain.push_back({"ordner" + std::to_string(i / 10) + "/datei" + std::to_string(i) + ".txt", 3, 30});
        if (i % 10 == 0)
            plain.push_back({"ordner" + std::to_string(i / 10) + "/", 3, 30});
    }
    const std::vector<std::pair<const char*, TWrittenEntry>> surprises = {
        {"double-byte name ending in 0x5C", {"so\x83\x5C", 0, 20}},
        {"Unicode path of a folder name", {"neu/", 3, 30, 0, UnicodePathExtra("neu/", "neu\xC3\xA4")}},
        {"Unicode path ending in a slash", {"neu", 3, 30, 0, UnicodePathExtra("neu", "neu/")}},
    };
    TZipListOptions options;
    options.OemDecode = [](std::string_view bytes) {
        std::u16string text;
        for (size_t i = 0; i < bytes.size(); ++i)
            if (static_cast<unsigned char>(bytes[i]) == 0x83 && i + 1 < bytes.size())
                text += char16_t(0x3000 + static_cast<unsigned char>(bytes[++i]));
            else
                text += char16_t(static_cast<unsigned char>(bytes[i]));
        return text;
    };
    options.MinEntriesPerPart = 7;
    auto listViewOnly = [&](const std::vector<TWrittenEntry>& entries, bool useFolders) {
        const std::string bytes = WriteZip(entries);
        const uint64_t end = bytes.size() - 22;
        uint64_t start = end;
        for (const TWrittenEntry& e : entries)
            start -= 46 + e.Name.size() + e.Extra.size() + e.Comment.size();
        TViewOnlySource source(bytes, start, end);
        options.UseDirOnlyEntries = useFolders;
        TZipListResult result = ListZipDirectory(source, options);
        // The same as header by header.
        EXPECT_TRUE(result.Error != 0 || result == List(bytes, options));
        return result;
    };
    for (bool useFolders : {false, true}) {
        SCOPED_TRACE(useFolders ? "with folder entries" : "without folder entries");
        const TZipListResult result = listViewOnly(plain, useFolders);
        EXPECT_EQ(result.Error, 0);
        EXPECT_EQ(result.Entries.size(), useFolders ? 66u : 60u);
        EXPECT_EQ(result.DirOnlyEntries, useFolders ? 0u : 6u);
        EXPECT_EQ(result.Entries.back().FileName, u"ordner5\\datei59.txt");
        EXPECT_EQ(result.Entries[useFolders ? 1 : 0].FileName, useFolders ? u"ordner0\\" : u"ordner0\\datei0.txt");
        for (const auto& [what, entry] : surprises) {
            SCOPED_TRACE(what);
            std::vector<TWrittenEntry> entries = plain;
            entries.insert(entries.begin() + 40, entry);
            const TZipListResult surprised = listViewOnly(entries, useFolders);
            // Every guess holds when folders are listed too; a wrong one
            // sends the listing to reading, which this source refuses.
            EXPECT_EQ(surprised.Error, useFolders ? 0 : zmCentralReadError);
        }
    }
    // The names the surprises decode to, header by header.
    std::vector<TWrittenEntry> all = plain;
    for (const auto& [what, entry] : surprises)
        all.push_back(entry);
    options.UseDirOnlyEntries = false;
    const TZipListResult result = List(WriteZip(all), options);
    ASSERT_EQ(result.Entries.size(), 62u);
    EXPECT_EQ(result.Entries[60].FileName, u"so\u305C");
    EXPECT_EQ(result.Entries[61].FileName, u"neu\u00E4");
    EXPECT_EQ(result.DirOnlyEntries, 7u);
}

TEST(ZipDirectory, EntryCommentsAndEncryptedFlag)
{
    TWrittenEntry secret{"geheim.txt", 0, 20, 0x0001};
    secret.Comment = "Notiz \x84";  // CP850 a-umlaut
    TZipListResult result = List(WriteZip({secret, {"offen.txt", 0, 20}}));
    ASSERT_EQ(result.Entries.size(), 2u);
    EXPECT_TRUE(result.Entries[0].Encrypted);
    EXPECT_FALSE(result.Entries[1].Encrypted);
    EXPECT_EQ(result.Entries[0].FileComment, u"Notiz ä");
}

TEST(ZipDirectory, DamagedDirectoriesGiveMessages)
{
    const std::string good = WriteZip({{"eins.txt"}, {"zwei.txt"}});
    const size_t end = good.size() - 22;
    const size_t central = end - 2 * (46 + 8);
    auto patched = [&](size_t at, std::string bytes) {
        std::string copy = good;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    struct TCase {
        const char* What;
        std::string Bytes;
        int Error;
    } cases[] = {
        {"central signature", patched(central + 46 + 8, std::string(4, '\0')), zmCentralSignature},
        {"name longer than the directory", patched(central + 46 + 8 + 28, std::string("\xFF\x00", 2)),
         zmCentralNameReadError},
        {"comment longer than the directory", patched(central + 46 + 8 + 32, std::string("\x00\x10", 2)),
         zmCommentReadError},
        {"more entries than fit", patched(end + 8, std::string("\x40\x00\x40\x00", 4)), zmNotAZip},
        {"directory larger than the file", patched(end + 12, std::string("\x00\x00\x01\x00", 4)), zmNotAZip},
        {"end record cut", good.substr(0, good.size() - 3), zmNotAZip},
        {"too short", "PK\x05\x06", zmNotAZip},
        {"nothing", "", zmNotAZip},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TZipListResult result = List(c.Bytes);
        EXPECT_EQ(result.Error, c.Error);
    }
}

TEST(ZipDirectory, TruncatedZeroedAndRandomFilesDoNotCrash)
{
    const std::string plain = ReadFixture("plain.zip");
    std::mt19937 random(34);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = plain;
        switch (round % 3) {
        case 0:
            bytes.resize(random() % plain.size());
            break;
        case 1: {
            size_t from = random() % bytes.size();
            size_t count = std::min<size_t>(bytes.size() - from, 1 + random() % 64);
            std::fill_n(bytes.begin() + from, count, '\0');
            break;
        }
        default:
            for (int k = 0; k < 8; ++k)
                bytes[random() % bytes.size()] = char(random());
        }
        TZipListResult result = List(bytes);
        EXPECT_LE(result.Entries.size() * 46, bytes.size());
        if (result.Error == 0)
            EXPECT_LE(result.CentralOffset, bytes.size());
        else
            EXPECT_TRUE(ZipMessageText(result.Error).has_value()) << result.Error;
    }
}

TEST(ZipDirectory, SpannedSet)
{
    auto oracle = OracleListing("span.zip");
    std::string last = ReadFixture("span.zip");
    std::vector<std::string> parts = {ReadFixture("span.z01"), ReadFixture("span.z02"), ReadFixture("span.z03")};
    std::vector<TZipMemorySource> sources(parts.begin(), parts.end());
    std::vector<uint32_t> asked;
    TZipListOptions options;
    options.UseDirOnlyEntries = true;
    options.OpenDisk = [&](uint32_t disk) -> TZipSource* {
        asked.push_back(disk);
        return disk < sources.size() ? &sources[disk] : nullptr;
    };
    TZipListResult result = List(last, options);
    EXPECT_EQ(result.Error, 0);
    EXPECT_EQ(result.ThisDisk, 3u);
    ASSERT_EQ(result.Entries.size(), oracle.size());
    for (const ZipDirEntry& entry : result.Entries) {
        std::string name = ZipName(entry.FileName);
        ASSERT_TRUE(oracle.count(name)) << name;
        EXPECT_EQ(Hex8(entry.CRC32), oracle[name].Crc);
        EXPECT_EQ(entry.UncomprSize, oracle[name].Size);
    }

    // The first part alone: the set's marker, no end record.
    TZipListOptions first;
    first.FileName = u"span.z01";
    TZipListResult firstResult = List(parts[0], first);
    EXPECT_TRUE(firstResult.SpannedFirstPart);
    EXPECT_EQ(firstResult.Error, zmFirstFileNotLast);
    EXPECT_TRUE(firstResult.Entries.empty());

    // A middle part named by its number, and a first floppy by its label.
    TZipListOptions middle;
    middle.FileName = u"span.z02";
    TZipListResult middleResult = List(parts[1], middle);
    EXPECT_EQ(middleResult.Error, zmNotLastDisk);
    EXPECT_EQ(middleResult.ErrorArg, 2);
    TZipListOptions floppy;
    floppy.VolumeLabel = u"PKBACK# 001";
    EXPECT_EQ(List(parts[0], floppy).Error, zmFirstDiskNotLast);
}

TEST(ZipDirectory, CentralDirectoryOnAnotherDiskNeedsThatDisk)
{
    // The end record on disk 1, the directory on disk 0.
    std::string single = WriteZip({{"a.txt"}, {"b.txt"}});
    size_t end = single.size() - 22;
    std::string disk0 = single.substr(0, end);
    std::string disk1 = single.substr(end);
    disk1[4] = 1;  // this disk
    TZipMemorySource source0(disk0);

    EXPECT_EQ(List(disk1).Error, zmNoSpanSupport);
    TZipListOptions cancelled;
    cancelled.OpenDisk = [](uint32_t) -> TZipSource* { return nullptr; };
    EXPECT_EQ(List(disk1, cancelled).Error, zmUserAbort);
    TZipListOptions options;
    options.OpenDisk = [&](uint32_t disk) -> TZipSource* { return disk == 0 ? &source0 : nullptr; };
    TZipListResult result = List(disk1, options);
    EXPECT_EQ(result.Error, 0);
    ASSERT_EQ(result.Entries.size(), 2u);
    EXPECT_EQ(result.Entries[1].FileName, u"b.txt");
}

// An archive comment may hold anything, end-record signatures included: the
// end record whose comment reaches the end of the file is the archive's,
// and what its comment holds is text, not another end record claiming
// other disks.
TEST(ZipDirectory, EndRecordsInsideTheCommentAreCommentText)
{
    std::string fake = "PK\x05\x06";
    Put16(fake, 1);  // this disk
    Put16(fake, 0);  // the directory's disk
    Put16(fake, 0);
    Put16(fake, 0);
    Put32(fake, 0);
    Put32(fake, 0);
    Put16(fake, 0);
    struct TCase {
        const char* What;
        std::string Comment;
    } cases[] = {
        {"one at the end", "Kommentar " + fake},
        {"two in a row", fake + fake},
        {"one reaching the end as well", fake.substr(0, fake.size() - 2) +
                                             std::string("\x03\x00"
                                                         "ab",
                                                         4) +
                                             "x"},
    };
    TZipListOptions asTheComponent;
    asTheComponent.OpenDisk = [](uint32_t) -> TZipSource* { return nullptr; };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string bytes = WriteZip({{"eins.txt"}, {"zwei.txt"}}, c.Comment);
        const TZipListResult result = List(bytes, asTheComponent);
        EXPECT_EQ(result.Error, 0) << Ascii(ZipMessageOrFallback(result.Error));
        ASSERT_EQ(result.Entries.size(), 2u);
        EXPECT_EQ(result.Entries[1].FileName, u"zwei.txt");
        EXPECT_EQ(result.RawComment, c.Comment);
    }
}

TEST(ZipDirectory, DiskNumberOfAPart)
{
    struct TCase {
        std::u16string Label, Name;
        int Expected;
    } cases[] = {
        {u"PKBACK# 004", u"A:\\archiv.zip", 4},
        {u"PKBACK# 1", u"x.zip", 1},
        {u"DATEN", u"C:\\set\\archiv.z07", 7},
        {u"", u"C:\\set\\archiv.Z12", 12},
        {u"", u"C:\\set\\archiv003.zip", 3},
        {u"", u"C:\\set\\archiv.zip", -1},
        {u"", u"ab.zip", -1},
        {u"", u"", -1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(SpanDiskNumber(c.Label, c.Name), c.Expected) << Ascii(c.Label) << " " << Ascii(c.Name);
}

}  // namespace
