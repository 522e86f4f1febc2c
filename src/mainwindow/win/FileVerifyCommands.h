#pragma once
// TFileVerifyCommands: "Pr&üfen" reads every selected file of the active
// list, and every file below its selected folders, to the end under the
// progress form "Datei prüfen", asks when a file cannot be opened or read,
// and tells how many files were readable. The run is the portable one
// (mainwindow/FileVerify.h) over an injected file system; the window is
// reached through its services and TFileVerifyHost.

#include "mainwindow/FileVerify.h"
#include "mainwindow/win/MainWindowServices.h"

#include <vector>

namespace qrv {

class TFileVerifyHost {
public:
    virtual ~TFileVerifyHost() = default;
    // The active list's selected items in list order (full paths).
    virtual std::vector<TVerifyEntry> VerifySelection() = 0;
    // The system drive type of the active list's drive.
    virtual int VerifyDriveType() = 0;
};

constexpr int kVerifyHelpContext = 360;

class TFileVerifyCommands {
public:
    TFileVerifyCommands(TMainWindowServices& Services, TFileVerifyHost& Host, TVerifyFiles& Files)
        : services_(Services), host_(Host), files_(Files)
    {}

    void FileVerifyExecute();
    // The counts of the last run.
    const TVerifyCounts& LastCounts() const { return last_; }

private:
    TMainWindowServices& services_;
    TFileVerifyHost& host_;
    TVerifyFiles& files_;
    TVerifyCounts last_;
    bool running_ = false;
};

}  // namespace qrv
