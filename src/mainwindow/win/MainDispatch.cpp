// TQRVMain: the window procedure and the answers to the system's messages
// (device changes, activation, size and position, the close query). It
// hands work to the services and to the drive bar; nothing below calls back
// into it.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "common/win/SimpleTimer.h"
#include "framework/IgnoredError.h"
#include "framework/PartThreads.h"
#include "framework/TimingTrace.h"
#include "mainwindow/DriveSlots.h"
#include "mainwindow/win/TrayCommands.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyShell.h"

#include <dbt.h>
#include <windowsx.h>

namespace qrv {

void TQRVMain::WndProc(TMessage& message)
{
    // The find and replace dialogs report to their owner.
    if (textCommands_ && textCommands_->HandleWindowMessage(message.Msg, message.LParam))
        return;
    switch (message.Msg) {
    case WM_QRV_SYNCCOLUMNS:
        SyncColumnLayout(static_cast<TListId>(message.WParam), static_cast<TListId>(message.LParam));
        return;
    case WM_QRV_STARTUP:
        HandleStartupMessage();
        return;
    case WM_QRV_SHOWFILE:
        ViewFileExecute();
        return;
    case WM_QRV_JOINSPLIT:
        // A ".split" file on the command line: the file is the list's
        // selection by then.
        if (splitJoin_)
            splitJoin_->Commands().CombineFileExecute();
        return;
    case WM_QRV_DISPLAYFILE:
        ShowFocusedFile();
        return;
    case WM_DEVICECHANGE:
        TForm::WndProc(message);
        WMDeviceChange(message);
        return;
    case WM_ACTIVATEAPP:
        TForm::WndProc(message);
        if (firstShowDone_)
            AppActivate(message.WParam != FALSE);
        return;
    case WM_SIZE:
        TForm::WndProc(message);
        if (message.WParam != SIZE_MINIMIZED)
            FormResize();
        if (message.WParam == SIZE_MINIMIZED) {
            minimized_ = true;
            // Minimised to the notification area: the tray icon is the way back.
            if (firstShowDone_ && Options.TrayApp && tray_)
                tray_->Minimize();
        } else if (minimized_) {
            minimized_ = false;
            // Restored from the task bar: the tray icon is no longer needed.
            if (firstShowDone_ && Options.TrayApp && TrayIcon1)
                TrayIcon1->Hide();
        }
        return;
    case WM_WINDOWPOSCHANGED:
        TForm::WndProc(message);
        SendToolWindowHookEvent(1, message.WParam, message.LParam);
        return;
    case WM_DESTROY:
        SendToolWindowHookEvent(2, 0, 0);
        TForm::WndProc(message);
        return;
    case WM_CONTEXTMENU: {
        // A right click on a drive button reaches the window as the
        // button's context menu.
        TWinControl* control = TWinControl::FromHandle(reinterpret_cast<HWND>(message.WParam));
        if (driveBar_ && driveBar_->IsDriveButton(control)) {
            driveBar_->btnDriveMouseUp(control, GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
            message.Result = 0;
            return;
        }
        if (control && control == StatusBar && StatusBarPopup) {
            StatusBarPopupPopup(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
            message.Result = 0;
            return;
        }
        break;
    }
    default:
        break;
    }
    TForm::WndProc(message);
}

void TQRVMain::WMDeviceChange(TMessage& message)
{
    if (!formCreated_)
        return;
    try {
        // Some events carry no data at all: read a volume only when there is one.
        TVolumeNotice notice;
        const TVolumeNotice* volume = nullptr;
        if (const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(message.LParam);
            header && header->dbch_devicetype == DBT_DEVTYP_VOLUME &&
            header->dbch_size >= sizeof(DEV_BROADCAST_VOLUME)) {
            notice.DeviceType = header->dbch_devicetype;
            notice.UnitMask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header)->dbcv_unitmask;
            volume = &notice;
        }
        const TDeviceChangeAction action = DecideDeviceChange(static_cast<uint32_t>(message.WParam), volume);
        for (wchar_t drive : action.ReleaseDrives)
            if (DriveInfo().IsValid(drive))
                driveBar_->StopDriveMonitor(drive);
        if (action.Refresh) {
            driveBar_->RefreshDriveList(false);
            // Once more when the system has settled.
            if (driveTimer_)
                driveTimer_->Start(1000);
        }
        if (action.DrivesChanged)
            DrivesChanged = true;
    } catch (const std::exception&) {
        TraceIgnoredException(L"handling a device change");
        // the next device message tries again
    }
    message.Result = TRUE;
}

void TQRVMain::AppActivate(bool Active)
{
    if (Active) {
        if (Application && Application->Terminated())
            return;
        if (actionTimer_)
            actionTimer_->Start(200);
        // A Ctrl let go in another window went unseen here.
        if (userCommands_)
            UserCommands().ShowFunctionKeyLabels(kShiftSet, false);
        SendToolWindowHookEvent(0, TRUE, 0);
        try {
            if (ZipLV && ZipLV->Visible())
                ZipLV->WriteBackChangedFiles(0);
        } catch (const std::exception&) {
            TraceIgnoredException(L"writing back changed archive files on activation");
        }
    } else {
        if (actionTimer_)
            actionTimer_->Stop();
        SendToolWindowHookEvent(0, FALSE, 0);
    }
}

void TQRVMain::SendToolWindowHookEvent(int Code, WPARAM WParam, LPARAM LParam)
{
    try {
        ProcessToolWindowHookEvent(Code, HandleAllocated() ? Handle() : nullptr, WParam, LParam);
    } catch (...) {
        TraceIgnoredException(L"passing a window event to the tool windows");
        // the tool windows' trouble is not the window's
    }
}

bool TQRVMain::CloseQuery()
{
    // A comparison below this message stops and closes the window when it
    // has returned.
    if (compare_ && compare_->HoldsClose())
        return false;
    // A changed text that is not let go keeps the window open.
    if (!QuerySaveModifiedText())
        return false;
    return TForm::CloseQuery();
}

void TQRVMain::HandleStartupMessage()
{
    TraceTiming(L"start-up message");
    // The threads that share large sorts and archive listings are made now
    // that the window is up, so that the first such work does not wait for
    // them.
    StartPartThreads();
    if (!FirstRun)
        return;
    std::wstring text =
        L"Vielen Dank für Ihr Interesse an meinem Programm \"%s\".\r\rIm folgenden Dialog können Sie die "
        L"von Ihnen bevorzugte Ansicht\rdes Programmfensters auswählen. Sie können diesen Dialog auch\r"
        L"später jederzeit wieder über das Menü \"Ansicht -> Ansichtenmanager\"\raufrufen.";
    text.replace(text.find(L"%s"), 2, TitleBase);
    ShowMessageBox(text, TMsgDlgType::mtInformation, 0, mbOK);
}

}  // namespace qrv
