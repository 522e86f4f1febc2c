#pragma once
// The tokenizer of RTF snippets: groups, control words and runs of text.
// Portable.

#include "editor/EasyParserBase.h"

namespace qrv {

// Tokens of TEasyRtfParser.
enum : int { rtGroupOpen = 1, rtGroupClose = 2, rtText = 3, rtControl = 4 };

class TEasyRtfParser : public TCustomEasyParser {
public:
    explicit TEasyRtfParser(TComponent* owner = nullptr) : TCustomEasyParser(owner) {}

    // "{", "}", a control word (backslash and a run of letters, digits, "-"
    // and "_", or one other character; "\'" takes its two hex digits with it)
    // or text. Text stops before "{", "|", "}" and before a backslash that
    // does not escape "\", "{", "|" or "}"; a lone "|" is a text of its own.
    // pos is 1-based and always advances while the line has characters.
    int NextToken(int& state, std::u16string_view line, int& pos) override;

    void GetTokenStyle(int /*token*/, TColor& fontColor, TFontStyles& fontStyle) override
    {
        fontColor = clWindowText;
        fontStyle = 0;
    }
    TColor GetTokenBackground(int /*token*/) override { return clNone; }
    TColor GetBackgroundColor() override { return clNone; }
    int GetTokenCount() override { return 5; }
};

}  // namespace qrv
