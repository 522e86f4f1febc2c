#include "mainwindow/ToolbarTable.h"

namespace qrv {

namespace {

using A = TActionId;
using G = TGlyph;
using T = TToolbarSlot;

// clang-format off
const TToolbarIndexRow kToolbars[kToolbarIndexCount] = {
    {T::Datei, L"ToolbarDatei", L"Datei", A::ShowToolBarDatei},
    {T::Dateianzeige, L"ToolbarDateianzeige", L"Dateianzeige", A::ShowToolbarDateianzeige},
    {T::Auswahl, L"ToolbarAuswahl", L"Auswahl", A::ShowToolBarAuswahl},
    {T::Ansicht, L"ToolbarAnsicht", L"Ansicht", A::ShowToolBarAnsicht},
    {T::Bearbeiten, L"ToolbarBearbeiten", L"Bearbeiten", A::ShowToolbarBearbeiten},
    {T::Network, L"ToolBarNetwork", L"Netz", A::ShowToolBarNetwork},
    {T::CommandLine, L"ToolbarCMDLine", L"Kommandozeile", A::DOSCommandLine},
    {T::Drives, L"ToolbarDrives", L"Laufwerke", A::ShowToolBarDrives},
    {T::FunctionKeys, L"ToolBarFKeys", L"Programme", A::ShowToolBarFKeys},
    {T::Bookmarks, L"ToolbarBookmarks", L"Lesezeichen", A::ShowToolbarBookmarks},
};

constexpr auto kGlyphOnly = TButtonDisplayMode::dmGlyphOnly;

// toolbar, command, picture, display mode, own name, separator before
const TToolbarButtonRow kButtons[] = {
    {T::Datei, A::FileExit, G::Exit, kGlyphOnly, L"btnExit"},
    {T::Datei, A::NewDir, G::NewFolder, kGlyphOnly, L"btnNewDir", true},
    {T::Datei, A::NewFile, G::NewFile, kGlyphOnly, L"btnNewFile"},
    {T::Datei, A::NewLink, G::NewLink, kGlyphOnly, L"btnNewLink"},
    {T::Datei, A::EditObject, G::Rename, kGlyphOnly, L"btnRename", true},
    {T::Datei, A::DeleteObject, G::Delete, kGlyphOnly, L"btnRecycle"},
    {T::Datei, A::Eigenschaften, G::Properties, kGlyphOnly, L"btnProperties"},
    {T::Datei, A::CopyTo, G::CopyTo, kGlyphOnly, nullptr, true},
    {T::Datei, A::MoveTo, G::MoveTo, kGlyphOnly},
    {T::Datei, A::DuplicateFile, G::Duplicate, kGlyphOnly},

    {T::Dateianzeige, A::ViewFile, G::ViewFile, kGlyphOnly, L"btnViewFile"},
    {T::Dateianzeige, A::FreezeDisplay, G::Freeze, kGlyphOnly},
    {T::Dateianzeige, A::DispAuto, G::DisplayAuto, kGlyphOnly},
    {T::Dateianzeige, A::AlignPicture, G::FitPicture, kGlyphOnly, L"btnAlignPicture", true},
    {T::Dateianzeige, A::SetBKColor, G::BackgroundColor, kGlyphOnly},

    {T::Auswahl, A::SelectAll, G::SelectAll, kGlyphOnly},
    {T::Auswahl, A::SelectInvert, G::SelectInvert, kGlyphOnly},
    {T::Auswahl, A::SelectSeveral, G::SelectSome, kGlyphOnly},
    {T::Auswahl, A::SelectUnselect, G::UnselectSome, kGlyphOnly},

    {T::Ansicht, A::LargeIcons, G::LargeIcons, kGlyphOnly},
    {T::Ansicht, A::SmallIcons, G::SmallIcons, kGlyphOnly},
    {T::Ansicht, A::IconListe, G::List, kGlyphOnly},
    {T::Ansicht, A::IconReport, G::Details, kGlyphOnly},
    {T::Ansicht, A::IconTile, G::Tiles, kGlyphOnly, L"btnTile"},
    {T::Ansicht, A::Aktualisieren, G::Refresh, kGlyphOnly, L"btnRefresh", true},
    {T::Ansicht, A::ViewDirSize, G::FolderSize, kGlyphOnly, L"btnDirSize"},

    {T::Bearbeiten, A::ClipBoardCut, G::Cut, kGlyphOnly},
    {T::Bearbeiten, A::ClipBoardCopy, G::Copy, kGlyphOnly},
    {T::Bearbeiten, A::ClipBoardPaste, G::Paste, kGlyphOnly},
    {T::Bearbeiten, A::ClipBoardDelete, G::ClearClipboard, kGlyphOnly},
    // The search button finds text where a text has the focus, else files;
    // the rules address it by its own name.
    {T::Bearbeiten, A::FindDatei, G::Search, kGlyphOnly, L"btnFindDatei", true},
    {T::Bearbeiten, A::FindDlg, G::SearchFolder, kGlyphOnly},
    {T::Bearbeiten, A::FileVerify, G::Verify, kGlyphOnly},
    {T::Bearbeiten, A::OptionsDlg, G::Options, kGlyphOnly, nullptr, true},

    {T::Network, A::NetConnect, G::NetConnect, kGlyphOnly},
    {T::Network, A::NetDisconnect, G::NetDisconnect, kGlyphOnly},
    {T::Network, A::ExecuteDialog, G::Run, kGlyphOnly, nullptr, true},
    {T::Network, A::DOS, G::Console, kGlyphOnly},
};
// clang-format on

std::wstring WithoutAccelerator(const wchar_t* Caption)
{
    std::wstring text;
    for (const wchar_t* c = Caption; *c; ++c) {
        // "&&" stands for one ampersand, a single one marks the accelerator.
        if (*c == L'&' && *++c != L'&') {
            if (!*c)
                break;
        }
        text += *c;
    }
    while (!text.empty() && (text.back() == L'.' || text.back() == L' '))
        text.pop_back();
    return text;
}

}  // namespace

const TToolbarIndexRow& ToolbarByIndex(int Index)
{
    const int slot = Index & 0x7F;
    if (slot >= kToolbarIndexCount)
        throw EToolbarIndex(L"Interner Fehler (GetToolbar): Ungültige Symbolleiste");
    return kToolbars[slot];
}

std::span<const TToolbarIndexRow> ToolbarIndexRows()
{
    return kToolbars;
}

std::span<const TToolbarButtonRow> ToolbarButtonRows()
{
    return kButtons;
}

std::wstring ToolbarButtonName(const TToolbarButtonRow& Row)
{
    return Row.Name ? std::wstring(Row.Name) : L"btn" + std::wstring(ActionRow(Row.Action).Name);
}

std::wstring ToolbarButtonCaption(const TActionRow& Row)
{
    return WithoutAccelerator(Row.Caption);
}

std::wstring ToolbarButtonHint(const TActionRow& Row)
{
    std::wstring hint = ToolbarButtonCaption(Row);
    const std::wstring key = Row.KeyText ? std::wstring(Row.KeyText) : ShortCutToText(Row.Key);
    if (Row.Key != scNone && !key.empty())
        hint += L" (" + key + L")";
    return hint;
}

std::wstring SearchButtonHint(bool TextHasFocus)
{
    return TextHasFocus ? L"Text suchen (F3)" : L"Datei suchen (F3)";
}

}  // namespace qrv
