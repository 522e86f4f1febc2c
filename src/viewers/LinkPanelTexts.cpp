#include "viewers/LinkPanelTexts.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

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

std::wstring LinkTargetTypeText(bool IsDirectory, const std::wstring& ShellTypeName, const std::wstring& Target)
{
    if (IsDirectory)
        return L"Dateiordner";
    if (!ShellTypeName.empty())
        return ShellTypeName;
    const std::wstring ext = ExtractFileExt(ExtractFileName(Target));
    return ext.size() > 1 ? L"Datei " + UpperCase(ext.substr(1)) : L"Datei";
}

}  // namespace qrv
