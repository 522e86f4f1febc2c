#pragma once
// The system side of TKyACE2: "UnAceV2.Dll" by the system's search order
// (the program's folder and the system's, never the current folder), file
// checks, created files announced to the shell, the temporary folder.

#include "archives/KyACE2.h"

namespace qrv {

TAcePlatform SystemAcePlatform();

}  // namespace qrv
