#pragma once
// What each control of the main window takes from the settings record when
// the options are applied: the tree's, the file lists' and the window's own
// settings as plain values, derived from TOptions and the facts of the
// system. The window side only hands them to its controls. Portable.

#include "framework/Colors.h"
#include "panels/DriveViewCore.h"
#include "panels/FileRec.h"
#include "panels/KyListView.h"
#include "panels/SelAttr.h"
#include "settings/Quorvan32Globals.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qrv {

// The system colour the active pane falls back to.
constexpr TColor kDefaultActiveColor = static_cast<TColor>(0xFF000005);

struct TOptionFacts {
    bool NTPlatform = true;
    uint32_t DisplayColorCount = 0;
    bool WindowsXPOrLater = true;
};

// The colour of the active pane: the chosen one only with UseColor on. The
// chosen colour stays in the record, so it is saved and comes back when
// UseColor is switched on again.
TColor EffectiveActiveColor(const TOptions& Options);
// The background of a file list and its history box: the active pane's
// colour for the active one; the inactive colour for the other, only with
// UseColor on (else it looks like the active one).
TColor PaneColor(const TOptions& Options, bool Active);

// A text colour: nullopt draws in the control's font colour.
using TTextColor = std::optional<TColor>;

struct TTreeSettings {
    bool ConfirmDelete = true;
    bool WantNukeWarning = true;
    bool ConfirmOverwrite = true;
    int32_t ChangeInterval = 0;
    bool UseDragImages = true;
    bool DDLinkOnExeDrag = false;
    TFileNameDisplay FileNameDisplay = TFileNameDisplay::fndNice;
    bool AutoScroll = true;
    bool HotTrack = false;
    bool ShowMessageBox = true;
    int32_t DDExpandDelay = 0;
    bool AutoExpandDir = true;
    bool HideHiddenDirs = false;
    TTextColor CompressedColor;
    TTextColor HiddenColor;
    TVolumeDisplayStyle VolDisplayStyle = TVolumeDisplayStyle::doLongPrettyName;
};

struct TListSettings {
    bool UseDragImages = true;
    bool SortByExtension = false;
    bool DDLinkOnExeDrag = false;
    bool SortAfterUpdate = true;
    TFileNameDisplay FileNameDisplay = TFileNameDisplay::fndNice;
    bool GridLines = false;
    bool SingleClickToExec = false;
    bool HotTrack = false;
    // Hot-track styles: hand pointer and underlined item under the mouse.
    bool HotTrackHand = false;
    bool HotTrackUnderline = false;
    bool DirsOnTop = false;
    bool ShowSubDirSize = false;
    bool WantNukeWarning = true;
    bool ShowExtension = true;
    bool SortDirTime = true;
    bool ShowInfoTips = true;
    bool SelDir = true;
    TSelAttr SelHidden = TSelAttr::SelDontCare;
    bool HideHiddenDirs = false;
    bool ShowParentArrow = true;
    std::wstring AttrSpace;
    bool AbbreviatedSize = true;
    int32_t ThumbWidth = 0;
    int32_t ThumbHeight = 0;
    int32_t ThumbFrame = 0;
    std::optional<int32_t> ThumbSpacing;  // kept as it is when nullopt
    TTextColor CompressedColor;
    TTextColor HiddenColor;
    bool ShowColumnIcon = true;
    int32_t ChangeInterval = 0;
    bool RowSelect = false;
    bool ShowDirectories = true;
    bool IconThread = true;
    TDateTimeDisplay DateTimeDisplay = TDateTimeDisplay::dtdDateTimeSec;
};

// The window's own controls and actions.
struct TWindowSettings {
    TColor ActiveColor = kDefaultActiveColor;
    bool FSMonitorEnabled = false;
    bool ViewDirSizeChecked = false;
    bool HexButtonDown = false;
    bool TextButtonDown = false;
    bool ShowTree = true;
    bool SecondFileWin = true;
    bool DosCloseChecked = false;
    TColor PictureBackground = 0;
    bool EditorsWantTabs = false;
};

TTreeSettings TreeSettingsFor(const TOptions& Options, const TOptionFacts& Facts);
TListSettings ListSettingsFor(const TOptions& Options, const TOptionFacts& Facts);
TWindowSettings WindowSettingsFor(const TOptions& Options);

}  // namespace qrv
