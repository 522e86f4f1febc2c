#include "editor/win/EasyRtfPainter.h"

#include "editor/WideText.h"
#include "editor/win/EasyFontManagerWin.h"

#include <algorithm>
#include <cstring>

namespace qrv {

namespace {

int ScreenPixelsPerInch()
{
    const TWindowDC dc(nullptr);
    return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

void DrawImage(HDC dc, const TEasyRtfImage& image, const RECT& target)
{
    if (image.Metafile) {
        PlayEnhMetaFile(dc, image.Metafile.Get(), &target);
        return;
    }
    BITMAP size{};
    GetObjectW(image.Bitmap.Get(), sizeof size, &size);
    const TOwnDC source(CreateCompatibleDC(dc));
    const TSelectObject select(source.Get(), image.Bitmap.Get());
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, source.Get(), 0, 0,
               size.bmWidth, size.bmHeight, SRCCOPY);
}

// One advance per character, from the measured extents, so the drawn text
// is exactly as wide as the piece was measured.
std::vector<INT> Advances(HDC dc, const std::wstring& text)
{
    const int count = static_cast<int>(text.size());
    std::vector<INT> extents(text.size());
    SIZE size{};
    if (count == 0 || !GetTextExtentExPointW(dc, text.c_str(), count, 0, nullptr, extents.data(), &size))
        return {};
    for (int i = count - 1; i > 0; --i)
        extents[i] -= extents[i - 1];
    return extents;
}

bool IsRtf(std::u16string_view text)
{
    return text.substr(0, 5) == u"{\\rtf";
}

}  // namespace

HFONT TEasyRtfFontManager::Find(const std::wstring& name, int32_t size, TFontStyles style, TColor color,
                                uint8_t charset)
{
    for (const TEntry& entry : fonts_) {
        if (entry.Name == name && entry.Size == size && entry.Style == style && entry.Color == color)
            return static_cast<HFONT>(entry.Font.Get());
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(std::clamp(size, 1, 1600), ScreenPixelsPerInch(), 72);
    font.lfWeight = (style & efBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style & efItalic) ? TRUE : FALSE;
    font.lfUnderline = (style & efUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (style & efStrikeOut) ? TRUE : FALSE;
    font.lfCharSet = charset;
    font.lfQuality = DEFAULT_QUALITY;
    name.copy(font.lfFaceName, LF_FACESIZE - 1);
    fonts_.push_back({name, size, style, color, TGdiObject(CreateFontIndirectW(&font))});
    return static_cast<HFONT>(fonts_.back().Font.Get());
}

std::shared_ptr<TEasyRtfImage> LoadRtfPicture(const TEasyRtfPicture& picture)
{
    auto image = std::make_shared<TEasyRtfImage>();
    const std::string& data = picture.Data;
    switch (picture.Kind) {
    case TEasyRtfPictureKind::Bitmap: {
        // The importer checked header, palette and rows against the data.
        if (data.size() < 14 + sizeof(BITMAPINFOHEADER))
            return nullptr;
        BITMAPFILEHEADER file;
        std::memcpy(&file, data.data(), sizeof file);
        if (file.bfOffBits > data.size())
            return nullptr;
        const auto* info = reinterpret_cast<const BITMAPINFO*>(data.data() + 14);
        const TWindowDC screen(nullptr);
        image->Bitmap = TGdiObject(CreateDIBitmap(screen.Get(), &info->bmiHeader, CBM_INIT,
                                                  data.data() + file.bfOffBits, info, DIB_RGB_COLORS));
        if (!image->Bitmap)
            return nullptr;
        break;
    }
    case TEasyRtfPictureKind::Metafile: {
        constexpr size_t kPlaceable = 22;
        if (data.size() <= kPlaceable)
            return nullptr;
        // The size in hundredths of millimetres, from pixels at 96 per inch.
        METAFILEPICT frame{MM_ANISOTROPIC, MulDiv(picture.PictureWidth, 2540, 96),
                           MulDiv(picture.PictureHeight, 2540, 96), nullptr};
        image->Metafile = TEnhMetaFileHandle(SetWinMetaFileBits(static_cast<UINT>(data.size() - kPlaceable),
                                                                reinterpret_cast<const BYTE*>(data.data() + kPlaceable),
                                                                nullptr, &frame));
        if (!image->Metafile)
            return nullptr;
        break;
    }
    case TEasyRtfPictureKind::EnhMetafile:
        image->Metafile = TEnhMetaFileHandle(
            SetEnhMetaFileBits(static_cast<UINT>(data.size()), reinterpret_cast<const BYTE*>(data.data())));
        if (!image->Metafile)
            return nullptr;
        break;
    }
    return image;
}

TEasyRtfPainter::TEasyRtfPainter()
{
    importer_.OnOutput = [this](TCustomEasyImporter*, const std::u16string& text,
                                const TCustomEasyEditorAttributes& attributes, TCustomEasyEditorObject* object,
                                const TCustomEasyParagraph&) {
        if (lines_.empty())
            return;
        if (const auto* picture = dynamic_cast<const TEasyRtfPicture*>(object))
            AddPicture(*lines_.back(), *picture);
        else if (!text.empty())
            AddPiece(*lines_.back(), text, attributes);
    };
}

void TEasyRtfPainter::SetDefaultFont(const TFont& font)
{
    importer_.Font.Name = font.Name();
    importer_.Font.Size = font.Size();
    importer_.Font.Style = static_cast<TFontStyles>(font.Style());
    importer_.Font.Color = font.Color();
}

TEasyRtfLine& TEasyRtfPainter::AddLine(std::u16string_view rtf)
{
    lines_.push_back(std::make_unique<TEasyRtfLine>());
    TEasyRtfLine& line = *lines_.back();
    if (IsRtf(rtf)) {
        importer_.ImportString(rtf);
    } else if (!rtf.empty()) {
        TCustomEasyEditorAttributes attributes;
        importer_.ApplyAttributes(attributes);
        AddPiece(line, std::u16string(rtf), attributes);
    }
    if (line.Pieces.empty()) {
        // An empty line is as high as the default font.
        TCustomEasyEditorAttributes attributes;
        importer_.ApplyAttributes(attributes);
        AddPiece(line, u"", attributes);
    }
    return line;
}

void TEasyRtfPainter::AddPiece(TEasyRtfLine& line, const std::u16string& text,
                               const TCustomEasyEditorAttributes& attributes)
{
    TEasyRtfPiece piece;
    piece.Text = text;
    piece.Color = attributes.Color();
    piece.Style = attributes.Style();
    piece.Vertical = attributes.VerticalPosition();
    piece.Font =
        fonts_.Find(attributes.Name(), attributes.Size(), attributes.Style(), attributes.Color(), attributes.Charset());
    TEasyFontMetrics metrics;
    piece.Width = EasyFontManager().GetTextWidth(reinterpret_cast<uintptr_t>(piece.Font), text,
                                                 static_cast<int>(text.size()), metrics);
    if (text.empty())
        metrics = EasyFontManager().GetFontMetrics(reinterpret_cast<uintptr_t>(piece.Font));
    piece.Height = metrics.Height;
    piece.Ascent = metrics.Ascent;
    line.Width += piece.Width;
    line.Height = std::max(line.Height, piece.Height);
    line.Ascent = std::max(line.Ascent, piece.Ascent);
    line.Pieces.push_back(std::move(piece));
}

void TEasyRtfPainter::AddPicture(TEasyRtfLine& line, const TEasyRtfPicture& picture)
{
    // A picture the system cannot load is left out.
    auto image = LoadRtfPicture(picture);
    if (!image)
        return;
    TEasyRtfPiece piece;
    piece.Width = picture.Width();
    piece.Height = picture.Height();
    piece.Ascent = picture.Height();
    piece.Image = std::move(image);
    line.Width += piece.Width;
    line.Height = std::max(line.Height, piece.Height);
    line.Ascent = std::max(line.Ascent, piece.Ascent);
    line.Pieces.push_back(std::move(piece));
}

void TEasyRtfPainter::DrawLine(HDC dc, const RECT& rect, bool keepCanvasColor, bool fill, const TEasyRtfLine& line)
{
    if (fill)
        FillRect(dc, &rect, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    int x = rect.left;
    for (const TEasyRtfPiece& piece : line.Pieces) {
        if (piece.Image) {
            // Pictures stand on the base line.
            const int y = rect.top + line.Ascent - piece.Ascent;
            DrawImage(dc, *piece.Image, RECT{x, y, x + piece.Width, y + piece.Height});
        } else if (piece.Text != u"|" && !piece.Text.empty()) {
            const TSelectObject font(dc, piece.Font);
            if (!keepCanvasColor)
                SetTextColor(dc, ColorToRGB(piece.Color));
            // Pieces share the line's base line; sub- and superscripts move
            // off it by a third of their height.
            int y = rect.top + line.Ascent - piece.Ascent;
            if (piece.Vertical == 1)
                y += piece.Height / 3;
            else if (piece.Vertical == 2)
                y -= piece.Height / 3;
            const std::wstring text = ToWide(piece.Text);
            const std::vector<INT> advances = Advances(dc, text);
            ExtTextOutW(dc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
                        advances.empty() ? nullptr : advances.data());
        }
        x += piece.Width;
    }
    SetBkMode(dc, previousMode);
}

void TEasyRtfPainter::Clear()
{
    lines_.clear();
    fonts_.Clear();
}

}  // namespace qrv
