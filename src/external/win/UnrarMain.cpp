// UnRAR.dll: the RAR library's seven entry points over its portable core.

#include "external/RarCore.h"
#include "external/win/ExternalHooksWin.h"

#include <windows.h>

using namespace qrv::external;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        try {
            SetRarHooks(SystemRarHooks());
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

void* QRV_RARAPI RAROpenArchive(RAROpenRecord* data)
{
    return RarOpenArchive(data);
}

int32_t QRV_RARAPI RARCloseArchive(void* handle)
{
    return RarCloseArchive(handle);
}

int32_t QRV_RARAPI RARReadHeader(void* handle, RARHeaderData* header)
{
    return RarReadHeader(handle, header);
}

int32_t QRV_RARAPI RARProcessFile(void* handle, int32_t operation, const char* destPath, const char* destName)
{
    return RarProcessFile(handle, operation, destPath, destName);
}

void QRV_RARAPI RARSetChangeVolProc(void* handle, RARChangeVolFunc proc)
{
    RarSetChangeVolProc(handle, proc);
}

void QRV_RARAPI RARSetProcessDataProc(void* handle, RARProcessDataFunc proc)
{
    RarSetProcessDataProc(handle, proc);
}

void QRV_RARAPI RARSetPassword(void* handle, const char* password)
{
    RarSetPassword(handle, password);
}
}
