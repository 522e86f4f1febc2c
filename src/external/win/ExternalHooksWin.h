#pragma once
// What the stand-in libraries learn from the system: entry names in the
// system's OEM code page, file attributes, replacing a file in one step.

#include "external/RarCore.h"
#include "external/UnzipCore.h"
#include "external/ZipCore.h"

namespace qrv::external {

TNameCodec SystemNameCodec();
TUnzipHooks SystemUnzipHooks();
TZipHooks SystemZipHooks();
TRarHooks SystemRarHooks();

}  // namespace qrv::external
