// UNZDLL.DLL: the unzip library's entry points over its portable core.

#include "external/UnzipCore.h"
#include "external/win/ExternalHooksWin.h"

using namespace qrv::external;

extern "C" {

int32_t QRV_ZIPAPI UnzDllExec(const UnzCommand* command)
{
    try {
        static const TUnzipHooks hooks = SystemUnzipHooks();
        return UnzipExec(command, hooks);
    } catch (...) {
        return -2;  // nothing may cross the library's boundary
    }
}

int32_t QRV_ZIPAPI GetUnzDllVersion(void)
{
    return QRV_UNZ_DLL_VERSION;
}

int32_t QRV_ZIPAPI GetUnzDllPrivVersion(void)
{
    return QRV_UNZ_DLL_PRIV_VERSION;
}
}
