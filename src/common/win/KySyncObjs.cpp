#include "common/win/KySyncObjs.h"

#include "framework/SysUtils.h"

namespace qrv {

TMutex::TMutex(const std::wstring& Name)
{
    handle_.Reset(CreateMutexW(nullptr, FALSE, Name.empty() ? nullptr : Name.c_str()));
    if (!handle_) {
        const DWORD error = GetLastError();
        const std::wstring what = Name.empty() ? L"Mutex" : L"Mutex \"" + Name + L"\"";
        throw EOSError(what + L" kann nicht erstellt werden: " + SysErrorMessage(error), error);
    }
}

bool TMutex::Get(DWORD TimeOut)
{
    // An abandoned mutex is owned by the waiter all the same.
    const DWORD result = WaitForSingleObject(handle_.Get(), TimeOut);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

DWORD TMutex::Wait()
{
    return WaitForSingleObject(handle_.Get(), INFINITE);
}

bool TMutex::Release()
{
    return ReleaseMutex(handle_.Get()) != FALSE;
}

}  // namespace qrv
