#include "mainwindow/ArchiveListTexts.h"

#include "common/TextPlaces.h"

namespace qrv {

std::wstring ArchiveDeleteQuestion(unsigned Count)
{
    return FillPlaces(L"%u %s aus dem Archiv löschen?", {std::to_wstring(Count), Count == 1 ? L"Datei" : L"Dateien"});
}

std::wstring ArchiveProgressTitle(uint8_t Operation)
{
    switch (Operation) {
    case 1:
        return L"Dateien entpacken";
    case 2:
        return L"Dateien hinzufügen";
    case 3:
        return L"Archiv testen";
    default:
        return L"Archivoperation";
    }
}

}  // namespace qrv
