#include "mainwindow/ActionCatalogue.h"

#include <stdexcept>

namespace qrv {

namespace {

using A = TActionId;
using M = TMenuId;
using S = TKeyScope;
constexpr TRowKind kPlanned = TRowKind::Planned;
constexpr TRowKind kButton = TRowKind::Button;

// Virtual keys the table names (the values are fixed by the keyboard interface).
constexpr uint16_t kKeyInsert = 0x2D;
constexpr uint16_t kKeyDelete = 0x2E;
constexpr uint16_t kKeyReturn = 0x0D;
constexpr uint16_t kKeyAdd = 0x6B;
constexpr uint16_t kKeySubtract = 0x6D;
constexpr uint16_t kKeyF2 = 0x71;
constexpr uint16_t kKeyF3 = 0x72;
constexpr uint16_t kKeyF5 = 0x74;
constexpr uint16_t kKeyF7 = 0x76;
constexpr uint16_t kKeyF8 = 0x77;
constexpr uint16_t kKeyF11 = 0x7A;
constexpr uint16_t kKeyF12 = 0x7B;

constexpr TShortCut Key(uint16_t VirtualKey, TShortCut Modifiers = scNone)
{
    return ShortCut(VirtualKey, Modifiers);
}

// clang-format off
const TActionRow kRows[] = {
    // id, name, caption, key, scope, key text, image, menu, group, popups, kind, offered
    {A::NewDir, L"NewDir", L"&Verzeichnis", Key(kKeyInsert), S::Pane, nullptr, -1, M::FileNew, 0, ppList | ppTree},
    {A::NewFile, L"NewFile", L"&Datei", Key(kKeyInsert, scCtrl), S::Pane, nullptr, -1, M::FileNew, 0, ppList},
    {A::NewLink, L"NewLink", L"Ver&knüpfung", scNone, S::Window, nullptr, -1, M::FileNew, 0, ppList},
    {A::EditObject, L"EditObject", L"&Umbenennen", Key(kKeyF2), S::Pane, nullptr, -1, M::File, 1, ppList | ppTree},
    {A::DeleteObject, L"DeleteObject", L"&Löschen", Key(kKeyDelete), S::Pane, nullptr, -1, M::File, 1, ppList | ppTree},
    {A::DeleteObjectPhysical, L"DeleteObjectPhysical", L"Löschen &physisch", Key(kKeyDelete, scShift), S::Pane, nullptr, -1, M::File, 1, ppList | ppTree},
    {A::CreateShortCut, L"CreateShortCut", L"&Verknüpfung erstellen", scNone, S::Window, nullptr, -1, M::File, 2, ppList | ppTree},
    {A::CreateShortCutClipBoard, L"CreateShortCutClipBoard", L"Verkn&üpfung einfügen", scNone, S::Window, nullptr, -1, M::File, 2, ppList},
    // File split and join.
    {A::SplitFile, L"SplitFile", L"Auf&teilen", scNone, S::Window, nullptr, -1, M::File, 5, ppList},
    {A::CombineFile, L"CombineFile", L"&Zusammensetzen", scNone, S::Window, nullptr, -1, M::File, 5, ppList},
    // Opening, copying or moving to a folder, duplicating.
    {A::OpenFile, L"OpenFile", L"&Öffnen", Key(kKeyReturn), S::Pane, L"Eingabe", -1, M::File, 6, ppList},
    {A::FileOpenWith, L"FileOpenWith", L"Öffnen &mit ...", scNone, S::Window, nullptr, -1, M::File, 6, ppList},
    {A::PrintFile, L"PrintFile", L"D&rucken", scNone, S::Window, nullptr, -1, M::File, 6, ppList},
    {A::CopyTo, L"CopyTo", L"Ko&pieren nach...", scNone, S::Window, nullptr, -1, M::File, 7, ppList | ppTree},
    {A::MoveTo, L"MoveTo", L"&Verschieben nach...", scNone, S::Window, nullptr, -1, M::File, 7, ppList | ppTree},
    {A::CopyTo2FW, L"CopyTo2FW", L"Kopiere nach Verz. 2", scNone, S::Window, nullptr, -1, M::File, 7, ppList},
    {A::MoveTo2FW, L"MoveTo2FW", L"Verschieben in Verz. 2", scNone, S::Window, nullptr, -1, M::File, 7, ppList},
    {A::DuplicateFile, L"DuplicateFile", L"&Duplizieren", scNone, S::Window, nullptr, -1, M::File, 7, ppList | ppTree},
    {A::Eigenschaften, L"Eigenschaften", L"E&igenschaften", Key(kKeyReturn, scAlt), S::Pane, L"Alt+Eingabe", -1, M::File, 3, ppList | ppTree},
    {A::FileExit, L"FileExit1", L"&Beenden", scNone, S::Window, nullptr, -1, M::File, 4},

    {A::FileUndo, L"FileUndo", L"R&ückgängig", Key('Z', scCtrl), S::Pane, nullptr, -1, M::Edit, 0},
    {A::ClipBoardCut, L"ClipBoardCut", L"&Ausschneiden", Key('X', scCtrl), S::Pane, nullptr, -1, M::Edit, 1, ppList | ppTree},
    {A::ClipBoardCopy, L"ClipBoardCopy", L"&Kopieren", Key('C', scCtrl), S::Pane, nullptr, -1, M::Edit, 1, ppList | ppTree},
    {A::ClipBoardPaste, L"ClipBoardPaste", L"&Einfügen", Key('V', scCtrl), S::Pane, nullptr, -1, M::Edit, 1, ppList | ppTree},
    {A::ClipBoardDelete, L"ClipBoardDelete", L"Z&wischenablage löschen", scNone, S::Window, nullptr, -1, M::Edit, 1},
    // Paths and names as text on the clipboard.
    {A::CopyFilePaths, L"ClipBoard_asTextFilePath", L"Datei&pfad", scNone, S::Window, nullptr, -1, M::EditAsText, 0, ppList},
    {A::CopyFilePathsDos, L"ClipBoard_asTextFilePathDOS", L"DOS Da&teipfad", scNone, S::Window, nullptr, -1, M::EditAsText, 0, ppList},
    {A::CopyFileNames, L"ClipBoard_asTextFileName", L"&Dateiname", scNone, S::Window, nullptr, -1, M::EditAsText, 0, ppList},
    {A::CopyFileNamesDos, L"ClipBoard_asTextFileNameDOS", L"DOS D&ateiname", scNone, S::Window, nullptr, -1, M::EditAsText, 0, ppList},
    {A::CopyDirPath, L"Clipboard_asTextDirPath", L"&Verzeichnispfad", scNone, S::Window, nullptr, -1, M::EditAsText, 1, ppList},
    {A::CopyDirPathDos, L"Clipboard_asTextDirPathDOS", L"DOS Ver&zeichnispfad", scNone, S::Window, nullptr, -1, M::EditAsText, 1, ppList},
    {A::SelectAll, L"SelectAll", L"A&lles auswählen", Key('A', scCtrl), S::Pane, nullptr, -1, M::Edit, 2, ppList},
    {A::SelectInvert, L"SelectInvert", L"Auswahl &invertieren", Key('I', scCtrl), S::Pane, nullptr, -1, M::Edit, 2, ppList},
    // Selection by filter and the lists' filters.
    {A::SelectSeveral, L"SelectSeveral", L"Ei&nige auswählen ...", Key('E', scCtrl), S::Window, nullptr, -1, M::Edit, 2, ppList},
    {A::SelectUnselect, L"SelectUnselect", L"Einige a&bwählen ...", Key('B', scCtrl), S::Window, nullptr, -1, M::Edit, 2, ppList},
    {A::EditFilter, L"EditFilter", L"Datei&filter ...", Key(kKeyF8), S::Window, nullptr, -1, M::Edit, 3},
    {A::FilterZipLV, L"FilterZipLV", L"&Archivfilter...", scNone, S::Window, nullptr, -1, M::Edit, 3},
    {A::EditStdFilter, L"EditStdFilter", L"Standardfilter bearbeiten...", scNone, S::Window, nullptr, -1, M::Edit, 3},

    {A::LargeIcons, L"LargeIcons", L"&Große Symbole", scNone, S::Window, nullptr, -1, M::View, 0, ppList},
    {A::SmallIcons, L"SmallIcons", L"&Kleine Symbole", scNone, S::Window, nullptr, -1, M::View, 0, ppList},
    {A::IconListe, L"IconListe", L"&Liste", scNone, S::Window, nullptr, -1, M::View, 0, ppList},
    {A::IconReport, L"IconReport", L"&Detailliste", scNone, S::Window, nullptr, -1, M::View, 0, ppList},
    {A::IconThumb, L"IconThumb", L"M&iniaturansicht", scNone, S::Window, nullptr, -1, M::View, 0, ppList, TRowKind::Command, false},
    {A::IconTile, L"IconTile", L"Ka&cheln", scNone, S::Window, nullptr, -1, M::View, 0, ppList},
    {A::ViewFile, L"ViewFile", L"Datei a&nzeigen", Key(kKeyF11), S::Window, nullptr, -1, M::View, 1},
    {A::FreezeDisplay, L"FreezeDisplay", L"Anzeige &fixieren", scNone, S::Window, nullptr, -1, M::View, 1},
    {A::DispAuto, L"DispAuto", L"A&utomatisch", Key('O', scCtrl), S::Window, nullptr, -1, M::View, 2},
    {A::DispHex, L"DispHex", L"&Hexadezimale Anzeige", Key('H', scCtrl), S::Window, nullptr, -1, M::View, 2},
    {A::DispText, L"DispText", L"&Textanzeige", Key('T', scCtrl), S::Window, nullptr, -1, M::View, 2},
    {A::AlignPicture, L"AlignPicture", L"&Bild anpassen", scNone, S::Window, nullptr, -1, M::View, 3},
    {A::SetBKColor, L"SetBKColor", L"H&intergrundfarbe ...", scNone, S::Window, nullptr, -1, M::View, 3},
    {A::Aktualisieren, L"Aktualisieren", L"A&ktualisieren", Key(kKeyF5), S::Window, nullptr, -1, M::View, 4, ppList | ppTree},
    {A::ViewDirSize, L"ViewDirSize", L"&Verzeichnisgröße anzeigen", scNone, S::Window, nullptr, -1, M::View, 5},
    // Sizes in the status bar abbreviated or in bytes (its popup too).
    {A::SBAbbreviated, L"SBAbbreviated", L"&Verkürzt darstellen", scNone, S::Window, nullptr, -1, M::View, 5},
    // The toolbars.
    {A::ShowToolBarDatei, L"ShowToolBarDatei", L"&Datei", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::ShowToolbarDateianzeige, L"ShowToolbarDateianzeige", L"Datei&anzeige", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::ShowToolBarAuswahl, L"ShowToolBarAuswahl", L"A&uswahl", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::ShowToolBarAnsicht, L"ShowToolBarAnsicht", L"A&nsicht", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::ShowToolbarBearbeiten, L"ShowToolbarBearbeiten", L"&Bearbeiten", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::ShowToolBarNetwork, L"ShowToolBarNetwork", L"&Netz", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::DOSCommandLine, L"DOSCommandLine", L"&Kommandozeile", scNone, S::Window, nullptr, -1, M::ViewToolbars, 0},
    {A::ShowToolBarDrives, L"ShowToolBarDrives", L"&Laufwerke", scNone, S::Window, nullptr, -1, M::ViewToolbars, 1},
    {A::ShowToolBarFKeys, L"ShowToolBarFKeys", L"&Programme", scNone, S::Window, nullptr, -1, M::ViewToolbars, 1},
    {A::ShowToolbarBookmarks, L"ShowToolbarBookmarks", L"L&esezeichen", scNone, S::Window, nullptr, -1, M::ViewToolbars, 1},
    {A::CustomizeToolbars, L"CustomizeToolbars", L"Anpassen ...", scNone, S::Window, nullptr, -1, M::ViewToolbars, 2},

    {A::ActExpand, L"ActExpand", L"&Erweitern", Key(kKeyAdd), S::Pane, L"+", -1, M::Directory, 0, ppTree},
    {A::ActCollapse, L"ActCollapse", L"&Komprimieren", Key(kKeySubtract), S::Pane, L"-", -1, M::Directory, 0, ppTree},
    {A::ActExpandAll, L"ActExpandAll", L"Alles e&rweitern", Key(kKeyAdd, scShift), S::Pane, L"Shift +", -1, M::Directory, 0, ppTree},
    {A::ActCollapseAll, L"ActCollapseAll", L"Alles k&omprimieren", Key(kKeySubtract, scShift), S::Pane, L"Shift -", -1, M::Directory, 0, ppTree},

    // Special folders and bookmarks.
    {A::GotoDesktop, L"GotoDesktop", L"&Desktop", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoProgramms, L"GotoProgramms", L"&Programme", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoPersonalFiles, L"GotoPersonalFiles", L"&Eigene Dateien", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoPersonalPictures, L"GotoPersonalPictures", L"Eigene &Bilder", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoStartMenu, L"GotoStartMenu", L"&Startmenü", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoTemplates, L"GotoTemplates", L"&Vorlagen", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoFavorites, L"GotoFavorites", L"&Favoriten", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoFonts, L"GotoFonts", L"S&chriftarten", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoSendTo, L"GotoSendTo", L"Senden &an", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoCookies, L"GotoCookies", L"&Cookies", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoTempDir, L"GotoTempDir", L"&TEMP", scNone, S::Window, nullptr, -1, M::Jump, 0},
    {A::GotoRecycleBin, L"GotoRecycleBin", L"P&apierkorb", scNone, S::Window, nullptr, -1, M::Jump, 1},
    {A::GotoControlPanel, L"GotoControlPanel", L"S&ystemsteuerung", scNone, S::Window, nullptr, -1, M::Jump, 1},
    {A::GotoPrinter, L"GotoPrinter", L"D&rucker", scNone, S::Window, nullptr, -1, M::Jump, 1},
    {A::StdDirEdit, L"StdDirEdit", L"&Bearbeiten...", Key('L', scCtrl), S::Window, nullptr, -1, M::Bookmarks, 0},
    {A::StdDirAdd, L"StdDirAdd", L"&Hinzufügen", scNone, S::Window, nullptr, -1, M::Bookmarks, 0},

    {A::FindDatei, L"FindDatei", L"Datei &suchen", Key(kKeyF3), S::Pane, nullptr, -1, M::Tools, 0},
    {A::DOS, L"DOS", L"D&OS-Shell", Key('D', scCtrl), S::Pane, nullptr, -1, M::Tools, 0},
    {A::DOSClose, L"DOSClose", L"DOS-Fenster schließen", scNone, S::Window, nullptr, -1, M::Tools, 0},
    {A::FileCompare, L"FileCompare", L"&Dateien vergleichen", scNone, S::Window, nullptr, -1, M::Tools, 1},
    {A::FileWinCompare, L"FileWinCompare", L"&Verzeichnisse vergleichen...", Key(kKeyF7), S::Window, nullptr, -1, M::Tools, 1},
    {A::OptionsDlg, L"OptionsDlg", L"&Optionen ...", Key(kKeyF12), S::Window, nullptr, -1, M::Tools, 2},
    // The shell's tools.
    {A::DiscCopy, L"DiscCopy", L"Diskette &kopieren", scNone, S::Window, nullptr, -1, M::Tools, 3},
    {A::DiskFormat, L"DiskFormat", L"Diskette &formatieren", scNone, S::Window, nullptr, -1, M::Tools, 3},
    {A::ExecuteDialog, L"ExecuteDialog", L"Aus&führen...", scNone, S::Window, nullptr, -1, M::Tools, 4},
    {A::NetConnect, L"NetConnect", L"Netzlaufwerk &verbinden...", scNone, S::Window, nullptr, -1, M::Tools, 4},
    {A::NetDisconnect, L"NetDisconnect", L"Netzlaufwerk &trennen...", scNone, S::Window, nullptr, -1, M::Tools, 4},
    {A::CreateFileList, L"CreateFileList", L"D&ateiliste erstellen", scNone, S::Window, nullptr, -1, M::Tools, 5, ppList},

    // Directory search, verification, the drive overview, the text settings.
    {A::FindDlg, L"FindDlg", L"Ver&zeichnis suchen...", Key(kKeyF3, scShift | scCtrl), S::Window, nullptr, -1, M::Tools, 3},
    {A::FileVerify, L"FileVerify", L"Pr&üfen", Key('P', scCtrl), S::Window, nullptr, -1, M::Tools, 3},
    {A::DriveOverview, L"DriveOverview", L"&Laufwerksübersicht ...", scNone, S::Window, nullptr, -1, M::Tools, 3},
    // Stops the archive list's running work (its progress window's button too).
    {A::ArchiveAbort, L"ArchiveAbort", L"Aktion a&bbrechen", scNone, S::Window, nullptr, -1, M::Tools, 6},

    {A::HelpAbout, L"HelpAbout1", L"In&fo...", scNone, S::Window, nullptr, -1, M::Help, 0},

    // The text and hex commands of the display pane.
    {A::TextUndo, L"TextUndo", L"&Rückgängig", Key('Z', scCtrl), S::Pane, L"Strg-Z", -1, M::EditText, 0},
    {A::TextCut, L"TextCut", L"&Auschneiden", Key('X', scCtrl), S::Pane, L"Strg-X", -1, M::EditText, 1},
    {A::TextCopy, L"TextCopy", L"&Kopieren", Key('C', scCtrl), S::Pane, L"Strg-C", -1, M::EditText, 1},
    {A::TextPaste, L"TextPaste", L"Einf&ügen", Key('V', scCtrl), S::Pane, L"Strg-V", -1, M::EditText, 1},
    {A::TextDelete, L"TextDelete", L"&Löschen", scNone, S::Window, nullptr, -1, M::EditText, 1},
    {A::TextSelectAll, L"TextSelectAll", L"&Alles markieren", scNone, S::Window, nullptr, -1, M::EditText, 1},
    {A::TextSearch, L"TextSearch", L"S&uchen", Key('F', scCtrl), S::Pane, L"Strg-F", -1, M::EditText, 2},
    {A::TextSearchNext, L"TextSearchNext", L"&Weiter suchen", Key(kKeyF3), S::Pane, nullptr, -1, M::EditText, 2},
    {A::TextReplace, L"TextReplace", L"&Ersetzen", scNone, S::Window, nullptr, -1, M::EditText, 2},
    {A::TextSort, L"TextSort", L"Block s&ortieren", scNone, S::Window, nullptr, -1, M::EditText, 3},
    {A::TextFileSave, L"TextFileSave", L"&Speichern", scNone, S::Window, nullptr, -1, M::EditText, 3},
    {A::WordWrap, L"WordWrap", L"&Zeilenumbruch", scNone, S::Window, nullptr, -1, M::ViewText, 0},
    {A::TextCRLF, L"TextCRLF", L"&Windows/DOS", scNone, S::Pane, L"CRLF", -1, M::ViewText, 1},
    {A::TextLF, L"TextLF", L"&Unix ", scNone, S::Pane, L"LF", -1, M::ViewText, 1},
    {A::TextAnsi, L"TextAnsi", L"&ANSI", scNone, S::Window, nullptr, -1, M::ViewText, 2},
    {A::TextUnicode, L"TextUnicode", L"&Unicode", scNone, S::Window, nullptr, -1, M::ViewText, 2},
    {A::TextShowRulers, L"TextShowRulers", L"&Lineale", scNone, S::Window, nullptr, -1, M::ViewText, 3},
    {A::TextMarkColumn, L"TextMarkColumn", L"Spalten &markieren", scNone, S::Window, nullptr, -1, M::ViewText, 3},
    {A::TextProperties, L"TextProperties", L"&Eigenschaften", scNone, S::Window, nullptr, -1, M::ViewText, 4},
    {A::TransAnsi, L"TransAnsi", L"&Ansi", scNone, S::Window, nullptr, -1, M::HexTranslation, 0},
    {A::TransDOS8, L"TransDOS8", L"&DOS 8 Bit", scNone, S::Window, nullptr, -1, M::HexTranslation, 0},
    {A::TransASCII, L"TransASCII", L"AS&CII 7 Bit", scNone, S::Window, nullptr, -1, M::HexTranslation, 0},
    {A::TransMac, L"TransMac", L"&Macintosh", scNone, S::Window, nullptr, -1, M::HexTranslation, 0},
    {A::TransEBCDIC, L"TransEBCDIC", L"&EBCDIC", scNone, S::Window, nullptr, -1, M::HexTranslation, 0},
    {A::OffsDec, L"OffsDec", L"&Dezimal", scNone, S::Window, nullptr, -1, M::HexOffsets, 0},
    {A::OffsHex, L"OffsHex", L"&Hexadezimal", scNone, S::Window, nullptr, -1, M::HexOffsets, 0},
    {A::OffsNone, L"OffsNone", L"&Keine Anzeige", scNone, S::Window, nullptr, -1, M::HexOffsets, 0},
    {A::HexLine16, L"HexLine16", L"&16 Bytes", scNone, S::Window, nullptr, -1, M::HexLineWidth, 0},
    {A::HexLine24, L"HexLine24", L"&24 Bytes", scNone, S::Window, nullptr, -1, M::HexLineWidth, 0},
    {A::HexLine32, L"HexLine32", L"&32 Bytes", scNone, S::Window, nullptr, -1, M::HexLineWidth, 0},
    {A::HexLine48, L"HexLine48", L"&48 Bytes", scNone, S::Window, nullptr, -1, M::HexLineWidth, 0},
    {A::HexLine64, L"HexLine64", L"&64 Bytes", scNone, S::Window, nullptr, -1, M::HexLineWidth, 0},
    {A::HexColumn1, L"HexColumn1", L"&1 Byte", scNone, S::Window, nullptr, -1, M::HexColumnWidth, 0},
    {A::HexColumn2, L"HexColumn2", L"&2 Bytes", scNone, S::Window, nullptr, -1, M::HexColumnWidth, 0},
    {A::HexColumn4, L"HexColumn4", L"&4 Bytes", scNone, S::Window, nullptr, -1, M::HexColumnWidth, 0},
    {A::SortName, L"SortName", L"&Name", scNone, S::Window, nullptr, -1, M::ViewSort, 0},
    {A::SortSize, L"SortSize", L"&Größe", scNone, S::Window, nullptr, -1, M::ViewSort, 0},
    {A::SortType, L"SortType", L"&Typ", scNone, S::Window, nullptr, -1, M::ViewSort, 0},
    {A::SortDate, L"SortDate", L"&Datum", scNone, S::Window, nullptr, -1, M::ViewSort, 0},
    {A::SortAttr, L"SortAttr", L"A&ttribute", scNone, S::Window, nullptr, -1, M::ViewSort, 0},
    {A::SortOrder, L"SortOrder", L"&Aufsteigend", scNone, S::Window, nullptr, -1, M::ViewSort, 1},
    {A::GoHome, L"GoHome", L"Auf&räumen", scNone, S::Window, nullptr, -1, M::View, 4},
    // The toolbar buttons of the text commands: no actions, the rules' states
    // go to the buttons of these names.
    {A::SaveTextFileButton, L"btnSaveTextFile", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned},
    {A::WordWrapButton, L"btnWordWrap", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned},
    {A::DispHexButton, L"btnHex", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned},
    {A::DispTextButton, L"btnText", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned},

    // Navigation of the active list's folder history and the tree; each
    // file window's toolbar has the same four buttons.
    {A::GoPrev, L"GoPrev", L"Rückwärts", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    {A::GoNext, L"GoNext", L"Nächstes  Verzeichnis (Alt-Rechts)", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    {A::DirRoot, L"DirRoot", L"Root-Verzeichnis", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    {A::DirUp, L"DirUp", L"Übergeordnetes Verzeichnis", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    // The command box's buttons.
    {A::CommandLineRun, L"DOSAusfuehren", L"Ausführen", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    {A::CommandLineAllNames, L"DOSDateiAlles", L"Pfad und Dateiname einfügen (Umsch+Strg+Eingabe)", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    {A::CommandLineName, L"DOSDateiName", L"Dateiname einfügen (Strg+Eingabe)", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},
    {A::CommandLinePath, L"DOSPfad", L"Pfad einfügen", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kButton},

    // The file windows: the second one, swapping, equalising, the preset views.
    {A::SecondFileWin, L"SecondFileWin", L"&Zweites Dateifenster", scNone, S::Window, nullptr, -1, M::View, 6},
    {A::SwapWindows, L"SwapWindows", L"Dateifenster &tauschen", scNone, S::Window, nullptr, -1, M::View, 6},
    {A::EqualizeWindows, L"EqualizeWindows", L"Datei&fenster angleichen", scNone, S::Window, nullptr, -1, M::View, 6},
    {A::ViewExplorer, L"ViewExplorer", L"Explorer", scNone, S::Window, nullptr, -1, M::ViewLayouts, 0},
    {A::ViewCommander, L"ViewCommander", L"Commander", scNone, S::Window, nullptr, -1, M::ViewLayouts, 0},
    {A::ViewStandard, L"ViewStandard", L"Standard", scNone, S::Window, nullptr, -1, M::ViewLayouts, 0},
    {A::ShowViewMan, L"ShowViewMan", L"Ansichten&manager...", scNone, S::Window, nullptr, -1, M::ViewLayouts, 1},
    // The tree expanded to a level.
    {A::ExpandLevel1, L"ExpandLevel1", L"&1. Ebene", Key('1', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel2, L"ExpandLevel2", L"&2. Ebene", Key('2', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel3, L"ExpandLevel3", L"&3. Ebene", Key('3', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel4, L"ExpandLevel4", L"&4. Ebene", Key('4', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel5, L"ExpandLevel5", L"&5. Ebene", Key('5', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel6, L"ExpandLevel6", L"&6. Ebene", Key('6', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel7, L"ExpandLevel7", L"&7. Ebene", Key('7', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::ExpandLevel8, L"ExpandLevel8", L"&8. Ebene", Key('8', scCtrl), S::Window, nullptr, -1, M::DirectoryLevels, 0},
    {A::SelectFiles, L"SelectFiles", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned},
    {A::FindDateiButton, L"btnFindDatei", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned},

    {A::ShredFile, L"ShredFile", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::SendFile, L"SendFile", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::SyncDir, L"SyncDir", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::SyncDirButton, L"btnSyncDir", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::SendMailButton, L"btnSendMail", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::EditGroup, L"EditGroup", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ShowFSMonitor, L"ShowFSMonitor", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ThumbButton, L"btnThumb", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ArchiveNew, L"ArchiveNew", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ArchiveMenu, L"Archiv1", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ArchiveDivider, L"ArchiveDivider", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ArchiveFilter, L"Archivfilter1", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ArchiveToolbarShow, L"mnShowToolbarArchive", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::ArchiveToolbarMenu, L"MenuToolbarArchive2", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::HexEditFile, L"HexEditFile", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::DateTimeButton, L"btnDateTime", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::EditDateTime, L"EditDateTime", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::SeparatorN1, L"N1", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
    {A::PrintDir, L"PrintDir", L"", scNone, S::Window, nullptr, -1, M::None, 0, ppNone, kPlanned, false},
};

const TMenuRow kMenus[] = {
    {M::File, M::None, L"&Datei", L"Datei1"},
    {M::FileNew, M::File, L"&Neu", L"mnuNew", L"mnuPopupNew", A::NewDir},
    {M::Edit, M::None, L"&Bearbeiten", L"Bearbeiten1"},
    {M::View, M::None, L"&Ansicht", L"Ansicht1"},
    {M::Directory, M::None, L"&Verzeichnis", L"Verzeichnis1"},
    {M::Jump, M::None, L"&Springen", L"Springen1"},
    {M::Drives, M::Jump, L"&Laufwerke", L"ShortCuts1"},
    {M::Bookmarks, M::None, L"&Lesezeichen", L"Lesezeichen1"},
    {M::Programs, M::None, L"&Programme", L"Programme1"},
    {M::Tools, M::None, L"E&xtras", L"Extras1"},
    {M::Help, M::None, L"&Hilfe", L"Hilfe1"},
    {M::EditText, M::Edit, L"Te&xt", L"mnuEditText"},
    {M::ViewText, M::View, L"Te&xt", L"mnuViewText"},
    {M::HexTranslation, M::View, L"&Kodierung", L"Translation"},
    {M::HexOffsets, M::View, L"&Offsetanzeige", L"mnuHexOffsets"},
    {M::HexLineWidth, M::View, L"&Zeilenbreite", L"mnuHexLineWidth"},
    {M::HexColumnWidth, M::View, L"&Spaltenbreite", L"mnuHexColumnWidth"},
    {M::ViewSort, M::View, L"&Sortieren", L"mnuViewSort"},
    {M::EditAsText, M::Edit, L"al&s Text", L"mnuAsText", L"mnuPopupAsText"},
    {M::ViewToolbars, M::View, L"S&ymbolleisten", L"Symbolleisten1"},
    {M::ViewLayouts, M::View, L"Ansi&chten", L"mnuViewLayouts"},
    {M::DirectoryLevels, M::Directory, L"&Ebene aufklappen", L"mnuExpandLevels"},
};
// clang-format on

// The rows by id, checked once: every id has exactly one row.
const std::array<const TActionRow*, kActionCount>& RowsById()
{
    static const auto index = [] {
        std::array<const TActionRow*, kActionCount> rows{};
        for (const TActionRow& row : kRows) {
            const auto slot = static_cast<size_t>(row.Id);
            if (slot >= kActionCount || rows[slot])
                throw std::logic_error("action catalogue: an id with two rows");
            rows[slot] = &row;
        }
        return rows;
    }();
    return index;
}

}  // namespace

std::span<const TActionRow> ActionRows()
{
    return kRows;
}

const TActionRow& ActionRow(TActionId Id)
{
    const auto slot = static_cast<size_t>(Id);
    const TActionRow* row = slot < kActionCount ? RowsById()[slot] : nullptr;
    if (!row)
        throw std::out_of_range("action catalogue: an id without a row");
    return *row;
}

std::optional<TActionId> FindActionId(std::wstring_view Name)
{
    for (const TActionRow& row : kRows)
        if (Name == row.Name)
            return row.Id;
    return std::nullopt;
}

std::span<const TMenuRow> MenuRows()
{
    return kMenus;
}

const TMenuRow& MenuRow(TMenuId Id)
{
    for (const TMenuRow& menu : kMenus)
        if (menu.Id == Id)
            return menu;
    throw std::out_of_range("action catalogue: a menu without a row");
}

std::wstring MenuCaption(const TActionRow& Row)
{
    std::wstring caption = Row.Caption;
    if (Row.Scope == TKeyScope::Pane && (Row.Key != scNone || Row.KeyText))
        caption += L"\t" + (Row.KeyText ? std::wstring(Row.KeyText) : ShortCutToText(Row.Key));
    return caption;
}

bool NeedsHandler(const TActionRow& Row)
{
    return Row.Kind == TRowKind::Command || Row.Kind == TRowKind::Button;
}

void TActionCatalogue::Register(TActionId Id, THandler Handler)
{
    const auto slot = static_cast<size_t>(ActionRow(Id).Id);
    if (handlers_[slot])
        throw std::logic_error("action catalogue: a second handler for one command");
    handlers_[slot] = std::move(Handler);
}

bool TActionCatalogue::HasHandler(TActionId Id) const
{
    return static_cast<bool>(handlers_[static_cast<size_t>(ActionRow(Id).Id)]);
}

bool TActionCatalogue::Execute(TActionId Id) const
{
    const THandler& handler = handlers_[static_cast<size_t>(ActionRow(Id).Id)];
    if (!handler)
        return false;
    handler();
    return true;
}

std::vector<TActionId> TActionCatalogue::MissingHandlers() const
{
    std::vector<TActionId> missing;
    for (const TActionRow& row : kRows)
        if (NeedsHandler(row) && !HasHandler(row.Id))
            missing.push_back(row.Id);
    return missing;
}

}  // namespace qrv
