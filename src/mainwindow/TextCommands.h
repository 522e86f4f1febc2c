#pragma once
// TTextCommands: the main window's commands on what the display pane shows
// and on the one-line boxes: the clipboard, undo (a focused text's change
// first, then the last file operation), select all and delete, block sort,
// and find and replace in the rich-text view and the hex view. It sees the
// controls only through the targets below, which TTextCommandsHost hands
// out, so it is tested with fakes. Portable.

#include "mainwindow/TextCommandRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// The control with the focus, as the text commands tell them apart.
enum class TTextFocus { Other, TextView, Editor, Combo, HexView };

// A text control: the rich-text view, the editor, a path or command box.
class TTextTarget {
public:
    virtual ~TTextTarget() = default;
    virtual bool Writable() = 0;
    virtual bool CanUndo() = 0;
    virtual void Undo() = 0;
    virtual std::wstring SelText() = 0;
    // Replaces the selection (undoable where the control can undo).
    virtual void ReplaceSelection(const std::wstring& Text) = 0;
    virtual void SelectAll() = 0;
};

struct TFindOptions {
    bool MatchCase = false;
    bool WholeWord = false;
    bool Down = true;
};

// A text that can be searched: positions are the control's characters.
class TSearchTarget : public TTextTarget {
public:
    virtual int SelStart() = 0;
    virtual int SelLength() = 0;
    virtual void Select(int Start, int Length) = 0;
    virtual int TextLength() = 0;
    // The position of the first match from From on (before From when
    // searching up), or -1.
    virtual int Find(const std::wstring& Text, int From, const TFindOptions& Options) = 0;
};

class THexTarget {
public:
    virtual ~THexTarget() = default;
    virtual int64_t Size() = 0;
    // Caret and selection; the last match is the commands' own.
    virtual THexSearchPlace Place() = 0;
    virtual bool SwapNibbles() = 0;
    // A character in the view's character set, without best fit.
    virtual std::optional<uint8_t> Encode(wchar_t C) = 0;
    // The first match at From or after it, or -1.
    virtual int64_t Find(const std::vector<uint8_t>& Pattern, bool IgnoreCase, int64_t From) = 0;
    virtual void Select(int64_t Offset, int64_t Count) = 0;
    // The selected bytes as text; nothing when they do not fit in memory.
    virtual std::optional<std::wstring> SelectedText() = 0;
};

enum class TTextMessage { Information, Error };

class TTextCommandsHost {
public:
    virtual ~TTextCommandsHost() = default;
    virtual TTextFocus Focus() = 0;
    // The viewers while they are shown, else nullptr.
    virtual TSearchTarget* TextView() = 0;
    virtual TTextTarget* Editor() = 0;
    virtual THexTarget* HexView() = 0;
    // The path or command box with the focus, else nullptr.
    virtual TTextTarget* FocusedCombo() = 0;
    // The rich-text view shows a file (a text without one has no undo and
    // takes no paste).
    virtual bool TextViewHasFile() = 0;
    virtual bool FileUndoEnabled() = 0;
    virtual void FileUndo() = 0;
    virtual void ShowMessage(const std::wstring& Text, TTextMessage Kind) = 0;
    virtual void Beep() = 0;
    // Puts the text on the clipboard; false when the clipboard refused it.
    virtual bool PutClipboardText(const std::wstring& Text) = 0;
    virtual std::optional<std::wstring> ClipboardText() = 0;
    // The user's order of two lines (the locale's, ignoring case).
    virtual int CompareLines(const std::wstring& A, const std::wstring& B) = 0;
    // Opens the find or the replace dialog with that text to search.
    virtual void OpenFindDialog(bool Replace, const std::wstring& Text) = 0;
    // The editor searches with its own forms: find (Replace false) or
    // replace, opened, or the last search again.
    virtual void SearchEditor(bool Replace, bool Again) = 0;
    // Long searches show the hourglass meanwhile.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

struct TFindRequest {
    std::wstring Text;
    TFindOptions Options;
};

class TTextCommands {
public:
    explicit TTextCommands(TTextCommandsHost& Host) : host_(Host) {}

    void Copy();
    void Cut();
    void Paste();
    void Delete();
    void SelectAll();
    // Ctrl+Z: the focused text's change, else the last file operation.
    void Undo();
    // Only the focused text's change; false when there was none to undo.
    bool UndoText();
    void Sort();

    // Opens the dialog with the selected text.
    void Search();
    void OpenReplace();
    // F3: the last search again (the dialog when there was none).
    void SearchNext();
    // The dialog's "find next" and "replace"; true when a match was found.
    bool Find(const TFindRequest& Request);
    bool Replace(const TFindRequest& Request, const std::wstring& Replacement, bool All);
    const std::optional<TFindRequest>& LastSearch() const { return last_; }

    // Texts longer than this show the hourglass while they are searched.
    static constexpr int kBusyTextLength = 10000;

private:
    TTextTarget* FocusedText();
    bool FindInText(TSearchTarget& Target, const TFindRequest& Request);
    bool FindInHex(THexTarget& Hex, const TFindRequest& Request);
    void NotFound(const std::wstring& Text);

    TTextCommandsHost& host_;
    std::optional<TFindRequest> last_;
    // The hex view's last match, so that searching again steps past it.
    int64_t hexMatch_ = -1;
    int64_t hexMatchLength_ = 0;
};

}  // namespace qrv
