#include "archives/ZipMessages.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qrv {

namespace {

struct TZipMessage {
    int Id;
    const char16_t* Text;
};

// Sorted by id.
constexpr std::array kMessages = std::to_array<TZipMessage>({
    {zmZipDllFatal, u"Fataler Fehler in ZIPDLL.DLL: Aktion abgebrochen!"},
    {zmNoArchiveName, u"Fehler - keine Archivdatei angegeben!"},
    {zmWrongPassword, u"Fehler - falsches Passwort\nPasswort ignoriert!"},
    {zmCopying, u"Copying: "},
    {zmNoRenameInSpan, u"Umbenennen ist im aufgeteilten Archiv nicht möglich!"},
    {zmPasswordPromptAdd, u"Geben Sie bitte das Passwort ein:"},
    {zmPasswordConfirm, u"Bestätigen Sie das Passwort:"},
    {zmNoPasswordForAdd, u"Fehler - kein Passwort zum Hinzufügen angegeben!"},
    {zmNoPasswordForExtract, u"Fehler - kein Passwort zum Entpacken angegeben!"},
    {zmPasswordCaption, u"Passwort"},
    {zmButtonOk, u"&OK"},
    {zmButtonCancel, u"&Abbrechen"},
    {zmButtonCancelAll, u"Alles abbrechen"},
    {zmPasswordPromptExtract, u"Geben Sie bitte das Passwort für %s ein:"},
    {zmOverwriteFileIn, u"Datei '%s' in '%s' überschreiben?"},
    {zmSeekError, u"Suchfehler beim Lesen des Archivs!"},
    {zmCannotOpenArchive, u"Archivdatei kann nicht geöffnet werden"},
    {zmStructureWarning, u"Warnung - Fehler in Archiv-Struktur!"},
    {zmTrailingDataWarning, u"Warnung - unbekannte Daten am Archivende!"},
    {zmNothingToAdd, u"Fehler - keine Dateien zu packen!"},
    {zmNoFreshenInSpan, u"AddFreshen oder AddUpdate nicht möglich bei einem aufgeteilten Archiv!"},
    {zmNoSpannedExe, u"Fehler - Selbstentpackende Archive (.EXE) können nicht aufgeteilt werden"},
    {zmUnattendedNoPassword, u"Automatische Ausführung ohne Passwort ist nicht möglich!"},
    {zmNoStreamSupport,
     u"Fehler - Ihre ZIPDLL.dll kann nicht mit Streams arbeiten, Sie benötigen eine Version >= 1.60. "},
    {zmNothingToDelete, u"Fehler - keine Dateien zum Löschen angegeben!"},
    {zmUnzDllFatal, u"Fataler Fehler in UNZDLL.DLL: Aktion abgebrochen!"},
    {zmUnattendedExtract, u"Warnung - Automatisches Entpacken : Möglicherweise wurden nicht alle Dateien entpackt!"},
    {zmNoExtractDir, u"Fehler - Zielverzeichnis existiert nicht: %s"},
    {zmZipDllNotFound, u"ZIPDLL.DLL nicht gefunden!"},
    {zmOldZipDll, u"Es wurde versucht, eine alte ZipDll zu laden von "},
    {zmOutOfMemory, u"Angeforderter Speicher konnte nicht reserviert werden!"},
    {zmListFailed, u"Unbekannter Fehler in List()-Funktion!"},
    {zmEventException, u"Exception in Event "},
    {zmSpanFailed, u"Unbekannter Fehler in Funktion ReadSpan() oder WriteSpan()"},
    {zmCommentTooLong, u"Fehler - die Gesamtlänge der drei Texte ist größer als 245 Zeichen!"},
    {zmUnknownDrive, u"Unbekanntes Laufwerk: %s"},
    {zmDriveNotReady, u"Laufwerk %s ist nicht verfügbar"},
    {zmVolumeLabelFailed, u"Das Volume Label ( Laufwerksbezeichnung ) konnte nicht geändert werden"},
    {zmFileNotFound, u"Zu lesende Datei nicht gefunden"},
    {zmInputSeekError, u"Suchfehler in Eingabedatei"},
    {zmCannotCreateOutput, u"Kann Ausgabedatei nicht erzeugen"},
    {zmWriteError, u"Schreibfehler in Ausgabedatei"},
    {zmCannotCreateTemp, u"Kann keine temporäre Datei anlegen"},
    {zmNotLastDisk, u"Dies ist Diskette Nr. %d des Archiv-Satzes,\nbitte legen Sie die letzte Diskette des Satzes ein"},
    {zmFirstDiskNotLast,
     u"Dies ist die erste Diskette des Archivsatzes,\nbitte legen Sie die letzte Diskette des Satzes ein"},
    {zmFirstFileNotLast, u"Dies ist die erste Datei des Archivsatzes,\nbitte wählen Sie die letzte Datei des Satzes"},
    {zmUserAbort, u"Abbruch der Operation durch den Benutzer"},
    {zmNotEnoughSpace, u"Auf dem Datenträger ist nicht genügend Speicherplatz verfügbar"},
    {zmEocReadError, u"Fehler beim Lesen der EOC-Struktur"},
    {zmCentralReadError, u"Fehler beim Lesen eines zentralen Headers"},
    {zmCentralSignature, u"Fehlerhafte Signatur eines zentralen Headers"},
    {zmCentralNameReadError, u"Fehler beim Lesen eines zentralen Dateinamens"},
    {zmCommentReadError, u"Fehler beim Lesen eines Dateikommentars"},
    {zmSpanMarkerReadError, u"Fehler beim Lesen einer erweiterten lokalen Signatur"},
    {zmLocalSignature, u"Fehlerhafte Signatur eines lokalen Headers"},
    {zmLocalReadError, u"Fehler beim Lesen eines lokalen Headers"},
    {zmLocalNameReadError, u"Fehler beim Lesen eines lokalen Dateinamens"},
    {zmDataReadError, u"Fehler beim Lesen der Dateidaten"},
    {zmDescriptorReadError, u"Fehler beim Lesen eines Datendeskriptors"},
    {zmExtraReadError, u"Fehler beim Lesen eines Extra-Felds"},
    {zmEocCommentReadError, u"Fehler beim Lesen des Archivkommentars"},
    {zmUnattendedSpan, u"Unbeaufsichtigtes Verteilen auf mehrere Datenträger ist nicht implementiert"},
    {zmLocalWriteError, u"Fehler beim Schreiben eines lokalen Headers"},
    {zmCentralWriteError, u"Fehler beim Schreiben eines zentralen Headers"},
    {zmEocWriteError, u"Fehler beim Schreiben der EOC-Struktur"},
    {zmDiskInUse,
     u"ACHTUNG: Diese Diskette wird bereits benutzt ( Nr. %d ) !!!\nWollen Sie die Daten wirklich überschreiben?"},
    {zmFileExists, u"Die Datei %s existiert bereits\nSoll die bestehende Datei überschrieben werden?"},
    {zmInsertLastDisk, u"Bitte legen Sie die letzte Diskette ein"},
    {zmInsertDiskOf, u"Bitte legen Sie Diskette %.1d von %.1d ein"},
    {zmInsertDisk, u"Legen Sie bitte die %.1d Diskette ein"},
    {zmNotAZip, u"Dieses (SFX-) Archiv ist keine gültige ZIP-Datei"},
    {zmInDrive, u"\nin Laufwerk: %s"},
    {zmOverwritePrevious, u"Overwrite previous file %s"},
    {zmLastPartLeftAs, u"Last part left as : "},
    {zmCentralDirectory, u"central directory"},
    {zmNoSpanSupport, u"Keine Unterstützung für geteilte Archive"},
});

static_assert(std::is_sorted(kMessages.begin(), kMessages.end(),
                             [](const TZipMessage& a, const TZipMessage& b) { return a.Id < b.Id; }));

std::u16string Decimal(int64_t value)
{
    std::string ascii = std::to_string(value);
    return std::u16string(ascii.begin(), ascii.end());
}

// Replaces the placeholders in order with Args; "%%" becomes "%". A
// placeholder without an argument is left as it stands.
std::u16string Fill(std::u16string_view text, const std::u16string* args, size_t argCount)
{
    std::u16string out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        if (text[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && (text[end] == u'.' || (text[end] >= u'0' && text[end] <= u'9')))
            ++end;
        if (end < text.size() && (text[end] == u's' || text[end] == u'd') && next < argCount) {
            out += args[next++];
            i = end;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::optional<std::u16string> ZipMessageText(int Id)
{
    auto it = std::lower_bound(kMessages.begin(), kMessages.end(), Id,
                               [](const TZipMessage& m, int id) { return m.Id < id; });
    if (it == kMessages.end() || it->Id != Id)
        return std::nullopt;
    return std::u16string(it->Text);
}

std::u16string ZipMessageOrFallback(int Id, const std::function<void(int, std::u16string&)>& Replace)
{
    std::optional<std::u16string> text = ZipMessageText(Id);
    if (!text)
        return u"ZipMsgXX.res is probably not linked to the executable\nMissing String ID is: " + Decimal(Id);
    if (Replace)
        Replace(Id, *text);
    return *text;
}

std::u16string FormatZipMessage(std::u16string_view Text, std::u16string_view StringArg)
{
    std::u16string arg(StringArg);
    return Fill(Text, &arg, 1);
}

std::u16string FormatZipMessage(std::u16string_view Text, int64_t Arg, int64_t Arg2)
{
    std::u16string args[2] = {Decimal(Arg), Decimal(Arg2)};
    return Fill(Text, args, 2);
}

}  // namespace qrv
