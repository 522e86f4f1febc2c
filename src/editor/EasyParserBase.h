#pragma once
// The abstract syntax parser every edit source talks to, and the abstract
// colour set of an editor. A parser tells its attached sources when its
// tokens or colours change, so they re-parse; a parser that goes tells them
// first, so none keeps a dangling pointer. Portable.

#include "editor/EasyNotifierList.h"
#include "framework/Colors.h"
#include "framework/Component.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// Font style bits of token styles and character attributes: the bits of the
// framework's font styles, in portable code.
enum TEasyFontStyle : uint8_t { efBold = 1, efItalic = 2, efUnderline = 4, efStrikeOut = 8 };
using TFontStyles = uint8_t;

class TCustomEasyEditorColors;

class TCustomEasyParser : public TComponent {
public:
    explicit TCustomEasyParser(TComponent* owner);
    // Every attached source hears of the removal first and lets go.
    ~TCustomEasyParser() override;

    // Extra word delimiters added to each attached source's set.
    std::u16string Delimiters;
    // The line being parsed, set by the source before each line.
    int32_t ParseLine = 0;
    // The state of the first line.
    int32_t InitialState = 0;
    // The state at the start of the last token scanned.
    int32_t TokenState = 0;

    // Calls every attached source, which re-parses.
    virtual void Changed();
    // Exchanges the parser's colours of the editor's states with the
    // editor's colour set: into the parser (toParser) or out of it.
    virtual void ExchangeColors(TCustomEasyEditorColors& /*colors*/, bool /*toParser*/) {}
    // Scans one run of the line from the 1-based column pos: its token (or
    // -1); pos moves behind the run, state to the state that follows.
    virtual int NextToken(int& state, std::u16string_view line, int& pos) = 0;
    virtual void GetTokenStyle(int token, TColor& fontColor, TFontStyles& fontStyle) = 0;
    virtual TColor GetTokenBackground(int token) = 0;
    virtual TColor GetBackgroundColor() = 0;
    virtual int GetTokenCount() = 0;
    virtual void SetBackgroundColor(TColor /*color*/) {}
    virtual int TokenIndex(std::u16string_view /*name*/) { return -1; }
    // True when no state carries from one line into the next: every line
    // starts in InitialState and can be parsed on its own, so a source may
    // parse just the lines in view. Parsers that cannot tell say no.
    virtual bool SingleState() const { return false; }

    // Attachment of edit sources: their re-parse call-back, and the call-back
    // that hears this parser go.
    void AddSource(TEasyNotifierList::TCallback reparse, void* source, TEasyNotifierList::TRemovalCallback removal);
    void RemoveSource(TEasyNotifierList::TCallback reparse, void* source);
    int SourceCount() const { return sources_.Count(); }

private:
    TEasyNotifierList sources_;
};

// Every parser alive, in order of creation.
const std::vector<TCustomEasyParser*>& EasyParsers();

// The colours of an editor; the concrete set stores them and repaints.
class TCustomEasyEditorColors {
public:
    virtual ~TCustomEasyEditorColors() = default;

    TColor SelColor() const { return selColor_; }
    TColor SelBackColor() const { return selBackColor_; }
    TColor SearchMatchColor() const { return searchMatchColor_; }
    TColor SearchMatchBackColor() const { return searchMatchBackColor_; }
    TColor ReadOnlyColor() const { return readOnlyColor_; }
    TColor DisabledColor() const { return disabledColor_; }
    TColor InActiveSelColor() const { return inActiveSelColor_; }
    TColor InActiveSelBackColor() const { return inActiveSelBackColor_; }
    TColor LiveSpellColor() const { return liveSpellColor_; }
    TColor HyperStringColor() const { return hyperStringColor_; }

    virtual void SetSelColor(TColor value) = 0;
    virtual void SetSelBackColor(TColor value) = 0;
    virtual void SetSearchMatchColor(TColor value) = 0;
    virtual void SetSearchMatchBackColor(TColor value) = 0;
    virtual void SetReadOnlyColor(TColor value) = 0;
    virtual void SetDisabledColor(TColor value) = 0;
    virtual void SetInActiveSelColor(TColor value) = 0;
    virtual void SetInActiveSelBackColor(TColor value) = 0;
    virtual void SetLiveSpellColor(TColor value) = 0;
    virtual void SetHyperStringColor(TColor value) = 0;

protected:
    TColor selColor_ = clHighlightText;
    TColor selBackColor_ = clHighlight;
    TColor searchMatchColor_ = clHighlightText;
    TColor searchMatchBackColor_ = clHighlight;
    TColor readOnlyColor_ = clWindowText;
    TColor disabledColor_ = clGrayText;
    TColor inActiveSelColor_ = clHighlightText;
    TColor inActiveSelBackColor_ = clGray;
    TColor liveSpellColor_ = clRed;
    TColor hyperStringColor_ = clBlue;
};

}  // namespace qrv
