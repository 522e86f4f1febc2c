#include "editor/EasyTextFile.h"
#include "editor/EasyStrings.h"
#include "framework/Encoding.h"
#include "framework/FilePath.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "TestDir.h"
#include "TextFileRoundTrips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::string_literals;

namespace {

std::vector<std::u16string> LinesOf(const TEasyStrings& strings)
{
    std::vector<std::u16string> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings[i]);
    return lines;
}

// A stream that hands out at most a few bytes per read, so that every
// boundary a block reader meets (CR|LF, half a UTF-16 unit, a lead byte
// without its trail byte) falls between two reads.
class TrickleStream : public TStream {
public:
    TrickleStream(std::string bytes, size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
    size_t Read(void* buffer, size_t count) override
    {
        const size_t n = std::min({count, chunk_, bytes_.size() - std::min(position_, bytes_.size())});
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return n;
    }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                             : origin == TSeekOrigin::soCurrent ? static_cast<int64_t>(position_)
                                                                : static_cast<int64_t>(bytes_.size());
        position_ = static_cast<size_t>(base + offset);
        return static_cast<int64_t>(position_);
    }
    void SetSize(int64_t) override {}

private:
    std::string bytes_;
    size_t chunk_;
    size_t position_ = 0;
};

}  // namespace

TEST(EasyTextFile, FilesSavedUnchangedComeBackByteForByte)
{
    test::TestDir dir;
    for (const test::RoundTrip& c : test::RoundTrips()) {
        SCOPED_TRACE(c.name);
        TEasyStrings strings;
        strings.LoadFromFile(dir.Write(L"in.txt", c.bytes));
        EXPECT_EQ(LinesOf(strings), c.lines);
        EXPECT_EQ(strings.Unicode(), c.unicode);
        EXPECT_EQ(strings.LineBreak(), c.lineBreak);
        EXPECT_FALSE(strings.Format().MixedLineBreaks);
        strings.SaveToFile(dir.File(L"in.txt"));
        EXPECT_EQ(dir.Read(L"in.txt"), c.bytes);
    }
}

TEST(EasyTextFile, BlockEdgesFallAnywhere)
{
    for (const test::RoundTrip& c : test::RoundTrips()) {
        for (size_t chunk : {1, 2, 3}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            TrickleStream stream(c.bytes, chunk);
            TEasyStrings strings;
            strings.LoadFromStream(stream);
            EXPECT_EQ(LinesOf(strings), c.lines);
            EXPECT_EQ(strings.FileBytes(), c.bytes);
        }
    }
}

TEST(EasyTextFile, MixedLineEndsTakeTheMostFrequent)
{
    TEasyStrings strings;
    TMemoryStream stream;
    stream.WriteBytes("a\nb\r\nc\nd");
    stream.SetPosition(0);
    strings.LoadFromStream(stream);
    EXPECT_EQ(strings.LineBreak(), TEasyLineBreak::lbLF);
    EXPECT_TRUE(strings.Format().MixedLineBreaks);
    EXPECT_FALSE(strings.FinalLineBreak());
    EXPECT_EQ(strings.FileBytes(), "a\nb\nc\nd");

    // The host's line-break command decides what is written.
    strings.SetLineBreak(TEasyLineBreak::lbCRLF);
    EXPECT_EQ(strings.FileBytes(), "a\r\nb\r\nc\r\nd");

    // A new document ends with CR LF.
    TEasyStrings fresh;
    fresh.SetText(u"neu");
    EXPECT_EQ(fresh.FileBytes(), "neu\r\n");
}

TEST(EasyTextFile, OnlyTheHostsCommandChangesTheEncoding)
{
    TEasyStrings strings;
    TMemoryStream stream;
    stream.WriteBytes("h\0i\0"s);
    stream.SetPosition(0);
    strings.LoadFromStream(stream);
    ASSERT_TRUE(strings.Unicode());
    EXPECT_EQ(strings.FileBytes(), "h\0i\0"s) << "unmarked stays unmarked";

    strings.SetUnicode(false);
    EXPECT_EQ(strings.FileBytes(), "hi");
    strings.SetUnicode(true);
    EXPECT_EQ(strings.FileBytes(), "\xFF\xFEh\0i\0"s) << "switched to UTF-16: with the mark";

    // A UTF-8 text switched to ANSI or to UTF-16 leaves UTF-8 either way.
    for (const bool unicode : {false, true}) {
        TMemoryStream utf8;
        utf8.WriteBytes("\xEF\xBB\xBF\xC3\xA4");
        utf8.SetPosition(0);
        strings.LoadFromStream(utf8);
        ASSERT_TRUE(strings.Format().Utf8);
        strings.SetUnicode(unicode);
        EXPECT_EQ(strings.FileBytes(), unicode ? "\xFF\xFE\xE4\0"s : "\xE4"s);
    }
}

TEST(EasyTextFile, DoubleByteCharactersAcrossReads)
{
    // A double-byte code page of the test's own: 0x81..0x9F lead, the pair
    // decodes to one CJK character.
    class FakeDoubleByte : public TEncoding {
    public:
        std::wstring GetString(std::string_view bytes) const override
        {
            std::wstring out;
            for (size_t i = 0; i < bytes.size(); ++i) {
                const auto b = static_cast<unsigned char>(bytes[i]);
                if (IsLeadByte(b) && i + 1 < bytes.size()) {
                    out.push_back(
                        static_cast<wchar_t>(0x4E00 + ((b - 0x81) << 8) + static_cast<unsigned char>(bytes[++i])));
                } else {
                    out.push_back(IsLeadByte(b) ? L'\xFFFD' : static_cast<wchar_t>(b));
                }
            }
            return out;
        }
        std::string GetBytes(std::wstring_view text) const override
        {
            std::string out;
            for (wchar_t c : text) {
                if (c >= 0x4E00 && c < 0x4E00 + 0x1F00) {
                    out.push_back(static_cast<char>(0x81 + ((c - 0x4E00) >> 8)));
                    out.push_back(static_cast<char>((c - 0x4E00) & 0xFF));
                } else {
                    out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
                }
            }
            return out;
        }
        std::string Preamble() const override { return ""; }
        std::wstring Name() const override { return L"test"; }
        bool IsLeadByte(unsigned char b) const override { return b >= 0x81 && b <= 0x9F; }
    };
    TEncoding::SetDefault(std::make_unique<FakeDoubleByte>());
    const std::string bytes = "a\x81\x41\x82\x0D\r\nb\x81\x42\n";
    for (size_t chunk : {1, 2, 3, 5}) {
        TrickleStream stream(bytes, chunk);
        TEasyStrings strings;
        strings.LoadFromStream(stream);
        EXPECT_EQ(LinesOf(strings), (std::vector<std::u16string>{u"a\u4E41\u4F0D", u"b\u4E42"})) << chunk;
    }
    TEncoding::SetDefault(nullptr);
}

TEST(EasyTextFile, AnUnencodableSaveRaisesAndKeepsTheFile)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"alt.txt", "alt\r\n");
    TEasyStrings strings;
    strings.LoadFromFile(file);
    strings.Add(u"Grüße");
    strings.Add(u"ok \u0141 nein");
    try {
        strings.SaveToFile(file);
        ADD_FAILURE() << "saving must refuse U+0141 in Windows-1252";
    } catch (const EEncodingError& e) {
        EXPECT_EQ(e.Line, 3);
        EXPECT_EQ(e.Column, 4);
        EXPECT_NE(e.Message().find(L"Zeile 3, Spalte 4"), std::wstring::npos);
    }
    EXPECT_EQ(dir.Read(L"alt.txt"), "alt\r\n");

    strings.SetUnicode(true);
    strings.SaveToFile(file);
    EXPECT_EQ(dir.Read(L"alt.txt").substr(0, 4), "\xFF\xFE"
                                                 "a\0"s);

    // A target that cannot be replaced (a folder) fails with a file error
    // and leaves no temporary file behind.
    std::filesystem::create_directory(FsPath(dir.File(L"ordner")));
    EXPECT_THROW(strings.SaveToFile(dir.File(L"ordner")), EFileStreamError);
    EXPECT_TRUE(std::filesystem::is_directory(FsPath(dir.File(L"ordner"))));
    EXPECT_FALSE(std::filesystem::exists(FsPath(dir.File(L"ordner.~tmp"))));
}

TEST(EasyTextFile, AWriterKeepsOffAnotherWritersTemporary)
{
    // Another copy is half-way through saving the same file: its temporary
    // stands beside it. This save takes a name of its own and leaves that
    // one alone, so the other's rename still finds what it wrote.
    test::TestDir dir;
    const std::wstring file = dir.Write(L"EditorSettings.txt", "alt");
    dir.Write(L"EditorSettings.txt.~tmp", "des anderen");
    ReplaceFileContents(file, "neu");
    EXPECT_EQ(dir.Read(L"EditorSettings.txt"), "neu");
    EXPECT_EQ(dir.Read(L"EditorSettings.txt.~tmp"), "des anderen");
    EXPECT_FALSE(std::filesystem::exists(FsPath(dir.File(L"EditorSettings.txt.~tmp1"))));
}
