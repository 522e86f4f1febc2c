// TQRVMain: the shutdown of the main window. ShutdownMainWindow runs once,
// from FormClose or, when the window goes without being closed, from
// FormDestroy.

#include "mainwindow/win/RudirezOziMain.h"

#include "common/KyNotify.h"
#include "common/win/KySyncObjs.h"
#include "common/win/SimpleTimer.h"
#include "framework/win/Threads.h"
#include "mainwindow/Quorvan32Globals.h"

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
    KyNotify().OnNotify = nullptr;

    for (TSimpleTimer* timer : {actionTimer_.get(), oleDisplayTimer_.get(), statusTimer_.get(), driveTimer_.get()})
        if (timer)
            timer->Stop();

    try {
        SetFolderWatching(false);
    } catch (const std::exception&) {
        // the monitors end with their controls
    }
    try {
        // Settings store: saves only after the window was shown, and
        // reports a failed write itself.
        SaveSettings();
        if (HandleAllocated())
            ShowWindow(Handle(), SW_HIDE);
    } catch (const std::exception&) {
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
    DeleteOwnTemporaryFiles();
    actionTimer_.reset();
    oleDisplayTimer_.reset();
    statusTimer_.reset();
    driveTimer_.reset();
    // Another instance may be using the picture converter: let it finish,
    // and give back what was taken.
    if (converterMutex_ && converterMutex_->Get(500))
        converterMutex_->Release();
    converterMutex_.reset();
}

void TQRVMain::DeleteOwnTemporaryFiles()
{
    // Only files this instance created: another instance may be running its
    // own batch file of the same name.
    if (selectionListReserved_)
        DeleteFileW(SelectionListFile.c_str());
    if (BatchFileCreated) {
        wchar_t folder[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
        DeleteFileW((std::wstring(folder, length) + BatchFileName).c_str());
    }
}

}  // namespace qrv
