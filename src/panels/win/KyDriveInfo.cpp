#include "panels/win/KyDriveInfo.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Registry.h"

#include <winnetwk.h>

#include <algorithm>
#include <cstring>

namespace qrv {

namespace {

std::wstring DriveRoot(wchar_t Drive)
{
    return {Drive, L':', L'\\'};
}

bool ApplicationTerminating()
{
    return Application && Application->Terminated();
}

HWND OwnerWindow()
{
    return Application ? Application->ActiveWindowHandle() : nullptr;
}

// COM for the life of a worker thread.
class TThreadCom {
public:
    TThreadCom() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TThreadCom()
    {
        if (ok_)
            CoUninitialize();
    }
    TThreadCom(const TThreadCom&) = delete;
    TThreadCom& operator=(const TThreadCom&) = delete;

private:
    bool ok_;
};

}  // namespace

TQuietDriveErrors::TQuietDriveErrors()
{
    set_ = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_) != FALSE;
}

TQuietDriveErrors::~TQuietDriveErrors()
{
    if (set_)
        SetThreadErrorMode(old_, nullptr);
}

int PidlSysIconIndex(LPCITEMIDLIST Pidl)
{
    if (!Pidl)
        return -1;
    TQuietDriveErrors quiet;
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(Pidl), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX))
        return -1;
    return info.iIcon;
}

bool CanEnumFolder(IShellFolder* Folder)
{
    if (!Folder || ApplicationTerminating())
        return false;
    TQuietDriveErrors quiet;
    Microsoft::WRL::ComPtr<IEnumIDList> items;
    const HRESULT result =
        Folder->EnumObjects(OwnerWindow(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items);
    return result == S_OK || result == S_FALSE;
}

// ---- TImageIndexThread --------------------------------------------------------

TImageIndexThread::TImageIndexThread(TPidlBytes Pidl, std::function<void(int ImageIndex)> Done)
    : TThread(true), pidl_(std::move(Pidl)), done_(std::move(Done))
{
    SetPriority(TThreadPriority::tpLowest);
    Start();
}

void TImageIndexThread::Execute()
{
    int index = -1;
    {
        TThreadCom com;
        index = PidlSysIconIndex(AsPidl(pidl_));
    }
    if (Terminated() || ApplicationTerminating())
        return;
    // The table learns on its own thread that the fetch is over, with or
    // without an icon.
    Synchronize([this, index] {
        if (!Terminated())
            done_(index);
    });
}

// ---- TShellDriveProbe ---------------------------------------------------------

TShellDriveProbe::TShellDriveProbe() : desktop_(qrv::DesktopFolder())
{
    LPITEMIDLIST drives = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(OwnerWindow(), CSIDL_DRIVES, &drives)) && drives) {
        drivesPidl_.reset(drives);
        TShellFolderPtr folder;
        if (SUCCEEDED(desktop_->BindToObject(drives, nullptr, IID_PPV_ARGS(&folder))))
            drives_ = folder;
    }
}

TShellDriveProbe::~TShellDriveProbe()
{
    CancelImageIndexFetches();
}

int TShellDriveProbe::DriveType(wchar_t Drive)
{
    return static_cast<int>(GetDriveTypeW(DriveRoot(Drive).c_str()));
}

uint32_t TShellDriveProbe::NoDrives()
{
    TRegistry registry(KEY_READ);
    if (!registry.OpenKeyReadOnly(L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"))
        return 0;
    try {
        switch (registry.GetDataType(L"NoDrives")) {
        case TRegDataType::rdInteger:
            return static_cast<uint32_t>(registry.ReadInteger(L"NoDrives"));
        case TRegDataType::rdBinary: {
            // Four bytes, little-endian; a longer value is no mask.
            const std::vector<uint8_t> data = registry.ReadBinaryData(L"NoDrives");
            uint32_t mask = 0;
            if (data.size() > sizeof mask)
                return 0;
            std::memcpy(&mask, data.data(), data.size());
            return mask;
        }
        default:
            return 0;
        }
    } catch (const Exception&) {
        TraceIgnoredException(L"reading a drive's shell image index");
        return 0;
    }
}

bool TShellDriveProbe::NetworkNeighbourhood(TPidlBytes& Pidl, std::wstring& DisplayName, int& ImageIndex)
{
    if ((GetSystemMetrics(SM_NETWORK) & 1) == 0)
        return false;
    LPITEMIDLIST network = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(OwnerWindow(), CSIDL_NETWORK, &network)) || !network)
        return false;
    const TPidlPtr owned(network);
    Pidl = PidlBytes(network);
    if (!GetDisplayNameOfStr(desktop_.Get(), network, SHGDN_NORMAL, DisplayName))
        TraceIgnoredFailure(L"reading the network neighbourhood's name");
    ImageIndex = PidlSysIconIndex(network);
    return true;
}

bool TShellDriveProbe::EnumDrives(const std::function<void(const TPidlBytes& Pidl, const std::wstring& Path)>& Found)
{
    if (!drives_)
        return false;
    Microsoft::WRL::ComPtr<IEnumIDList> items;
    if (drives_->EnumObjects(OwnerWindow(), SHCONTF_FOLDERS, &items) != S_OK || !items)
        return false;
    for (;;) {
        LPITEMIDLIST child = nullptr;
        if (items->Next(1, &child, nullptr) != S_OK || !child)
            break;
        const TPidlPtr item(child);
        const TPidlPtr full = ConcatPidls(drivesPidl_.get(), child);
        if (full)
            Found(PidlBytes(full.get()), PidlToPath(full.get()));
    }
    return true;
}

bool TShellDriveProbe::DiskSpace(wchar_t Drive, int64_t& Total, int64_t& Free)
{
    TQuietDriveErrors quiet;
    return GetDiskSpace(Drive - kFirstDrive + 1, Total, Free);
}

bool TShellDriveProbe::VolumeInformation(wchar_t Drive, TVolumeInfo& Info)
{
    TQuietDriveErrors quiet;
    // Full-size buffers: a long label must not fail the whole call.
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    DWORD serial = 0, maxNameLength = 0, flags = 0;
    if (!GetVolumeInformationW(DriveRoot(Drive).c_str(), label, MAX_PATH + 1, &serial, &maxNameLength, &flags,
                               fileSystem, MAX_PATH + 1))
        return false;
    Info.Label = label;
    Info.Serial = serial;
    Info.MaxNameLength = maxNameLength;
    Info.FileSystemFlags = flags;
    Info.FileSystemName = fileSystem;
    return true;
}

std::wstring TShellDriveProbe::RemoteName(wchar_t Drive)
{
    const std::wstring local{Drive, L':'};
    std::wstring remote(MAX_PATH, L'\0');
    DWORD length = static_cast<DWORD>(remote.size());
    DWORD result = WNetGetConnectionW(local.c_str(), remote.data(), &length);
    if (result == ERROR_MORE_DATA) {
        remote.resize(length);
        result = WNetGetConnectionW(local.c_str(), remote.data(), &length);
    }
    if (result != NO_ERROR)
        return {};
    remote.resize(wcsnlen(remote.c_str(), remote.size()));
    return remote;
}

std::wstring TShellDriveProbe::DisplayName(const TPidlBytes& Pidl)
{
    std::wstring name;
    if (!Pidl.empty()) {
        TQuietDriveErrors quiet;
        if (!GetDisplayNameOfStr(desktop_.Get(), AsPidl(Pidl), SHGDN_NORMAL, name))
            TraceIgnoredFailure(L"reading a shell item's name");
    }
    return name;
}

std::wstring TShellDriveProbe::FileInfoDisplayName(const TPidlBytes& Pidl)
{
    if (Pidl.empty())
        return {};
    TQuietDriveErrors quiet;
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(AsPidl(Pidl)), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return {};
    return info.szDisplayName;
}

int TShellDriveProbe::SysIconIndex(const TPidlBytes& Pidl)
{
    return PidlSysIconIndex(AsPidl(Pidl));
}

bool TShellDriveProbe::CanEnumerate(const TPidlBytes& Pidl)
{
    // A drive of the file system is asked whether its root opens for
    // listing: the shell's enumeration, and under Wine even a search's
    // first entry, reads the whole root first (580 and 83 ms for a root of
    // 100,000 files, on the window's thread).
    wchar_t path[MAX_PATH] = {};
    if (!Pidl.empty() && SHGetPathFromIDListW(AsPidl(Pidl), path) && path[0]) {
        TQuietDriveErrors quiet;
        const TFileHandle root(CreateFileW(path, FILE_LIST_DIRECTORY,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return static_cast<bool>(root);
    }
    TShellFolderPtr folder;
    return BindToFolder(AsPidl(Pidl), folder) && CanEnumFolder(folder.Get());
}

bool TShellDriveProbe::Terminating()
{
    return ApplicationTerminating();
}

void TShellDriveProbe::StartImageIndexFetch(wchar_t, TPidlBytes Pidl, std::function<void(int ImageIndex)> Done)
{
    ReapFinishedThreads();
    threads_.push_back(std::make_unique<TImageIndexThread>(std::move(Pidl), std::move(Done)));
    ++started_;
}

void TShellDriveProbe::CancelImageIndexFetches()
{
    for (const auto& thread : threads_)
        thread->Terminate();
    // Each waits while answering the others' hand-overs, which see the
    // thread terminated and deliver nothing.
    threads_.clear();
}

int TShellDriveProbe::ImageIndexThreadsRunning()
{
    ReapFinishedThreads();
    return static_cast<int>(threads_.size());
}

void TShellDriveProbe::ReapFinishedThreads()
{
    std::erase_if(threads_, [](const std::unique_ptr<TImageIndexThread>& thread) { return thread->Finished(); });
}

// ---- The process-wide table ---------------------------------------------------

namespace {

TDriveInfo* g_driveInfo = nullptr;

// Ties the table's life to the application object, which frees it with its
// other components while the hand-over to the user-interface thread still works.
class TDriveInfoHolder : public TComponent {
public:
    explicit TDriveInfoHolder(TComponent* owner) : TComponent(owner), table_(std::make_unique<TShellDriveProbe>())
    {
        g_driveInfo = &table_;
    }
    ~TDriveInfoHolder() override { g_driveInfo = nullptr; }

private:
    TDriveInfo table_;
};

}  // namespace

TDriveInfo& DriveInfo()
{
    if (!g_driveInfo) {
        if (!Application)
            throw EInvalidOperation(L"Die Laufwerkstabelle braucht das Anwendungsobjekt");
        new TDriveInfoHolder(Application);  // owned and freed by the application
    }
    return *g_driveInfo;
}

}  // namespace qrv
