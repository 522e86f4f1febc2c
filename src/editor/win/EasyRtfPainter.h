#pragma once
// Draws RTF snippets as single lines: each run of the importer becomes a
// measured piece in its own font, the pieces side by side.

#include "editor/EasyRtfImporter.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// The fonts of the pieces, shared by equal name, size, style and colour.
class TEasyRtfFontManager {
public:
    HFONT Find(const std::wstring& name, int32_t size, TFontStyles style, TColor color, uint8_t charset);
    void Clear() { fonts_.clear(); }
    int Count() const { return static_cast<int>(fonts_.size()); }

private:
    struct TEntry {
        std::wstring Name;
        int32_t Size;
        TFontStyles Style;
        TColor Color;
        TGdiObject Font;
    };
    std::vector<TEntry> fonts_;
};

// A picture of a snippet, loaded by the system: a bitmap, or a metafile
// (Windows metafiles are converted to enhanced ones).
struct TEasyRtfImage {
    TGdiObject Bitmap;
    TEnhMetaFileHandle Metafile;
};

// Loads the picture's bytes; nothing when the system refuses them.
std::shared_ptr<TEasyRtfImage> LoadRtfPicture(const TEasyRtfPicture& picture);

struct TEasyRtfPiece {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Ascent = 0;
    uint8_t Vertical = 0;  // 0 normal, 1 subscript, 2 superscript
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    HFONT Font = nullptr;  // owned by the painter's font manager
    std::u16string Text;
    // A picture piece has no text; it is drawn at Width x Height.
    std::shared_ptr<TEasyRtfImage> Image;
};

struct TEasyRtfLine {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Ascent = 0;
    std::vector<TEasyRtfPiece> Pieces;
};

class TEasyRtfPainter {
public:
    TEasyRtfPainter();

    // Imports the snippet (plain text when it does not begin with "{\rtf")
    // as one more line.
    TEasyRtfLine& AddLine(std::u16string_view rtf);
    void SetDefaultFont(const TFont& font);
    // Draws the pieces from the rectangle's left at its top, without
    // clipping; a piece "|" only advances.
    void DrawLine(HDC dc, const RECT& rect, bool keepCanvasColor, bool fill, const TEasyRtfLine& line);
    void Clear();

    const std::vector<std::unique_ptr<TEasyRtfLine>>& Lines() const { return lines_; }

private:
    void AddPiece(TEasyRtfLine& line, const std::u16string& text, const TCustomEasyEditorAttributes& attributes);
    void AddPicture(TEasyRtfLine& line, const TEasyRtfPicture& picture);

    TEasyRtfImporter importer_;
    TEasyRtfFontManager fonts_;
    std::vector<std::unique_ptr<TEasyRtfLine>> lines_;
};

}  // namespace qrv
