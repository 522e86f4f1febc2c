#include "imaging/win/GifPalette.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

// A graphics resource the system refused: its text for the last error.
[[noreturn]] void RaiseOutOfResources()
{
    const DWORD error = GetLastError();
    throw EOutOfResources(error ? SysErrorMessage(error) : std::wstring(L"Nicht genügend Ressourcen"));
}

}  // namespace

HPALETTE ExportGIFPalette(const TGIFColorMap& table)
{
    // LOGPALETTE ends in a one-entry array: room for the rest behind it.
    const int count = std::max(1, table.Count());
    std::vector<uint8_t> memory(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(count - 1));
    auto* logical = reinterpret_cast<LOGPALETTE*>(memory.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(table.Count());
    for (int i = 0; i < table.Count(); ++i)
        logical->palPalEntry[i] = {table[i].Red, table[i].Green, table[i].Blue, PC_NOCOLLAPSE};
    SetLastError(0);
    HPALETTE palette = CreatePalette(logical);
    if (!palette)
        RaiseOutOfResources();
    return palette;
}

void ImportGIFPalette(TGIFColorMap& table, HPALETTE palette)
{
    PALETTEENTRY entries[256];
    const UINT count = GetPaletteEntries(palette, 0, 256, entries);
    table.Clear();
    for (UINT i = 0; i < count; ++i)
        table.Add({entries[i].peRed, entries[i].peGreen, entries[i].peBlue});
}

void ImportGIFDibColors(TGIFColorMap& table, const RGBQUAD* colors, int count)
{
    table.Clear();
    for (int i = 0; i < std::clamp(count, 0, 256); ++i)
        table.Add({colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue});
}

bool ImportGIFDCColors(TGIFColorMap& table, HDC dc)
{
    RGBQUAD colors[256];
    const UINT count = GetDIBColorTable(dc, 0, 256, colors);
    if (count == 0)
        return false;
    ImportGIFDibColors(table, colors, static_cast<int>(count));
    return true;
}

}  // namespace qrv
