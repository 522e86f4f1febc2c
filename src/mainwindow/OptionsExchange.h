#pragma once
// The exchange of the settings record with the options dialog: the dialog
// edits the record in place; the window applies and saves it only when it
// changed. Portable: the dialog is run through an injected runner.

#include "settings/Quorvan32Globals.h"

namespace qrv {

// Compares two records field by field and the extension families by their
// entries, never as memory: two records that differ only in padding, in
// string buffers or in which copy of a family they share are the same.
[[nodiscard]] bool SameOptions(const TOptions& A, const TOptions& B);

class TOptionsDialogRunner {
public:
    virtual ~TOptionsDialogRunner() = default;
    // Shows the dialog modally on Page (a missing page is ignored by the
    // dialog) and returns whether it closed with OK; Page is set to the page
    // shown last. On OK the dialog has written its controls into Options.
    virtual bool Run(TOptions& Options, int& Page) = 0;
    // A page index: the dialog shows that page alone; -1: every page.
    int OnlyPage = -1;
};

// What the window has to do after the dialog.
struct TOptionsExchangeResult {
    bool Changed = false;                // apply the options and save the settings
    bool ShowExtensionChanged = false;   // read both lists anew
    bool UseRegistryChanged = false;     // write every part of the settings
    bool SyncDisplaySwitchedOn = false;  // the second list takes the first's columns
    bool FileDisplayChanged = false;     // reopen a shown display
    // The function keys or the named filters differ from before: their
    // sections are written at the next save, however the dialog changed them.
    bool FKeysChanged = false;
    bool FilterListChanged = false;
};

// Runs the dialog over Options. A cancelled dialog leaves Options exactly as
// it was, whatever the dialog did to it.
TOptionsExchangeResult ExchangeOptions(TOptions& Options, int& LastPage, TOptionsDialogRunner& Runner);

}  // namespace qrv
