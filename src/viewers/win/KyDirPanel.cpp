#include "viewers/win/KyDirPanel.h"

#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/SysUtils.h"
#include "panels/win/DirViewSystemWin.h"

namespace qrv {

namespace {

enum TDirRow { rowName = 1, rowCreated, rowFiles, rowFolders, rowSize };

const wchar_t kNoFolderInfo[] = L"<Verzeichnisinformationen konnten nicht ermittelt werden>";

bool IsRoot(const std::wstring& path)
{
    const std::wstring bare = RemoveBackslash(path);
    return !bare.empty() && PathRootLength(bare) == bare.size();
}

// "C:\" stays whole: a root has no last component to show.
std::wstring FolderDisplayName(const std::wstring& path)
{
    return IsRoot(path) ? AddBackslash(RemoveBackslash(path)) : ExtractFileName(RemoveBackslash(path));
}

std::wstring LocaleDateTimeText(const SYSTEMTIME& time)
{
    wchar_t date[128];
    wchar_t clock[128];
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 128) ||
        !GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 128))
        return {};
    return std::wstring(date) + L", " + clock;
}

}  // namespace

std::wstring FolderCreationText(const std::wstring& path)
{
    FILETIME created{};
    if (IsRoot(path)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!FileAttributeData(AddBackslash(RemoveBackslash(path)), data))
            return kNoFolderInfo;
        created = data.ftCreationTime;
    } else {
        WIN32_FIND_DATAW found;
        try {
            GetSearchRec(RemoveBackslash(path), found);
        } catch (const Exception&) {
            return kNoFolderInfo;
        }
        created = found.ftCreationTime;
    }
    SYSTEMTIME local;
    if (!FileTimeToLocalSystemTime(uint64_t{created.dwHighDateTime} << 32 | created.dwLowDateTime, local))
        return kNoFolderInfo;
    const std::wstring text = LocaleDateTimeText(local);
    return text.empty() ? kNoFolderInfo : text;
}

TKyDirPanel::TKyDirPanel(TComponent* owner)
    : TKyInfoPanel(owner,
                   {L"Verzeichnis:", L"Erstellt am:", L"Anzahl Dateien:", L"Anzahl Verzeichnisse:", L"Gesamtgröße:"})
{}

TKyDirPanel::~TKyDirPanel()
{
    StopScan();
}

void TKyDirPanel::StopScan()
{
    if (ticket_)
        ticket_->Revoke();
    ticket_.reset();
}

void TKyDirPanel::ShowDirectory(const std::wstring& path)
{
    if (path == path_)
        return;
    StopScan();
    path_ = path;
    for (int row : {rowFiles, rowFolders, rowSize})
        SetRowText(row, L"?");
    // The count starts before the shell's icon and the creation date are
    // asked for, which take their time on this thread.
    if (!path.empty()) {
        ticket_ = std::make_shared<TDirScanTicket>([this](const TDirTotals& totals) { ShowTotals(totals); });
        TDirScanner::StartScan(path, ticket_);
    }
    SetRowText(rowName, FolderDisplayName(path));
    SetRowText(rowCreated, path.empty() ? std::wstring() : FolderCreationText(path));
    ShowShellIcon(path);
}

void TKyDirPanel::ShowTotals(const TDirTotals& totals)
{
    const TDirTotalsTexts texts = FormatDirTotals(totals, LocaleThousandSeparator());
    SetRowText(rowFiles, texts.Files);
    SetRowText(rowFolders, texts.Folders);
    SetRowText(rowSize, texts.Size);
}

}  // namespace qrv
