// TQRVMain: the work the window defers to its own messages and timers, its
// answers to the system's device, activation and position messages, the
// title, and the services every command uses (message box, file comparison).

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "common/win/SimpleTimer.h"
#include "mainwindow/DriveSlots.h"
#include "mainwindow/FileCompare.h"
#include "mainwindow/Quorvan32Globals.h"
#include "mainwindow/WindowTitle.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyShell.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <dbt.h>
#include <windowsx.h>

#include <array>

namespace qrv {

namespace {

// A file opened for reading, shared with writers as the other programs
// that hold it may be.
class TWinCompareFile : public TCompareFile {
public:
    explicit TWinCompareFile(HANDLE file) : file_(file) {}
    ~TWinCompareFile() override { CloseHandle(file_); }
    TWinCompareFile(const TWinCompareFile&) = delete;
    TWinCompareFile& operator=(const TWinCompareFile&) = delete;

    static std::unique_ptr<TCompareFile> Open(const std::wstring& name)
    {
        HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<TWinCompareFile>(file);
    }

    int64_t Size() override
    {
        LARGE_INTEGER size;
        return GetFileSizeEx(file_, &size) ? size.QuadPart : -1;
    }

    int64_t Read(uint8_t* buffer, int64_t count) override
    {
        DWORD read = 0;
        if (!ReadFile(file_, buffer, static_cast<DWORD>(count), &read, nullptr))
            return -1;
        return read;
    }

private:
    HANDLE file_;
};

bool ApplicationIsActive()
{
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    return process == GetCurrentProcessId();
}

}  // namespace

void TQRVMain::CreateTimers()
{
    // One-shot: each stops itself before its work.
    actionTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        UpdateTimerTimer();
    });
    oleDisplayTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        OleDisplayTimerTimer();
    });
    statusTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        UpdateSelectionStatus();
    });
    driveTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        RefreshDriveList(false);
    });
}

void TQRVMain::WndProc(TMessage& message)
{
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
        CombineFileExecute();
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
        if (message.WParam == SIZE_MINIMIZED) {
            minimized_ = true;
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
        auto* button = dynamic_cast<TKyToolbarButton*>(control);
        if (button && button->Tag != 0 &&
            (button->Parent() == ToolbarDrives || (ToolbarDrives2 && button->Parent() == ToolbarDrives2))) {
            btnDriveMouseUp(button, GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
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
            header && header->dbch_devicetype == DBT_DEVTYP_VOLUME && header->dbch_size >= sizeof(DEV_BROADCAST_VOLUME)) {
            notice.DeviceType = header->dbch_devicetype;
            notice.UnitMask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header)->dbcv_unitmask;
            volume = &notice;
        }
        const TDeviceChangeAction action = DecideDeviceChange(static_cast<uint32_t>(message.WParam), volume);
        for (wchar_t drive : action.ReleaseDrives)
            if (DriveInfo().IsValid(drive))
                StopDriveMonitor(drive);
        if (action.Refresh) {
            RefreshDriveList(false);
            // Once more when the system has settled.
            if (driveTimer_)
                driveTimer_->Start(1000);
        }
        if (action.DrivesChanged)
            DrivesChanged = true;
    } catch (const std::exception&) {
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
        SendToolWindowHookEvent(0, TRUE, 0);
        try {
            if (ZipLV && ZipLV->Visible())
                ZipLV->WriteBackChangedFiles(0);
        } catch (const std::exception&) {
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
        // the tool windows' trouble is not the window's
    }
}

void TQRVMain::LookUpShellSettings()
{
    if (HMODULE shell = GetModuleHandleW(L"shell32.dll"))
        shGetSettings_ = reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSettings"));
}

int TQRVMain::ShowMessageBox(const std::wstring& Text, TMsgDlgType Type, int HelpContext, TMsgDlgButtons Buttons)
{
    // The click that closes the box must not start a marquee in the list
    // below it.
    TWinControl* focused = TWinControl::FromHandle(GetFocus());
    if (focused && (focused == LV1 || focused == LV2 || focused == ZipLV))
        if (auto* list = dynamic_cast<TKyListView*>(focused))
            list->SuppressMarquee = true;
    return MessageDlg(Text, Type, Buttons, HelpContext);
}

uint8_t TQRVMain::CompareFileContents(const std::wstring& FileA, const std::wstring& FileB)
{
    // A comparison already running (its message pump may bring us here
    // again) leaves the abort request alone and gets crBusy below.
    if (!FileComparisonRunning())
        abortComparison_ = false;
    TFileCompareHost host;
    host.Open = TWinCompareFile::Open;
    host.ProcessMessages = [] {
        if (Application)
            Application->ProcessMessages();
    };
    host.AbortRequested = [this] {
        return abortComparison_ || (ApplicationIsActive() && (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0);
    };
    const uint8_t result = qrv::CompareFileContents(FileA, FileB, host);
    // A close asked for meanwhile was held back until now.
    if (result != crBusy && closeAfterComparison_) {
        closeAfterComparison_ = false;
        if (HandleAllocated())
            PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
    return result;
}

bool TQRVMain::CloseQuery()
{
    if (FileComparisonRunning()) {
        // The comparison is on the stack below this message: stop it and
        // close when it has returned.
        abortComparison_ = true;
        closeAfterComparison_ = true;
        return false;
    }
    return TForm::CloseQuery();
}

TDirView* TQRVMain::ListOf(TListId Id) const
{
    switch (Id) {
    case liList1:
        return LV1;
    case liList2:
        return LV2;
    default:
        return nullptr;
    }
}

void TQRVMain::PostColumnLayout(TListId Source, TListId Target)
{
    if (HandleAllocated())
        PostMessageW(Handle(), WM_QRV_SYNCCOLUMNS, Source, Target);
}

void TQRVMain::SyncColumnLayout(TListId Source, TListId Target)
{
    try {
        std::array<int, ZipColumnCount> zipOrder{};
        if (TDirView* source = ListOf(Source)) {
            const std::vector<int> order = source->GetColumnOrder();
            TDirView* target = ListOf(Target);
            if (target && target != source)
                target->SetColumnOrderAndRepaint(order);
            if (ZipLV && order.size() == zipOrder.size()) {
                std::copy(order.begin(), order.end(), zipOrder.begin());
                ZipLV->SetColumnOrder(zipOrder);
            }
        } else if (Source == liArchive && ZipLV && ZipLV->GetColumnOrder(zipOrder)) {
            const std::vector<int> order(zipOrder.begin(), zipOrder.end());
            for (TDirView* list : {LV1, LV2})
                if (list && list->ColumnCount() == static_cast<int>(order.size()))
                    list->SetColumnOrderAndRepaint(order);
            ZipLV->SetColumnOrder(zipOrder);
        }
    } catch (const std::exception&) {
        // a list that is being rebuilt keeps its order
    }
}

void TQRVMain::UpdateWindowTitle()
{
    std::optional<std::wstring> folder;
    if (TreeView1) {
        try {
            if (TTreeNode* node = TreeView1->Selected())
                folder = node->Parent() ? TreeView1->GetDisplayDirPath(node) : TreeView1->GetDirPathName(node);
        } catch (const std::exception&) {
            folder.reset();
        }
    }
    const std::wstring title = BuildWindowTitle(folder, ActiveList ? ActiveList->Mask() : L"*.*", TitleBase);
    SetCaption(title);
    if (Application)
        Application->SetTitle(title);
    if (TrayIcon1)
        TrayIcon1->SetHint(Application ? Application->Title() : title);
}

// ---- Targets of the posted messages and the timers ------------------------------
// The commands behind them come with the display pane, the split files,
// the action states and the status bar.

void TQRVMain::ViewFileExecute() {}
void TQRVMain::CombineFileExecute() {}
void TQRVMain::ShowFocusedFile() {}
void TQRVMain::UpdateTimerTimer() {}
void TQRVMain::OleDisplayTimerTimer() {}
void TQRVMain::UpdateSelectionStatus() {}
void TQRVMain::RefreshStatusBar() {}

}  // namespace qrv
