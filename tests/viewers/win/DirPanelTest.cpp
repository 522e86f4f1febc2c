#include "common/win/BaseUtilsWin.h"
#include "framework/win/Forms.h"
#include "viewers/win/KyDirPanel.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

const std::wstring kQuestion = L"?";

// What the label's window shows, read back from the control.
std::wstring Shown(TLabel& label)
{
    wchar_t text[512] = L"";
    GetWindowTextW(label.Handle(), text, 512);
    return text;
}

class DirPanelTest : public testing::Test {
protected:
    DirPanelTest() : form(nullptr)
    {
        form.SetBounds(0, 0, 600, 300);
        panel = new TKyDirPanel(&form);
        panel->SetAlign(TAlign::alClient);
        panel->SetParent(&form);
        form.HandleNeeded();
    }

    void WriteFile(const std::wstring& name, size_t size) { dir.Write(name, std::string(size, 'x')); }

    bool WaitForCount()
    {
        return test::PumpUntil([&] { return !panel->Scanning(); }, 20s);
    }

    test::TestDir dir;
    TForm form;
    TKyDirPanel* panel;
};

}  // namespace

TEST_F(DirPanelTest, ShowsNameTimeAndTheCountOnceItHasEnded)
{
    WriteFile(L"a.txt", 100);
    WriteFile(L"b.txt", 20000);
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"sub\\leer").c_str(), nullptr));
    WriteFile(L"sub\\c.txt", 3);

    panel->ShowDirectory(dir.Path());
    EXPECT_EQ(Shown(panel->ValueLabel(1)), ExtractFileName(dir.Path()));
    EXPECT_TRUE(
        std::regex_match(Shown(panel->ValueLabel(2)), std::wregex(L"\\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d:\\d\\d")))
        << Shown(panel->ValueLabel(2));
    EXPECT_NE(panel->Image().Icon(), nullptr);

    ASSERT_TRUE(WaitForCount());
    EXPECT_EQ(Shown(panel->ValueLabel(3)), L"3");
    EXPECT_EQ(Shown(panel->ValueLabel(4)), L"2");
    // 20,103 bytes: at least 10,000, so in KB, rounded.
    EXPECT_EQ(Shown(panel->ValueLabel(5)), L"20 KB  (20.103 Bytes)");
    // The value labels fit their texts.
    EXPECT_EQ(panel->ValueLabel(5).Width(),
              MeasureText(panel->ValueLabel(5).Font().Handle(), L"20 KB  (20.103 Bytes)").cx);
}

TEST_F(DirPanelTest, TheSameFolderAgainKeepsTheRunningCount)
{
    WriteFile(L"a.txt", 1);
    const int before = TDirScanner::RunningCount();
    panel->ShowDirectory(dir.Path());
    EXPECT_TRUE(panel->Scanning());
    EXPECT_EQ(TDirScanner::RunningCount(), before + 1);
    panel->ShowDirectory(dir.Path());
    EXPECT_LE(TDirScanner::RunningCount(), before + 1);
    ASSERT_TRUE(WaitForCount());
    EXPECT_EQ(Shown(panel->ValueLabel(3)), L"1");

    // After the count the same path leaves the result standing.
    panel->ShowDirectory(dir.Path());
    EXPECT_FALSE(panel->Scanning());
    EXPECT_EQ(Shown(panel->ValueLabel(3)), L"1");
    EXPECT_EQ(Shown(panel->ValueLabel(5)), L"1 Bytes  (1 Bytes)");
}

TEST_F(DirPanelTest, AnEmptyPathEmptiesThePanel)
{
    panel->ShowDirectory(dir.Path());
    panel->ShowDirectory(L"");
    EXPECT_FALSE(panel->Scanning());
    EXPECT_EQ(panel->Path(), L"");
    EXPECT_EQ(Shown(panel->ValueLabel(1)), L"");
    EXPECT_EQ(Shown(panel->ValueLabel(2)), L"");
    EXPECT_EQ(panel->Image().Icon(), nullptr);
    // The count that was running never reports.
    test::PumpFor(300ms);
    for (int row = 3; row <= 5; ++row)
        EXPECT_EQ(Shown(panel->ValueLabel(row)), kQuestion) << row;
}

TEST_F(DirPanelTest, TheIconShownBeforeIsDestroyed)
{
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"eins").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"zwei").c_str(), nullptr));
    ICONINFO info;
    panel->ShowDirectory(dir.File(L"eins"));
    const HICON first = panel->Image().Icon();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(GetIconInfo(first, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    panel->ShowDirectory(dir.File(L"zwei"));
    const HICON second = panel->Image().Icon();
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(GetIconInfo(first, &info)) << "the first icon is still alive";
    ASSERT_TRUE(GetIconInfo(second, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    panel->ShowDirectory(L"");
    EXPECT_FALSE(GetIconInfo(second, &info)) << "the second icon is still alive";
}

TEST_F(DirPanelTest, ADriveRootShowsItsPathAndItsTime)
{
    const std::wstring root = dir.Path().substr(0, 3);  // "T:\"
    ASSERT_EQ(PathRootLength(root), 2u);
    panel->ShowDirectory(root);
    EXPECT_EQ(Shown(panel->ValueLabel(1)), root);
    EXPECT_TRUE(
        std::regex_match(Shown(panel->ValueLabel(2)), std::wregex(L"\\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d:\\d\\d")))
        << Shown(panel->ValueLabel(2));
    panel->ShowDirectory(L"");  // the whole test drive is not counted
}

TEST_F(DirPanelTest, AMissingFolderSaysSo)
{
    panel->ShowDirectory(dir.File(L"gibt-es-nicht"));
    EXPECT_EQ(Shown(panel->ValueLabel(1)), L"gibt-es-nicht");
    EXPECT_EQ(Shown(panel->ValueLabel(2)), L"<Verzeichnisinformationen konnten nicht ermittelt werden>");
    // A folder that cannot be listed counts as empty.
    ASSERT_TRUE(WaitForCount());
    EXPECT_EQ(Shown(panel->ValueLabel(3)), L"0");
    EXPECT_EQ(Shown(panel->ValueLabel(4)), L"0");
}

TEST_F(DirPanelTest, LabelsStandInTwoColumnsBelowTheIcon)
{
    panel->ShowDirectory(dir.Path());
    panel->ArrangeLabels();
    const TImage& image = panel->Image();
    EXPECT_EQ(image.Left(), 10);
    EXPECT_EQ(image.Top(), 10);
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.Height(), 32);
    // The first caption is hidden: the folder's name stands beside the icon.
    const wchar_t* captions[] = {L"Verzeichnis:", L"Erstellt am:", L"Anzahl Dateien:", L"Anzahl Verzeichnisse:",
                                 L"Gesamtgröße:"};
    ASSERT_EQ(panel->RowCount(), 5);
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(Shown(panel->CaptionLabel(row)), captions[row - 1]);
    EXPECT_FALSE(IsWindowVisible(panel->CaptionLabel(1).Handle()));
    // The icon lies below every label in the z-order.
    EXPECT_EQ(GetWindow(panel->Image().Handle(), GW_HWNDNEXT), nullptr);

    int widest = 0;
    for (int row = 1; row <= panel->RowCount(); ++row)
        widest = std::max<int>(widest, MeasureText(panel->Font().Handle(), panel->CaptionLabel(row).Caption()).cx);
    const int lineStep = MeasureText(panel->Font().Handle(), L"X").cy + 6;
    TLabel& heading = panel->ValueLabel(1);
    EXPECT_EQ(heading.Left(), widest + 20);
    EXPECT_EQ(heading.Top(), 10 + (32 - heading.Height()) / 2);
    for (int row = 2; row <= panel->RowCount(); ++row) {
        EXPECT_EQ(panel->CaptionLabel(row).Left(), 10) << row;
        EXPECT_EQ(panel->ValueLabel(row).Left(), widest + 20) << row;
        // Below the icon, which covers no label and no label it.
        EXPECT_EQ(panel->CaptionLabel(row).Top(), 10 + 32 + 3 + (row - 2) * lineStep) << row;
        EXPECT_GE(panel->CaptionLabel(row).Top(), image.Top() + image.Height()) << row;
        EXPECT_EQ(panel->ValueLabel(row).Top(), panel->CaptionLabel(row).Top()) << row;
    }

    // A larger font reaches the labels and moves the value column and rows.
    const int smallStep = lineStep;
    panel->Font().SetSize(20);
    const int largeStep = MeasureText(panel->Font().Handle(), L"X").cy + 6;
    ASSERT_GT(largeStep, smallStep);
    EXPECT_EQ(panel->CaptionLabel(5).Height(), MeasureText(panel->Font().Handle(), L"Gesamtgröße:").cy);
    EXPECT_EQ(panel->CaptionLabel(5).Top(), 10 + 32 + 3 + 3 * largeStep);
    EXPECT_GT(panel->ValueLabel(5).Left(), widest + 20);
    panel->ShowDirectory(L"");
}
