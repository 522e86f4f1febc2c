#pragma once
// The main window's toolbars by the numbers the settings and the toolbar
// customiser use, and the buttons the window makes for its commands: one
// row per button with its toolbar, its command, its picture and what it
// shows. Portable.

#include "framework/SysUtils.h"
#include "mainwindow/ActionCatalogue.h"
#include "widgets/ButtonLayout.h"
#include "widgets/ToolbarGlyphs.h"

#include <optional>
#include <span>

namespace qrv {

// The numbered toolbars; 0 to 6 are the customisable ones.
enum class TToolbarSlot : uint8_t {
    Datei,
    Dateianzeige,
    Auswahl,
    Ansicht,
    Bearbeiten,
    Network,
    CommandLine,
    Drives,
    FunctionKeys,
    Bookmarks,
};

constexpr int kToolbarIndexCount = 10;
constexpr int kCustomizableToolbarCount = 7;

struct TToolbarIndexRow {
    TToolbarSlot Slot;
    const wchar_t* Name;     // the component's name (and the stored value's)
    const wchar_t* Caption;  // the title of the toolbar
    TActionId ShowAction;    // the command that shows and hides it
};

QRV_DECLARE_EXCEPTION(EToolbarIndex, Exception);

// The toolbar of a number: only its low seven bits count; another number
// raises EToolbarIndex "Interner Fehler (GetToolbar): Ungültige Symbolleiste".
const TToolbarIndexRow& ToolbarByIndex(int Index);
std::span<const TToolbarIndexRow> ToolbarIndexRows();

struct TToolbarButtonRow {
    TToolbarSlot Toolbar;
    TActionId Action;
    TGlyph Glyph;
    TButtonDisplayMode Mode = TButtonDisplayMode::dmGlyphOnly;
    // The button's own name where a rule addresses it (else "btn" + the
    // command's stored name).
    const wchar_t* Name = nullptr;
    bool GroupStart = false;  // a separator comes before it
};

// The buttons in their toolbars' order.
std::span<const TToolbarButtonRow> ToolbarButtonRows();
std::wstring ToolbarButtonName(const TToolbarButtonRow& Row);
// The caption of a command's button: its caption without the accelerator
// and a closing ellipsis.
std::wstring ToolbarButtonCaption(const TActionRow& Row);
// The hint of a command's button: its caption without the accelerator and
// a closing ellipsis, with its key in brackets.
std::wstring ToolbarButtonHint(const TActionRow& Row);

// The search button's hint, which follows the focus.
std::wstring SearchButtonHint(bool TextHasFocus);

}  // namespace qrv
