#pragma once
// The question before a changed text leaves the display pane (focus change,
// display off, forced mode, options, closing). Portable: the window answers
// through TSaveQuestionHost.

#include <optional>
#include <string>

namespace qrv {

enum class TSaveAnswer { Yes, No, Cancel };

class TSaveQuestionHost {
public:
    virtual ~TSaveQuestionHost() = default;
    // The name of the changed text that would be lost: the visible text
    // view's modified file with a name, else the visible editor's modified
    // text; nothing when no text is changed.
    virtual std::optional<std::wstring> ModifiedTextName() = 0;
    // Asks the question with Yes, No and Cancel.
    virtual TSaveAnswer AskSave(const std::wstring& Question) = 0;
    // Saves the changed text named FileName under that name, and only
    // there; on success the modified marks are cleared. False, writing
    // nothing, when no changed text has that name; a failed save has been
    // reported to the user already.
    [[nodiscard]] virtual bool SaveText(const std::wstring& FileName) = 0;
    // Drops the modified marks of both text viewers.
    virtual void DiscardModified() = 0;
    // Posts the display request that was held while a question was open.
    virtual void PostHeldDisplayRequest() = 0;
};

// "Geänderte Datei "<name>" speichern?"
std::wstring SaveQuestionText(const std::wstring& FileName);

// The error shown when a text could not be saved.
std::wstring SaveErrorText(const std::wstring& FileName);
// The name of a file's backup: its extension replaced by ".bak"; a
// ".bak" file's backup is its name with ".bak" added.
std::wstring BackupFileName(const std::wstring& FileName);

// The save question, one at a time. The question's box runs a message loop,
// in which folder notifications and focus changes ask for new displays;
// those are held until the box is answered, and the latest runs after it.
class TSaveQuestion {
public:
    explicit TSaveQuestion(TSaveQuestionHost& Host) : host_(Host) {}
    TSaveQuestion(const TSaveQuestion&) = delete;
    TSaveQuestion& operator=(const TSaveQuestion&) = delete;

    // Whether the pending action may go on. Yes saves (the file the
    // question named, never another) and goes on only when the save
    // succeeded; a failed save and Cancel keep the text and its mark and
    // stop the action; only No drops the changes. A question whose text was
    // let go while it was open is dropped. While a question is open another
    // is never asked: the action does not go on. Display requests held
    // meanwhile are posted again unless the answer was Cancel.
    [[nodiscard]] bool Query();
    bool Open() const { return open_; }
    // Whether a display request may run now; while a question is open it is
    // held (false), and posted again once the question is answered.
    [[nodiscard]] bool AdmitDisplayRequest();

private:
    // What the answer does to the text named Name.
    bool Answer(TSaveAnswer Answer, const std::wstring& Name);

    TSaveQuestionHost& host_;
    bool open_ = false;
    bool displayHeld_ = false;
};

}  // namespace qrv
