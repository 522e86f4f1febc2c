#pragma once
// The folder history of one file list, as its history box shows it: the
// visited folders with the newest first, the box's position in them and the
// box's text. Back, forward and choosing an entry open a folder through an
// injected opener (the window selects its tree node); the folder change that
// follows records no new entry. Paths compare ignoring case. Portable; the
// window side is mainwindow/win/NavigationCommands.h.

#include <functional>
#include <string>
#include <vector>

namespace qrv {

// Opens an entry's folder: true when the tree had a node for it and
// selected it, false when the folder is gone.
using TOpenFolder = std::function<bool(const std::wstring& Path)>;

struct TFolderHistory {
    std::vector<std::wstring> Entries;  // index 0 the newest
    int Position = -1;                  // the box's item index; -1: none
    std::wstring Text;                  // the box's text
    // Set while back, forward or a chosen entry opens a folder, so that the
    // folder change it causes records nothing.
    bool Navigating = false;
    // The most entries kept; 0: no limit.
    size_t Limit = 0;
    // The folder last recorded or opened by the box: a list that loads it
    // again (a re-read) records nothing, while a path typed into the box is
    // recorded when its folder loads.
    std::wstring Recorded;

    // The index of the entry equal to Path (ignoring case); -1 when none is.
    int IndexOf(const std::wstring& Path) const;

    // A list has loaded Path: the box shows it, and unless a navigation of
    // the box loaded it, it is the newest entry (or, when it stands above the
    // position, the position moves to it). Equal entries below the position
    // are dropped.
    void Record(const std::wstring& Path);

    // The box's entry at Position was chosen (close-up): its folder is opened
    // unless the list shows it. An entry whose folder is gone is dropped and
    // the next one tried, until one opens or none is left; then the box shows
    // the list's path again. False when no entry opened. The next one is the
    // one taking the dropped one's place (the last when it was the last);
    // going back, the next older one only, going forward the next newer one.
    enum class TStep : unsigned char { Chosen, Older, Newer };
    bool OpenChosen(const std::wstring& ListPath, const TOpenFolder& Open, TStep Direction = TStep::Chosen);

    // Back (one entry older) and forward (one newer). False with nothing to
    // go to (the window beeps) or when no entry could be opened.
    bool CanGoBack() const;
    bool CanGoForward() const;
    bool Back(const std::wstring& ListPath, const TOpenFolder& Open);
    bool Forward(const std::wstring& ListPath, const TOpenFolder& Open);

    // The box is opened: its position goes to the list's path, whose entry
    // it shows (-1 when that is no entry).
    void DropDown(const std::wstring& ListPath);
    // Escape: the box shows the list's path and its position again.
    void Restore(const std::wstring& ListPath);
    // The path Enter opens: the box's text, or the list's path when it is empty.
    std::wstring EnteredPath(const std::wstring& ListPath) const;
    // The box loses the focus: an empty box shows the list's path again;
    // true when its text names another folder than the list's (compared
    // ignoring case and trailing backslashes), which is then opened as with
    // Enter.
    bool ExitWantsNavigation(const std::wstring& ListPath);

    // The folder OldPath was renamed to NewPath: entries naming it or a
    // folder inside it, the box's text and the last recorded folder follow
    // the new name. An entry that becomes equal to a newer one is dropped
    // (the position stays on the folder it was on).
    void FolderRenamed(const std::wstring& OldPath, const std::wstring& NewPath);

    // The entries back and forward would open; empty when there is none.
    std::wstring PreviousEntry() const;
    std::wstring NextEntry() const;
};

// The hints of the back and forward buttons for the history's position.
struct THistoryHints {
    std::wstring Back;
    std::wstring Forward;
};
THistoryHints HistoryHints(const TFolderHistory& History);

// Two paths name one folder: equal ignoring case and trailing backslashes.
bool SameFolderPath(const std::wstring& A, const std::wstring& B);

}  // namespace qrv
