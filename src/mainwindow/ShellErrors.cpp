#include "mainwindow/ShellErrors.h"

#include <algorithm>
#include <iterator>

namespace qrv {

namespace {

struct TShellErrorText {
    intptr_t Code;
    const wchar_t* Text;
};

constexpr TShellErrorText kShellErrorTexts[] = {
    {0, L"Speicher oder Ressourcen erschöpft."},
    {2, L"Datei nicht gefunden."},
    {3, L"Pfad nicht gefunden."},
    {5, L"Zugriff vom Betriebssystem verweigert. Evt sind Ihre Zugriffsrechte nicht ausreichend."},
    {8, L"Zu wenig Speicher verfügbar für diese Operation."},
    {11, L"Die auszuführende Datei hat ein ungültige EXE-Format"},
    {26, L"Die Datei wird bereits von einer anderen Anwendung verwendet und kann daher nicht geöffnet werden."},
    {27, L"Ungültige oder defekte Dateizuordnung des Betriebssystems."},
    {28, L"DDE-Timeout"},
    {29, L"DDE-Verbindungsaufbau fehlgeschlagen."},
    {30, L"Es ist eine andere DDE-Verbindung bereits aktiv."},
    {31, L"Die Datei kann nicht ausgeführt werden, da mit diesem Dateityp keine Anwendung verknüpft ist."},
    {32, L"Die DLL wurde nicht gefunden."},
};

}  // namespace

std::wstring ShellExecuteErrorText(intptr_t Code)
{
    const auto found = std::find_if(std::begin(kShellErrorTexts), std::end(kShellErrorTexts),
                                    [Code](const TShellErrorText& entry) { return entry.Code == Code; });
    return found == std::end(kShellErrorTexts) ? std::wstring() : std::wstring(found->Text);
}

}  // namespace qrv
