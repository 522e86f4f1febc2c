#pragma once
// The editor's text file format: how a file's bytes become lines and lines
// become bytes again. A file is UTF-16 (little-endian with the mark FF FE,
// big-endian with FE FF, or little-endian without a mark), UTF-8 behind the
// mark EF BB BF (when all of it is valid UTF-8), or ANSI text in the
// system's code page; its lines end with CR LF, LF or CR, the last one
// with or without a line break. Everything that tells these apart is kept,
// so a file saved unchanged comes back byte for byte. Portable.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

class TStream;

enum class TEasyLineBreak { lbCRLF = 0, lbCR = 1, lbLF = 2 };

struct TEasyTextFormat {
    bool Unicode = false;        // UTF-16, else UTF-8 or ANSI
    bool Utf8 = false;           // UTF-8 (only with its mark; Unicode is false then)
    bool BigEndian = false;      // UTF-16 big-endian (only with a mark)
    bool ByteOrderMark = false;  // the file starts with FF FE, FE FF or EF BB BF
    bool FinalLineBreak = true;  // the last line ends with a line break
    TEasyLineBreak LineBreak = TEasyLineBreak::lbCRLF;
    // Set by loading when the file's lines end in more than one way (saving
    // then writes LineBreak after every line).
    bool MixedLineBreaks = false;
};

std::u16string_view LineBreakText(TEasyLineBreak lineBreak);

// Reads the stream from its position to its end in blocks, decoding and
// splitting as it goes (a CR LF, a UTF-16 unit or a double-byte character
// may straddle two blocks), and hands each line to addLine. format receives
// what the file is: the line break is the one all lines use, or the most
// frequent when they differ (CR LF when the file has none).
void ReadTextLines(TStream& stream, TEasyTextFormat& format,
                   const std::function<void(std::u16string_view line)>& addLine);

// The bytes of a file of count lines in the format. A character that the
// ANSI code page cannot hold raises EEncodingError naming its line and
// column (both from 1); nothing is returned then.
std::string EncodeTextLines(const TEasyTextFormat& format, int count,
                            const std::function<std::u16string(int index)>& line);

// Writes the bytes to a temporary file beside the target and swaps it in, so
// a failed write leaves the old file as it was. The temporary is created new
// under a name no other writer uses at that moment. Raises the framework's
// file errors.
void ReplaceFileContents(const std::wstring& fileName, std::string_view bytes);

}  // namespace qrv
