#pragma once
// What the main window does with an error: an exception that reached the
// application (shown, counted, and from the 21st counted one the question
// whether to quit), and a folder the tree or a list could not read (a box,
// or silence). Portable; the window's side is mainwindow/win/ErrorReports.h.

#include <cstdint>
#include <exception>
#include <string>

namespace qrv {

// The kinds of exception the policy tells apart.
enum class TExceptionKind : uint8_t {
    Other,
    InvalidFileName,  // a name the user typed: shown, never counted
    DragDrop,
    InvalidDirName,
    OleSystem,  // a failure of the system's OLE calls: never shown
};

TExceptionKind ExceptionKindOf(const std::exception& Error);

// What to do with one exception.
struct TExceptionDecision {
    bool Show = false;
    bool AskQuit = false;  // after the box: the quit question
};

// The main window's error counter and whether exceptions are reported (from
// the window's creation to its shutdown).
class TErrorCounter {
public:
    // More counted errors than this bring the quit question.
    static constexpr uint32_t kQuitAfter = 20;

    void SetReporting(bool On) { reporting_ = On; }
    bool Reporting() const { return reporting_; }
    uint32_t Count() const { return count_; }
    // Decides, and counts a shown exception of a counted kind.
    TExceptionDecision Take(TExceptionKind Kind, bool Terminating);

private:
    uint32_t count_ = 0;
    bool reporting_ = false;
};

// "Es sind bisher %s Fehler aufgetreten. Soll das Programm jetzt beendet werden?"
std::wstring QuitQuestionText(uint32_t Count);

// Whether a folder's read error is shown: a real error code and path, not
// access denied (5) unless ConfirmAuthority, and only on a ready drive.
bool ReportsAccessError(uint32_t Code, const std::wstring& Path, bool ConfirmAuthority, bool DriveReady);
// "Auf "path" kann nicht zugegriffen werden:" with the system's reason.
std::wstring AccessErrorText(const std::wstring& Path, const std::wstring& Reason);
// The drive table's letter of a path ("\" for a network path); 0 for none.
wchar_t DriveOfPath(const std::wstring& Path);

}  // namespace qrv
