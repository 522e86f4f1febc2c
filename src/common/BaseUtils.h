#pragma once
// The toolbox of free helpers for texts, sizes, paths, DOS dates and window
// placement. Portable: whatever needs the system (locale separators, file
// attributes, the shell, the screen) is in common/win/BaseUtilsWin.h, which
// calls into these.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TStrings;

// ---- Text helpers -------------------------------------------------------

// Every occurrence of Old replaced by New in one left-to-right pass; the
// inserted text is not searched again. An empty Old changes nothing.
std::wstring ReplaceSubStr(std::wstring_view S, std::wstring_view Old, std::wstring_view New);
std::wstring ReplaceChar(std::wstring_view S, wchar_t OldCh, wchar_t NewCh);
// Pairs is a run of character pairs "fg": for each pair in turn every f
// becomes g, so later pairs see the result of earlier ones. Pairs of odd
// length leave the text unchanged.
std::wstring TranslateChars(std::wstring_view S, std::wstring_view Pairs);
void TranslateCharsInPlace(std::wstring& S, std::wstring_view Pairs);
std::wstring DeleteAllChars(std::wstring_view S, wchar_t Ch);
// True when some character of Chars occurs in S.
bool ContainsAnyChar(std::wstring_view Chars, std::wstring_view S);
std::wstring FillString(wchar_t Ch, int Count);
// S in double quotes when it holds a blank and is not quoted already.
std::wstring QuoteIfBlank(const std::wstring& S);
// Takes the first character of S and what follows up to the next Sep (which
// stays in S and begins the next token); removes the token from S.
std::wstring CutToken(std::wstring& S, wchar_t Sep);
// Clears List and adds the "."-led tokens of S with its blanks removed:
// ".BMP.GIF .JPG" gives ".BMP", ".GIF", ".JPG" (sorted when List is).
void SplitExtList(std::wstring_view S, TStrings& List);
// The text between the first Open and the next Close; S keeps what follows
// that Close. Without Open: empty, S unchanged. Without Close: empty, S
// emptied.
std::wstring CutEnclosed(wchar_t Open, wchar_t Close, std::wstring& S);
void DropFirstChars(std::wstring& S, int N);
// Lower case, with the first character and every one after one of
// " ,_-&()$#" in upper case.
std::wstring NiceCapitalize(std::wstring_view S);

// Digits of |N| with Separator between groups of three from the right.
std::wstring FormatThousands(int64_t N, std::wstring_view Separator);
std::wstring FormatThousandsU(uint64_t N, std::wstring_view Separator);
// With Abbreviate the unit is chosen by decimal thresholds (10,000 bytes,
// 10,000,000, 10,000,000,000) and the value scaled by 2^10, 2^20, 2^30:
// "9.999 Bytes", "10 KB", "10 MB", "11 GB". Without, the plain grouped number.
std::wstring FormatSizeText(int64_t Size, bool Abbreviate, std::wstring_view Separator);
// Value >> Bits, plus 1 when the bits shifted out exceed half of 2^Bits.
int64_t ShiftRound(int Bits, int64_t Value);

// ---- Paths ----------------------------------------------------------------
// Paths are full Windows paths: "C:\dir\file" or "\\server\share\dir\file".

// One "\" appended unless Path is empty or ends with one.
std::wstring AddBackslash(std::wstring_view Path);
// One trailing "\" removed when present ("C:\" gives "C:").
std::wstring RemoveBackslash(std::wstring_view Path);
// Every trailing "\" removed ("C:\\" gives "C:").
std::wstring RemoveBackslashes(std::wstring_view Path);
// Trailing "\" removed down to a drive's root ("C:\Temp\" gives "C:\Temp",
// "C:\" stays).
std::wstring RemoveBackslashBelowRoot(std::wstring_view Path);
// The directory part with its trailing "\" (or the drive "C:"), the name
// after it, and the name's extension from its last "." (dot included).
std::wstring ExtractFilePath(std::wstring_view Path);
std::wstring ExtractFileName(std::wstring_view Path);
std::wstring ExtractFileExt(std::wstring_view Path);
// The file name without its trailing extension: "a.txt.b.txt" gives "a.txt.b".
std::wstring ExtractFileBaseName(std::wstring_view Path);
// Length of the part that names the volume: 2 for "C:", the length of
// "\\server\share" for a network path, 0 for anything else.
size_t PathRootLength(std::wstring_view Path);
// Path less a trailing "\" and each of its parent folders, nearest first,
// down to but not including the drive or share root.
std::vector<std::wstring> PathLevelsBelowRoot(std::wstring_view Path);

// Width of a text in the units MaxWidth is given in (pixels on a canvas).
using TTextWidthFunc = std::function<int(const std::wstring& Text)>;
// Path shortened folder by folder from the left until it fits:
// "C:\...\System\datei.txt", "C:\...\datei.txt", "...\datei.txt", and at last
// the bare file name, whatever MaxWidth is.
std::wstring ShortenPathToWidth(const std::wstring& Path, const TTextWidthFunc& TextWidth, int MaxWidth);

// ---- DOS dates ------------------------------------------------------------
// A DOS date is the FAT date word (year - 1980, month, day); a packed DOS
// date-time has the date in the high and the time in the low 16 bits.

// Days since 1899-12-30, the time of day as the fraction.
using TDateTime = double;

bool IsValidDosDate(uint16_t Date);
bool IsValidDosTime(uint16_t Time);
// The date at 00:00; 0 for an invalid date word (0 is common in archives).
TDateTime DosDateToDateTime(uint16_t Date);
// The time of day is dropped; 0 for dates outside 1980 .. 2107.
uint16_t DateTimeToDosDate(TDateTime DateTime);
// 0 when the date or the time half is invalid.
TDateTime DosDateTimeToDateTime(uint32_t Packed);
// 100-ns intervals since 1601-01-01, no time-zone shift; false (and 0) when
// the date or the time half is invalid.
[[nodiscard]] bool DosDateTimeToFileTime(uint32_t Packed, uint64_t& FileTime);

// ---- Window placement -------------------------------------------------------

struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TBounds&) const = default;
};

// Makes a stored window rectangle usable on a screen of the given size: a
// width or height under 50 becomes half the screen's, and a side that lies
// off the screen is put at 50.
void FitBoundsToScreen(TBounds& Bounds, int ScreenWidth, int ScreenHeight);
// Centres Form over Control (both in screen coordinates), kept on the screen
// and at least at 1.
void CenterBoundsOver(const TBounds& Control, TBounds& Form, int ScreenWidth, int ScreenHeight);
// The accelerator prefix of a generated menu item after Counted others:
// "&1  " .. "&9  ", "&A  " .. "&Z  " without B and H, then four blanks.
std::wstring MenuAccelText(int Counted);

}  // namespace qrv
