#pragma once
// Reading cabinets through the system's "cabinet.dll" (FDI):
// TCabinetFileHandler does the file input and output FDI asks for,
// TStreamCabinetFileHandler over Win32 file handles; TCabinetReader wraps
// the FDI context and turns its notifications into events. No exception
// crosses cabinet.dll: callbacks record it, answer -1, and it is raised
// again once FDI has returned.

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

enum TCpuType { cptAuto, cpt80286, cpt80386 };
enum TFileCopyAction { fcaAbort, fcaSkip, fcaCopy, fcaDefaultCopy };

class TCabinetReader : public TComponent {
public:
    explicit TCabinetReader(TComponent* owner);
    ~TCabinetReader() override;

    TCpuType CpuType = cptAuto;
    bool FileSupport = true;
    const std::wstring& DestinationPath() const { return destinationPath_; }
    TCabinetFileHandler& FileHandler() { return *handler_; }

    [[nodiscard]] bool Loaded();
    bool IsCabinet(const std::wstring& fileName, FDICABINETINFO& info);
    // Raises ECabinetError when FDI fails, or what a handler raised.
    void Copy(const std::wstring& cabinet, const std::wstring& destination);

    // A file a copy handler opened for FDI: its time and attributes are set
    // when FDI closes it, and it is closed should the run fail.
    void RememberTarget(INT_PTR handle, const std::wstring& target);

    std::function<void(TCabinetReader*, const std::string& FileName, int32_t UncompressedSize, uint16_t Date,
                       uint16_t Time, uint16_t Attribs, TFileCopyAction& Action, INT_PTR& DestFileHandle)>
        OnCopyFile;
    std::function<void(TCabinetReader*, const std::string& FileName, INT_PTR FileHandle, uint16_t Date,
                       uint16_t Time, uint16_t Attribs, int FolderIndex, bool Execute, bool& Abort)>
        OnCloseCopiedFile;

private:
    static INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data);
    INT_PTR OnNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data);
    void EnsureContext();

    TModuleHandle library_;
    decltype(&FDICreate) create_ = nullptr;
    decltype(&FDIIsCabinet) isCabinet_ = nullptr;
    decltype(&FDICopy) copy_ = nullptr;
    decltype(&FDIDestroy) destroy_ = nullptr;
    HFDI context_ = nullptr;
    ERF error_{};
    TStreamCabinetFileHandler* handler_;
    std::wstring destinationPath_;
    std::exception_ptr failure_;
    std::map<INT_PTR, std::wstring> openedTargets_;  // handle -> file, for times and attributes
};

}  // namespace qrv
