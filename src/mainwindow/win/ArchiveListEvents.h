#pragma once
// TArchiveListEvents: what the main window does for the archive list's
// work. Its messages go to the progress window or the status bar; a delete
// is asked for when a delete confirmation is on; work on more than one
// file shows a progress window with a title by the operation and an abort
// button; the folder for extracting is chosen in the select-directory
// dialog with "mit &Verzeichnisstruktur", and becomes the window's last
// target. The texts are mainwindow/ArchiveListTexts.h.

#include "archives/win/KyZipLV.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TProgressform;
struct TOptions;

class TArchiveListEvents {
public:
    static constexpr int kArchiveHelpContext = 300;

    TArchiveListEvents(const TMainPanes& Panes, TMainWindowServices& Services, const TOptions& Options);
    ~TArchiveListEvents();

    // Takes over the archive list's events (its change event keeps what
    // was set before and adds to it).
    void Connect();

    // The window's parts.
    std::function<void(const std::wstring& Text)> ShowStatusText;  // the second panel, painted at once
    std::function<void()> UpdateSelectionStatus;
    // The select-directory dialog: Params.Directory starts it and takes the
    // choice, Params.Checked the check box; false when cancelled.
    std::function<bool(TSelDirParams& Params, const TSelDirConsts& Consts)> ChooseFolder;
    std::function<void(const std::wstring& Folder)> SetLastTarget;
    // The filter box follows the focus into and out of the list.
    std::function<void()> RebuildFilterBox;
    // Whether "Löschen &physisch" is enabled now (Del deletes then).
    std::function<bool()> DeleteEnabled;

    // The events, one by one.
    void Message(int Code, const std::wstring& Text);
    void DirUpdate();
    void DeleteFiles(bool& DoDelete);
    void StartExtract(int TotalFiles);
    void Progress(int ActualFile);
    void EndExtract();
    void SelDir(TSelDirParams& Params, const TSelDirConsts& Consts);
    // Del on the list deletes its selected entries while deleting is enabled.
    void KeyDown(uint16_t& Key);
    // "Aktion a&bbrechen" and the progress window's button: a visible
    // archive list stops its work.
    void AbortExecute();

    TProgressform* ProgressForm() const { return progress_.get(); }

private:
    bool ListFocused() const;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    const TOptions& options_;
    std::unique_ptr<TProgressform> progress_;
};

}  // namespace qrv
