#pragma once
// TStatusArea: the three panels of the main window's status bar. Panel 0
// tells where the user is in the display pane (caret, offset, line count,
// picture size) or how full the current drive is; panel 1 counts the active
// list's entries, panel 2 its selection. The texts are made by
// mainwindow/StatusTexts; the window hands in its figures through
// TStatusAreaHost. Nothing is written while the bar is hidden.

#include "mainwindow/StatusTexts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qrv {

class TControl;
class TStatusBar;

class TStatusAreaHost {
public:
    virtual ~TStatusAreaHost() = default;
    // What panel 0 shows by the focused control; RefreshDrive re-reads the
    // drive's space first. May throw: the panel is then emptied.
    virtual TPanel0Input StatusPanel0Input(bool RefreshDrive) = 0;
    virtual TSelectionStatusInput SelectionStatusInput() = 0;
    // The line count of the visible rich-text view or else the visible
    // editor; nothing when neither is shown.
    virtual std::optional<uint32_t> ShownTextLineCount() = 0;
    // The size of the picture shown; nothing without one.
    virtual std::optional<std::pair<uint32_t, uint32_t>> ShownPictureSize() = 0;
    // The digit group separator of the user's locale.
    virtual std::wstring ThousandSeparator() = 0;
};

class TStatusArea {
public:
    // Form gives the width the panels share.
    TStatusArea(TStatusAreaHost& Host, TStatusBar& Bar, TControl& Form);

    // Panel 0 by focus, then the panel widths.
    void UpdateStatusBar(bool RefreshDrive);
    // Panels 1 and 2.
    void UpdateSelectionStatus();
    // Panel 0 after a load.
    void UpdateLineCount();
    void UpdatePictureSize();
    // Panel 1 while the active list loads.
    void ShowLoadingCount(uint32_t CountSoFar);
    // A text in a panel until the next update of that panel, painted at once.
    void ShowPanelText(int Index, const std::wstring& Text);
    // The panel widths for the form's width and panel 0's text.
    void FitPanels();
    // A note in panel 0 until the next status update (unless a text is held).
    void ShowNote(const std::wstring& Text);
    // A text that stays in panel 0, whatever the focus, until it is taken
    // back (a list's read error, until that list reads again).
    void HoldPanel0(const std::wstring& Text);
    // Takes the text back when it is still the one held.
    void ReleasePanel0(const std::wstring& Text);

private:
    bool BarShown() const;
    void SetPanel(int Index, const std::wstring& Text);
    int TextWidth(const std::wstring& Text) const;

    TStatusAreaHost& host_;
    TStatusBar& bar_;
    TControl& form_;
    std::wstring held_;
};

}  // namespace qrv
