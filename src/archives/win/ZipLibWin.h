#pragma once
// The system's library calls for TZipLibLoader: loading with critical-error
// boxes off, looking up entry points, the module's path, the program's
// folder. A bare library name is never looked for in the current folder.

#include "archives/ZLibLoad.h"

namespace qrv {

TLibraryApi SystemLibraryApi();

}  // namespace qrv
