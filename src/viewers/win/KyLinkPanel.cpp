#include "viewers/win/KyLinkPanel.h"

#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "panels/win/ShellLinks.h"
#include "viewers/LinkPanelTexts.h"

namespace qrv {

namespace {
enum TLinkRow { rowName = 1, rowTarget, rowWorkingDir, rowTargetType, rowWindow, rowComment };
}  // namespace

TKyLinkPanel::TKyLinkPanel(TComponent* owner)
    : TKyInfoPanel(owner, {L"Verknüpfung:", L"Ziel:", L"Ausführen in:", L"Zieltyp:", L"Fenster:", L"Kommentar:"})
{}

void TKyLinkPanel::ShowLink(const std::wstring& path)
{
    if (path == path_)
        return;
    path_ = path;
    SetRowText(rowName, ExtractFileBaseName(path));
    // Emptied first, so that no row of the shortcut shown before survives a
    // failure halfway.
    for (int row = rowTarget; row <= rowComment; ++row)
        SetRowText(row, L"");
    if (!path.empty())
        FillLinkRows();
    ShowShellIcon(path);
}

void TKyLinkPanel::FillLinkRows()
{
    try {
        TShellLinkData link;
        if (!GetShellLinkData(path_, link, false, false))
            return;
        SetRowText(rowTarget, link.Target);
        SetRowText(rowWorkingDir, RemoveBackslash(link.WorkingDir));
        // The target's kind from its attributes: a folder is named as one; a
        // file (or a target that is gone) by the shell's type for its name.
        const DWORD attributes = link.Target.empty() ? INVALID_FILE_ATTRIBUTES : FileAttributes(link.Target);
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        SHFILEINFOW info{};
        if (!folder)
            SafeGetFileInfo(link.Target, FILE_ATTRIBUTE_NORMAL, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES, info);
        SetRowText(rowTargetType, LinkTargetTypeText(folder, info.szTypeName, link.Target));
        SetRowText(rowWindow, ShowCommandText(link.ShowCmd));
        SetRowText(rowComment, LinkCommentText(link.Description, link.Target));
    } catch (...) {
        TraceIgnoredException(L"shortcut panel rows");
    }
}

}  // namespace qrv
