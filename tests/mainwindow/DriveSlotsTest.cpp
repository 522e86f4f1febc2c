// The drive buttons' and drive menu items' data, and the device-change decisions.

#include "mainwindow/DriveSlots.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;

namespace {

struct FakeDrive {
    int Type;
    std::wstring LongName;
    int Icon;
};

// A drive table with the given drives; counts the icon reads per drive.
struct FakeTable {
    std::map<wchar_t, FakeDrive> Drives;
    std::map<wchar_t, int> IconReads;

    TDriveSlotFacts Facts()
    {
        TDriveSlotFacts facts;
        facts.IsValid = [this](wchar_t d) { return Drives.count(d) > 0; };
        facts.DriveType = [this](wchar_t d) { return Drives.at(d).Type; };
        facts.LongPrettyName = [this](wchar_t d) { return Drives.at(d).LongName; };
        facts.DisplayName = [this](wchar_t d) { return Drives.at(d).LongName; };
        facts.ImageIndex = [this](wchar_t d) {
            ++IconReads[d];
            return Drives.at(d).Icon;
        };
        return facts;
    }
};

}  // namespace

TEST(DriveSlots, ValidDrivesFillTheSlotsInLetterOrder)
{
    FakeTable table;
    table.Drives = {
        {L'A', {2, L"A: Diskette", 6}},
        {L'C', {3, L"C: System", 8}},
        {L'Z', {3, L"Z: Wurzel", 8}},
        {L'\\', {0, L"Netzwerkumgebung", 17}},
    };
    const TDriveSlots slots = BuildDriveSlots(table.Facts());

    struct Expected {
        wchar_t drive;
        const wchar_t* caption;
        const wchar_t* hint;
        TShortCut shortCut;
        int icon;
    } expected[] = {
        {L'A', L"A", L"A: Diskette (Umsch+Strg+A)", TShortCut(scShift | scCtrl | 'A'), 6},
        {L'C', L"C", L"C: System (Umsch+Strg+C)", TShortCut(scShift | scCtrl | 'C'), 8},
        {L'Z', L"Z", L"Z: Wurzel (Umsch+Strg+Z)", TShortCut(scShift | scCtrl | 'Z'), 8},
        {L'\\', L"\\\\", L"Netzwerkumgebung", scNone, 17},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const TDriveSlot& slot = slots[i];
        EXPECT_EQ(slot.Drive, expected[i].drive);
        EXPECT_EQ(slot.Tag, static_cast<intptr_t>(expected[i].drive));
        EXPECT_EQ(slot.Caption, expected[i].caption);
        EXPECT_EQ(slot.MenuCaption, expected[i].caption);
        EXPECT_EQ(slot.Hint, expected[i].hint);
        EXPECT_EQ(slot.MenuShortCut, expected[i].shortCut);
        EXPECT_EQ(slot.ImageIndex, expected[i].icon);
        EXPECT_TRUE(slot.Visible);
        EXPECT_TRUE(slot.MenuEnabled);
    }
    for (size_t i = std::size(expected); i < slots.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(slots[i].Drive, 0);
        EXPECT_EQ(slots[i].Caption, L" ");
        EXPECT_EQ(slots[i].Tag, 0);
        EXPECT_FALSE(slots[i].Visible);
        EXPECT_FALSE(slots[i].MenuEnabled);
        EXPECT_EQ(slots[i].MenuShortCut, scNone);
        EXPECT_TRUE(slots[i].MenuCaption.empty()) << "the item keeps its caption";
    }
}

TEST(DriveSlots, WithoutTheNetworkEntryTheWalkEndsAtZ)
{
    FakeTable table;
    table.Drives = {{L'Z', {3, L"Z:", 8}}};
    const TDriveSlots slots = BuildDriveSlots(table.Facts());
    EXPECT_EQ(slots[0].Drive, L'Z');
    EXPECT_FALSE(slots[1].Visible);
}

TEST(DriveSlots, TheIconOfTheFirstRemoteDriveServesTheOthers)
{
    FakeTable table;
    table.Drives = {
        {L'C', {3, L"C:", 8}},
        {L'M', {4, L"M: \\\\srv\\a", 9}},
        {L'N', {4, L"N: \\\\srv\\b", 10}},
        {L'O', {4, L"O: \\\\srv\\c", 11}},
    };
    const TDriveSlots slots = BuildDriveSlots(table.Facts());
    EXPECT_EQ(table.IconReads[L'M'], 1);
    EXPECT_EQ(table.IconReads.count(L'N'), 0u);
    EXPECT_EQ(table.IconReads.count(L'O'), 0u);
    EXPECT_EQ(slots[2].ImageIndex, 9);
    EXPECT_EQ(slots[3].ImageIndex, 9);
    EXPECT_EQ(table.IconReads[L'C'], 1);
}

TEST(DriveSlots, UnitMaskNamesEveryDriveOfItsBits)
{
    struct Case {
        uint32_t mask;
        std::vector<wchar_t> drives;
    } cases[] = {
        {0x1, {L'A'}}, {0x14, {L'C', L'E'}}, {0, {}}, {0x2000000, {L'Z'}}, {0xFC000000, {}},  // bits beyond Z
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnitMaskDrives(c.mask), c.drives) << std::hex << c.mask;
}

TEST(DriveSlots, DeviceChangeDecisions)
{
    const TVolumeNotice volumeCE{2, 0x14};
    const TVolumeNotice port{3, 0x14};
    struct Case {
        uint32_t event;
        const TVolumeNotice* notice;
        std::vector<wchar_t> release;
        bool refresh;
        bool changed;
    } cases[] = {
        {0x8001, &volumeCE, {L'C', L'E'}, false, true},
        {0x8003, &volumeCE, {L'C', L'E'}, false, true},
        {0x0017, nullptr, {}, false, true},  // carries no data
        {0x0017, &volumeCE, {L'C', L'E'}, false, true},
        {0x8001, &port, {}, false, true},  // not a volume
        {0x8000, &volumeCE, {}, true, true},
        {0x8004, nullptr, {}, true, true},
        {0x0007, nullptr, {}, false, false},
    };
    for (const Case& c : cases) {
        const TDeviceChangeAction action = DecideDeviceChange(c.event, c.notice);
        EXPECT_EQ(action.ReleaseDrives, c.release) << std::hex << c.event;
        EXPECT_EQ(action.Refresh, c.refresh) << std::hex << c.event;
        EXPECT_EQ(action.DrivesChanged, c.changed) << std::hex << c.event;
    }
}
