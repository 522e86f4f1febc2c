#include "widgets/ColorArray.h"

#include <algorithm>
#include <cstdio>

namespace qrv {

namespace {

constexpr TColor Rgb(int r, int g, int b)
{
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

void OutOfBounds()
{
    throw EColorArrayIndexError(L"Array index out of bounds");
}

}  // namespace

TColorArrayClass::TColorArrayClass(int xSize, int ySize, TColor fill) : xSize_(0), ySize_(0)
{
    SetSize(xSize, ySize, fill);
}

void TColorArrayClass::SetSize(int xSize, int ySize, TColor fill)
{
    xSize_ = std::max(xSize, 0);
    ySize_ = std::max(ySize, 0);
    colors_.assign(static_cast<size_t>(xSize_) * static_cast<size_t>(ySize_), fill);
}

size_t TColorArrayClass::Offset(int x, int y) const
{
    if (x < 1 || x > xSize_ || y < 1 || y > ySize_)
        OutOfBounds();
    return static_cast<size_t>(x - 1 + (y - 1) * xSize_);
}

TColor TColorArrayClass::At(int x, int y) const
{
    return colors_[Offset(x, y)];
}

void TColorArrayClass::Set(int x, int y, TColor color)
{
    colors_[Offset(x, y)] = color;
}

TColor TColorArrayClass::Linear(int index) const
{
    if (index < 1 || index > Count())
        OutOfBounds();
    return colors_[static_cast<size_t>(index - 1)];
}

void TColorArrayClass::SetLinear(int index, TColor color)
{
    if (index < 1 || index > Count())
        OutOfBounds();
    colors_[static_cast<size_t>(index - 1)] = color;
}

int TColorArrayClass::IndexOf(TColor color) const
{
    const auto it = std::find(colors_.begin(), colors_.end(), color);
    return it == colors_.end() ? 0 : static_cast<int>(it - colors_.begin()) + 1;
}

TColorArrayClass DefaultPaletteColors()
{
    // Column by column, top to bottom.
    const TColor columns[4][5] = {
        {Rgb(255, 255, 255), Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(191, 215, 191)},
        {Rgb(0, 0, 0), Rgb(127, 0, 0), Rgb(0, 127, 0), Rgb(0, 0, 127), Rgb(159, 191, 239)},
        {Rgb(191, 191, 191), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(255, 0, 255), Rgb(255, 247, 239)},
        {Rgb(127, 127, 127), Rgb(127, 127, 0), Rgb(0, 127, 127), Rgb(127, 0, 127), Rgb(159, 159, 159)},
    };
    TColorArrayClass colors(4, 5);
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 5; ++y)
            colors.Set(x, y, columns[x - 1][y - 1]);
    return colors;
}

TColorArrayClass DefaultCustomColors()
{
    return TColorArrayClass(8, 2, clWhite);
}

std::wstring CustomColorsText(const TColorArrayClass& colors)
{
    std::wstring text;
    for (int x = 1; x <= colors.XSize(); ++x)
        for (int y = 1; y <= colors.YSize(); ++y) {
            char item[16];
            std::snprintf(item, sizeof item, "$%08X", static_cast<unsigned>(colors.At(x, y)));
            if (!text.empty())
                text += L',';
            text.append(item, item + 9);
        }
    return text;
}

void ReadCustomColorsText(const std::wstring& text, TColorArrayClass& colors)
{
    if (text.find(L',') == std::wstring::npos)
        return;
    std::vector<std::wstring> items;
    for (size_t at = 0; at <= text.size() && static_cast<int>(items.size()) < colors.Count();) {
        const size_t comma = std::min(text.find(L',', at), text.size());
        items.push_back(Trim(text.substr(at, comma - at)));
        at = comma + 1;
    }
    size_t next = 0;
    for (int x = 1; x <= colors.XSize(); ++x)
        for (int y = 1; y <= colors.YSize(); ++y, ++next) {
            if (next >= items.size())
                return;  // a short list leaves the rest
            int64_t value = 0;
            const bool ok = TryStrToInt64(items[next], value) && value >= 0 && value <= 0xFFFFFFFFll;
            colors.Set(x, y, ok ? static_cast<TColor>(static_cast<uint32_t>(value)) : clWhite);
        }
}

std::wstring CustomColorName(int x, int y)
{
    return std::wstring(L"Color") + static_cast<wchar_t>(L'A' + (y - 1) * 8 + (x - 1));
}

TPaletteCell PaletteCellAt(int x, int y, int clientWidth)
{
    if (x >= clientWidth - 19 && x <= clientWidth - 1 && y >= kPaletteOtherTop && y <= kPaletteOtherBottom)
        return {0, 0};
    if (x < 0 || y < 0 || x >= 4 * kPaletteCell || y >= 5 * kPaletteCell)
        return {};
    return {x / kPaletteCell + 1, y / kPaletteCell + 1};
}

TPaletteCell MovePaletteCell(TPaletteCell cell, TPaletteKey key)
{
    if (cell.None())
        return {1, 1};
    switch (key) {
    case TPaletteKey::Left:
    case TPaletteKey::Right:
        if (cell.Other())
            return cell;
        cell.X += key == TPaletteKey::Left ? -1 : 1;
        if (cell.X < 1)
            cell.X = 4;
        else if (cell.X > 4)
            cell.X = 1;
        return cell;
    case TPaletteKey::Up:
    case TPaletteKey::Down:
        cell.Y += key == TPaletteKey::Up ? -1 : 1;
        if (cell.Y < 0)
            cell.Y = 5;
        else if (cell.Y > 5)
            cell.Y = 0;
        // The other-colour cell is (0, 0); leaving it goes to the first column.
        cell.X = cell.Y == 0 ? 0 : std::max(cell.X, 1);
        return cell;
    }
    return cell;
}

std::wstring ColorHintText(TColor color)
{
    const auto rgb = static_cast<uint32_t>(color);
    char text[32];
    std::snprintf(text, sizeof text, "RGB = %.3u %.3u %.3u", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

TPaletteRect PlacePalette(const TPaletteRect& button, int width, int height, const TPaletteRect& workArea)
{
    int top = button.Bottom;
    if (top + height > workArea.Bottom)
        top = button.Top - 121;
    int left = std::max(button.Left, workArea.Left);
    if (left + width > workArea.Right)
        left = workArea.Right - width;  // flush with the area's right edge
    return {left, top, left + width, top + height};
}

}  // namespace qrv
