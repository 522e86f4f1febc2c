#pragma once
// TListBackgroundWork: the main window's part in the lists' background
// work: the folder-size command ("&Verzeichnisgröße anzeigen") with its
// stored setting, and the start of the work the lists deferred, when the
// window has nothing else to do.

#include <functional>

namespace qrv {

class TAction;
class TActionCatalogue;
class TCommandMenus;
class TDirView;

class TListBackgroundWorkHost {
public:
    virtual ~TListBackgroundWorkHost() = default;
    virtual TDirView* FirstList() = 0;
    // The second list while its pane is shown, else nullptr.
    virtual TDirView* SecondShownList() = 0;
    // The second list, shown or not.
    virtual TDirView* SecondList() = 0;
    // The stored setting of the folder sizes.
    virtual bool& StoredDirSize() = 0;
};

// A host made of calls, for the window's wiring.
class TListBackgroundWorkCalls : public TListBackgroundWorkHost {
public:
    std::function<TDirView*()> First;
    std::function<TDirView*()> SecondShown;
    std::function<TDirView*()> Second;
    std::function<bool&()> Stored;

    TDirView* FirstList() override { return First(); }
    TDirView* SecondShownList() override { return SecondShown(); }
    TDirView* SecondList() override { return Second(); }
    bool& StoredDirSize() override { return Stored(); }
};

class TListBackgroundWork {
public:
    explicit TListBackgroundWork(TListBackgroundWorkHost& Host) : host_(Host) {}

    // Registers the command and its check.
    void Register(TActionCatalogue& Catalogue, TCommandMenus& Menus);
    // Each list that holds deferred work while its automatic start is off
    // starts it once (the second only while shown).
    void StartPendingListThreads();
    // Toggles the folder sizes: the command's check, the setting, both lists.
    void ViewDirSizeExecute();
    // The command's check after the settings were applied.
    void UpdateDirSizeView(bool Checked);
    bool DirSizesShown() const { return shown_; }
    // Around a rename in place: while folder sizes are shown, the scans of
    // the active list stop, and those of the other list when it shows a
    // folder of the same drive; afterwards both lists' scans start again
    // (the other's only while shown).
    void PauseDirSizeScan(TDirView* Active);
    void ResumeDirSizeScan(TDirView* Active);

private:
    TListBackgroundWorkHost& host_;
    TAction* action_ = nullptr;
    bool shown_ = false;
};

}  // namespace qrv
