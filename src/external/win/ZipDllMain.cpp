// ZIPDLL.DLL: the zip library's entry points over its portable core.

#include "external/ZipCore.h"
#include "external/win/ExternalHooksWin.h"

using namespace qrv::external;

extern "C" {

int32_t QRV_ZIPAPI ZipDllExec(const ZipCommand* command)
{
    try {
        static const TZipHooks hooks = SystemZipHooks();
        return ZipExec(command, hooks);
    } catch (...) {
        return -2;  // nothing may cross the library's boundary
    }
}

int32_t QRV_ZIPAPI GetZipDllVersion(void)
{
    return QRV_ZIP_DLL_VERSION;
}

int32_t QRV_ZIPAPI GetZipDllPrivVersion(void)
{
    return QRV_ZIP_DLL_PRIV_VERSION;
}
}
