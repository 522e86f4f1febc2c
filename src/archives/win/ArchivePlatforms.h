#pragma once
// The system side of the archive readers, built in one place from the
// platform layer (common/win): library loading, file queries, the OEM code
// page, the temporary folder and the shell's notices.
//
// - TZipLibLoader: libraries loaded with critical-error boxes off, a bare
//   name never looked for in the current folder; entry points, the module's
//   path, the program's folder.
// - TKyRAR: "UnRAR.dll" from its folder or by the system's search order, OEM
//   names through the system's code page, created files announced.
// - TKyACE2: "UnAceV2.Dll" by the system's search order, file checks,
//   created files announced, the temporary folder.

#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/ZLibLoad.h"

namespace qrv {

TLibraryApi SystemLibraryApi();
TRarPlatform SystemRarPlatform();
TAcePlatform SystemAcePlatform();

}  // namespace qrv
