#pragma once
// TEasySearchRunner: what the editor does after its find or replace form
// closed, on "search again" and in incremental search. It searches through
// the shared search settings, moves the caret, selects and highlights the
// match, replaces (one prompt per match, or all as one undo step) and reports
// through a host that owns the message boxes, the prompt and the hourglass.
// Every lock, update and cursor it takes is given back on every path, also
// when a search raises. Portable: the editor control is one host, tests have
// another with scripted answers.

#include "editor/EasyEditCommands.h"
#include "editor/EasyEditSource.h"
#include "editor/EasyEditorOptions.h"
#include "editor/EasyPoint.h"
#include "editor/EasySearchSettings.h"
#include "editor/EasyStrings.h"

#include <string>

namespace qrv {

enum class TEasyReplaceAnswer { Yes, No, Cancel, All };
enum class TEasySearchBox { Information, Error };

class TEasySearchHost {
public:
    virtual ~TEasySearchHost() = default;
    virtual void ShowSearchBox(const std::wstring& text, TEasySearchBox kind) = 0;
    // "Dieses Vorkommen von '%s' ersetzen?" with Yes, No, Cancel and All.
    virtual TEasyReplaceAnswer AskReplace(const std::wstring& text) = 0;
    // The hourglass while a search or a replace loop runs.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    // The highlighted match or the incremental search changed.
    virtual void SearchMatchChanged() {}
    virtual void IncrementalSearchChanged() {}
};

// The message texts.
std::wstring EasyNotFoundText(const std::wstring& text);
std::wstring EasyReplacePromptText(const std::wstring& text);
extern const wchar_t* const kEasyNoSelectionText;

class TEasySearchRunner {
public:
    // The editor's command host (source, selection, options), its command
    // core (the selected lines) and the host of the boxes.
    TEasySearchRunner(TEasyEditCommandHost& editor, TEasyEditCommands& commands, TEasySearchHost& host,
                      TEasySearchSettings& settings)
        : editor_(editor), commands_(commands), host_(host), settings_(settings)
    {}

    TEasySearchSettings& Settings() { return settings_; }

    // The find and replace forms closed with OK or All.
    bool FindFromDialog();
    void ReplaceFromDialog();
    // One find with the settings as they are; true with the match's length.
    bool Find(int* matchLength = nullptr);
    // Replaces as the settings say (prompting, all); false on a read-only text.
    bool Replace();
    // Search again (code 26), or replace again (27).
    void FindNext(int code);

    // The highlighted match: its start (display column, line) and length;
    // none when the length is negative.
    bool HasMatch() const { return matchLength_ >= 0; }
    TEasyPoint MatchStart() const { return matchStart_; }
    int MatchLength() const { return matchLength_; }
    void ClearMatch();
    int ReplaceCount() const { return replaceCount_; }

    // Held while a search moves the caret and selects: such moves end no
    // incremental search and clear no selection.
    bool FindLocked() const { return findLock_ > 0; }
    bool SelectLocked() const { return selectLock_ > 0; }

    // Incremental search: typed characters extend the searched text, Back
    // shortens it, FindNext goes to the next match; any other caret move
    // ends it.
    void StartIncrementalSearch();
    bool IncrementalActive() const { return incActive_; }
    const std::u16string& IncrementalText() const { return incText_; }
    void IncrementalChar(char16_t c);
    void IncrementalBack();
    void EndIncrementalSearch();

private:
    class TLock;
    bool ReplaceStep();
    void ReplaceLoop();
    // Replace All without prompting in the whole text when columns are
    // characters: the replacements go into the text as one change. False
    // when it does not apply (the loop then replaces match by match).
    bool ReplaceAllAtOnce();
    // Searches the settings' text from the caret in the document or the
    // selection; reports a raising search. True with the match in text
    // coordinates.
    bool SearchFromCaret(TEasySearchSettings& settings, TEasyPoint& start, int& length);
    // The search itself from a caret in the lines, in their coordinates.
    bool SearchLines(TEasySearchSettings& settings, const TEasyStrings& lines, TEasyPoint caret, TEasyPoint& start,
                     int& length);
    void SetMatch(TEasyPoint start, int length);
    // Searches the text from the point with the incremental settings.
    bool IncrementalSearch(const std::u16string& text, TEasyPoint from, TEasyPoint& start, int& length);

    TEasyEditCommandHost& editor_;
    TEasyEditCommands& commands_;
    TEasySearchHost& host_;
    TEasySearchSettings& settings_;
    int findLock_ = 0;
    int selectLock_ = 0;
    // Source updates opened by an "All" answer, closed when the replace ends.
    int openUpdates_ = 0;
    int replaceCount_ = 0;
    TEasyPoint matchStart_;
    int matchLength_ = -1;
    // The selected text as lines while a search runs in it.
    TEasyStrings selectionLines_;
    bool incActive_ = false;
    std::u16string incText_;
    // Case and direction of the shared settings, no whole words, no pattern.
    TEasySearchSettings incSettings_;
};

}  // namespace qrv
