#pragma once
// Reads RTF snippets ("{\rtf ...}"): a subset of RTF with fonts, colours,
// character styles, Unicode characters, hyperlink fields, tabs, paragraphs
// and bitmap and metafile pictures; everything else is skipped. Portable:
// group nesting lives in a heap stack, tables are keyed by their numbers.

#include "editor/EasyImporter.h"
#include "editor/EasyRtfParser.h"
#include "editor/EasyRtfPicture.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TEasyRtfImporter : public TCustomEasyImporterEx {
public:
    explicit TEasyRtfImporter(const TEasyImportFont& font = {}) : TCustomEasyImporterEx(font) {}

    // More than 4 bytes beginning with "{\rtf"; the stream is put back.
    bool CanImport(TStream& stream) override;
    void Import(TStream& stream) override;
    // Emits a pending paragraph end.
    void Flush() override;
    void ProcessControl(std::u16string_view word, int prevToken) override;

    // The tables read by the last import.
    struct TFontEntry {
        std::wstring Name;
        uint8_t Charset = 0;
    };
    const std::vector<TColor>& ColorTable() const { return colors_; }
    const std::map<int32_t, TFontEntry>& FontTable() const { return fonts_; }

private:
    // What the tokens of the current group are read as.
    enum class TDestination { Text, ColorTable, FontTable, Picture, FieldInstruction };

    void Reset();
    void ProcessToken(int token, std::u16string_view text);
    void OpenGroup();
    void CloseGroup();
    void ProcessText(std::u16string_view text);
    void OutputText(const std::u16string& text);
    void OutputObject(TCustomEasyEditorObject& object);
    void FlushHexText();
    void StartDestination(TDestination destination);
    void EndDestination();
    void StartSkip();
    void ControlInTable(std::u16string_view word, bool hasParam, int32_t param);
    void ControlInPicture(std::u16string_view word, bool hasParam, int32_t param);
    void TextInTable(std::u16string_view text);
    void FinishPicture();
    void FinishField();
    int32_t UnicodeSkipCount();

    TEasyRtfParser parser_;
    std::vector<TColor> colors_;
    std::map<int32_t, TFontEntry> fonts_;

    TDestination destination_ = TDestination::Text;
    size_t destinationDepth_ = 0;
    // Groups skipped entirely: tokens are passed over until the group that
    // opened the skip closes (0 = not skipping).
    size_t skipDepth_ = 0;
    bool skipping_ = false;

    bool paragraphPending_ = false;
    bool suppressText_ = false;
    int lastToken_ = 0;
    bool lastWordTakesBlank_ = false;
    // Fallback characters of the latest \u still to be passed over.
    int32_t pendingFallback_ = 0;
    // Bytes of consecutive \'hh words, decoded together.
    std::string hexBytes_;

    // Colour table being read.
    int32_t red_ = 0, green_ = 0, blue_ = 0;
    // Font table being read.
    int32_t fontNumber_ = 0;
    uint8_t fontCharset_ = 1;
    uint8_t defaultCharset_ = 1;
    std::u16string fontName_;

    // Field being read: the depth of its group and its instruction.
    size_t fieldDepth_ = 0;
    bool fieldPending_ = false;
    std::u16string fieldInstruction_;

    // Picture being read.
    struct TPictureState {
        int Kind = -1;  // TEasyRtfPictureKind, or -1 when not loadable
        int32_t Width = -1, Height = -1;
        int32_t ScaleX = 100, ScaleY = 100;
        int32_t MapMode = 8;
        std::u16string Hex;
    } picture_;
};

}  // namespace qrv
