#include "dialogs/FilterGrid.h"

#include "panels/KyListView.h"
#include "settings/NamedFilters.h"

namespace qrv {

const wchar_t* const kNewFilterName = L"Neuer Filter";

TFilterGridModel::TFilterGridModel(const std::vector<TFilterRec>& filters)
{
    cells_.SetCell(flName, 0, L"Name");
    cells_.SetCell(flMasks, 0, L"Dateifilter");
    if (!filters.empty())
        cells_.SetRowCount(static_cast<int>(filters.size()) + 1);
    for (size_t i = 0; i < filters.size(); ++i) {
        cells_.SetCell(flName, static_cast<int>(i) + 1, filters[i].Name);
        cells_.SetCell(flMasks, static_cast<int>(i) + 1, filters[i].Masks);
    }
    cells_.SetCurrent(flName, 1);
}

void TFilterGridModel::NewFilter()
{
    const int last = cells_.RowCount() - 1;
    if (!cells_.Cell(flName, last).empty())
        cells_.SetRowCount(cells_.RowCount() + 1);
    const int row = cells_.RowCount() - 1;
    cells_.SetCell(flName, row, kNewFilterName);
    cells_.SetCell(flMasks, row, L"");
    cells_.SetCurrent(flName, row);
}

void TFilterGridModel::DeleteFilter()
{
    const int rows = cells_.RowCount();
    if (rows < 3) {
        cells_.SetCell(flName, 1, L"");
        cells_.SetCell(flMasks, 1, L"");
        return;
    }
    const int current = cells_.Row();
    for (int row = current; row < rows - 1; ++row) {
        cells_.SetCell(flName, row, cells_.Cell(flName, row + 1));
        cells_.SetCell(flMasks, row, cells_.Cell(flMasks, row + 1));
    }
    cells_.SetRowCount(rows - 1);  // the row at the end goes with its texts
    cells_.SetCurrent(cells_.Col(), current < rows - 1 ? current : rows - 2);
}

void TFilterGridModel::MoveUp()
{
    if (!CanMoveUp())
        return;
    const int row = cells_.Row();
    cells_.SwapRows(row, row - 1);
    cells_.SetCurrent(cells_.Col(), row - 1);
}

void TFilterGridModel::MoveDown()
{
    if (!CanMoveDown())
        return;
    const int row = cells_.Row();
    cells_.SwapRows(row, row + 1);
    cells_.SetCurrent(cells_.Col(), row + 1);
}

bool TFilterGridModel::CanDelete() const
{
    return cells_.RowCount() > 1;
}

bool TFilterGridModel::CanMoveUp() const
{
    return cells_.RowCount() >= 3 && cells_.Row() > 1;
}

bool TFilterGridModel::CanMoveDown() const
{
    return cells_.Row() < cells_.RowCount() - 1;
}

bool TFilterGridModel::DownKey()
{
    if (cells_.Row() != cells_.RowCount() - 1)
        return false;
    NewFilter();
    return true;
}

void TFilterGridModel::EndEdit(int col, int row, bool modified)
{
    if (row < 1 || row >= cells_.RowCount())
        return;
    if (modified && col == flMasks)
        cells_.SetCell(flMasks, row, NormalizeMask(cells_.Cell(flMasks, row)));
    if (cells_.Cell(flName, row).empty())
        cells_.SetCell(flName, row, cells_.Cell(flMasks, row));
}

std::vector<TFilterRec> TFilterGridModel::Rebuild() const
{
    std::vector<TFilterRec> list;
    for (int row = 1; row < cells_.RowCount(); ++row) {
        const std::wstring& name = cells_.Cell(flName, row);
        const std::wstring& masks = cells_.Cell(flMasks, row);
        if (!name.empty() && !masks.empty())
            AddNamedFilter(list, name, masks);
    }
    EnsureAllFilesFilter(list);
    return list;
}

}  // namespace qrv
