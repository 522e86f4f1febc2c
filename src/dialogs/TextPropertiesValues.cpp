#include "dialogs/TextPropertiesValues.h"

namespace qrv {

const std::vector<std::wstring>& TextKeyMappingNames()
{
    static const std::vector<std::wstring> names = {L"Standard", L"Klassisch",     L"Brief",
                                                    L"Epsilon",  L"Visual Studio", L"Keine"};
    return names;
}

}  // namespace qrv
