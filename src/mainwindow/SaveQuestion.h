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
    // Saves the text; on success the modified marks are cleared. A failure
    // has been reported to the user already.
    [[nodiscard]] virtual bool SaveText() = 0;
    // Drops the modified marks of both text viewers.
    virtual void DiscardModified() = 0;
};

// "Geänderte Datei "<name>" speichern?"
std::wstring SaveQuestionText(const std::wstring& FileName);

// The error shown when a text could not be saved.
std::wstring SaveErrorText(const std::wstring& FileName);
// The name of a file's backup: its extension replaced by ".bak".
std::wstring BackupFileName(const std::wstring& FileName);

// Whether the pending action may go on. Yes saves and goes on only when the
// save succeeded; a failed save and Cancel keep the text and its mark and
// stop the action; only No drops the changes.
[[nodiscard]] bool QuerySaveModifiedText(TSaveQuestionHost& Host);

}  // namespace qrv
