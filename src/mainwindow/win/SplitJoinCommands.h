#pragma once
// TSplitJoinCommands: "Auf&teilen" cuts the selected files of the active
// list into part files, "&Zusammensetzen" joins the selected parts (and the
// parts beside them) again, each under the progress form. The work is the
// portable engine's (mainwindow/SplitJoin.h); this class asks for the size
// and the target, shows the questions and the progress, and remembers the
// choices for the session. It reaches the window through the window's
// services and TSplitJoinCommandsHost.

#include "framework/win/MessageDialog.h"
#include "mainwindow/CommandPlaceholders.h"
#include "mainwindow/SplitJoin.h"
#include "mainwindow/win/MainWindowServices.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

class TCombineFileDialog;
class TForm;
class TSplitFileDialog;

class TSplitJoinCommandsHost {
public:
    virtual ~TSplitJoinCommandsHost() = default;
    // The active list's selected items, in list order, and its folder.
    virtual std::vector<TCommandItem> ActiveSelection() = 0;
    virtual std::wstring ActiveListFolder() = 0;
    // The active list stops watching its folder while a split makes its
    // parts; afterwards it reads the folder again and watches on.
    virtual void PauseListWatching() = 0;
    virtual void ResumeListWatching() = 0;
    // Shows the filled form; true on an accepted OK.
    virtual bool ExecuteSplitDialog(TSplitFileDialog& Form) = 0;
    virtual bool ExecuteCombineDialog(TCombineFileDialog& Form) = 0;
};

constexpr int kSplitHelpContext = 250;
constexpr int kJoinHelpContext = 260;

class TSplitJoinCommands {
public:
    TSplitJoinCommands(TMainWindowServices& Services, TSplitJoinCommandsHost& Host, TSplitFileSystem& Files);

    void SplitFileExecute();
    void CombineFileExecute();

    // The choices remembered for the session.
    uint64_t PartSize() const { return partSize_; }
    // Empty while the target was the list's own folder.
    const std::wstring& SplitTarget() const { return splitTarget_; }
    const std::wstring& JoinTarget() const { return joinTarget_; }

private:
    TSplitJoinUi Questions(int HelpContext);

    TMainWindowServices& services_;
    TSplitJoinCommandsHost& host_;
    TSplitFileSystem& files_;
    uint64_t partSize_;
    std::wstring splitTarget_;
    std::wstring joinTarget_;
    bool running_ = false;
};

}  // namespace qrv
