#include "panels/DriveComboRules.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;

namespace {

// A drive table: A: a floppy, C: and D: fixed, E: a CD drive, M: a network
// drive, Q: of a type the system does not name; the network neighbourhood.
struct FakeDrives {
    std::map<wchar_t, int> types{{L'A', kDriveTypeRemovable}, {L'C', kDriveTypeFixed},  {L'D', kDriveTypeFixed},
                                 {L'E', kDriveTypeCDRom},     {L'M', kDriveTypeRemote}, {L'Q', 9},
                                 {L'\\', kDriveTypeRemote}};
    TDriveComboFacts Facts()
    {
        TDriveComboFacts facts;
        facts.IsValid = [this](wchar_t d) { return types.count(d) != 0; };
        facts.DriveType = [this](wchar_t d) { return types.at(d); };
        facts.Names = [](wchar_t d) {
            return TDriveNames{std::wstring(1, d) + L": System", L"System (" + std::wstring(1, d) + L":)",
                               std::wstring(1, d) + L": \\\\server\\share"};
        };
        return facts;
    }
};

}  // namespace

TEST(DriveComboRules, DrivesListedByTypeAndNetwork)
{
    FakeDrives drives;
    struct Case {
        TDriveTypes types;
        bool network;
        std::vector<wchar_t> listed;
    };
    const Case cases[] = {
        {kDefaultDriveTypes, false, {L'A', L'C', L'D', L'E', L'M'}},
        {kDefaultDriveTypes, true, {L'A', L'C', L'D', L'E', L'M', L'\\'}},
        {DriveTypeBit(TDriveType::dtFixed), false, {L'C', L'D'}},
        {DriveTypeBit(TDriveType::dtFixed), true, {L'C', L'D'}},  // the network is a remote drive
        {DriveTypeBit(TDriveType::dtCDROM) | DriveTypeBit(TDriveType::dtRemote), false, {L'E', L'M'}},
        {DriveTypeBit(TDriveType::dtRemote), true, {L'M', L'\\'}},
        {0, false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListedDrives(drives.Facts(), c.types, c.network), c.listed) << c.types << " " << c.network;
    // A type the system does not name (9) is never listed, whatever the set.
    EXPECT_FALSE(DriveTypeListed(9, 0xFFFFFFFFu));
    EXPECT_FALSE(DriveTypeListed(7, 0xFFFFFFFFu));
    EXPECT_FALSE(DriveTypeListed(-1, 0xFFFFFFFFu));
    EXPECT_FALSE(DriveTypeListed(kDriveTypeUnknown, kDefaultDriveTypes));
}

TEST(DriveComboRules, ItemTextsAndLookup)
{
    FakeDrives drives;
    const TDriveNames names = drives.Facts().Names(L'M');
    EXPECT_EQ(DriveItemText(TVolumeDisplayStyle::doPrettyName, names), L"M: System");
    EXPECT_EQ(DriveItemText(TVolumeDisplayStyle::doDisplayName, names), L"System (M:)");
    EXPECT_EQ(DriveItemText(TVolumeDisplayStyle::doLongPrettyName, names), L"M: \\\\server\\share");

    const std::vector<std::wstring> items{DriveItem(L'C', L"C: System"), DriveItem(L'D', L"D: Daten"),
                                          DriveItem(L'\\', L"Netzwerk")};
    EXPECT_EQ(items[0], L"CC: System") << "the letter is the key before the text";
    EXPECT_EQ(IndexOfDrive(items, L'C'), 0);
    EXPECT_EQ(IndexOfDrive(items, L'd'), 1);
    EXPECT_EQ(IndexOfDrive(items, L'\\'), 2);
    EXPECT_EQ(IndexOfDrive(items, L'E'), -1);
    EXPECT_EQ(IndexOfDrive({L"", L"EE:"}, L'E'), 1) << "an empty item is no drive";
}

TEST(DriveComboRules, RefusedDriveChangesNothingAndEscapeReturns)
{
    FakeDrives drives;
    const TDriveTypes fixedOnly = DriveTypeBit(TDriveType::dtFixed);
    auto accepted = [&](wchar_t d) {
        return drives.types.count(d) != 0 && DriveTypeListed(drives.types.at(d), fixedOnly);
    };
    TDriveComboState state(L'C');
    EXPECT_FALSE(state.SetDrive(L'A', accepted)) << "a floppy in a box of fixed drives";
    EXPECT_EQ(state.Drive(), L'C');
    EXPECT_EQ(state.PreviousDrive(), L'C') << "a refused drive is not what Escape goes back to";
    EXPECT_TRUE(state.SetDrive(L'd', accepted));
    EXPECT_EQ(state.Drive(), L'D');
    EXPECT_EQ(state.PreviousDrive(), L'D');
    EXPECT_FALSE(state.SetDrive(L'D', accepted)) << "the drive shown already";

    // Browsing the open list moves the drive shown, not the one to return to.
    EXPECT_FALSE(state.Choose(L'C', true));
    EXPECT_FALSE(state.Choose(L'E', true));
    EXPECT_EQ(state.Drive(), L'E');
    EXPECT_EQ(state.EscapeDrive(), L'D');
    EXPECT_TRUE(state.SetDrive(state.EscapeDrive(), accepted));
    EXPECT_EQ(state.Drive(), L'D');

    // A choice in the closed box stands.
    EXPECT_TRUE(state.Choose(L'C', false));
    EXPECT_EQ(state.Drive(), L'C');
    EXPECT_EQ(state.EscapeDrive(), L'C');
}

TEST(DriveComboRules, DroppedWidthsAndItemHeights)
{
    struct Case {
        int fixed, widest, icon, count, dropDownCount, thumb, width;
    };
    const Case cases[] = {
        {0, 100, 0, 3, 8, 16, 108},                 // a plain box: widest + 8
        {0, 100, kDriveIconRoom, 3, 8, 16, 130},    // the drive box: + 22 for the icon
        {0, 100, kDriveIconRoom, 9, 8, 16, 146},    // more items than shown: + the scroll bar
        {0, 100, kDriveIconRoom, 8, 8, 16, 130},    // exactly as many: no scroll bar
        {0, 100, kDriveIconRoom, 9, 8, 0, 130},     // no thumb width known
        {250, 100, kDriveIconRoom, 9, 8, 16, 250},  // a fixed width wins
        {-5, 100, 0, 1, 8, 16, 108},                // a negative fixed width is automatic
    };
    for (const Case& c : cases)
        EXPECT_EQ(DroppedListWidth(c.fixed, c.widest, c.icon, c.count, c.dropDownCount, c.thumb), c.width)
            << c.fixed << " " << c.count;

    EXPECT_EQ(DriveItemHeight(16), 18);
    EXPECT_EQ(DriveItemHeight(4), 12) << "at least 10 + 2";
    EXPECT_EQ(DriveEditHeight(DriveItemHeight(4)), 12);
    EXPECT_EQ(DriveEditHeight(11), 12);
    EXPECT_EQ(DriveEditHeight(20), 20);
}
