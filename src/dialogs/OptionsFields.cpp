#include "dialogs/OptionsFields.h"

#include <algorithm>
#include <cmath>

namespace qrv {

const std::array<const wchar_t*, OptionsPageCount> kOptionsPageCaptions = {
    L"Allgemein",    L"Anzeige",     L"Dateifenster",    L"Dateianzeige", L"Programme", L"Schriftarten && Farben",
    L"Drag && Drop", L"Dateifilter", L"Miniaturansicht",
};

namespace {

using O = TOptions;

const TOptionCheck kChecks[] = {
    {L"ChkConfirmLogDelete", L"&Verschieben in den Papierkorb bestätigen", opGeneral, &O::ConfirmLogicalDel},
    {L"chkConfirmPhysDelete", L"&Löschen bestätigen", opGeneral, &O::ConfirmPhysicalDel},
    {L"chkConfirmOverwrite", L"Dateien &überschreiben bestätigen", opGeneral, &O::ConfirmOverWrite},
    {L"chkShowMessageBox", L"&Nicht bereites Laufwerk", opGeneral, &O::MessageBox},
    {L"chkConfirmAuthority", L"Fehlende Berechtigungen", opGeneral, &O::ConfirmAuthority},
    {L"chkVerifyFloppy", L"Dis&ketten: vor Kopieren erst prüfen", opGeneral, &O::VerifyFloppy},
    {L"chkCDRomAttr", L"&CD-Rom: Nur-Lesen Attribut löschen", opGeneral, &O::CDROMAttr},
    {L"chkRestoreInitDir", L"&Startverzeichnis wieder herstellen", opGeneral, &O::RestoreInitDir},
    {L"chkRestoreFilter", L"&Dateifilter wieder herstellen", opGeneral, &O::scRestoreFilter},
    {L"chkShowLogo", L"P&rogrammlogo anzeigen", opGeneral, &O::ShowLogo},
    {L"chkSelDirs", L"Verzeichnisse mit &auswählen", opGeneral, &O::SelDirs},

    {L"chkLongVolNames", L"Ausführlicher &Netzwerkpfad", opDisplay, &O::LongVolNames},
    {L"chkShowDirWin", L"V&erzeichnisfenster anzeigen", opDisplay, &O::ShowDirWin},
    {L"chkAutoScrollTree", L"Ve&rzeichnisbaum automatisch rollen", opDisplay, &O::AutoScrollTree},
    {L"chkAutoExpandDir", L"Verzeichnis automatisch expandieren", opDisplay, &O::AutoExpandDir},
    {L"chkShowHiddenDirs", L"Versteckte Dateien anzeigen", opDisplay, &O::ShowHiddenDirs},
    {L"chkShowNetwork", L"Netz&werkumgebung anzeigen", opDisplay, &O::ShowNetwork, true, true},
    {L"chkSortAfterUpdate", L"A&utomatisch sortieren", opDisplay, &O::AutoSort},
    {L"chkFSMonitorActive", L"Dateisystemmonitor aktiv", opDisplay, &O::FSMonitorActive, true, true},
    {L"chkDosClose", L"DOS-&Fenster bei Beenden schließen", opDisplay, &O::DosClose},
    {L"chkAutoActivate", L"Fenster automatisch a&ktivieren", opDisplay, &O::AutoActivate},
    {L"chkTrayApp", L"Programm in den Systemtray minimieren", opDisplay, &O::TrayApp, true, true},

    {L"chk2FWShow", L"Z&weites Dateifenster anzeigen", opFileWindow, &O::SecondFileWin},
    {L"chkTurbo", L"Schne&lle Symbolanzeige", opFileWindow, &O::TurboIcon},
    {L"chkRowSelect", L"Gesamte &Zeile markieren", opFileWindow, &O::RowSelect},
    {L"chkSortExt", L"&Nach Dateierweiterung sortieren", opFileWindow, &O::SortByExt},
    {L"chkShowFileMask", L"&Filter im Dateifenster anzeigen", opFileWindow, &O::ShowFilter},
    {L"chkSyncDisplay", L"Ansicht s&ynchronisieren", opFileWindow, &O::SyncDisplay},
    {L"chkShowDirSize", L"V&erzeichnisgröße anzeigen", opFileWindow, &O::DirSize},
    {L"chkShowGrid", L"&Gitternetz", opFileWindow, &O::Grid},
    {L"chkDirsOnTop", L"Verzeichnisse immer &oben", opFileWindow, &O::DirsOnTop},
    {L"chkShowExtension", L"&Dateierweiterung anzeigen", opFileWindow, &O::ShowExtension},
    {L"chkSortDirTime", L"Verze&ichnisse immer wie Dateien sortieren", opFileWindow, &O::SortDirTime},
    {L"chkAbbreviatedSize", L"Dateigröße in &KB (Kilobytes) anzeigen", opFileWindow, &O::AbbreviatedSize},
    {L"chkAttrUnderLine", L"Dateiattribute &spaltengerecht anzeigen", opFileWindow, &O::AttrUnderline},
    {L"chkInfotips", L"&Kurzhinweise anzeigen", opFileWindow, &O::InfoTips},

    {L"chkViewArchive", L"&Interne Anzeige für Archive verwenden", opFileDisplay, &O::ViewArchive, true},
    {L"chkFollowLinks", L"&Verknüpfungen auflösen", opFileDisplay, &O::FollowLinks},
    {L"chkUseActiveX", L"&OLE verwenden (z.B. Word und Excel)", opFileDisplay, &O::UseActiveX, true},
    {L"chkMMAutoPlay", L"&Multimedia-Dateien sofort abspielen", opFileDisplay, &O::MMAutoPlay, true},
    {L"chkWantTabs", L"Tabstops eingeben", opFileDisplay, &O::WantTabs},

    {L"chkUseProgIcons", L"Programmsymbole anzeigen", opPrograms, &O::UseProgIcons},

    {L"chkUseColor", L"&Farbe verwenden", opFontsColors, &O::UseColor},
    {L"chkUseCompressedColor", L"F&arbe verwenden", opFontsColors, &O::UseCompressedColor},
    {L"chkUseHiddenColor", L"F&arbe verwenden", opFontsColors, &O::HiddenGrey},

    {L"chkLinkOnExeDrag", L"\"Ve&rknüpfung erstellen\" bei Programmen", opDragDrop, &O::LinkOnExeDrag},
    {L"chkBringToFront", L"&Programmfenster bei Eintritt des Mauszeigers in den Vordergrund bringen", opDragDrop,
     &O::BringToFront},
    {L"chkDragImages", L"&Dateisymbol während des Drag&&Drop anzeigen", opDragDrop, &O::DragImages},
    {L"chkPreserveDirs", L"Beim &Entpacken von Dateien aus einem Archiv die Verzeichnisstruktur übernehmen", opDragDrop,
     &O::PreserveDirs, true, true},

    {L"chkSquareThumb", L"&Quadratisch", opThumbnails, &O::SquareThumb},
};

}  // namespace

std::span<const TOptionCheck> OptionChecks()
{
    return kChecks;
}

const TRadioGroupDef& DateTimeGroup()
{
    static const TRadioGroupDef group{L"Änderungsdatum und -uhrzeit ",
                                      opFileWindow,
                                      {{L"rbtDateTimeSec", L"&Datum, Uhrzeit und Sekunden anzeigen", 0},
                                       {L"rbtDateTime", L"Datum und &Uhrzeit anzeigen", 1},
                                       {L"rbtDate", L"Nur Da&tum anzeigen", 2}},
                                      {0, 1},
                                      2,
                                      0};
    return group;
}

const TRadioGroupDef& FileNameDisplayGroup()
{
    static const TRadioGroupDef group{L"Datei- und Verzeichnisnamen",
                                      opDisplay,
                                      {{L"rbtStored", L"&Wie gespeichert", 0},
                                       {L"rbtCaps", L"GR&OSSE BUCHSTABEN", 1},
                                       {L"rbtNoCaps", L"&kleine buchstaben", 2},
                                       {L"rbtNormal", L"Erster Buchstabe &groß", 3}},
                                      {1, 2, 3},
                                      0,
                                      3};
    return group;
}

const TRadioGroupDef& FileDisplayGroup()
{
    static const TRadioGroupDef group{L"Anzeigemodus",
                                      opFileDisplay,
                                      {{L"rbAuto", L"&Automatische Auswahl", 0},
                                       {L"rbHex", L"immer &hexadezimal anzeigen", 1},
                                       {L"rbText", L"immer im &Textformat anzeigen", 2}},
                                      {0, 2},
                                      1,
                                      0};
    return group;
}

const TRadioGroupDef& DragDropGroup()
{
    static const TRadioGroupDef group{L"Drag&&Drop - Standardvorgaben",
                                      opDragDrop,
                                      {{L"rbMove", L"Immer &Verschieben ", 0},
                                       {L"rbMoveSameDrive", L"Verschieben bei &gleichem Laufwerk ", 1},
                                       {L"rbCopy", L"Immer &Kopieren", 2}},
                                      {0, 1},
                                      2,
                                      1};
    return group;
}

int CheckedChoice(const TRadioGroupDef& group, int value)
{
    for (size_t i = 0; i < group.Choices.size(); ++i)
        if (group.Choices[i].Value == value)
            return static_cast<int>(i);
    return group.DesignDefault;
}

uint8_t ChoiceValue(const TRadioGroupDef& group, const std::vector<bool>& checked)
{
    for (int index : group.ReadOrder)
        if (static_cast<size_t>(index) < checked.size() && checked[static_cast<size_t>(index)])
            return group.Choices[static_cast<size_t>(index)].Value;
    return group.Fallback;
}

const std::array<const wchar_t*, 3> kMouseChoiceCaptions = {
    L"Einfacher Klick zum &Umbenennen",
    L"&Einfacher Klick zum Starten",
    L"Nur Ausw&ählen",
};

TMouseChoice MouseChoiceFor(const TOptions& options)
{
    if (options.ClickEdits)
        return mcClickEdits;
    return options.SingleClickExec ? mcSingleClick : mcStandard;
}

void StoreMouseChoice(TOptions& options, TMouseChoice choice)
{
    options.ClickEdits = choice == mcClickEdits;
    options.SingleClickExec = choice == mcSingleClick;
}

int ReloadTrackPosition(int reload)
{
    return reload < kTrackMin || reload > kTrackMax ? 1000 : reload;
}

int SnapTrackPosition(int position)
{
    const int clamped = std::clamp(position, kTrackMin, kTrackMax);
    const int snapped = (clamped + kTrackFrequency / 2) / kTrackFrequency * kTrackFrequency;
    return std::clamp(snapped, kTrackMin, kTrackMax);
}

int ThumbPixel(double spinValue)
{
    return static_cast<int>(std::lround(std::clamp(spinValue, double{kThumbSpinMin}, double{kThumbSpinMax})));
}

TThumbSize SizeButtonThumb(int width)
{
    return {width, static_cast<int>(std::lround(width * 3.0 / 4.0))};
}

TThumbSize ThumbAfterChange(TThumbSize size, bool xChanged, bool square)
{
    size.X = std::clamp(size.X, kThumbSpinMin, kThumbSpinMax);
    size.Y = std::clamp(size.Y, kThumbSpinMin, kThumbSpinMax);
    if (square) {
        if (xChanged)
            size.Y = size.X;
        else
            size.X = size.Y;
    }
    return size;
}

}  // namespace qrv
