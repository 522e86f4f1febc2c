#include "widgets/win/ToolWindowPositions.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Registry.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace qrv;

namespace {

// Each test keeps its positions under a key of its own: tests run side by side.
std::wstring TestKey()
{
    const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
    return L"\\Software\\Quorvan Tests\\ToolWindows\\" + std::wstring(name, name + strlen(name));
}

// A form with a top and a left dock and three toolbars.
class PositionsTest : public testing::Test {
protected:
    void SetUp() override
    {
        TRegistry().DeleteKey(kTestKey);
        form.SetBounds(0, 0, 600, 400);
        form.HandleNeeded();
        top = Dock(L"TopDock", TDockPosition::dpTop);
        left = Dock(L"LeftDock", TDockPosition::dpLeft);
        bar1 = Bar(L"Bar1", top, 0, 0);
        bar2 = Bar(L"Bar2", top, 1, 100);
        bar3 = Bar(L"Bar3", left, 0, 0);
    }
    void TearDown() override { TRegistry().DeleteKey(kTestKey); }

    TKyDock* Dock(const std::wstring& name, TDockPosition position)
    {
        auto* dock = new TKyDock(&form);
        dock->SetName(name);
        dock->SetPosition(position);
        dock->SetParent(&form);
        return dock;
    }
    TKyToolbar* Bar(const std::wstring& name, TKyDock* dock, int row, int pos)
    {
        auto* bar = new TKyToolbar(&form);
        bar->SetName(name);
        (new TKyToolbarButton(&form))->SetParent(bar);
        bar->SetDockRow(row);
        bar->SetDockPos(pos);
        bar->SetDockedTo(dock);
        return bar;
    }
    // Moves everything somewhere else, so a restore has something to undo.
    void Disturb()
    {
        bar2->SetDockedTo(left);
        bar2->SetDockRow(3);
        bar1->SetVisible(false);
        bar3->SetDockPos(77);
    }
    void ExpectRestored()
    {
        EXPECT_TRUE(bar1->Visible());
        EXPECT_EQ(bar2->DockedTo(), top);
        EXPECT_EQ(bar2->DockRow(), 1);
        EXPECT_EQ(bar2->DockPos(), 100);
        EXPECT_EQ(bar2->Left(), 100);
        EXPECT_EQ(bar3->DockedTo(), left);
        EXPECT_EQ(bar3->DockPos(), 0);
        EXPECT_EQ(top->Height(), 52) << "two rows again";
    }

    const std::wstring kTestKey = TestKey();
    TForm form{nullptr};
    TKyDock* top = nullptr;
    TKyDock* left = nullptr;
    TKyToolbar* bar1 = nullptr;
    TKyToolbar* bar2 = nullptr;
    TKyToolbar* bar3 = nullptr;
};

}  // namespace

TEST_F(PositionsTest, RoundTripThroughAnIniFile)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"positions.ini");
    IniWriteToolWindowPositions(&form, file, L"TB_");
    {
        TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadInteger(L"TB_Bar2", L"Rev", 0), 3);
        EXPECT_EQ(ini.ReadString(L"TB_Bar2", L"DockedTo", L""), L"TopDock");
        EXPECT_EQ(ini.ReadInteger(L"TB_Bar2", L"DockRow", -1), 1);
        EXPECT_EQ(ini.ReadInteger(L"TB_Bar2", L"DockPos", -1), 100);
        EXPECT_EQ(ini.ReadString(L"TB_Bar3", L"DockedTo", L""), L"LeftDock");
        EXPECT_TRUE(ini.ValueExists(L"TB_Bar1", L"FloatRightX"));
    }
    Disturb();
    IniReadToolWindowPositions(&form, file, L"TB_");
    ExpectRestored();
}

TEST_F(PositionsTest, RoundTripThroughTheRegistry)
{
    RegWriteToolWindowPositions(&form, kTestKey);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly(kTestKey + L"\\Bar2"));
        EXPECT_EQ(reg.ReadString(L"DockedTo"), L"TopDock");
        EXPECT_EQ(reg.ReadInteger(L"DockRow"), 1);
        EXPECT_EQ(reg.ReadInteger(L"Visible"), 1);
    }
    Disturb();
    RegReadToolWindowPositions(&form, kTestKey);
    ExpectRestored();
}

TEST_F(PositionsTest, WhatARestoreLeavesAlone)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"positions.ini");
    IniWriteToolWindowPositions(&form, file, L"");
    TMemIniFile ini(file);
    ini.WriteString(L"Bar2", L"DockedTo", L"RenamedDock");  // no such dock any more
    ini.WriteInteger(L"Bar3", L"Rev", 1);                   // an unknown revision
    ini.WriteString(L"Bar1", L"DockedTo", L"");             // saved in a locked dock
    ini.WriteInteger(L"Bar1", L"Visible", 0);
    ini.UpdateFile();

    bar2->SetDockedTo(left);
    bar3->SetVisible(false);
    IniReadToolWindowPositions(&form, file, L"");
    EXPECT_EQ(bar2->DockedTo(), left) << "a dock that is gone leaves the toolbar where it is";
    EXPECT_FALSE(bar3->Visible()) << "the section is skipped";
    EXPECT_FALSE(bar1->Visible()) << "only the visibility is restored";
    EXPECT_EQ(bar1->DockedTo(), top);
}

TEST_F(PositionsTest, UnnamedToolWindowsCannotBeSavedButTheFileIsWritten)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"positions.ini");
    bar3->SetName(L"");
    try {
        IniWriteToolWindowPositions(&form, file, L"");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Cannot save tool window's position because Name property is not set");
    }
    TMemIniFile ini(file);
    EXPECT_TRUE(ini.SectionExists(L"Bar1")) << "what was saved before the failure is written";

    bar3->SetName(L"Bar3");
    top->SetName(L"");
    EXPECT_THROW(RegWriteToolWindowPositions(&form, kTestKey), Exception);
}

namespace {

// Floats Bar2 at a place and wraps Bar1 floating, as a user leaves them.
void FloatSome(TKyToolbar* bar1, TKyToolbar* bar2)
{
    (new TKyToolbarButton(bar1->Owner()))->SetParent(bar1);
    (new TKyToolbarButton(bar1->Owner()))->SetParent(bar1);
    bar2->SetFloatingPosition(POINT{300, 200});
    bar2->SetDockedTo(nullptr);
    bar1->SetFloatingPosition(POINT{500, 400});
    bar1->SetDockedTo(nullptr);
    bar1->SetFloatingRightX(40);
}

}  // namespace

TEST_F(PositionsTest, FloatingPlacesAndWrapWidthsSurviveBothStores)
{
    FloatSome(bar1, bar2);
    ASSERT_TRUE(bar2->Floating());
    const RECT wrapped = RECT{bar1->Left(), bar1->Top(), bar1->Left() + bar1->Width(), bar1->Top() + bar1->Height()};
    EXPECT_GT(wrapped.bottom - wrapped.top, wrapped.right - wrapped.left) << "three buttons wrapped one a line";
    test::TestDir dir;
    const std::wstring file = dir.File(L"positions.ini");
    IniWriteToolWindowPositions(&form, file, L"");
    RegWriteToolWindowPositions(&form, kTestKey);
    {
        TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadString(L"Bar2", L"DockedTo", L""), L"+");
        EXPECT_EQ(ini.ReadString(L"Bar2", L"LastDock", L""), L"TopDock");
        EXPECT_EQ(ini.ReadInteger(L"Bar2", L"FloatLeft", 0), 300);
        EXPECT_EQ(ini.ReadInteger(L"Bar2", L"FloatTop", 0), 200);
        EXPECT_EQ(ini.ReadInteger(L"Bar1", L"FloatRightX", 0), 40);
    }
    auto scramble = [&] {
        bar1->SetDockedTo(left);
        bar1->SetFloatingRightX(0);
        bar2->SetDockedTo(left);
        bar2->SetFloatingPosition(POINT{10, 10});
        bar3->SetDockedTo(top);
    };
    auto expectRestored = [&](const char* store) {
        EXPECT_TRUE(bar1->Floating()) << store;
        EXPECT_EQ(bar1->FloatingRightX(), 40) << store;
        EXPECT_EQ(bar1->Left(), wrapped.left) << store;
        EXPECT_EQ(bar1->Height(), wrapped.bottom - wrapped.top) << store << ": wrapped again";
        EXPECT_TRUE(bar2->Floating()) << store;
        EXPECT_EQ(bar2->Left(), 300) << store;
        EXPECT_EQ(bar2->Top(), 200) << store;
        EXPECT_EQ(bar2->LastDock(), top) << store;
        EXPECT_EQ(bar3->DockedTo(), left) << store;
        EXPECT_EQ(top->Height(), 0) << store << ": the top dock is empty again";
    };
    scramble();
    IniReadToolWindowPositions(&form, file, L"");
    expectRestored("INI");
    scramble();
    RegReadToolWindowPositions(&form, kTestKey);
    expectRestored("registry");
}

TEST_F(PositionsTest, ADockedToolbarThatNeverFloatedFloatsFirstWhereItIs)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"positions.ini");
    IniWriteToolWindowPositions(&form, file, L"");
    {
        TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadInteger(L"Bar2", L"FloatLeft", -1), 0);
        EXPECT_EQ(ini.ReadInteger(L"Bar2", L"FloatTop", -1), 0);
    }
    IniReadToolWindowPositions(&form, file, L"");
    RECT docked{};
    GetWindowRect(bar2->Handle(), &docked);
    bar2->SetDockedTo(nullptr);
    EXPECT_EQ(bar2->Left(), docked.left) << "not in the screen's corner";
    EXPECT_EQ(bar2->Top(), docked.top);
}

TEST_F(PositionsTest, OldRevisionsLockedDocksLostPlacesAndUnnamedWindows)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"positions.ini");
    bar2->SetFloatingPosition(POINT{300, 200});
    bar2->SetDockedTo(nullptr);
    IniWriteToolWindowPositions(&form, file, L"");
    {
        TMemIniFile ini(file);
        ini.WriteInteger(L"Bar2", L"Rev", 2);  // an older revision
        ini.WriteString(L"Bar2", L"LastDock", L"LeftDock");
        ini.WriteInteger(L"Bar3", L"FloatLeft", -30000);  // a monitor that is gone
        ini.WriteInteger(L"Bar3", L"FloatTop", -30000);
        ini.WriteString(L"Bar3", L"DockedTo", L"+");
        ini.UpdateFile();
    }
    bar2->SetDockedTo(top);
    IniReadToolWindowPositions(&form, file, L"");
    EXPECT_TRUE(bar2->Floating());
    EXPECT_EQ(bar2->LastDock(), top) << "revision 2 has no last dock to read";
    ASSERT_TRUE(bar3->Floating());
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(bar3->Left(), work.left) << "brought back onto the screen";
    EXPECT_EQ(bar3->Top(), work.top);

    // A dock that forbids dragging keeps its toolbars: only the visibility
    // of one saved there comes back.
    top->SetAllowDrag(false);
    bar1->SetVisible(false);
    IniWriteToolWindowPositions(&form, file, L"");
    {
        TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadString(L"Bar1", L"DockedTo", L"?"), L"");
    }
    top->SetAllowDrag(true);
    bar1->SetVisible(true);
    bar1->SetDockedTo(left);
    IniReadToolWindowPositions(&form, file, L"");
    EXPECT_FALSE(bar1->Visible());
    EXPECT_EQ(bar1->DockedTo(), left);

    bar3->SetName(L"");
    try {
        IniReadToolWindowPositions(&form, file, L"");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Cannot restore tool window's position because Name property is not set");
    }
    EXPECT_EQ(top->Height(), 0) << "the docks were released and arranged";
}
