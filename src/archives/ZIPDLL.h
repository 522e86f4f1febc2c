#pragma once
// TZipDll: the loader of the zip library "ZIPDLL.DLL".

#include "archives/ZLibLoad.h"
#include "external/ZipDllApi.h"

namespace qrv {

class TZipDll : public TZipLibLoader {
public:
    TZipDll(IZipLibOwner* owner, TLibraryApi api) : TZipLibLoader(owner, zlkZip, std::move(api)) {}
    static constexpr int MinVersion = 173;
    // The number of files processed; negative: the library failed.
    int32_t Exec(const ZipCommand& command) { return ExecRecord(&command); }
};

}  // namespace qrv
