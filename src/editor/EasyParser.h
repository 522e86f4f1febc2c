#pragma once
// TEasyParser: the syntax parser driven by a rules text that declares
// states, tokens and rules ("in this state, when this expression or keyword
// matches here, the run is this token and scanning goes on in that state").
// TEasySourceParser tokenizes a whole line list with it. Portable.
//
// The rules text, one directive a line:
//   // comment
//   State=Name[, Groß-/Kleinschreibung]   (the option makes it case-sensitive)
//   Token=Name
//   Delimiters=characters
//   FromState Expression ToState Token     ('quoted' words are keywords)

#include "editor/EasyParserBase.h"
#include "editor/EasyRegExpr.h"
#include "editor/EasyStrings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

struct TEasyRule {
    int32_t TargetState = 0;
    int32_t Token = 0;
};

// An expression of a rule, compiled with its from-state's case rule.
class TEasyParserRegExpr : public TEasyRegExpr {
public:
    TEasyParserRegExpr(std::u16string_view pattern, bool caseSensitive, TEasyRule rule)
        : TEasyRegExpr(pattern, caseSensitive), Rule(rule)
    {}
    TEasyRule Rule;
};

class TEasyParserState;

// The rules of one state that can start with one first character.
class TEasyParserRule {
public:
    struct TKeyword {
        std::u16string Key;   // folded unless case-sensitive; sorted by it
        std::u16string Text;  // as written
        TEasyRule Rule;
    };
    std::vector<TKeyword> Keywords;
    bool KeywordWithBlank = false;
    std::vector<TEasyParserRegExpr*> Expressions;  // not owned; the last is tried first
    TEasyParserState* State = nullptr;
    bool CaseSensitive = false;
};

class TEasyParser;

class TEasyParserState {
public:
    // One bucket per first character below 256 and one shared by all above.
    static constexpr int kBucketCount = 257;
    static int BucketOf(char16_t foldedChar) { return foldedChar < 256 ? foldedChar : 256; }

    std::array<std::unique_ptr<TEasyParserRule>, kBucketCount> Buckets;
    std::vector<std::unique_ptr<TEasyParserRegExpr>> AllExpressions;
    std::vector<TEasyParserRegExpr*> LineEndRules;
    TEasyParser* Parser = nullptr;
    bool CaseSensitive = false;

    char16_t Fold(char16_t c) const { return CaseSensitive ? c : SearchUpperCase(c); }
    TEasyParserRule& Bucket(int index);
};

class TEasyParser : public TCustomEasyParser {
public:
    explicit TEasyParser(TComponent* owner);
    ~TEasyParser() override;

    // The rules text; each change (each outermost update) recompiles it.
    TEasyStrings& Rules() { return *rules_; }
    const TEasyStrings& Rules() const { return *rules_; }

    // Declared names in order; a state's number is its index.
    const std::vector<std::u16string>& StateNames() const { return stateNames_; }
    const std::vector<bool>& StateCaseSensitive() const { return stateCaseSensitive_; }
    const std::vector<std::u16string>& TokenNames() const { return tokenNames_; }
    const std::vector<std::unique_ptr<TEasyParserState>>& States() const { return states_; }

    int NextToken(int& state, std::u16string_view line, int& pos) override;
    void GetTokenStyle(int token, TColor& fontColor, TFontStyles& fontStyle) override;
    TColor GetTokenBackground(int token) override;
    TColor GetBackgroundColor() override;
    int GetTokenCount() override;
    int TokenIndex(std::u16string_view name) override;
    // At most one declared state, so every rule leads back into it.
    bool SingleState() const override;

    // Compiles the rules text and tells the sources; an invalid expression
    // raises EEasyRegExprError, with the rules before it compiled.
    virtual void RulesChanged();

protected:
    // Compiles the rules text without telling anyone.
    void CompileRules();

private:
    void Clear();
    void ReadLine(std::u16string_view line);
    void AddRule(int fromState, std::u16string_view expression, bool keyword, TEasyRule rule);
    TEasyParserState& StateFor(int number);

    std::unique_ptr<TEasyStrings> rules_;
    std::vector<std::u16string> stateNames_;
    std::vector<bool> stateCaseSensitive_;
    std::vector<std::u16string> tokenNames_;
    std::vector<std::unique_ptr<TEasyParserState>> states_;
};

// Where a TEasySourceParser stands.
struct TEasyParserSaveState {
    int State = 0;
    int Token = 0;
    int Pos = 1;
    int TokenStart = 1;
    int LineIndex = 0;
};

class TEasySourceParser : public TEasyParser {
public:
    using TEasyParser::TEasyParser;

    // The lines to tokenize; not owned, set by the caller.
    const TEasyWideStrings* Strings = nullptr;
    int Token = 0;  // the last token read, -1 at the end
    int Pos = 1;
    int TokenStart = 1;
    int State = 0;
    std::u16string Line;
    int LineIndex = 0;

    // Back to the first line; raises EInvalidOperation "Strings can't be
    // nil" without lines.
    void Reset();
    // To the start of the next non-empty line; false (and Token -1) past
    // the last.
    virtual bool NextLine();
    int ReadToken();
    std::u16string TokenText() const;
    // The next token and its text, without moving.
    int PeekToken(std::u16string& text);
    void SaveState();
    // Back to the last saved position; nothing without one.
    void RestoreState();
    bool Eof() const;

private:
    std::u16string LineAt(int index) const;
    std::vector<TEasyParserSaveState> saved_;
};

}  // namespace qrv
