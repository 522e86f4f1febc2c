#pragma once
// TErrorReports: the main window's handling of errors. Exceptions that
// reach the application are shown with the standard box and counted; from
// the 21st counted one the user is asked whether to quit. A folder the tree
// or a list cannot read is reported in a box where the policy says so
// (mainwindow/ErrorPolicy.h). One box at a time: an exception raised while
// a box is open (a timer's) is counted and traced instead of stacking a
// second box.

#include "mainwindow/ErrorPolicy.h"
#include "mainwindow/win/MainWindowServices.h"

#include <exception>
#include <functional>
#include <string>

namespace qrv {

class TErrorReports {
public:
    explicit TErrorReports(TMainWindowServices& Services);

    TErrorCounter& Counter() { return counter_; }

    // The application's exception event.
    void AppExceptionHandler(const std::exception& Error);
    // A folder could not be read (a list's path, the tree node's path);
    // true when the box was shown.
    bool FolderError(const std::wstring& Path, uint32_t Code);

    // The window's and the system's parts; tests replace them.
    std::function<void(const std::exception& Error)> ShowException;  // the standard box
    std::function<void()> Quit;                                      // closes the window
    std::function<bool()> ConfirmAuthority;                          // the option of that name
    std::function<bool(wchar_t Drive)> DriveReady;                   // the drive table's answer
    std::function<std::wstring(uint32_t Code)> ErrorText;            // the system's text of a code

private:
    TMainWindowServices& services_;
    TErrorCounter counter_;
    bool boxOpen_ = false;
};

}  // namespace qrv
