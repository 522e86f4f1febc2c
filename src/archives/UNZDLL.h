#pragma once
// TUnzDll: the loader of the unzip library "UNZDLL.DLL".

#include "archives/ZLibLoad.h"
#include "external/UnzDllApi.h"

namespace qrv {

class TUnzDll : public TZipLibLoader {
public:
    TUnzDll(IZipLibOwner* owner, TLibraryApi api) : TZipLibLoader(owner, zlkUnzip, std::move(api)) {}
    static constexpr int MinVersion = 172;
    // The number of files extracted or tested; negative: the library failed.
    int32_t Exec(const UnzCommand& command) { return ExecRecord(&command); }
};

}  // namespace qrv
