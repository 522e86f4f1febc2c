#pragma once
// What the editor offers around typing: the completion list its owner fills
// after a pause in typing (or a hint instead), the code templates of Strg+J
// with their pick list, and the automatic correction of a word once a
// delimiter follows it. The core decides; the host shows the list and the
// hint, runs the pause's timer and asks the owner's events. Portable.

#include "editor/EasyCodeTemplates.h"
#include "editor/EasyEditCommands.h"

#include <optional>
#include <string>
#include <vector>

namespace qrv {

class TEasyCompletionHost {
public:
    virtual ~TEasyCompletionHost() = default;
    // Whether the owner fills lists or gives hints at all.
    virtual bool CanComplete() = 0;
    // The owner's list for the key typed last; false keeps it from showing.
    virtual bool AutoComplete(std::vector<std::u16string>& /*items*/, char16_t /*key*/) { return false; }
    // The owner's hint when no list shows; false keeps it from showing.
    virtual bool DisplayHint(std::u16string& /*hint*/, char16_t /*key*/) { return false; }
    // May change a list choice or template before it is inserted.
    virtual void BeforeInsertPopup(std::u16string& /*text*/) {}
    // The correction of a word the spelling check rejected; false for none.
    virtual bool WordAutoCorrect(const std::u16string& /*word*/, std::u16string& /*correct*/) { return false; }

    // The pick list below the caret: its lines (snippets of the list box) and
    // the line chosen; choosing another, closing it (no choice made), and
    // whether it is showing.
    virtual void ShowList(const std::vector<std::wstring>& lines, int chosen) = 0;
    virtual void ChooseListItem(int index) = 0;
    virtual void CloseList() = 0;
    virtual bool ListShowing() = 0;
    virtual void ShowHint(const std::u16string& text) = 0;
    virtual bool HintShowing() = 0;
    // The pause's timer, which calls TEasyCompletion::PauseEnded.
    virtual void StartTimer(int ms) = 0;
    virtual void StopTimer() = 0;
};

// Where a key goes while the pick list shows.
enum class TEasyListKey {
    List,            // Enter, Esc, page and row moves: the list's own
    Accept,          // Space without Ctrl
    CloseAndEditor,  // Left and Right: the list closes, the caret moves
    Editor,          // every other key
};
TEasyListKey ListKeyTarget(unsigned key, bool ctrl);

class TEasyCompletion {
public:
    TEasyCompletion(TEasyEditCommands& commands, TEasyEditCommandHost& view, TEasyCompletionHost& host,
                    const TEasyCodeTemplates& templates)
        : commands_(commands), view_(view), host_(host), templates_(templates)
    {}

    int AutoCompletePause = 500;
    // Typing one of these (letter case aside) corrects the word before it.
    std::u16string AutoCorrectDelims = u" .,;:\t";

    // Around a typed character: before it (the pause ends; "." takes the
    // list's choice) and after it (the list follows the text typed, or the
    // pause starts).
    void BeforeTyping(char16_t c);
    void AfterTyping(char16_t c);
    // The pause ended: the owner's list or hint for the caret where typing
    // stopped.
    void PauseEnded();
    // Strg+J: the template for the word before the caret, at once when one
    // fits, else the list of those that may.
    bool InsertCodeTemplate();
    // The caret moved: the list closes once it leaves the line or goes
    // before where the list began.
    void CaretMoved();
    // The list's line taken: a completion replaces what was typed since the
    // list opened, a template the word it was asked for.
    void Accept(int index);
    // The line whose name or text starts with what was typed since the list
    // opened (letter case aside), else the one holding it earliest; -1 none.
    int MatchingItem() const;
    // A key went up: a delimiter typed last corrects the word before it.
    void KeyUp();

    bool TemplateMode() const { return templateMode_; }
    std::optional<TEasyPoint> ListStart() const { return listStart_; }
    char16_t LastTypedChar() const { return lastTyped_; }

private:
    TCustomEasyEditSource& Source() { return view_.Source(); }
    void OpenList(const std::vector<std::wstring>& lines, std::vector<std::u16string> keys, int chosen);
    std::u16string TypedSinceListStart() const;
    void AutoCorrect();

    TEasyEditCommands& commands_;
    TEasyEditCommandHost& view_;
    TEasyCompletionHost& host_;
    const TEasyCodeTemplates& templates_;
    // Where typing stopped when the pause began, and the key typed.
    std::optional<TEasyPoint> pauseStart_;
    char16_t pauseKey_ = 0;
    char16_t lastTyped_ = 0;
    // The open list: where it began, what each line inserts (a completion's
    // text, a template's index) and the texts matched against typing.
    bool templateMode_ = false;
    std::optional<TEasyPoint> listStart_;
    std::vector<std::u16string> items_;
    std::vector<int> templateIndices_;
    std::vector<std::u16string> keys_;
};

// The template's code as the editor inserts it: its lines joined by CR LF.
std::u16string TemplateText(const TEasyCodeTemplate& item);

}  // namespace qrv
