#include "archives/ZipListColumns.h"

namespace qrv {

std::wstring ZipNameCaption(const std::wstring& mask, bool showMaskInHeader)
{
    std::wstring caption = ZipColumns[zcName].Caption;
    if (showMaskInHeader && mask != L"*.*")
        caption += L" (" + mask + L")";
    return caption;
}

}  // namespace qrv
