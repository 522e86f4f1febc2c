#include "mainwindow/SaveQuestion.h"

namespace qrv {

std::wstring SaveQuestionText(const std::wstring& FileName)
{
    return L"Geänderte Datei \"" + FileName + L"\" speichern?";
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
