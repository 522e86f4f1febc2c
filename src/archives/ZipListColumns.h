#pragma once
// The five report columns of the archive list view. Portable.

#include <array>
#include <string>

namespace qrv {

constexpr int ZipColumnCount = 5;
enum : int { zcName = 0, zcSize = 1, zcType = 2, zcChanged = 3, zcPath = 4 };

struct TZipColumnInfo {
    const wchar_t* Caption;
    bool RightAligned;
    int DefaultWidth;
};

inline constexpr std::array<TZipColumnInfo, ZipColumnCount> ZipColumns{{
    {L"Name", false, 150},
    {L"Größe", true, 80},
    {L"Typ", false, 100},
    {L"geändert am", false, 120},
    {L"Pfad", false, 150},
}};

// The name column's caption: "Name", with " (mask)" while a mask other than
// "*.*" filters the entries and the header is to show it.
std::wstring ZipNameCaption(const std::wstring& mask, bool showMaskInHeader);

}  // namespace qrv
