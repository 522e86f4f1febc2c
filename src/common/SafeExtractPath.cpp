#include "common/SafeExtractPath.h"

#include <array>
#include <vector>

namespace qrv {

namespace {

#ifdef _WIN32
constexpr wchar_t kSeparator = L'\\';
#else
constexpr wchar_t kSeparator = L'/';
#endif

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

wchar_t Upper(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

// Windows treats these as devices whatever folder or extension they carry.
bool IsDeviceName(std::wstring_view level)
{
    std::wstring_view base = level.substr(0, level.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 4> plain = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const auto name : plain)
        if (EqualsNoCase(base, name))
            return true;
    if (base.size() == 4 && base[3] >= L'1' && base[3] <= L'9')
        return EqualsNoCase(base.substr(0, 3), L"COM") || EqualsNoCase(base.substr(0, 3), L"LPT");
    return false;
}

// Length of a drive, UNC or device prefix at the start of a name whose
// separators are still mixed.
size_t PrefixLength(std::wstring_view name)
{
    if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) {
        // "\\?\", "\\.\" and "\\server\share\": skip the two levels after "\\".
        size_t pos = 2;
        for (int level = 0; level < 2 && pos < name.size(); ++level) {
            while (pos < name.size() && !IsSeparator(name[pos]))
                ++pos;
            while (pos < name.size() && IsSeparator(name[pos]))
                ++pos;
        }
        return pos;
    }
    if (name.size() >= 2 && name[1] == L':' && ((Upper(name[0]) >= L'A' && Upper(name[0]) <= L'Z')))
        return 2;
    return 0;
}

}  // namespace

std::wstring AddPathSeparator(std::wstring_view Folder)
{
    std::wstring result(Folder);
    if (result.empty() || !IsSeparator(result.back()))
        result.push_back(kSeparator);
    return result;
}

bool IsSafeNameLevel(std::wstring_view level)
{
    if (level.empty() || level == L"." || level == L"..")
        return false;
    if (level.back() == L'.' || level.back() == L' ')
        return false;
    for (const wchar_t c : level) {
        if (c < 0x20)
            return false;
        switch (c) {
        case L':':
        case L'<':
        case L'>':
        case L'"':
        case L'|':
        case L'?':
        case L'*':
        case L'\\':
        case L'/':
            return false;
        default:
            break;
        }
    }
    return !IsDeviceName(level);
}

std::optional<std::wstring> SafeExtractPath(std::wstring_view TargetDir, std::wstring_view StoredName, bool UsePaths)
{
    std::wstring_view rest = StoredName.substr(PrefixLength(StoredName));
    std::vector<std::wstring_view> levels;
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = pos;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::wstring_view level = rest.substr(pos, end - pos);
        if (!level.empty() && level != L".") {
            if (!IsSafeNameLevel(level))
                return std::nullopt;
            levels.push_back(level);
        }
        pos = end + 1;
    }
    if (levels.empty())
        return std::nullopt;
    if (!UsePaths)
        levels.erase(levels.begin(), levels.end() - 1);

    std::wstring result(TargetDir);
    if (!result.empty() && !IsSeparator(result.back()))
        result.push_back(kSeparator);
    for (size_t i = 0; i < levels.size(); ++i) {
        if (i > 0)
            result.push_back(kSeparator);
        result.append(levels[i]);
    }
    return result;
}

}  // namespace qrv
