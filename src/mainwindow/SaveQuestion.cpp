#include "mainwindow/SaveQuestion.h"

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <utility>

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
    // A backup of a backup keeps the old one's name whole: replacing its
    // extension would give the file's own name.
    if (hasExtension && SameText(std::wstring_view(FileName).substr(dot), L".bak"))
        return FileName + L".bak";
    return (hasExtension ? FileName.substr(0, dot) : FileName) + L".bak";
}

bool TSaveQuestion::Query()
{
    if (open_)
        return false;
    // The name is taken now: whatever the display shows by the time the
    // answer comes, only this file is written.
    const std::optional<std::wstring> name = host_.ModifiedTextName();
    if (!name)
        return true;
    open_ = true;
    displayHeld_ = false;
    bool goOn = false;
    {
        ScopeExit close([this] { open_ = false; });
        goOn = Answer(host_.AskSave(SaveQuestionText(*name)), *name);
    }
    // After Cancel the display stays as the user chose; else the latest
    // request held meanwhile shows what is focused now.
    if (std::exchange(displayHeld_, false) && goOn)
        host_.PostHeldDisplayRequest();
    return goOn;
}

bool TSaveQuestion::Answer(TSaveAnswer Answer, const std::wstring& Name)
{
    // Saved or dropped while the box was open: nothing is left to answer.
    const std::optional<std::wstring> now = host_.ModifiedTextName();
    if (now != Name)
        return !now;
    switch (Answer) {
    case TSaveAnswer::Yes:
        return host_.SaveText(Name);
    case TSaveAnswer::No:
        host_.DiscardModified();
        return true;
    case TSaveAnswer::Cancel:
        break;
    }
    return false;
}

bool TSaveQuestion::AdmitDisplayRequest()
{
    if (!open_)
        return true;
    displayHeld_ = true;
    return false;
}

}  // namespace qrv
