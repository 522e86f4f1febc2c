// The status bar's texts: drive space with its units, the entry and
// selection counts, and the panel widths.

#include "mainwindow/StatusTexts.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(DriveSpaceStatusText, UnitsFollowTheThresholds)
{
    struct Case {
        int64_t total, free;
        const wchar_t* text;
    } cases[] = {
        // Free space: up to 3,000,000 bytes in Bytes, then KB, above 10,000,000 in MB.
        {12'000'000, 3'000'000, L"C: 8.789 KB belegt / 3.000.000 Bytes frei"},
        {12'000'001, 3'000'001, L"C: 8.789 KB belegt / 2.929 KB frei"},
        {20'000'000, 10'000'000, L"C: 9.765 KB belegt / 9.765 KB frei"},
        {30'000'000, 10'000'001, L"C: 19 MB belegt / 9 MB frei"},
        // Used space: up to 10,000,000 bytes in KB, above in MB.
        {10'000'000 + 100, 100, L"C: 9.765 KB belegt / 100 Bytes frei"},
        {10'000'001 + 100, 100, L"C: 9 MB belegt / 100 Bytes frei"},
        // A drive without size, and a nonsense free value: nothing used or free.
        {0, 0, L"C: 0 KB belegt / 0 Bytes frei"},
        {0, 5'000, L"C: 0 KB belegt / 0 Bytes frei"},
        {4'096, -1, L"C: 4 KB belegt / 0 Bytes frei"},
        // More free than total (a quota, a changing drive): nothing used.
        {1'000, 2'000, L"C: 0 KB belegt / 2.000 Bytes frei"},
        // Terabytes stay exact in 64 bits.
        {4'000'000'000'000, 1'099'511'627'776, L"C: 2.766.121 MB belegt / 1.048.576 MB frei"},
    };
    for (const Case& c : cases) {
        TDriveSpace drive{L'C', true, c.total, c.free};
        EXPECT_EQ(DriveSpaceStatusText(drive, L"."), c.text) << c.total << " / " << c.free;
    }
}

TEST(DriveSpaceStatusText, DriveNotReadyAndNetworkEntry)
{
    EXPECT_EQ(DriveSpaceStatusText({L'A', false, 1'000, 1'000}, L"."), L"Laufwerk A: nicht bereit.");
    EXPECT_EQ(NetworkStatusText(true, L"Netzwerkumgebung"), L"Netzwerkumgebung");
    EXPECT_EQ(NetworkStatusText(false, L"Netzwerkumgebung"), L"Laufwerk nicht bereit.");
}

TEST(StatusTexts, PositionTexts)
{
    EXPECT_EQ(CaretStatusText(1, 1), L"Zeile 1 / Spalte 1");
    EXPECT_EQ(CaretStatusText(4'000'000'000u, 77), L"Zeile 4000000000 / Spalte 77");
    EXPECT_EQ(OffsetStatusText(0x1'0000'0000ull), L"Offset: 4294967296");
    EXPECT_EQ(LineCountStatusText(0), L"0 Zeilen");
    EXPECT_EQ(PictureSizeStatusText(640, 480), L"Größe: 640x480 Pixel");
}

TEST(SelectionStatusTexts, OneSeveralAndNone)
{
    struct Case {
        TSelectionFigures figures;
        bool abbreviated;
        const wchar_t* entries;
        const wchar_t* selection;
    } cases[] = {
        {{1, 1, 1'234, 1'234}, false, L"1 Datei = 1.234 Bytes", L"1 Datei ausgewählt = 1.234 Bytes"},
        {{3, 2, 30'000, 20'000}, false, L"3 Dateien = 30.000 Bytes", L"2 Dateien ausgewählt = 20.000 Bytes"},
        // In units the size carries its own unit; the format's blank stays.
        {{3, 3, 30'000, 30'000}, true, L"3 Dateien = 29 KB ", L"3 Dateien ausgewählt = 29 KB "},
        {{5, 0, 700, 0}, true, L"5 Dateien = 700 Bytes ", L"Keine Datei ausgewählt."},
        {{0, 0, 0, 0}, false, L"Keine Datei vorhanden", L"Keine Datei ausgewählt."},
    };
    for (const Case& c : cases) {
        const TSelectionTexts texts = SelectionStatusTexts(c.figures, c.abbreviated, L".");
        EXPECT_EQ(texts.Entries, c.entries);
        EXPECT_EQ(texts.Selection, c.selection);
    }
    EXPECT_EQ(ShellFolderStatusText(0), L"Keine Ordner vorhanden");
    EXPECT_EQ(ShellFolderStatusText(7), L"7 Ordner");
    EXPECT_EQ(LoadingStatusText(120), L"120 Dateien");
}

TEST(StatusPanelWidths, FirstPanelFitsItsTextTheOthersShareTheRest)
{
    struct Case {
        int form, text;
        TStatusPanelWidths widths;
    } cases[] = {
        {700, 100, {200, 250, 250, 198}},  // two sevenths win
        {700, 250, {260, 220, 220, 258}},  // the text needs more
        {701, 100, {200, 250, 251, 198}},  // the odd pixel goes to panel 2
        {100, 300, {310, 0, 0, 308}},      // a narrow window: nothing negative
        {0, 0, {10, 0, 0, 8}},
    };
    for (const Case& c : cases) {
        const TStatusPanelWidths w = StatusPanelWidths(c.form, c.text);
        EXPECT_EQ(w.Panel0, c.widths.Panel0) << c.form << "/" << c.text;
        EXPECT_EQ(w.Panel1, c.widths.Panel1) << c.form << "/" << c.text;
        EXPECT_EQ(w.Panel2, c.widths.Panel2) << c.form << "/" << c.text;
        EXPECT_EQ(w.ProgressBar, c.widths.ProgressBar) << c.form << "/" << c.text;
    }
}

TEST(Panel0StatusText, FollowsTheFocus)
{
    TPanel0Input in;
    in.Drive = {L'C', true, 20'000'000'000, 5'000'000'000};
    in.HexOffset = 4711;
    in.HexViewVisible = true;

    in.Focus = TStatusFocus::Text;
    EXPECT_EQ(Panel0StatusText(in, L"."), L"Zeile 1 / Spalte 1");
    // The focus goes from the text to a list: the drive's space.
    in.Focus = TStatusFocus::Other;
    EXPECT_EQ(Panel0StatusText(in, L"."), DriveSpaceStatusText(in.Drive, L"."));
    in.Focus = TStatusFocus::HexView;
    EXPECT_EQ(Panel0StatusText(in, L"."), L"Offset: 4711");
    // A focused but hidden hex view does not count.
    in.HexViewVisible = false;
    EXPECT_EQ(Panel0StatusText(in, L"."), DriveSpaceStatusText(in.Drive, L"."));

    in.DriveBoxOnNetwork = true;
    in.NetworkName = L"Netzwerk";
    EXPECT_EQ(Panel0StatusText(in, L"."), L"Laufwerk nicht bereit.");
    in.ListShowsNetwork = true;
    EXPECT_EQ(Panel0StatusText(in, L"."), L"Netzwerk");
}

TEST(SelectionStatus, FiguresComeFromTheFocusedList)
{
    TSelectionStatusInput in;
    in.Abbreviated = false;
    in.List = {3, 3, 300, 300};
    in.Archive = {10, 1, 1'000, 100};

    EXPECT_EQ(SelectionStatus(in, L".").Selection, L"3 Dateien ausgewählt = 300 Bytes");
    in.ArchiveFocused = true;
    EXPECT_EQ(SelectionStatus(in, L".").Entries, L"10 Dateien = 1.000 Bytes");
    EXPECT_EQ(SelectionStatus(in, L".").Selection, L"1 Datei ausgewählt = 100 Bytes");
    in.ArchiveFocused = false;
    in.ListLoading = true;
    EXPECT_EQ(SelectionStatus(in, L".").Entries, L"Keine Datei vorhanden");
    in.ShellFolder = true;
    in.ShellItemCount = 4;
    const TSelectionTexts shell = SelectionStatus(in, L".");
    EXPECT_EQ(shell.Entries, L"4 Ordner");
    EXPECT_EQ(shell.Selection, L"");
}
