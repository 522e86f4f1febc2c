#include "BenchFolders.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace qrv::bench {

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

std::string Spread(std::vector<double> Values, int Decimals)
{
    if (Values.empty())
        return "-";
    std::sort(Values.begin(), Values.end());
    const double median = Median(Values);
    char text[96];
    std::snprintf(text, sizeof text, "%.*f (%.*f/%.*f/%.*f)", Decimals, median, Decimals, Values.front(), Decimals,
                  median, Decimals, Values.back());
    return text;
}

namespace {

std::wstring Numbered(const wchar_t* format, int i)
{
    wchar_t name[32];
    swprintf(name, 32, format, i);
    return name;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

template <class Step>
int Enumerate(const std::wstring& folder, Step&& counts)
{
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        if (counts(data))
            ++count;
    while (FindNextFileW(search, &data));
    FindClose(search);
    return count;
}

}  // namespace

namespace {

bool HasFixture(const std::wstring& folder, const std::wstring& last)
{
    if (Exists(folder + last))
        return true;
    std::printf("missing fixture %ls (made by scripts/bench-fixtures on the Linux side)\n", folder.c_str());
    return false;
}

}  // namespace

bool HasFileFolder(const std::wstring& folder, int count)
{
    return HasFixture(folder, Numbered(L"\\f%06d.txt", count - 1));
}

bool HasSubfolderFolder(const std::wstring& folder, int count)
{
    return HasFixture(folder, Numbered(L"\\d%05d", count - 1));
}

int BareLoop(const std::wstring& folder)
{
    return Enumerate(folder, [](const WIN32_FIND_DATAW&) { return true; });
}

int BareSubfolderLoop(const std::wstring& folder)
{
    return Enumerate(folder, [](const WIN32_FIND_DATAW& data) {
        const std::wstring_view name = data.cFileName;
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..";
    });
}

}  // namespace qrv::bench
