#include "dialogs/FKeyGrid.h"

#include "common/BaseUtils.h"

namespace qrv {

namespace {

constexpr int kLimits[kFKeyGridCols] = {0, 25, 200, 255};

const TPlaceholderItem kPlaceholders[] = {
    {L"Pfad und Name [!]", L"[!]"},
    {L"Pfad und Name der zweiten Datei [!2]", L"[!2]"},
    {L"Dateiname [F]", L"[F]"},
    {L"Name ohne Erweiterung [N]", L"[N]"},
    {L"Erweiterung [E]", L"[E]"},
    {L"Nach Dateinamen fragen [?F]", L"[?F]"},
    {L"Erste markierte Datei [1]", L"[1]"},
    {L"Zweite markierte Datei [2]", L"[2]"},
    {L"Liste der markierten Dateien [*]", L"[*]"},
    {L"Verzeichnis des aktuellen Dateifensters [V]", L"[V]"},
    {L"Verzeichnis von Dateifenster 1 [V1]", L"[V1]"},
    {L"Verzeichnis von Dateifenster 2 [V2]", L"[V2]"},
    {L"Nach Verzeichnis fragen [?V]", L"[?V]"},
};

bool HasFolderPart(const std::wstring& command)
{
    return command.find_first_of(L"\\/:") != std::wstring::npos;
}

}  // namespace

int FKeyCellLimit(int col)
{
    return col >= 0 && col < kFKeyGridCols ? kLimits[col] : 0;
}

TFKeyGridModel::TFKeyGridModel(const TFKeySets& keys) : keys_(keys)
{
    WriteHeaders();
    LoadShown();
    cells_.SetCurrent(fkCaption, 1);
}

void TFKeyGridModel::WriteHeaders()
{
    cells_.SetCell(fkKey, 0, L"");
    cells_.SetCell(fkCaption, 0, L"Beschriftung");
    cells_.SetCell(fkCommand, 0, L"Programm");
    cells_.SetCell(fkParams, 0, L"Parameter");
    const std::wstring prefix = shownSet_ == 0 ? L"Umsch+F" : L"Strg+F";
    for (int row = 1; row < kFKeyGridRows; ++row)
        cells_.SetCell(fkKey, row, prefix + std::to_wstring(row));
}

void TFKeyGridModel::StoreShown()
{
    for (int row = 1; row < kFKeyGridRows; ++row) {
        TFKeyRecord& key = keys_[static_cast<size_t>(shownSet_)][static_cast<size_t>(row - 1)];
        key.Caption = cells_.Cell(fkCaption, row).substr(0, kLimits[fkCaption]);
        key.Command = cells_.Cell(fkCommand, row).substr(0, kLimits[fkCommand]);
        key.Params = cells_.Cell(fkParams, row).substr(0, kLimits[fkParams]);
    }
}

void TFKeyGridModel::LoadShown()
{
    for (int row = 1; row < kFKeyGridRows; ++row) {
        const TFKeyRecord& key = keys_[static_cast<size_t>(shownSet_)][static_cast<size_t>(row - 1)];
        cells_.SetCell(fkCaption, row, key.Caption);
        cells_.SetCell(fkCommand, row, key.Command);
        cells_.SetCell(fkParams, row, key.Params);
    }
}

void TFKeyGridModel::ShowSet(int set)
{
    if (set != 0 && set != 1)
        return;
    StoreShown();
    shownSet_ = set;
    WriteHeaders();
    LoadShown();
}

void TFKeyGridModel::RowMoved(int from, int to)
{
    if (from < 1 || to < 1 || from >= kFKeyGridRows || to >= kFKeyGridRows)
        return;
    // The record moves whole, with its image; the texts come from the grid.
    auto& set = keys_[static_cast<size_t>(shownSet_)];
    const TFKeyRecord moved = set[static_cast<size_t>(from - 1)];
    if (from < to)
        for (int i = from; i < to; ++i)
            set[static_cast<size_t>(i - 1)] = set[static_cast<size_t>(i)];
    else
        for (int i = from; i > to; --i)
            set[static_cast<size_t>(i - 1)] = set[static_cast<size_t>(i - 2)];
    set[static_cast<size_t>(to - 1)] = moved;
    WriteHeaders();
    StoreShown();
}

TFKeySets TFKeyGridModel::Result() const
{
    TFKeyGridModel copy = *this;
    copy.StoreShown();
    return copy.keys_;
}

std::pair<int, int> TFKeyGridModel::EnterTarget(int col, int row)
{
    if (col < fkParams)
        return {col + 1, row};
    return {fkCaption, row + 1 < kFKeyGridRows ? row + 1 : 1};
}

std::wstring CompletedCommand(const std::wstring& before, const std::wstring& after,
                              const std::function<std::wstring(const std::wstring&)>& findOnPath)
{
    if (after == before || after.empty() || HasFolderPart(after) || !findOnPath)
        return after;
    const std::wstring found = findOnPath(after);
    // A path longer than the cell takes stays a bare name rather than a cut path.
    if (found.empty() || found.size() > static_cast<size_t>(kLimits[fkCommand]))
        return after;
    return found;
}

TBrowseStart BrowseStartFor(const std::wstring& cellText, const std::wstring& dialogInitialDir,
                            const std::function<bool(const std::wstring&)>& fileExists)
{
    TBrowseStart start;
    if (!cellText.empty())
        start.InitialDir = RemoveBackslash(ExtractFilePath(cellText));
    else if (dialogInitialDir.empty())
        start.InitialDir = L"C:\\";
    if (!cellText.empty() && fileExists && fileExists(cellText))
        start.FileName = ExtractFileName(cellText);
    return start;
}

std::span<const TPlaceholderItem> ParameterPlaceholders()
{
    return kPlaceholders;
}

std::wstring PlaceholderOf(const std::wstring& caption)
{
    const size_t open = caption.find(L'[');
    const size_t close = caption.find(L']', open == std::wstring::npos ? 0 : open);
    if (open == std::wstring::npos || close == std::wstring::npos)
        return {};
    return caption.substr(open, close - open + 1);
}

}  // namespace qrv
