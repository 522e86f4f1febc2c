#pragma once
// Reading cabinets through the system's "cabinet.dll" (FDI):
// TCabinetFileHandler does the file input and output FDI asks for,
// TStreamCabinetFileHandler over Win32 file handles; TCabinetReader wraps
// the FDI context and turns its notifications into events. A run copies
// the files that begin in the cabinet it is given; FDI follows a file that
// runs on into the next cabinets of its set, looked for in the same folder
// unless OnNextCabinet names another. No exception crosses cabinet.dll:
// callbacks record it, answer -1, and it is raised again once FDI has
// returned.

#include "archives/CabinetRules.h"
#include "framework/Component.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <windows.h>
#include <fdi.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <string>

namespace qrv {

// "Cabinet error %d (type %d)" with FDI's operation code and type.
class ECabinetError : public Exception {
public:
    ECabinetError(int code, int type);
    int Code;
    int Type;
};

// "Error %d: %s": a system call of the reader failed.
class EApiError : public Exception {
public:
    explicit EApiError(DWORD code);
    DWORD Code;
};

class TCabinetFileHandler : public TComponent {
public:
    using TComponent::TComponent;
    // Names are UTF-8, as the reader hands them to FDI.
    virtual INT_PTR Open(const std::string& fileName, int flags, int mode, int& error) = 0;
    virtual UINT Read(INT_PTR handle, void* buffer, UINT count, int& error) = 0;
    virtual UINT Write(INT_PTR handle, const void* buffer, UINT count, int& error) = 0;
    virtual int Close(INT_PTR handle, int& error) = 0;
    virtual long Seek(INT_PTR handle, long distance, int origin, int& error) = 0;
    virtual bool Delete(const std::string& fileName, int& error) = 0;
};

class TStreamCabinetFileHandler : public TCabinetFileHandler {
public:
    using TCabinetFileHandler::TCabinetFileHandler;
    INT_PTR Open(const std::string& fileName, int flags, int mode, int& error) override;
    UINT Read(INT_PTR handle, void* buffer, UINT count, int& error) override;
    UINT Write(INT_PTR handle, const void* buffer, UINT count, int& error) override;
    int Close(INT_PTR handle, int& error) override;
    long Seek(INT_PTR handle, long distance, int origin, int& error) override;
    bool Delete(const std::string& fileName, int& error) override;
    // The Win32 handle behind one of ours (to set a file's time).
    HANDLE Native(INT_PTR handle) const;

private:
    std::map<INT_PTR, TFileHandle> files_;
    INT_PTR next_ = 1;
};

// FDI's error codes, FDIERROR_NONE to FDIERROR_USER_ABORT.
using TFDIERROR = FDIERROR;

class TCabinetReader : public TComponent {
public:
    explicit TCabinetReader(TComponent* owner);
    ~TCabinetReader() override;

    TCpuType CpuType() const { return cpuType_; }
    // Takes effect with the next FDI context: the current one is dropped.
    void SetCpuType(TCpuType cpuType);
    bool FileSupport = true;
    const std::wstring& DestinationPath() const { return destinationPath_; }
    TCabinetFileHandler& FileHandler() { return *handler_; }

    [[nodiscard]] bool Loaded();
    bool IsCabinet(const std::wstring& fileName, FDICABINETINFO& info);
    // Raises ECabinetError when FDI fails, or the first thing a handler
    // raised; a default copy refuses names that would leave the destination
    // (ECabinetError with FDIERROR_TARGET_FILE once the rest is copied).
    void Copy(const std::wstring& cabinet, const std::wstring& destination);

    // A file a copy handler opened for FDI: its time and attributes are set
    // when FDI closes it; it is removed when it is incomplete then, or when
    // the run fails while it is open.
    void RememberTarget(INT_PTR handle, const std::wstring& target);
    // FDI's callbacks keep the first failure of a run here; Copy raises it
    // once FDI has returned.
    void KeepFailure(std::exception_ptr failure);

    // Names of other cabinets come as FDI hands them over (see
    // CabinetFdiText); CabinetPath is the folder FDI reads the set from.
    std::function<void(TCabinetReader*, const std::wstring& CabinetName, const std::wstring& CabinetDisk,
                       const std::wstring& CabinetPath, int SetId, int CabinetNumber, bool& Abort)>
        OnCabinetInfo;
    // A file that begins in an earlier cabinet of the set: not copied here.
    std::function<void(TCabinetReader*, const std::wstring& FileName, const std::wstring& FirstCabinetName,
                       const std::wstring& FirstCabinetDisk, bool& Abort)>
        OnPartialFile;
    // The next cabinet of the set is needed; a handler may name another
    // folder. Without one, or when FDI could not use the cabinet and the
    // folder stays the same, the run ends with FDI's error.
    std::function<void(TCabinetReader*, const std::wstring& NextCabinetName, const std::wstring& NextCabinetDisk,
                       std::wstring& CabinetPath, TFDIERROR ErrorIndication, bool& Abort)>
        OnNextCabinet;
    std::function<void(TCabinetReader*, const std::string& FileName, int32_t UncompressedSize, uint16_t Date,
                       uint16_t Time, uint16_t Attribs, TFileCopyAction& Action, INT_PTR& DestFileHandle)>
        OnCopyFile;
    std::function<void(TCabinetReader*, const std::string& FileName, INT_PTR FileHandle, uint16_t Date, uint16_t Time,
                       uint16_t Attribs, int FolderIndex, bool Execute, bool& Abort)>
        OnCloseCopiedFile;

private:
    static INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data);
    INT_PTR OnNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data);
    INT_PTR NextCabinet(PFDINOTIFICATION data);
    void CloseCopiedFile(PFDINOTIFICATION data, bool& abort);
    void EnsureContext();
    void DestroyContext();

    TModuleHandle library_;
    decltype(&FDICreate) create_ = nullptr;
    decltype(&FDIIsCabinet) isCabinet_ = nullptr;
    decltype(&FDICopy) copy_ = nullptr;
    decltype(&FDIDestroy) destroy_ = nullptr;
    TCpuType cpuType_ = cptAuto;
    HFDI context_ = nullptr;
    ERF error_{};
    TStreamCabinetFileHandler* handler_;
    std::wstring destinationPath_;
    std::exception_ptr failure_;
    struct TOpenedTarget {
        std::wstring Name;
        int64_t Size = -1;  // as the cabinet announced it
    };
    std::map<INT_PTR, TOpenedTarget> openedTargets_;  // for times, attributes and incomplete files
    bool refusedTarget_ = false;                      // a default copy refused a name leading outside the destination
};

}  // namespace qrv
