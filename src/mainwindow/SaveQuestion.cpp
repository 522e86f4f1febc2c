#include "mainwindow/SaveQuestion.h"

namespace qrv {

std::wstring SaveQuestionText(const std::wstring& FileName)
{
    return L"Geänderte Datei \"" + FileName + L"\" speichern?";
}

std::wstring SaveErrorText(const std::wstring& FileName)
{
    return L"Fehler beim Speichern der Datei: \n" + FileName;
}

std::wstring BackupFileName(const std::wstring& FileName)
{
    const size_t nameStart = FileName.find_last_of(L"\\/:");
    const size_t dot = FileName.rfind(L'.');
    const bool hasExtension = dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
    return (hasExtension ? FileName.substr(0, dot) : FileName) + L".bak";
}

bool QuerySaveModifiedText(TSaveQuestionHost& Host)
{
    const std::optional<std::wstring> name = Host.ModifiedTextName();
    if (!name)
        return true;
    switch (Host.AskSave(SaveQuestionText(*name))) {
    case TSaveAnswer::Yes:
        return Host.SaveText();
    case TSaveAnswer::No:
        Host.DiscardModified();
        return true;
    case TSaveAnswer::Cancel:
        break;
    }
    return false;
}

}  // namespace qrv
