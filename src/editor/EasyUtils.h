#pragma once
// Small routines the editor family shares: the character classes, the test
// for UTF-16 streams, the URL and e-mail test, character and byte columns of
// ANSI lines in double-byte code pages, and string helpers. Portable; the
// key state, the screen's values, the temporary folder and opening a URL are
// in win/EasyUtilsWin.h.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

class TStream;

// A set of ANSI codes.
using TEasyCharSet = std::bitset<256>;

// "0".."9", "A".."Z", "_", "a".."z".
const TEasyCharSet& WordChars();
// Codes 1..32.
const TEasyCharSet& BlankChars();
// Codes 33..38, 40..47, 58, 59, 61, 63, 64, 91..94 and 123..125.
const TEasyCharSet& PunctuationChars();
// What a URL consists of besides word characters: - . / : = ? @ ~
const TEasyCharSet& UrlChars();
// The default delimiters of an edit source: codes 0 and 2..32.
const TEasyCharSet& DefaultDelimiters();

// The kind of text a stream holds, as far as its start tells.
enum class TUnicodeKind {
    ukNone,        // not UTF-16: ANSI
    ukMarkLE,      // FF FE, consumed
    ukMarkBE,      // FE FF, consumed
    ukUnmarkedLE,  // UTF-16 little-endian without a mark, from byte 0
};

// Reads until count bytes are in or the stream ends (streams may hand out
// less than asked before their end); returns how many were read.
size_t ReadUpTo(TStream& stream, void* buffer, size_t count);
// A stream of odd or zero size is never UTF-16. FF FE and FE FF mark it (the
// stream is left behind the mark). Without a mark the first 256 bytes decide
// (UnmarkedUtf16): the stream is left at its start.
TUnicodeKind DetectUnicodeStream(TStream& stream);
bool IsUnicodeStream(TStream& stream);
// Little-endian UTF-16 without a mark: no unit U+0000 and more than half of
// the units with a zero high byte (so even-length ASCII or ANSI stays ANSI).
bool IsUnmarkedUtf16(std::string_view head);

// "MAILTO:" (any case), or one at sign followed by a letter, digit or
// underscore and, somewhere after it, a full stop.
bool IsMailAddress(std::u16string_view text);
// Starts, in any case, with "WWW.", "HTTP://", "HTTPS://", "GOPHER://", "FTP://" or "FILE://".
bool IsUrlPrefix(std::u16string_view text);
bool IsUrl(std::u16string_view text);

// True when the ANSI code page has double-byte characters; the column
// conversions below return their input otherwise.
bool MultiByteCodePage();
// Columns are 1-based. 2,147,483,647 stands for "beyond every line".
int CharToByteColumn(std::string_view ansiLine, int column);
int ByteToCharColumn(std::string_view ansiLine, int column);
int CharCount(std::string_view ansiText);
bool IsLeadByteAt(std::string_view text, int position);
bool IsTrailByteAt(std::string_view text, int position);
bool IsSingleByteAt(std::string_view text, int position);

// The character in the ANSI code page: its first byte tested against the set.
bool InCharSet(char16_t c, const TEasyCharSet& set);

// 1-based position of the first occurrence of sub starting at or after from;
// 0 when there is none or sub is longer than the text.
int PosFrom(std::u16string_view sub, std::u16string_view text, int from);
// The last occurrence starting at or before from; 0 when there is none.
int LastPosBefore(std::u16string_view sub, std::u16string_view text, int from);

// Removes up to two trailing characters, each only when it is CR or LF.
std::u16string TrimLineBreak(std::u16string_view text);
// Appends spaces up to the length.
std::u16string PadRight(std::u16string_view text, size_t length);
// 1-based index of the first character that is not a space; length + 1 when none.
int FirstNonBlank(std::u16string_view text);
// The text without the characters (ANSI codes) of the set.
std::u16string RemoveChars(std::u16string_view text, const TEasyCharSet& set);
// Cuts trailing characters of code 32 or less, except code 1.
std::u16string TrimRightBlanks(std::u16string_view text);
// The same part of the text, not copied.
std::u16string_view TrimRightBlanksView(std::u16string_view text);
// Cuts, from both ends, characters of code 32 or less, punctuation and the apostrophe.
std::u16string TrimWord(std::u16string_view text);

// Shift states as the key list compares them: Shift, Alt and Ctrl bits.
enum : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TEasyShiftState = uint8_t;
// The byte with its top bit cleared.
constexpr uint8_t ShiftBits(uint8_t shift)
{
    return shift & 0x7F;
}

}  // namespace qrv
