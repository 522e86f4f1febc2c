// The texts the main window builds: shell error texts, the title and the
// filter text of the open dialogs.

#include "mainwindow/FilterString.h"
#include "mainwindow/ShellErrors.h"
#include "mainwindow/WindowTitle.h"
#include "settings/NamedFilters.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ShellExecuteErrorText, KnownCodesHaveTheirTextOthersNone)
{
    struct Case {
        intptr_t code;
        const wchar_t* text;
    } cases[] = {
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
        {1, L""},
        {33, L""},
        {-1, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellExecuteErrorText(c.code), c.text) << c.code;
}

TEST(WindowTitle, FolderMaskAndProgramName)
{
    struct Case {
        std::optional<std::wstring> folder;
        const wchar_t* mask;
        const wchar_t* title;
    } cases[] = {
        {L"C:\\", L"*.*", L"C:\\ - Quorvan Free"},
        {L"C:\\Daten", L"*.txt", L"C:\\Daten  (*.txt) - Quorvan Free"},
        {L"C:\\Daten", L"", L"C:\\Daten - Quorvan Free"},
        {std::nullopt, L"*.txt", L"Quorvan Free"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildWindowTitle(c.folder, c.mask, L"Quorvan Free"), c.title) << c.title;
}

TEST(FilterString, OneEntryPerNamedFilter)
{
    struct Case {
        std::vector<TFilterRec> filters;
        const wchar_t* text;
    } cases[] = {
        {{{L"A", L"*.a"}, {L"B", L"*.b;*.c"}}, L"A (*.a)|*.a|B (*.b;*.c)|*.b;*.c"},
        {{{L"Alle Dateien", L"*.*"}}, L"Alle Dateien (*.*)|*.*"},
        {{}, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildFilterString(c.filters), c.text);
}

TEST(FilterString, AddedFiltersAreCutToTheirFieldSizes)
{
    std::vector<TFilterRec> filters;
    AddNamedFilter(filters, std::wstring(70, L'n'), L"*.txt");
    AddNamedFilter(filters, L"Bilder", std::wstring(300, L'm'));
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].Name, std::wstring(60, L'n'));
    EXPECT_EQ(filters[0].Masks, L"*.txt");
    EXPECT_EQ(filters[1].Masks.size(), 255u);
    const std::wstring first = std::wstring(60, L'n') + L" (*.txt)|*.txt|";
    EXPECT_EQ(BuildFilterString(filters).substr(0, first.size()), first);
}
