#pragma once
// The exceptions of the picture classes. Portable, so that the codecs below
// the Win32 picture classes can raise them too.

#include "framework/SysUtils.h"

namespace qrv {

// A file that is no picture, or none a class can read.
QRV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
// An operation the picture's class does not allow (resizing an icon, say).
QRV_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

}  // namespace qrv
