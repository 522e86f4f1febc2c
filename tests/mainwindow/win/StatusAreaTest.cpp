// TStatusArea on a real status bar, with the window's figures from a fake.

#include "mainwindow/win/StatusArea.h"

#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace qrv;

namespace {

class FakeStatusHost : public TStatusAreaHost {
public:
    TPanel0Input panel0;
    bool failPanel0 = false;
    TSelectionStatusInput selection;
    std::optional<uint32_t> lines;
    std::optional<std::pair<uint32_t, uint32_t>> picture;
    int driveRefreshes = 0;

    TPanel0Input StatusPanel0Input(bool RefreshDrive) override
    {
        if (failPanel0)
            throw Exception(L"Laufwerk weg");
        driveRefreshes += RefreshDrive ? 1 : 0;
        return panel0;
    }
    TSelectionStatusInput SelectionStatusInput() override { return selection; }
    std::optional<uint32_t> ShownTextLineCount() override { return lines; }
    std::optional<std::pair<uint32_t, uint32_t>> ShownPictureSize() override { return picture; }
    std::wstring ThousandSeparator() override { return L"."; }
};

class StatusAreaTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 700, 300);
        bar = new TStatusBar(form.get());
        bar->SetParent(form.get());
        for (int i = 0; i < 3; ++i)
            bar->AddPanel(100);
        form->Show();
    }
    std::wstring Panel(int index) { return bar->DisplayedText(index); }

    std::unique_ptr<TForm> form;
    TStatusBar* bar = nullptr;
    FakeStatusHost host;
    std::unique_ptr<TStatusArea> area = nullptr;
    TStatusArea& Area()
    {
        if (!area)
            area = std::make_unique<TStatusArea>(host, *bar, *form);
        return *area;
    }
};

}  // namespace

TEST_F(StatusAreaTest, Panel0ByFocusThenTheWidthsFollow)
{
    host.panel0.Focus = TStatusFocus::Text;
    host.panel0.CaretLine = 12;
    host.panel0.CaretColumn = 3;
    Area().UpdateStatusBar(false);
    EXPECT_EQ(Panel(0), L"Zeile 12 / Spalte 3");
    EXPECT_EQ(bar->Panels(0).Width, form->Width() / 7 * 2);
    EXPECT_EQ(bar->Panels(1).Width, (form->Width() - bar->Panels(0).Width) / 2);

    host.panel0.Focus = TStatusFocus::Other;
    host.panel0.Drive = {L'D', true, 12'000'000, 3'000'000};
    Area().UpdateStatusBar(true);
    EXPECT_EQ(Panel(0), L"D: 8.789 KB belegt / 3.000.000 Bytes frei");
    EXPECT_EQ(host.driveRefreshes, 1);

    // A long text widens panel 0 beyond its share.
    host.panel0.Drive.Ready = false;
    host.panel0.Drive.Letter = L'X';
    host.panel0.DriveBoxOnNetwork = true;
    host.panel0.ListShowsNetwork = true;
    host.panel0.NetworkName = std::wstring(150, L'W');
    Area().UpdateStatusBar(false);
    EXPECT_GT(bar->Panels(0).Width, form->Width() / 7 * 2);

    // A failure empties the panel.
    host.failPanel0 = true;
    Area().UpdateStatusBar(false);
    EXPECT_EQ(Panel(0), L"");
}

TEST_F(StatusAreaTest, SelectionPanelsAndLoadFigures)
{
    host.selection.List = {3, 1, 3000, 1000};
    host.selection.Abbreviated = false;
    Area().UpdateSelectionStatus();
    EXPECT_EQ(Panel(1), L"3 Dateien = 3.000 Bytes");
    EXPECT_EQ(Panel(2), L"1 Datei ausgewählt = 1.000 Bytes");

    // The archive list's figures while it has the focus.
    host.selection.ArchiveFocused = true;
    host.selection.Archive = {1, 0, 5, 0};
    Area().UpdateSelectionStatus();
    EXPECT_EQ(Panel(1), L"1 Datei = 5 Bytes");
    EXPECT_EQ(Panel(2), L"Keine Datei ausgewählt.");

    Area().ShowLoadingCount(0);
    EXPECT_EQ(Panel(1), L"0 Dateien");

    host.lines = 42;
    Area().UpdateLineCount();
    EXPECT_EQ(Panel(0), L"42 Zeilen");
    host.picture = std::pair<uint32_t, uint32_t>(640, 480);
    Area().UpdatePictureSize();
    EXPECT_EQ(Panel(0), L"Größe: 640x480 Pixel");
}

TEST_F(StatusAreaTest, NothingIsWrittenWhileTheBarIsHidden)
{
    bar->SetPanelText(1, L"alt");
    bar->SetVisible(false);
    host.selection.List = {2, 2, 10, 10};
    Area().UpdateSelectionStatus();
    host.lines = 7;
    Area().UpdateLineCount();
    Area().UpdateStatusBar(true);
    EXPECT_EQ(bar->Panels(1).Text, L"alt");
    EXPECT_EQ(bar->Panels(0).Text, L"");
    EXPECT_EQ(host.driveRefreshes, 0);
}

TEST_F(StatusAreaTest, AHeldTextStaysUntilItIsTakenBack)
{
    Area().HoldPanel0(L"\"X:\\\": Zugriff verweigert");
    host.panel0.Focus = TStatusFocus::Text;
    Area().UpdateStatusBar(false);
    host.lines = 3;
    Area().UpdateLineCount();
    EXPECT_EQ(Panel(0), L"\"X:\\\": Zugriff verweigert");
    // Another text is not taken back in its place.
    Area().ReleasePanel0(L"anders");
    Area().UpdateStatusBar(false);
    EXPECT_EQ(Panel(0), L"\"X:\\\": Zugriff verweigert");
    Area().ReleasePanel0(L"\"X:\\\": Zugriff verweigert");
    Area().UpdateStatusBar(false);
    EXPECT_EQ(Panel(0), L"Zeile 1 / Spalte 1");
}
