#pragma once
// The base of the importers of formatted text: they read a stream and report
// runs of text with their character attributes, paragraph settings and
// embedded objects to an output event. Portable.

#include "editor/EasyEditorAttributes.h"
#include "framework/Streams.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TCustomEasyImporter {
public:
    // Called for each run. The object (a picture, or nullptr) belongs to the
    // importer and lives until the call returns.
    using TOutputEvent = std::function<void(
        TCustomEasyImporter* sender, const std::u16string& text, const TCustomEasyEditorAttributes& attributes,
        TCustomEasyEditorObject* editorObject, const TCustomEasyParagraph& paragraph)>;
    // The line being read, and the line count once all is read.
    using TProgressEvent = std::function<void(TCustomEasyImporter* sender, int line)>;

    virtual ~TCustomEasyImporter() = default;

    TOutputEvent OnOutput;
    TProgressEvent OnProgress;

    virtual void Output(const std::u16string& text, const TCustomEasyEditorAttributes& attributes,
                        TCustomEasyEditorObject* editorObject, const TCustomEasyParagraph& paragraph);
    virtual bool CanImport(TStream& /*stream*/) { return false; }
    virtual void Import(TStream& stream) = 0;
    virtual void Flush() {}
    virtual void ApplyAttributes(TCustomEasyEditorAttributes& /*attributes*/) {}
    virtual void ProcessControl(std::u16string_view /*word*/, int /*prevToken*/) {}

    // Writes the text into a memory stream (UTF-8) and imports it.
    void ImportString(std::u16string_view text);
};

// The font runs start from when no group says otherwise.
struct TEasyImportFont {
    std::wstring Name = L"Times New Roman";
    int32_t Size = 10;
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    uint8_t Charset = 1;
};

// What one open group changes; -1 and unset flags inherit from the groups
// around it.
struct TEasyAttributeRecord {
    int32_t Key = -1;
    TFontStyles StyleOn = 0;
    TFontStyles StyleOff = 0;
    bool StyleChanged = false;
    TColor Color = -1;
    int32_t Size = -1;
    TColor BackColor = clNone;
    bool BackColorSet = false;
    std::wstring FontName;
    uint8_t Charset = 0;
    uint8_t Vertical = 0;  // 0 normal, 1 subscript, 2 superscript
    bool VerticalSet = false;
    std::u16string LinkTarget;
    bool LinkSet = false;
    int32_t UnicodeSkip = -1;  // fallback characters after \u
};

class TCustomEasyImporterEx : public TCustomEasyImporter {
public:
    explicit TCustomEasyImporterEx(const TEasyImportFont& font = {}) : Font(font) {}

    // The attributes of the latest run; the link target of a run is its Text.
    TCustomEasyEditorAttributes Attributes;
    TCustomEasyParagraph Paragraph;
    TEasyImportFont Font;

    // Merges the default font and every open group, outermost first.
    void ApplyAttributes(TCustomEasyEditorAttributes& attributes) override;

protected:
    // The record of the innermost group; a scratch record when none is open,
    // so words outside every group change nothing.
    TEasyAttributeRecord& Current();
    void PushRecord() { stack_.emplace_back(); }
    void PopRecord() { stack_.pop_back(); }
    size_t Depth() const { return stack_.size(); }
    TEasyAttributeRecord& RecordAt(size_t index) { return stack_[index]; }
    void ResetAttributes();

private:
    std::vector<TEasyAttributeRecord> stack_;
    TEasyAttributeRecord outside_;
};

}  // namespace qrv
