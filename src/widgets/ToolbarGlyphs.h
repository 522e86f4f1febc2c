#pragma once
// The 16 x 16 pictures of the toolbar buttons, drawn by the program from
// a few shapes (pages, folders, arrows, marks). Portable: a picture is its
// pixels; the button makes a bitmap of them.

#include <array>
#include <cstdint>

namespace qrv {

enum class TGlyph : uint8_t {
    NewFolder,
    NewFile,
    NewLink,
    Rename,
    Delete,
    Properties,
    CopyTo,
    MoveTo,
    Duplicate,
    Exit,
    ViewFile,
    Freeze,
    DisplayAuto,
    FitPicture,
    BackgroundColor,
    SelectAll,
    SelectInvert,
    SelectSome,
    UnselectSome,
    Filter,
    LargeIcons,
    SmallIcons,
    List,
    Details,
    Tiles,
    Refresh,
    FolderSize,
    Cut,
    Copy,
    Paste,
    ClearClipboard,
    Search,
    SearchFolder,
    Verify,
    Options,
    NetConnect,
    NetDisconnect,
    Run,
    Console,
    // The customiser's pictures of the filter box, a separator and the
    // command-line toolbar's button panel.
    FilterField,
    SeparatorMark,
    ButtonPanel,
    Count
};

constexpr int kGlyphSize = 16;
// The colour of the pixels a picture leaves out (0xRRGGBB); every
// picture's top-left pixel has it.
constexpr uint32_t kGlyphTransparent = 0xFF00FF;

// Row by row from the top, 0xRRGGBB.
using TGlyphPixels = std::array<uint32_t, kGlyphSize * kGlyphSize>;

TGlyphPixels GlyphPixels(TGlyph Glyph);

}  // namespace qrv
