#pragma once
// The exceptions of the picture classes. Portable, so that the codecs below
// the Win32 picture classes can raise them too.

#include "framework/SysUtils.h"

namespace qrv {

// A file that is no picture, or none a class can read.
QRV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

}  // namespace qrv
