#pragma once
// THandledObject owns one kernel handle; TMutex is a mutex on it, unnamed or
// named (then shared with every process that uses the same name).

#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <string>

namespace qrv {

class THandledObject {
public:
    THandledObject() = default;
    // Closes the handle when one is assigned.
    virtual ~THandledObject() = default;
    THandledObject(const THandledObject&) = delete;
    THandledObject& operator=(const THandledObject&) = delete;

    HANDLE Handle() const { return handle_.Get(); }

protected:
    TKernelHandle handle_;
};

class TMutex : public THandledObject {
public:
    // A mutex not owned by the caller. An empty Name makes an unnamed mutex;
    // a name in use opens the existing one. Throws EOSError with the system's
    // error text when the system refuses.
    explicit TMutex(const std::wstring& Name);

    // Waits at most TimeOut ms; true when the caller now owns the mutex, also
    // when its previous owner ended without releasing it.
    [[nodiscard]] bool Get(DWORD TimeOut);
    // Waits without limit; the wait's result (WAIT_OBJECT_0, WAIT_ABANDONED
    // or WAIT_FAILED).
    DWORD Wait();
    // The system call's success (false when the caller does not own it).
    [[nodiscard]] bool Release();
};

}  // namespace qrv
