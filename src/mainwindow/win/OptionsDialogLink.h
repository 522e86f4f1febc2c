#pragma once
// The options dialog as the main window runs it: the dialog form over the
// settings record, opened on the page shown last, with the window's search
// path and browse filter.

#include "dialogs/win/OptionsForm.h"
#include "mainwindow/OptionsExchange.h"

#include <functional>
#include <string>

namespace qrv {

class TOptionsDialogLink : public TOptionsDialogRunner {
public:
    // SearchPath: the directories a bare program name is searched along;
    // BrowseFilter: the named filters as the browse dialog's filter text.
    TOptionsDialogLink(std::function<std::wstring()> SearchPath, std::function<std::wstring()> BrowseFilter);

    bool Run(TOptions& Options, int& Page) override;

    // The dialog while it is shown, nullptr otherwise.
    TFormOptions* Shown() const { return shown_; }
    // Replaces the system's dialogs (choosers and questions) where set.
    TOptionsFormCalls Overrides;

private:
    std::function<std::wstring()> searchPath_;
    std::function<std::wstring()> browseFilter_;
    TFormOptions* shown_ = nullptr;
};

}  // namespace qrv
