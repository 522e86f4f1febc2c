#include "imaging/PngErrors.h"

namespace qrv {

#define QRV_PNG_MESSAGE(Name, Text)                                                                                    \
    Name::Name() : Exception(Text) {}

QRV_PNG_MESSAGE(
    EPNGInvalidFileHeader,
    L"Die Datei, die gelesen wird, ist kein gültiges \"Portable Network Graphics\" Image, da es keinen "
    L"gültigen Header enthält. Die Datei könnte beschädigt sein, versuchen Sie, eine neue Kopie zu bekommen.")
QRV_PNG_MESSAGE(EPNGHeaderNotPresent,
                L"Die Datei, die gelesen wird, ist kein gültiges \"Portable Network Graphics\" Image, da es keinen "
                L"gültigen Header enthält.")
QRV_PNG_MESSAGE(EPngUnexpectedEnd,
                L"Dieses \"Portable Network Graphics\" Image ist ungültig, der Dekoder stieß unerwarteterweise auf das "
                L"Ende der Datei.")
QRV_PNG_MESSAGE(EPNGIHDRNotFirst,
                L"Dieses \"Portable Network Graphics\" Image wird nicht unterstützt bzw. es könnte ungültig sein.\r\n"
                L"(Der IHDR-Chunk ist nicht der erste Chunk in der Datei).")
QRV_PNG_MESSAGE(EPngInvalidIHDR,
                L"Dieses \"Portable Network Graphics\" Image konnte nicht geladen werden, weil eine der Hauptdaten "
                L"(IHDR) beschädigt sein könnte.")
QRV_PNG_MESSAGE(EPNGSizeExceeds,
                L"Dieses \"Portable Network Graphics\" Image wird nicht unterstützt, weil entweder seine Breite oder "
                L"seine Höhe das Maximum von 65535 Pixeln überschreitet.")
QRV_PNG_MESSAGE(EPNGUnknownCompression,
                L"Dieses \"Portable Network Graphics\" Image wurde mit einem unbekannten Komprimierungsalgorithmus "
                L"kodiert, welcher nicht entschlüsselt werden kann.")
QRV_PNG_MESSAGE(EPNGUnknownInterlace,
                L"Dieses \"Portable Network Graphics\" Image benutzt ein unbekanntes Interlace-Schema, welcher nicht "
                L"entschlüsselt werden kann.")
QRV_PNG_MESSAGE(EPNGUnknownCriticalChunk,
                L"Dieses \"Portable Network Graphics\" Image enhält einen unbekannten kritischen Teil, welcher nicht "
                L"entschlüsselt werden kann.")
QRV_PNG_MESSAGE(EPngInvalidCRC,
                L"Dieses \"Portable Network Graphics\" Image ist ungültig, weil Teile der Daten ungültig sind "
                L"(CRC-Fehler).")
QRV_PNG_MESSAGE(EPNGInvalidPalette, L"Das \"Portable Network Graphics\" Image enthält eine ungültige Palette.")
QRV_PNG_MESSAGE(EPNGNoImageData, L"Dieses \"Portable Network Graphics\" Image enthält keine Daten.")
QRV_PNG_MESSAGE(EPNGMissingMultipleIDAT,
                L"Dieses \"Portable Network Graphics\" Image ist ungültig, weil Grafikdaten fehlen.")
QRV_PNG_MESSAGE(EPNGZLIBError,
                L"Die Grafik konnte nicht entpackt werden, weil sie fehlerhafte komprimierte Daten enthält.\r\n"
                L" Beschreibung: ")
QRV_PNG_MESSAGE(EPngError, L"")
QRV_PNG_MESSAGE(EPngOutOfMemory, L"Für das \"Portable Network Graphics\" Image ist nicht genügend Speicher vorhanden.")

#undef QRV_PNG_MESSAGE

const wchar_t* const SPngNoSuchPaletteEntry = L"Es gibt keinen solchen Palettenwert.";
const wchar_t* const SPngChunksIncompatible = L"Die Chunks müssen kompatibel sein, um zugewiesen werden zu können.";
const wchar_t* const SPngCannotResize =
    L"Das \"Portable Network Graphics\" Image kann nicht durch Ändern der Eigenschaften Width und Height in "
    L"seinen Abmessungen geändert werden. Versuchen Sie das Image von einer Bitmap aus zuzuweisen.";

EPNGZLIBError ZLibError(const char* libraryMessage)
{
    EPNGZLIBError error;
    error.SetMessage(error.Message() + Utf8ToWide(libraryMessage ? libraryMessage : ""));
    return error;
}

}  // namespace qrv
