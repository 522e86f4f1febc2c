#pragma once
// Errors of what the user did rather than of the program: a file or folder
// name that cannot be used, and a drag that could not start. The main
// window shows them without counting them among the program's errors.

#include "framework/SysUtils.h"

namespace qrv {

QRV_DECLARE_EXCEPTION(EInvalidFileName, Exception);
QRV_DECLARE_EXCEPTION(EInvalidDirName, Exception);
QRV_DECLARE_EXCEPTION(EDragDrop, Exception);

}  // namespace qrv
