#include "common/BaseUtils.h"

#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace qrv {

// ---- Text helpers -------------------------------------------------------

std::wstring ReplaceSubStr(std::wstring_view S, std::wstring_view Old, std::wstring_view New)
{
    if (Old.empty())
        return std::wstring(S);
    std::wstring result;
    result.reserve(S.size());
    size_t from = 0;
    for (size_t at = S.find(Old); at != std::wstring_view::npos; at = S.find(Old, from)) {
        result.append(S.substr(from, at - from));
        result.append(New);
        from = at + Old.size();
    }
    result.append(S.substr(from));
    return result;
}

std::wstring ReplaceChar(std::wstring_view S, wchar_t OldCh, wchar_t NewCh)
{
    std::wstring result(S);
    std::replace(result.begin(), result.end(), OldCh, NewCh);
    return result;
}

void TranslateCharsInPlace(std::wstring& S, std::wstring_view Pairs)
{
    if (Pairs.size() % 2 != 0)
        return;
    for (size_t i = 0; i < Pairs.size(); i += 2)
        std::replace(S.begin(), S.end(), Pairs[i], Pairs[i + 1]);
}

std::wstring TranslateChars(std::wstring_view S, std::wstring_view Pairs)
{
    std::wstring result(S);
    TranslateCharsInPlace(result, Pairs);
    return result;
}

std::wstring DeleteAllChars(std::wstring_view S, wchar_t Ch)
{
    std::wstring result(S);
    std::erase(result, Ch);
    return result;
}

bool ContainsAnyChar(std::wstring_view Chars, std::wstring_view S)
{
    return !Chars.empty() && S.find_first_of(Chars) != std::wstring_view::npos;
}

std::wstring FillString(wchar_t Ch, int Count)
{
    return Count > 0 ? std::wstring(static_cast<size_t>(Count), Ch) : std::wstring();
}

std::wstring QuoteIfBlank(const std::wstring& S)
{
    const bool quoted = S.size() >= 2 && S.front() == L'"' && S.back() == L'"';
    if (quoted || S.find(L' ') == std::wstring::npos)
        return S;
    return L'"' + S + L'"';
}

std::wstring CutToken(std::wstring& S, wchar_t Sep)
{
    if (S.empty())
        return {};
    size_t end = S.find(Sep, 1);
    if (end == std::wstring::npos)
        end = S.size();
    std::wstring token = S.substr(0, end);
    S.erase(0, end);
    return token;
}

void SplitExtList(std::wstring_view S, TStrings& List)
{
    List.Clear();
    std::wstring rest = DeleteAllChars(S, L' ');
    while (!rest.empty())
        List.Add(CutToken(rest, L'.'));
}

std::wstring CutEnclosed(wchar_t Open, wchar_t Close, std::wstring& S)
{
    const size_t open = S.find(Open);
    if (open == std::wstring::npos)
        return {};
    const size_t close = S.find(Close, open + 1);
    if (close == std::wstring::npos) {
        S.clear();
        return {};
    }
    std::wstring inner = S.substr(open + 1, close - open - 1);
    S.erase(0, close + 1);
    return inner;
}

void DropFirstChars(std::wstring& S, int N)
{
    if (N > 0)
        S.erase(0, std::min(static_cast<size_t>(N), S.size()));
}

std::wstring NiceCapitalize(std::wstring_view S)
{
    static constexpr std::wstring_view kWordStarts = L" ,_-&()$#";
    std::wstring result = LowerCase(S);
    bool start = true;
    for (wchar_t& c : result) {
        if (start)
            c = UpCaseChar(c);
        start = kWordStarts.find(c) != std::wstring_view::npos;
    }
    return result;
}

std::wstring FormatThousandsU(uint64_t N, std::wstring_view Separator)
{
    const std::wstring digits = std::to_wstring(N);
    std::wstring result;
    result.reserve(digits.size() + digits.size() / 3 * Separator.size());
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result.append(Separator);
        result.push_back(digits[i]);
    }
    return result;
}

std::wstring FormatThousands(int64_t N, std::wstring_view Separator)
{
    // The magnitude is taken unsigned so that the most negative value has one.
    const uint64_t magnitude = N < 0 ? 0 - static_cast<uint64_t>(N) : static_cast<uint64_t>(N);
    return FormatThousandsU(magnitude, Separator);
}

int64_t ShiftRound(int Bits, int64_t Value)
{
    if (Bits <= 0)
        return Value;
    if (Bits >= 64)
        return 0;
    const uint64_t value = static_cast<uint64_t>(Value);
    const uint64_t mask = (uint64_t{1} << Bits) - 1;
    const uint64_t half = uint64_t{1} << (Bits - 1);
    return static_cast<int64_t>((value >> Bits) + ((value & mask) > half ? 1 : 0));
}

std::wstring FormatSizeText(int64_t Size, bool Abbreviate, std::wstring_view Separator)
{
    if (!Abbreviate)
        return FormatThousands(Size, Separator);
    struct TUnit {
        int64_t Threshold;
        int Bits;
        const wchar_t* Suffix;
    };
    static constexpr TUnit kUnits[] = {
        {10'000'000'000, 30, L" GB"}, {10'000'000, 20, L" MB"}, {10'000, 10, L" KB"}, {0, 0, L" Bytes"}};
    for (const TUnit& unit : kUnits)
        if (Size >= unit.Threshold)
            return FormatThousands(ShiftRound(unit.Bits, Size), Separator) + unit.Suffix;
    return FormatThousands(Size, Separator) + L" Bytes";
}

// ---- Paths ----------------------------------------------------------------

namespace {
bool IsPathDelimiter(wchar_t c)
{
    return c == L'\\' || c == L':';
}

size_t FileNameStart(std::wstring_view Path)
{
    size_t i = Path.size();
    while (i > 0 && !IsPathDelimiter(Path[i - 1]))
        --i;
    return i;
}
}  // namespace

std::wstring AddBackslash(std::wstring_view Path)
{
    std::wstring result(Path);
    if (!result.empty() && result.back() != L'\\')
        result.push_back(L'\\');
    return result;
}

std::wstring RemoveBackslash(std::wstring_view Path)
{
    if (!Path.empty() && Path.back() == L'\\')
        Path.remove_suffix(1);
    return std::wstring(Path);
}

std::wstring RemoveBackslashes(std::wstring_view Path)
{
    while (!Path.empty() && Path.back() == L'\\')
        Path.remove_suffix(1);
    return std::wstring(Path);
}

std::wstring RemoveBackslashBelowRoot(std::wstring_view Path)
{
    while (Path.size() > 3 && Path.back() == L'\\')
        Path.remove_suffix(1);
    return std::wstring(Path);
}

std::wstring ExtractFilePath(std::wstring_view Path)
{
    return std::wstring(Path.substr(0, FileNameStart(Path)));
}

std::wstring ExtractFileName(std::wstring_view Path)
{
    return std::wstring(Path.substr(FileNameStart(Path)));
}

std::wstring ExtractFileExt(std::wstring_view Path)
{
    const std::wstring_view name = Path.substr(FileNameStart(Path));
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring() : std::wstring(name.substr(dot));
}

std::wstring ExtractFileBaseName(std::wstring_view Path)
{
    const std::wstring name = ExtractFileName(Path);
    return name.substr(0, name.size() - ExtractFileExt(name).size());
}

size_t PathRootLength(std::wstring_view Path)
{
    if (Path.size() >= 2 && Path[1] == L':')
        return 2;
    if (Path.starts_with(L"\\\\")) {
        const size_t server = Path.find(L'\\', 2);
        if (server == std::wstring_view::npos)
            return Path.size();
        const size_t share = Path.find(L'\\', server + 1);
        return share == std::wstring_view::npos ? Path.size() : share;
    }
    return 0;
}

std::vector<std::wstring> PathLevelsBelowRoot(std::wstring_view Path)
{
    const size_t root = PathRootLength(Path);
    while (Path.size() > root && Path.back() == L'\\')
        Path.remove_suffix(1);
    std::vector<std::wstring> levels;
    while (Path.size() > root) {
        levels.emplace_back(Path);
        const size_t slash = Path.rfind(L'\\');
        if (slash == std::wstring_view::npos)
            break;
        Path = Path.substr(0, slash);
    }
    return levels;
}

std::wstring ShortenPathToWidth(const std::wstring& Path, const TTextWidthFunc& TextWidth, int MaxWidth)
{
    std::wstring dir = ExtractFilePath(Path);
    const std::wstring name = Path.substr(dir.size());

    std::wstring head;
    if (dir.size() >= 2 && dir[1] == L':') {
        head = dir.substr(0, 2);
        dir.erase(0, 2);
    } else if (dir.starts_with(L"\\\\")) {
        if (const size_t server = dir.find(L'\\', 2); server != std::wstring::npos) {
            head = dir.substr(0, server);
            dir.erase(0, server);
        }
    }

    // The directory part as a leading "\", an optional "...\" for the folders
    // already dropped, and the folders still shown, each with its "\". Every
    // step below removes something, so the loop ends for any width.
    const bool rooted = dir.starts_with(L'\\');
    bool leadingSlash = rooted;
    bool elided = false;
    std::vector<std::wstring> folders;
    for (size_t from = rooted ? 1 : 0; from < dir.size();) {
        size_t end = dir.find(L'\\', from);
        end = end == std::wstring::npos ? dir.size() : end + 1;
        folders.push_back(dir.substr(from, end - from));
        from = end;
    }

    auto render = [&] {
        std::wstring text = head;
        if (leadingSlash)
            text += L'\\';
        if (elided)
            text += L"...\\";
        for (const std::wstring& folder : folders)
            text += folder;
        return text + name;
    };

    std::wstring result = Path;
    while (!head.empty() || leadingSlash || elided || !folders.empty()) {
        if (TextWidth(result) <= MaxWidth)
            break;
        if (!folders.empty()) {
            folders.erase(folders.begin());
            elided = true;
        } else if (leadingSlash && elided) {
            // "\...\" after the head: the head goes, "...\" stays in front.
            head.clear();
            leadingSlash = false;
        } else if (leadingSlash || elided) {
            leadingSlash = false;
            elided = false;
        } else {
            head.clear();
        }
        result = render();
    }
    return result;
}

// ---- DOS dates ------------------------------------------------------------

namespace {
using namespace std::chrono;

constexpr sys_days kDateTimeEpoch = sys_days{1899y / 12 / 30};
constexpr sys_days kFileTimeEpoch = sys_days{1601y / 1 / 1};

year_month_day DosDateParts(uint16_t Date)
{
    return year_month_day{year{1980 + (Date >> 9)}, month{unsigned(Date >> 5) & 0x0F}, day{unsigned(Date) & 0x1F}};
}

int DosTimeSeconds(uint16_t Time)
{
    return (Time >> 11) * 3600 + ((Time >> 5) & 0x3F) * 60 + (Time & 0x1F) * 2;
}
}  // namespace

bool IsValidDosDate(uint16_t Date)
{
    return DosDateParts(Date).ok();
}

bool IsValidDosTime(uint16_t Time)
{
    return (Time >> 11) < 24 && ((Time >> 5) & 0x3F) < 60 && (Time & 0x1F) < 30;
}

TDateTime DosDateToDateTime(uint16_t Date)
{
    if (!IsValidDosDate(Date))
        return 0;
    return static_cast<TDateTime>((sys_days{DosDateParts(Date)} - kDateTimeEpoch).count());
}

uint16_t DateTimeToDosDate(TDateTime DateTime)
{
    constexpr TDateTime kFirst = (sys_days{1980y / 1 / 1} - kDateTimeEpoch).count();
    constexpr TDateTime kEnd = (sys_days{2108y / 1 / 1} - kDateTimeEpoch).count();
    if (!(DateTime >= kFirst && DateTime < kEnd))  // NaN fails too
        return 0;
    const year_month_day date{kDateTimeEpoch + days{static_cast<int>(std::floor(DateTime))}};
    return static_cast<uint16_t>(((int(date.year()) - 1980) << 9) | (unsigned(date.month()) << 5) |
                                 unsigned(date.day()));
}

TDateTime DosDateTimeToDateTime(uint32_t Packed)
{
    const uint16_t date = static_cast<uint16_t>(Packed >> 16);
    const uint16_t time = static_cast<uint16_t>(Packed);
    if (!IsValidDosDate(date) || !IsValidDosTime(time))
        return 0;
    return DosDateToDateTime(date) + DosTimeSeconds(time) / 86400.0;
}

bool DosDateTimeToFileTime(uint32_t Packed, uint64_t& FileTime)
{
    FileTime = 0;
    const uint16_t date = static_cast<uint16_t>(Packed >> 16);
    const uint16_t time = static_cast<uint16_t>(Packed);
    if (!IsValidDosDate(date) || !IsValidDosTime(time))
        return false;
    const int64_t days = (sys_days{DosDateParts(date)} - kFileTimeEpoch).count();
    FileTime = static_cast<uint64_t>(days * 86400 + DosTimeSeconds(time)) * 10'000'000;
    return true;
}

// ---- Window placement -------------------------------------------------------

void FitBoundsToScreen(TBounds& Bounds, int ScreenWidth, int ScreenHeight)
{
    if (Bounds.Width < 50)
        Bounds.Width = ScreenWidth / 2;
    if (Bounds.Height < 50)
        Bounds.Height = ScreenHeight / 2;
    if (Bounds.Top + 50 > ScreenHeight || Bounds.Top + Bounds.Height < 0)
        Bounds.Top = 50;
    if (Bounds.Left + 50 > ScreenWidth || Bounds.Left + Bounds.Width < 0)
        Bounds.Left = 50;
}

void CenterBoundsOver(const TBounds& Control, TBounds& Form, int ScreenWidth, int ScreenHeight)
{
    Form.Left = std::max(std::min(Control.Left + (Control.Width - Form.Width) / 2, ScreenWidth - Form.Width), 1);
    Form.Top = std::max(std::min(Control.Top + (Control.Height - Form.Height) / 2, ScreenHeight - Form.Height), 1);
}

std::wstring MenuAccelText(int Counted)
{
    static constexpr std::wstring_view kAccels = L"123456789ACDEFGIJKLMNOPQRSTUVWXYZ";
    if (Counted < 0 || static_cast<size_t>(Counted) >= kAccels.size())
        return L"    ";
    return std::wstring(L"&") + kAccels[static_cast<size_t>(Counted)] + L"  ";
}

}  // namespace qrv
