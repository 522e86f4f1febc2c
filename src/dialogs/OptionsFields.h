#pragma once
// The options dialog's pages and what each of its controls edits in the
// settings record, as tables: the check boxes, the radio groups with the
// order in which OK reads them, and the rules of the track bars and the
// thumbnail sizes. The window side builds its controls from these tables
// and reads them back through them. Portable.

#include "settings/Quorvan32Globals.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qrv {

// The pages in tab order; the thumbnail page comes last and has no tab.
enum TOptionsPage : int {
    opGeneral,
    opDisplay,
    opFileWindow,
    opFileDisplay,
    opPrograms,
    opFontsColors,
    opDragDrop,
    opFilters,
    opThumbnails,
    OptionsPageCount
};

// The tab captions ("&&" shows one "&").
extern const std::array<const wchar_t*, OptionsPageCount> kOptionsPageCaptions;
// The help context of a page; the dialog's own when the page has none.
constexpr int kOptionsHelpContext = 1000;

// A check box edits one switch of the record.
struct TOptionCheck {
    const wchar_t* Name;
    const wchar_t* Caption;
    TOptionsPage Page;
    bool TOptions::*Field;
    bool Hidden = false;    // not shown; it still carries its value
    bool Disabled = false;  // hidden and disabled
};

// Every check box the dialog fills and reads back, per page in screen
// order. The registry switch is not among them: its box is hidden, and the
// stored value is kept (see the dialog).
std::span<const TOptionCheck> OptionChecks();

// A radio group: its buttons in screen order with the value each stands
// for; OK takes the value of the first checked button in ReadOrder, and
// Fallback when none of those is checked.
struct TRadioChoice {
    const wchar_t* Name;
    const wchar_t* Caption;
    uint8_t Value;
};
struct TRadioGroupDef {
    const wchar_t* Caption;
    TOptionsPage Page;
    std::vector<TRadioChoice> Choices;
    std::vector<int> ReadOrder;  // indices into Choices
    uint8_t Fallback;
    int DesignDefault;  // checked when the stored value is none of the choices
};

const TRadioGroupDef& DateTimeGroup();
const TRadioGroupDef& FileNameDisplayGroup();
const TRadioGroupDef& FileDisplayGroup();
const TRadioGroupDef& DragDropGroup();

// The button a stored value checks.
int CheckedChoice(const TRadioGroupDef& group, int value);
// The value OK stores for the buttons' states (one per choice).
uint8_t ChoiceValue(const TRadioGroupDef& group, const std::vector<bool>& checked);

// The mouse group: click to rename, single click to start, select only.
enum TMouseChoice : int { mcClickEdits, mcSingleClick, mcStandard };
extern const std::array<const wchar_t*, 3> kMouseChoiceCaptions;
TMouseChoice MouseChoiceFor(const TOptions& options);
void StoreMouseChoice(TOptions& options, TMouseChoice choice);

// The track bars: 500 to 5000 milliseconds in steps of 500.
constexpr int kTrackMin = 500;
constexpr int kTrackMax = 5000;
constexpr int kTrackFrequency = 500;
// The update interval's position: 1000 for a stored value outside the range.
int ReloadTrackPosition(int reload);
// A released thumb snaps to the nearest tick inside the range.
int SnapTrackPosition(int position);

// The thumbnail sizes: track bars 36 to 200, spins 36 to 300.
constexpr int kThumbSpinMin = 36;
constexpr int kThumbSpinMax = 300;
struct TThumbSize {
    int X = 0;
    int Y = 0;
    bool operator==(const TThumbSize&) const = default;
};
// A spin value as it is stored: clamped to the spin's range and rounded.
int ThumbPixel(double spinValue);
// A size button (its tag is the width): the height is three quarters.
TThumbSize SizeButtonThumb(int width);
// One axis changed; with square thumbnails the other follows it.
TThumbSize ThumbAfterChange(TThumbSize size, bool xChanged, bool square);

}  // namespace qrv
