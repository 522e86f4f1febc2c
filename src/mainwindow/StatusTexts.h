#pragma once
// The texts and panel widths of the main window's status bar. Panel 0 tells
// where the user is in the display pane or how full the current drive is;
// panel 1 counts the active list's entries, panel 2 its selection. Portable:
// the window measures and passes in the figures.

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

// Panel 0 for a focused text: line and column, both counted from 1.
std::wstring CaretStatusText(uint32_t Line, uint32_t Column);
// Panel 0 for the focused hex view.
std::wstring OffsetStatusText(uint64_t Offset);
// Panel 0 after a text or a picture was loaded.
std::wstring LineCountStatusText(uint32_t Lines);
std::wstring PictureSizeStatusText(uint32_t Width, uint32_t Height);

// What the drive combo box stands on and what the drive table knows of it.
struct TDriveSpace {
    wchar_t Letter = L'C';
    bool Ready = false;
    int64_t Total = 0;  // bytes
    int64_t Free = 0;   // bytes; a negative value counts as 0
};
// "C: 1.234 MB belegt / 56 KB frei", or "Laufwerk C: nicht bereit.".
// Free space up to 3,000,000 bytes is shown in Bytes, up to 10,000,000 in
// KB, above in MB; used space up to 10,000,000 in KB, above in MB.
std::wstring DriveSpaceStatusText(const TDriveSpace& Drive, std::wstring_view Separator);
// Panel 0 for the network entry of the drive box: the entry's display name
// when the active list shows network or shell content.
std::wstring NetworkStatusText(bool ListShowsNetwork, std::wstring_view NetworkName);

// What panel 0 shows, by the control that has the focus.
enum class TStatusFocus { Other, Text, HexView };
struct TPanel0Input {
    TStatusFocus Focus = TStatusFocus::Other;  // Text: the rich-text view or the editor
    uint32_t CaretLine = 1;                    // counted from 1
    uint32_t CaretColumn = 1;
    uint64_t HexOffset = 0;
    bool HexViewVisible = false;
    bool DriveBoxOnNetwork = false;  // the drive box stands on the network entry
    bool ListShowsNetwork = false;
    std::wstring NetworkName;
    TDriveSpace Drive;
};
// The caret in a focused text, the offset in the focused hex view, else the
// drive's space (or the network entry's name).
std::wstring Panel0StatusText(const TPanel0Input& In, std::wstring_view Separator);

// The noun for a number of files: "Datei" for 1, else "Dateien".
std::wstring FileNoun(uint64_t Count);

// The figures of panels 1 and 2.
struct TSelectionFigures {
    uint32_t Count = 0;
    uint32_t Selected = 0;
    int64_t TotalSize = 0;
    int64_t SelectedSize = 0;
};
struct TSelectionTexts {
    std::wstring Entries;    // panel 1
    std::wstring Selection;  // panel 2
};
// Panels 1 and 2 for a file list or the archive list. Abbreviated: sizes in
// units ("12 KB"); else the grouped number followed by "Bytes".
TSelectionTexts SelectionStatusTexts(const TSelectionFigures& Figures, bool Abbreviated, std::wstring_view Separator);
// Where panels 1 and 2 take their figures from.
struct TSelectionStatusInput {
    bool ShellFolder = false;  // the active list shows a folder without a path
    uint32_t ShellItemCount = 0;
    bool ArchiveFocused = false;
    TSelectionFigures Archive;
    bool ListLoading = false;  // all figures 0 until the list has loaded
    TSelectionFigures List;
    bool Abbreviated = true;  // the size-unit setting
};
// A shell folder counts its items in panel 1 and clears panel 2; else the
// archive list's figures when it has the focus, nothing while the list
// loads, else the list's.
TSelectionTexts SelectionStatus(const TSelectionStatusInput& In, std::wstring_view Separator);

// Panel 1 for a shell folder without a file-system path.
std::wstring ShellFolderStatusText(uint32_t Count);
// Panel 1 while a list loads.
std::wstring LoadingStatusText(uint32_t CountSoFar);

struct TStatusPanelWidths {
    int Panel0 = 0;
    int Panel1 = 0;
    int Panel2 = 0;
    int ProgressBar = 0;  // the bar laid over panel 0
};
// Panel 0: the larger of two sevenths of the form width and its text width
// + 10; panel 1 half of the rest; panel 2 what remains. No width is negative.
TStatusPanelWidths StatusPanelWidths(int FormWidth, int Panel0TextWidth);

}  // namespace qrv
