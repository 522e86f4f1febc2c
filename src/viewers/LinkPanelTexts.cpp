#include "viewers/LinkPanelTexts.h"

#include "common/BaseUtils.h"

namespace qrv {

std::wstring ShowCommandText(int ShowCmd)
{
    // SW_SHOWMINIMIZED, SW_SHOWMINNOACTIVE; SW_SHOWMAXIMIZED.
    switch (ShowCmd) {
    case 2:
    case 7:
        return L"Minimiertes Fenster";
    case 3:
        return L"Maximiertes Fenster";
    default:
        return L"Normales Fenster";
    }
}

std::wstring LinkCommentText(const std::wstring& Description, const std::wstring& Target)
{
    return Description == ExtractFileName(Target) ? std::wstring() : Description;
}

}  // namespace qrv
