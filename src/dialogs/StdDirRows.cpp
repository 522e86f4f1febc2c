#include "dialogs/StdDirRows.h"

namespace qrv {

namespace {

constexpr uint16_t kKeyTab = 0x09;
constexpr uint16_t kKeyReturn = 0x0D;
constexpr uint16_t kKeyEscape = 0x1B;
constexpr uint16_t kKeyDown = 0x28;
constexpr uint16_t kKeyF4 = 0x73;

// What is kept of a caption after its first ampersand.
constexpr size_t kCaptionRestLimit = 999;

}  // namespace

std::wstring CaptionWithLiteralAmpersand(const std::wstring& Caption)
{
    const size_t first = Caption.find(L'&');
    if (first == std::wstring::npos || Caption.find(L"&&") != std::wstring::npos)
        return Caption;
    return Caption.substr(0, first + 1) + L"&" + Caption.substr(first + 1, kCaptionRestLimit);
}

TStdDirRows::TStdDirRows(TStringGridCells& Cells) : cells_(Cells)
{
    cells_.SetColCount(3);
    cells_.SetFixedRows(1);
}

void TStdDirRows::Load(const std::vector<std::wstring>& Paths, const std::vector<std::wstring>& Captions)
{
    cells_.SetRowCount(1);
    cells_.SetRowCount(static_cast<int>(Paths.size()) + 1 < 2 ? 2 : static_cast<int>(Paths.size()) + 1);
    cells_.SetCell(kStdDirCaptionCol, 0, L"Beschriftung");
    cells_.SetCell(kStdDirPathCol, 0, L"Verzeichnis");
    for (size_t i = 0; i < Paths.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        cells_.SetCell(kStdDirCaptionCol, row, i < Captions.size() ? Captions[i] : std::wstring());
        cells_.SetCell(kStdDirPathCol, row, Paths[i]);
    }
    cells_.SetCurrent(kStdDirCaptionCol, 1);
    Renumber();
}

std::vector<TBookmarkRow> TStdDirRows::Rows() const
{
    std::vector<TBookmarkRow> rows;
    for (int row = 1; row < cells_.RowCount(); ++row)
        rows.push_back({cells_.Cell(kStdDirCaptionCol, row), cells_.Cell(kStdDirPathCol, row)});
    return rows;
}

void TStdDirRows::ClearRow(int Row)
{
    cells_.SetCell(kStdDirCaptionCol, Row, L"");
    cells_.SetCell(kStdDirPathCol, Row, L"");
}

int TStdDirRows::Insert(TStdDirInsert Kind)
{
    const int current = cells_.Row();
    const int target = Kind == TStdDirInsert::After ? current + 1 : current;
    cells_.SetRowCount(cells_.RowCount() + 1);
    // The new last row moves up to the target: every row from there on
    // shifts one down. Both of its cells are emptied, whatever the grid
    // kept in them.
    const int last = cells_.RowCount() - 1;
    ClearRow(last);
    cells_.MoveRow(last, target);
    if (Kind == TStdDirInsert::Separator)
        cells_.SetCell(kStdDirCaptionCol, target, L"-");
    Renumber();
    cells_.SetCurrent(cells_.Col(), target);
    return target;
}

void TStdDirRows::DeleteCurrent()
{
    const int current = cells_.Row();
    if (cells_.RowCount() <= 2) {
        ClearRow(1);
    } else {
        cells_.MoveRow(current, cells_.RowCount() - 1);
        // Nothing of the row that goes stays behind for a row added later.
        ClearRow(cells_.RowCount() - 1);
        cells_.SetRowCount(cells_.RowCount() - 1);
    }
    cells_.SetCurrent(cells_.Col(), current);
    Renumber();
}

void TStdDirRows::MoveUp()
{
    const int current = cells_.Row();
    if (current > 1) {
        cells_.SwapRows(current, current - 1);
        cells_.SetCurrent(cells_.Col(), current - 1);
    }
    Renumber();
}

void TStdDirRows::MoveDown()
{
    const int current = cells_.Row();
    if (current < cells_.RowCount() - 1) {
        cells_.SwapRows(current, current + 1);
        cells_.SetCurrent(cells_.Col(), current + 1);
    }
    Renumber();
}

void TStdDirRows::Renumber()
{
    cells_.SetCell(kStdDirLabelCol, 0, L"");
    for (int row = 1; row < cells_.RowCount(); ++row)
        cells_.SetCell(kStdDirLabelCol, row, L"Menü " + std::to_wstring(row));
}

void TStdDirRows::EditEnded(int Col, int Row)
{
    if (Col != kStdDirCaptionCol)
        return;
    cells_.SetCell(Col, Row, CaptionWithLiteralAmpersand(cells_.Cell(Col, Row)));
}

TStdDirKeyAction TStdDirRows::KeyDown(uint16_t Key, bool Shift, bool Ctrl, bool Alt)
{
    const bool plain = !Shift && !Ctrl && !Alt;
    const bool lastRow = cells_.Row() == cells_.RowCount() - 1;
    switch (Key) {
    case kKeyTab:
        if (plain && lastRow && cells_.Col() == cells_.ColCount() - 1)
            return TStdDirKeyAction::FocusOk;
        break;
    case kKeyReturn:
        savedText_ = cells_.Cell(cells_.Col(), cells_.Row());
        break;
    case kKeyEscape:
        if (!savedText_.empty() && cells_.Cell(cells_.Col(), cells_.Row()) != savedText_) {
            cells_.SetCell(cells_.Col(), cells_.Row(), savedText_);
            return TStdDirKeyAction::Restored;
        }
        break;
    case kKeyDown:
        // Alt+Down opens the cell's folder button instead.
        if (lastRow && !Alt)
            return TStdDirKeyAction::InsertAfter;
        break;
    case kKeyF4:
        if (plain)
            return TStdDirKeyAction::SelectDirectory;
        break;
    default:
        break;
    }
    return TStdDirKeyAction::None;
}

TStdDirButtons TStdDirRows::Buttons() const
{
    TStdDirButtons buttons;
    buttons.Delete = cells_.RowCount() > 1;
    if (!buttons.Delete)
        return buttons;
    buttons.Edit = true;
    buttons.Up = cells_.Row() > 1;
    buttons.Down = cells_.Row() < cells_.RowCount() - 1;
    buttons.SelectDirectory = cells_.Col() == kStdDirPathCol;
    return buttons;
}

}  // namespace qrv
