// TQRVMain: the shutdown of the main window. ShutdownMainWindow runs once,
// from FormClose or, when the window goes without being closed, from
// FormDestroy.

#include "mainwindow/win/RudirezOziMain.h"

#include "common/KyNotify.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/KySyncObjs.h"
#include "common/win/SimpleTimer.h"
#include "editor/EasySettings.h"
#include "editor/EditorSettings.h"
#include "framework/IgnoredError.h"
#include "framework/win/Forms.h"
#include "framework/win/Threads.h"
#include "mainwindow/win/ErrorReports.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

void TQRVMain::FormClose()
{
    ShutdownMainWindow();
}

void TQRVMain::ShutdownMainWindow()
{
    if (ShuttingDown)
        return;
    ShuttingDown = true;
    // Nothing is reported from here on.
    if (errorReports_)
        errorReports_->Counter().SetReporting(false);
    KyNotify().OnNotify = nullptr;
    // The drive table outlives the window: its icon reports must not reach it.
    DriveInfo().OnImageIndexReady = nullptr;

    for (TSimpleTimer* timer : {actionTimer_.get(), oleDisplayTimer_.get(), statusTimer_.get(), driveTimer_.get()})
        if (timer)
            timer->Stop();

    // The display's state is stored as it was at the close, before anything
    // of the shutdown turns it off.
    if (fileDisplay_)
        Options.ViewFile = fileDisplay_->ViewFile();
    try {
        SetFolderWatching(false);
    } catch (const std::exception&) {
        TraceIgnoredException(L"stopping the folder watching at shutdown");
        // the monitors end with their controls
    }
    try {
        // Settings store: saves only after the window was shown, and
        // reports a failed write itself; the exit code tells a caller.
        if (!SaveSettings() && Application)
            Application->ExitCode = kExitSettingsNotSaved;
        // Then the editor family's own (the last search and its options),
        // in the store the user chose; a failure is traced there.
        SetSettingsUseRegistry(Options.UseRegistry);
        if (!SaveEasySettings())
            TraceIgnoredFailure(L"saving the editor settings at shutdown");
        if (HandleAllocated())
            ShowWindow(Handle(), SW_HIDE);
    } catch (const std::exception&) {
        TraceIgnoredException(L"saving the settings at shutdown");
        // shutting down goes on
    }
    instanceMutex_.reset();
    idleThread_.reset();  // tells the idle thread to end and waits for it
}

void TQRVMain::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    ShutdownMainWindow();
    if (Application && errorReports_)
        Application->OnException = nullptr;
    DeleteOwnTemporaryFiles();
    actionTimer_.reset();
    oleDisplayTimer_.reset();
    statusTimer_.reset();
    driveTimer_.reset();
    // Another instance may be using the picture converter: let it finish,
    // and give back what was taken.
    if (converterMutex_ && converterMutex_->Get(500) && !converterMutex_->Release())
        TraceIgnoredFailure(L"releasing the converter mutex", GetLastError());
    converterMutex_.reset();
    if (Application)
        Application->OnIdle = nullptr;
}

void TQRVMain::DeleteOwnTemporaryFiles()
{
    // Only files this instance created: another instance may be running its
    // own batch file of the same name.
    if (selectionListReserved_)
        DeleteFileW(SelectionListFile.c_str());
    if (BatchFileCreated)
        DeleteFileW((TemporaryFolder() + BatchFileName).c_str());
    if (userCommands_)
        userCommands_->Commands().DeleteBatchFiles();
}

}  // namespace qrv
