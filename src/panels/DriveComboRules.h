#pragma once
// What the drive combo box decides without a window: which drives it lists,
// the text of each item, the item of a drive, the drive shown and the one
// Escape returns to, and the sizes of its list. The control itself is
// panels/win/KyComboBox.h. Portable.

#include "panels/DriveViewCore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

// The drive types a box lists, numbered like the system's drive types.
enum class TDriveType { dtUnknown, dtNoRootDir, dtFloppy, dtFixed, dtRemote, dtCDROM, dtRAM };
// A set of TDriveType: bit n stands for type n.
using TDriveTypes = uint32_t;
constexpr TDriveTypes DriveTypeBit(TDriveType Type)
{
    return 1u << static_cast<unsigned>(Type);
}
// Every type but dtUnknown.
constexpr TDriveTypes kDefaultDriveTypes = DriveTypeBit(TDriveType::dtNoRootDir) | DriveTypeBit(TDriveType::dtFloppy) |
                                           DriveTypeBit(TDriveType::dtFixed) | DriveTypeBit(TDriveType::dtRemote) |
                                           DriveTypeBit(TDriveType::dtCDROM) | DriveTypeBit(TDriveType::dtRAM);

// Whether a drive of the system type Type is listed; types outside 0..6
// never are.
bool DriveTypeListed(int Type, TDriveTypes Types);

// What the box asks of the drive table.
struct TDriveComboFacts {
    std::function<bool(wchar_t Drive)> IsValid;
    std::function<int(wchar_t Drive)> DriveType;
    std::function<TDriveNames(wchar_t Drive)> Names;
};

// The drives listed, in letter order: the valid ones of a listed type from A
// to Z, and with ShowNetwork to the network neighbourhood "\" (a remote
// drive to the table).
std::vector<wchar_t> ListedDrives(const TDriveComboFacts& Facts, TDriveTypes Types, bool ShowNetwork);

// The text painted for a drive in the style.
std::wstring DriveItemText(TVolumeDisplayStyle Style, const TDriveNames& Names);

// An item is the drive letter followed by its text.
std::wstring DriveItem(wchar_t Drive, const std::wstring& Text);

// The first item whose first character is the drive; -1 when none.
int IndexOfDrive(const std::vector<std::wstring>& Items, wchar_t Drive);

// The drive shown and the one Escape goes back to.
class TDriveComboState {
public:
    explicit TDriveComboState(wchar_t Start) : drive_(Start), previous_(Start) {}

    wchar_t Drive() const { return drive_; }
    wchar_t PreviousDrive() const { return previous_; }

    // Shows another drive (upper-cased) when Accepted takes it; a refused
    // drive changes neither Drive nor PreviousDrive. True when the drive
    // shown changed.
    bool SetDrive(wchar_t Value, const std::function<bool(wchar_t Drive)>& Accepted);
    // The user chose the item of Letter: while the list is open this only
    // browses (Escape returns); else the choice stands. True when it stands,
    // so that a linked tree follows.
    bool Choose(wchar_t Letter, bool DroppedDown);
    // The drive Escape goes back to.
    wchar_t EscapeDrive() const { return previous_; }

private:
    wchar_t drive_;
    wchar_t previous_;
};

// The width of the open list: a fixed width above 0, else the widest item
// (its text plus IconWidth) + 8, with room for the scroll bar
// (ThumbWidth, when positive) once more items than DropDownCount are listed.
int DroppedListWidth(int FixedWidth, int WidestText, int IconWidth, int ItemCount, int DropDownCount, int ThumbWidth);

// The room the icon takes before an item's text.
constexpr int kDriveIconRoom = 22;

// The item height of the font's height: at least 10, plus 2.
int DriveItemHeight(int FontHeight);
// The height of the edit part: the item height, at least 12.
int DriveEditHeight(int ItemHeight);

}  // namespace qrv
