#pragma once
// The function-key grid of the options dialog: the two sets of user
// commands (Shift and Ctrl) in one grid of 12 rows, one set shown at a time,
// with the header texts, the editor's limits, the keyboard's way through
// the cells, the placeholders of the parameters and the completion of a
// bare program name. Portable: file checks and the path search are passed in.

#include "settings/Quorvan32Globals.h"
#include "widgets/StringGridCells.h"

#include <array>
#include <functional>
#include <span>
#include <string>

namespace qrv {

using TFKeySets = std::array<std::array<TFKeyRecord, 12>, 2>;

enum TFKeyColumn : int { fkKey = 0, fkCaption = 1, fkCommand = 2, fkParams = 3 };
constexpr int kFKeyGridCols = 4;
constexpr int kFKeyGridRows = 13;

// The longest text a cell of the column takes (0 for the key column).
int FKeyCellLimit(int col);

class TFKeyGridModel {
public:
    // Set 0 (Shift) is shown first.
    explicit TFKeyGridModel(const TFKeySets& keys);

    TStringGridCells& Cells() { return cells_; }
    const TStringGridCells& Cells() const { return cells_; }
    int ShownSet() const { return shownSet_; }

    // Stores the grid into the set shown, shows the other set and its headers.
    void ShowSet(int set);
    // The grid moved a key's row (from one place to another, the rows
    // between shifting): the record goes with its texts, the key names are
    // written again.
    void RowMoved(int from, int to);
    // Both sets with the grid's texts in the set shown.
    TFKeySets Result() const;

    // Where Enter goes from a cell: the next column, from the last column
    // the caption of the next row, from the last row back to row 1.
    static std::pair<int, int> EnterTarget(int col, int row);

private:
    void WriteHeaders();
    void StoreShown();
    void LoadShown();
    TStringGridCells cells_{kFKeyGridCols, kFKeyGridRows};
    TFKeySets keys_;
    int shownSet_ = 0;
};

// The command typed into a command cell once its editor closes: a bare
// program name found along the search path becomes its full path; a name
// with a folder part, an unchanged or an empty text stays as it is.
std::wstring CompletedCommand(const std::wstring& before, const std::wstring& after,
                              const std::function<std::wstring(const std::wstring&)>& findOnPath);

// What the browse dialog of a command cell starts with.
struct TBrowseStart {
    std::wstring InitialDir;  // empty: the dialog's own
    std::wstring FileName;
};
TBrowseStart BrowseStartFor(const std::wstring& cellText, const std::wstring& dialogInitialDir,
                            const std::function<bool(const std::wstring&)>& fileExists);

// The placeholders the parameters popup inserts: its captions, each with
// the placeholder in brackets.
struct TPlaceholderItem {
    const wchar_t* Caption;
    const wchar_t* Placeholder;
};
std::span<const TPlaceholderItem> ParameterPlaceholders();
// The placeholder of an item caption: the text from "[" to "]".
std::wstring PlaceholderOf(const std::wstring& caption);

}  // namespace qrv
