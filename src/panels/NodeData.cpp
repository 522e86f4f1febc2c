#include "panels/NodeData.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring NodeShortName(std::wstring_view LongName, std::wstring_view AlternateName)
{
    return AlternateName.empty() ? UpperCase(LongName) : std::wstring(AlternateName);
}

}  // namespace qrv
