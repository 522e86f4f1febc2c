#include "editor/EasyTextFile.h"

#include "editor/EasyUtils.h"
#include "editor/WideText.h"
#include "framework/Encoding.h"
#include "framework/FilePath.h"
#include "framework/IniFiles.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

namespace qrv {

namespace {

constexpr size_t kBlockSize = 1 << 18;

// The block for the rest of the stream: no larger than it (small files are
// many), no larger than kBlockSize.
size_t BlockSize(TStream& stream)
{
    const int64_t rest = stream.Size() - stream.Position();
    return static_cast<size_t>(std::clamp<int64_t>(rest, 16, kBlockSize));
}

// Splits decoded text into lines across block edges and counts the kinds of
// line ends.
class TLineSplitter {
public:
    explicit TLineSplitter(const std::function<void(std::u16string_view)>& addLine) : addLine_(addLine) {}

    void Feed(std::u16string_view units)
    {
        size_t i = 0;
        const size_t n = units.size();
        if (afterCR_ && n > 0) {
            afterCR_ = false;
            if (units[0] == u'\n') {
                ++crlf_;
                i = 1;
            } else {
                ++cr_;
            }
        }
        size_t start = i;
        while (i < n) {
            const char16_t c = units[i];
            if (c > u'\r' || (c != u'\r' && c != u'\n')) {
                ++i;
                continue;
            }
            EndLine(units.substr(start, i - start));
            if (c == u'\n') {
                ++lf_;
                ++i;
            } else if (i + 1 < n) {
                if (units[i + 1] == u'\n') {
                    ++crlf_;
                    i += 2;
                } else {
                    ++cr_;
                    ++i;
                }
            } else {
                afterCR_ = true;  // the next block tells whether an LF follows
                ++i;
            }
            start = i;
        }
        if (start < n)
            pending_.append(units.substr(start));
    }

    void Finish(TEasyTextFormat& format)
    {
        if (afterCR_)
            ++cr_;
        afterCR_ = false;
        format.FinalLineBreak = pending_.empty();
        if (!pending_.empty()) {
            addLine_(pending_);
            pending_.clear();
        }
        format.MixedLineBreaks = (crlf_ > 0) + (lf_ > 0) + (cr_ > 0) > 1;
        format.LineBreak = TEasyLineBreak::lbCRLF;
        if (lf_ > crlf_ && lf_ >= cr_)
            format.LineBreak = TEasyLineBreak::lbLF;
        else if (cr_ > crlf_ && cr_ > lf_)
            format.LineBreak = TEasyLineBreak::lbCR;
    }

private:
    void EndLine(std::u16string_view tail)
    {
        if (pending_.empty()) {
            addLine_(tail);
            return;
        }
        pending_.append(tail);
        addLine_(pending_);
        pending_.clear();
    }

    const std::function<void(std::u16string_view)>& addLine_;
    std::u16string pending_;
    bool afterCR_ = false;
    size_t crlf_ = 0, lf_ = 0, cr_ = 0;
};

void ReadUtf16(TStream& stream, bool bigEndian, TLineSplitter& splitter)
{
    const size_t blockSize = BlockSize(stream);
    std::vector<char> bytes(blockSize + 1);
    std::u16string units;
    size_t carried = 0;  // an odd byte left from the block before
    for (;;) {
        const size_t got = stream.Read(bytes.data() + carried, blockSize);
        if (got == 0)
            break;
        const size_t total = carried + got;
        const size_t whole = total / 2;
        units.resize(whole);
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        for (size_t i = 0; i < whole; ++i) {
            const unsigned lo = b[2 * i + (bigEndian ? 1 : 0)];
            const unsigned hi = b[2 * i + (bigEndian ? 0 : 1)];
            units[i] = static_cast<char16_t>(lo | (hi << 8));
        }
        splitter.Feed(units);
        carried = total % 2;
        if (carried)
            bytes[0] = bytes[total - 1];
    }
    // A stream checked for UTF-16 has an even size; a dangling byte can only
    // come from a stream that grew meanwhile and is dropped like a partial unit.
}

void ReadAnsi(TStream& stream, TLineSplitter& splitter)
{
    const TEncoding& encoding = TEncoding::Default();
    const bool multiByte = MultiByteCodePage();
    const size_t blockSize = BlockSize(stream);
    std::vector<char> bytes(blockSize + 1);
    size_t carried = 0;  // a lead byte whose trail byte is in the next block
    for (;;) {
        const size_t got = stream.Read(bytes.data() + carried, blockSize);
        const size_t total = carried + got;
        if (got == 0) {
            if (carried)
                splitter.Feed(ToUtf16(encoding.GetString(std::string_view(bytes.data(), carried))));
            break;
        }
        size_t usable = total;
        if (multiByte) {
            size_t i = 0;
            while (i < total)
                i += encoding.IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
            if (i > total)
                usable = total - 1;
        }
        splitter.Feed(ToUtf16(encoding.GetString(std::string_view(bytes.data(), usable))));
        carried = total - usable;
        if (carried)
            bytes[0] = bytes[usable];
    }
}

// How many bytes at the end of the block belong to a UTF-8 character whose
// last bytes are in the next block (0 when the block ends on a boundary).
size_t CutUtf8Tail(std::string_view bytes)
{
    const size_t n = bytes.size();
    for (size_t back = 1; back <= std::min<size_t>(3, n); ++back) {
        const auto b = static_cast<unsigned char>(bytes[n - back]);
        if ((b & 0xC0) == 0x80)
            continue;  // a continuation byte: its lead is further back
        const size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Hands the rest of the stream to piece in blocks that end on character
// boundaries (a character cut by the stream's end comes last as it is).
void ForEachUtf8Piece(TStream& stream, const std::function<void(std::string_view)>& piece)
{
    const size_t blockSize = BlockSize(stream);
    std::vector<char> bytes(blockSize + 3);
    size_t carried = 0;  // the first bytes of a character cut by the block's end
    for (;;) {
        const size_t got = stream.Read(bytes.data() + carried, blockSize);
        const size_t total = carried + got;
        const std::string_view block(bytes.data(), total);
        const size_t tail = got == 0 ? 0 : CutUtf8Tail(block);
        if (total > tail)
            piece(block.substr(0, total - tail));
        if (got == 0)
            break;
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(total - tail),
                  bytes.begin() + static_cast<std::ptrdiff_t>(total), bytes.begin());
        carried = tail;
    }
}

// Whether the rest of the stream is valid UTF-8; the stream stays where it was.
bool RestIsValidUtf8(TStream& stream)
{
    const int64_t start = stream.Position();
    bool valid = true;
    ForEachUtf8Piece(stream, [&](std::string_view piece) { valid = valid && IsValidUtf8(piece); });
    stream.SetPosition(start);
    return valid;
}

void ReadUtf8(TStream& stream, TLineSplitter& splitter)
{
    const TEncoding& encoding = TEncoding::UTF8NoBOM();
    ForEachUtf8Piece(stream, [&](std::string_view piece) { splitter.Feed(ToUtf16(encoding.GetString(piece))); });
}

// True (and the stream past the mark) when the stream starts with the UTF-8
// mark and valid UTF-8 follows; else the stream stays where it was and the
// text is ANSI, so that its bytes come back as they were when it is saved.
bool SkipUtf8Mark(TStream& stream)
{
    const int64_t start = stream.Position();
    unsigned char mark[3] = {};
    if (ReadUpTo(stream, mark, 3) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF &&
        RestIsValidUtf8(stream))
        return true;
    stream.SetPosition(start);
    return false;
}

void PutUtf16(std::string& out, std::u16string_view units, bool bigEndian)
{
    const size_t at = out.size();
    out.resize(at + 2 * units.size());
    char* p = out.data() + at;
    for (char16_t u : units) {
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        *p++ = bigEndian ? hi : lo;
        *p++ = bigEndian ? lo : hi;
    }
}

}  // namespace

std::u16string_view LineBreakText(TEasyLineBreak lineBreak)
{
    switch (lineBreak) {
    case TEasyLineBreak::lbCR:
        return u"\r";
    case TEasyLineBreak::lbLF:
        return u"\n";
    default:
        return u"\r\n";
    }
}

void ReadTextLines(TStream& stream, TEasyTextFormat& format,
                   const std::function<void(std::u16string_view line)>& addLine)
{
    const TUnicodeKind kind = DetectUnicodeStream(stream);
    format.Unicode = kind != TUnicodeKind::ukNone;
    format.BigEndian = kind == TUnicodeKind::ukMarkBE;
    format.Utf8 = !format.Unicode && SkipUtf8Mark(stream);
    format.ByteOrderMark = kind == TUnicodeKind::ukMarkLE || kind == TUnicodeKind::ukMarkBE || format.Utf8;
    TLineSplitter splitter(addLine);
    if (format.Unicode)
        ReadUtf16(stream, format.BigEndian, splitter);
    else if (format.Utf8)
        ReadUtf8(stream, splitter);
    else
        ReadAnsi(stream, splitter);
    splitter.Finish(format);
}

std::string EncodeTextLines(const TEasyTextFormat& format, int count,
                            const std::function<std::u16string(int index)>& line)
{
    const std::u16string_view lineBreak = LineBreakText(format.LineBreak);
    std::string out;
    if (format.Unicode) {
        if (format.ByteOrderMark)
            out = format.BigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (int i = 0; i < count; ++i) {
            PutUtf16(out, line(i), format.BigEndian);
            if (i + 1 < count || format.FinalLineBreak)
                PutUtf16(out, lineBreak, format.BigEndian);
        }
        return out;
    }
    const std::string lineBreakBytes(lineBreak.begin(), lineBreak.end());
    if (format.Utf8) {
        const TEncoding& utf8 = TEncoding::UTF8NoBOM();
        out = "\xEF\xBB\xBF";
        for (int i = 0; i < count; ++i) {
            out += utf8.GetBytes(ToWide(line(i)));
            if (i + 1 < count || format.FinalLineBreak)
                out += lineBreakBytes;
        }
        return out;
    }
    const TEncoding& encoding = TEncoding::Default();
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        const std::u16string text = line(i);
        const std::wstring wide = ToWide(text);
        size_t bad = 0;
        if (!encoding.TryGetBytes(wide, bytes, bad)) {
            const size_t column = ToUtf16(std::wstring_view(wide).substr(0, bad)).size() + 1;
            throw EEncodingError(L"Zeile " + IntToStr(i + 1) + L", Spalte " + IntToStr(static_cast<int64_t>(column)) +
                                     L": Das Zeichen ist im ANSI-Zeichensatz nicht darstellbar.",
                                 i + 1, static_cast<int>(column));
        }
        out += bytes;
        if (i + 1 < count || format.FinalLineBreak)
            out += lineBreakBytes;
    }
    return out;
}

void ReplaceFileContents(const std::wstring& fileName, std::string_view bytes)
{
    // Each writer its own temporary: two copies saving one file at once
    // would otherwise write into, and rename, the same one.
    std::wstring temporary;
    std::unique_ptr<TFileStream> created = CreateFreshTemporary(fileName, temporary);
    auto removeTemporary = [&] {
        std::error_code ignored;
        std::filesystem::remove(FsPath(temporary), ignored);
    };
    {
        const std::unique_ptr<TFileStream> file = std::move(created);
        try {
            file->WriteBytes(bytes);
            file->Flush();
        } catch (...) {
            removeTemporary();
            throw;
        }
    }
    try {
        ReplaceFileWith(temporary, fileName);
    } catch (...) {
        removeTemporary();
        throw;
    }
}

}  // namespace qrv
