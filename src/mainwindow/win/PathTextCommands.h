#pragma once
// TPathTextCommands: the "als Text" commands. The active list's selected
// item (its path, its name, each also short) or the tree's folder goes on
// the clipboard as text; the text read back is confirmed in a box the user
// may switch off ("copy as text"), and then in the status bar for two
// seconds. The texts are mainwindow/PathTexts.h; the clipboard, the short
// names, the beeps and the box go through an injected system.

#include "mainwindow/PathTexts.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TActionCatalogue;

// The system's side of the commands; tests record it.
class TPathTextSystem {
public:
    virtual ~TPathTextSystem() = default;
    [[nodiscard]] virtual bool PutText(const std::wstring& Text) = 0;
    // The clipboard's text now (empty without one).
    virtual std::wstring ClipboardText() = 0;
    virtual std::wstring ShortPath(const std::wstring& Path) = 0;
    // MessageBeep's sound: MB_OK for the error beep, MB_ICONEXCLAMATION.
    virtual void Beep(unsigned Sound) = 0;
    // Whether the confirmation box is still wanted, and showing it.
    virtual bool ConfirmationWanted() = 0;
    virtual void ShowConfirmation(const std::wstring& Text) = 0;
};
// The clipboard of the window Owner (may be nullptr), the system's short
// names and beeps, the don't-show-again box.
std::unique_ptr<TPathTextSystem> NewSystemPathTextSystem(TMainWindowServices& Services);

class TPathTextCommands {
public:
    static constexpr unsigned kStatusTextTime = 2000;

    TPathTextCommands(const TMainPanes& Panes, TMainWindowServices& Services);

    std::unique_ptr<TPathTextSystem> System;
    // The window's part: Text in the status bar's second panel, which the
    // status timer, started for Milliseconds, gives back to the list's count.
    std::function<void(const std::wstring& Text, unsigned Milliseconds)> ShowStatusText;

    void Register(TActionCatalogue& Catalogue);
    void Execute(TPathTextKind Kind);

private:
    TPathTextSource Source(TPathTextKind Kind);

    const TMainPanes& panes_;
};

}  // namespace qrv
