#pragma once
// The window's preset views ("Explorer", "Commander", "Standard") and the
// five layouts the view manager offers: which panes they show, the layout
// code of the file windows and where the first window's size goes.
// Portable; the dialog is dialogs/win/ViewManForm.h.

#include <array>

namespace qrv {

// The layout codes of the file windows (TOptions::DividerStyle).
constexpr int kLayoutSideBySide = 0;  // the first window at the left
constexpr int kLayoutStacked = 1;     // the first window on top

// The option fields a layout sets.
struct TViewLayout {
    bool ShowDirWin = true;
    bool SecondFileWin = false;
    int DividerStyle = 1;    // kLayoutStacked or kLayoutSideBySide
    int FileDisplayPos = 0;  // 0 below the windows, 1 in the second window's place
    bool operator==(const TViewLayout&) const = default;
};

// Which size of the first file window becomes half of the file windows' area.
enum class THalfSize : unsigned char { None, Width, Height };

struct TViewChange {
    TViewLayout Layout;
    THalfSize Half = THalfSize::None;
};

enum class TPresetView : unsigned char { Explorer, Commander, Standard };

// A preset from the window's current fields (those it does not set stay).
TViewChange PresetView(TPresetView Preset, const TViewLayout& Current);

// ---- The view manager ------------------------------------------------------------

struct TViewManEntry {
    const wchar_t* Caption;
    const wchar_t* Preview;  // the picture's file in the program's folder
};
constexpr int kViewManLayoutCount = 5;
extern const std::array<TViewManEntry, kViewManLayoutCount> kViewManLayouts;

// The layout the dialog shows for the current fields.
int ViewManIndex(const TViewLayout& Current);
// The display position's choice applies to every layout but "Explorer".
bool ViewManDisplayChoiceEnabled(int Index);
// The fields after OK with layout Index; DisplayInSecondWindow is the
// radio choice, read only where it is enabled.
TViewLayout ViewManResult(int Index, bool DisplayInSecondWindow, const TViewLayout& Current);
// The first window's size the chosen layout asks for.
THalfSize ViewManHalf(int Index);

// The first window's size after a change: half of the area's width or
// height as Half says, else as it is.
struct TFirstWindowSize {
    int Width = 0;
    int Height = 0;
};
TFirstWindowSize HalvedFirstWindow(THalfSize Half, TFirstWindowSize Current, int AreaWidth, int AreaHeight);

}  // namespace qrv
