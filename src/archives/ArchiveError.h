#pragma once
// The archive list's own failures: an archive that cannot be opened,
// created or changed. The text is the message shown to the user.

#include "framework/SysUtils.h"

namespace qrv {

QRV_DECLARE_EXCEPTION(EArchiveError, Exception);

}  // namespace qrv
