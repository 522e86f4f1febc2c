#pragma once
// What the toolbar customiser ("Symbolleisten anpassen") decides without
// windows: the wanted visibility of every control of the seven customisable
// toolbars, kept while the user switches between toolbars, the rows the
// button page shows, and what "OK" does to the window. Portable: a control
// is an opaque key of the window's.

#include "widgets/ButtonLayout.h"

#include <array>
#include <string>
#include <vector>

namespace qrv {

constexpr int kCustomizedToolbars = 7;
// The page of the command-line toolbar: its button panel only.
constexpr int kCommandLinePage = 6;
// The designed smallest button size.
constexpr int kSmallestButtonSize = 22;
constexpr int kLargestButtonSize = 48;

// The images the button page shows before the buttons' own pictures.
enum TCustomizerImage : int { ciFilterBox = 0, ciSeparator = 1, ciPanel = 2, ciFirstGlyph = 3 };

enum class TCustomizedKind : uint8_t { Button, Separator, FilterBox, Panel, Other };

struct TCustomizedControl {
    const void* Control = nullptr;  // the window's control
    TCustomizedKind Kind = TCustomizedKind::Other;
    std::wstring Caption;     // a button's caption
    bool Visible = true;      // wanted; first the control's own
    TButtonSizeInput Button;  // a button's display mode, arrow and width
};

// A row of the button page.
struct TCustomizerRow {
    int Entry = -1;  // the entry it stands for
    std::wstring Caption;
    int Image = -1;  // a TCustomizerImage, or -1: the button's own picture
    bool Checked = false;
};

// What OK does to one control.
struct TControlChange {
    const void* Control = nullptr;
    bool Visible = true;
    bool Resize = false;  // a button: it gets Size
    TButtonSize Size;
};

struct TCustomizerPlan {
    int ButtonSize = kSmallestButtonSize;
    bool TwoDriveToolbars = false;
    // Toolbars 0 to 9 shown or hidden, by the toolbar index table.
    std::array<bool, 10> ToolbarVisible{};
    // Per customisable toolbar, its controls in order.
    std::array<std::vector<TControlChange>, kCustomizedToolbars> Controls;
};

class TToolbarCustomizer {
public:
    // The controls of toolbar Index (0..6) as the window lists them.
    void SetEntries(int Index, std::vector<TCustomizedControl> Entries);
    const std::vector<TCustomizedControl>& Entries(int Index) const;

    // The page shown now (-1: none yet).
    int CurrentToolbar() const { return current_; }
    // Keeps the checks of the page shown (one per row it returned, in
    // order) and returns the rows of toolbar Index.
    std::vector<TCustomizerRow> ShowToolbar(int Index, const std::vector<bool>& ShownChecks);

    // OK: the page's checks are kept, then every toolbar's and control's
    // visibility and every button's size. ToolbarChecks are the check
    // list's: toolbars 0..6, then the function keys (8), the bookmarks (9)
    // and the drives (7).
    TCustomizerPlan Plan(const std::vector<bool>& ShownChecks, const std::vector<bool>& ToolbarChecks, int ButtonSize,
                         bool TwoDriveToolbars);

private:
    void StoreChecks(const std::vector<bool>& ShownChecks);
    std::array<std::vector<TCustomizedControl>, kCustomizedToolbars> entries_;
    std::vector<TCustomizerRow> shown_;
    int current_ = -1;
};

// The smallest size the size field takes: the designed one, or the height
// of the filter box when that is taller (so a button is never lower than
// the box beside it).
int SmallestButtonSize(int FilterBoxHeight);

}  // namespace qrv
