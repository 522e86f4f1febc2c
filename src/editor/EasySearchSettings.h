#pragma once
// TEasySearchSettings: the last search of every editor and of the find and
// replace forms (texts, options, direction, scope, origin, the go-to line),
// one process-wide object (GetSearchSettings) kept between runs, and the
// search itself over a line list, plain or by pattern. Portable.

#include "editor/EasyFindText.h"
#include "editor/EasyPoint.h"
#include "editor/EasySettings.h"
#include "editor/EasyUtils.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TEasyStrings;

enum class TEasySearchDirection { srForward, srBackward };
enum class TEasySearchScope { scGlobal, scSelectedText };
enum class TEasySearchOrigin { sgFromCursor, sgEntireScope };

// May supply another pattern matcher for a search (none: the built-in engine).
using TEasySearchHook =
    std::function<std::unique_ptr<TEasyLineMatcher>(const std::u16string& pattern, bool caseSensitive)>;
const TEasySearchHook& SearchHook();
void SetSearchHook(TEasySearchHook hook);

class TEasySearchSettings : public TEasySettings {
public:
    TEasySearchSettings() { SetDefaults(); }

    std::wstring TextToFind;
    std::wstring ReplaceWith;
    bool PromptOnReplace = true;
    bool CaseSensitive = false;
    bool WholeWordsOnly = false;
    bool RegularExpr = false;
    TEasySearchDirection Direction = TEasySearchDirection::srForward;
    TEasySearchScope Scope = TEasySearchScope::scGlobal;
    TEasySearchOrigin Origin = TEasySearchOrigin::sgEntireScope;
    bool ShowNotFound = true;
    int GotoLineNumber = 0;  // from 1
    // Run state of the find and replace commands: never stored, so a new
    // run starts without a pending "replace all" or first search.
    bool ReplaceAll = false;
    bool InReplace = false;
    bool FirstSearch = false;

    std::wstring SectionName() const override { return L"SearchSettings"; }
    void SetDefaults() override;
    // Every field of the other search settings, inside its update bracket.
    void Assign(TEasySearchSettings& source);

    // Searches the lines for TextToFind from pos (column from 1, line from
    // 0): a first search with sgEntireScope starts at the text's start
    // (forward) or end (backward), and every search clears FirstSearch,
    // also one that raises. True: pos is the match's first character and
    // length its length. A zero-length match at the start position moves
    // one character on in the search direction, and a search that would
    // return the match it returned last, from within that match, moves on
    // past it: repeated searches never stay on one spot; past the text's
    // end or start there is nothing. A bad pattern raises EEasyRegExprError.
    bool Search(const TEasyStrings& lines, TEasyPoint& pos, const TEasyCharSet& delimiters, int& length);

    std::vector<TEasyProperty> Properties() override;

private:
    bool SearchOnce(const TEasyStrings& lines, TEasyPoint& pos, const TEasyCharSet& delimiters, int& length,
                    TEasyLineMatcher* matcher);
    // The last match returned, with what was searched.
    struct TLastMatch {
        bool Valid = false;
        TEasyPoint Pos;
        int Length = 0;
        std::wstring Text;
        int Options = 0;
        bool RegularExpr = false;
        const TEasyStrings* Lines = nullptr;
    };
    TLastMatch last_;
};

// The process-wide search settings, made and loaded on the first call.
TEasySearchSettings& GetSearchSettings();

}  // namespace qrv
