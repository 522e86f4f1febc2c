#pragma once
// The named-filter grid of the options dialog: a row per filter (name and
// masks) below the header, the new, delete, up and down commands with their
// enabled states, the end of a cell edit, and OK's rebuild of the filter
// list from the rows. Portable.

#include "settings/Quorvan32Globals.h"
#include "widgets/StringGridCells.h"

#include <string>
#include <vector>

namespace qrv {

enum TFilterColumn : int { flName = 0, flMasks = 1 };
// The longest texts the list keeps (the editor takes no more).
constexpr int kFilterNameLimit = 60;
constexpr int kFilterMasksLimit = 255;
extern const wchar_t* const kNewFilterName;

class TFilterGridModel {
public:
    explicit TFilterGridModel(const std::vector<TFilterRec>& filters);

    TStringGridCells& Cells() { return cells_; }
    const TStringGridCells& Cells() const { return cells_; }

    // A new row named "Neuer Filter" at the end (the empty last row is
    // taken instead of adding one); it becomes current.
    void NewFilter();
    // Removes the current row; the only row is emptied instead.
    void DeleteFilter();
    void MoveUp();
    void MoveDown();
    bool CanDelete() const;
    bool CanMoveUp() const;
    bool CanMoveDown() const;
    // The Down key: in the last row it adds a filter; true when it did.
    bool DownKey();

    // An editor closed on a cell: edited masks are normalised; a row
    // without a name takes its masks as name.
    void EndEdit(int col, int row, bool modified);

    // The list OK stores: the rows with name and masks, in grid order, the
    // all-files filter first.
    std::vector<TFilterRec> Rebuild() const;

private:
    TStringGridCells cells_{2, 2, 0, 1};
};

}  // namespace qrv
