#pragma once
// The system side of TKyRAR: "UnRAR.dll" loaded from its folder or by the
// system's search order (never from the current folder), OEM names through
// the system's code page, created files announced to the shell.

#include "archives/KyRarArc.h"

namespace qrv {

TRarPlatform SystemRarPlatform();

}  // namespace qrv
