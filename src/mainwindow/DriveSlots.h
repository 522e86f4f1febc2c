#pragma once
// The drive buttons and drive menu items of the main window as data: which
// drive each of the 27 slots shows, with caption, tag, hint, shortcut and
// icon; and what a device-change message asks of the window. Portable: the
// drive table's answers come in as functions.

#include "framework/ShortCuts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// Slots 1..27 hold the drives "A".."Z" and the network entry "\" in that
// order, only the valid ones, packed from the first slot.
constexpr int kDriveSlotCount = 27;

// What the slots need to know of the drives.
struct TDriveSlotFacts {
    std::function<bool(wchar_t Drive)> IsValid;
    std::function<int(wchar_t Drive)> DriveType;
    // "X: name" with the network path of a mapped drive.
    std::function<std::wstring(wchar_t Drive)> LongPrettyName;
    // The network entry's display name.
    std::function<std::wstring(wchar_t Drive)> DisplayName;
    // The drive's icon in the system image list (read when still unknown).
    std::function<int(wchar_t Drive)> ImageIndex;
};

struct TDriveSlot {
    wchar_t Drive = 0;  // 0: the slot shows no drive
    std::wstring Caption = L" ";
    intptr_t Tag = 0;  // the character code of the drive letter
    std::wstring Hint;
    int ImageIndex = -1;
    bool Visible = false;  // visible and enabled go together
    // The drive menu item of the slot: its caption (unchanged when empty),
    // shortcut and state.
    std::wstring MenuCaption;
    TShortCut MenuShortCut = scNone;
    bool MenuEnabled = false;
};

using TDriveSlots = std::array<TDriveSlot, kDriveSlotCount>;

// Fills the slots from the drive table. A remote drive's icon is read once
// and reused for the following remote drives.
TDriveSlots BuildDriveSlots(const TDriveSlotFacts& Facts);

// The hint of a drive button: the long name and the shortcut's text.
std::wstring DriveButtonHint(const std::wstring& LongPrettyName, wchar_t Drive);

// The drive letters of a volume unit mask (bit 0 is "A"); bits beyond "Z"
// name no drive.
std::vector<wchar_t> UnitMaskDrives(uint32_t UnitMask);

// The volume part of a device-change message.
struct TVolumeNotice {
    uint32_t DeviceType = 0;  // 2: a volume
    uint32_t UnitMask = 0;
};

// What a WM_DEVICECHANGE asks of the main window.
struct TDeviceChangeAction {
    // Drives whose folder monitors must stop so that their medium can go.
    std::vector<wchar_t> ReleaseDrives;
    // Refresh the drive list now and once more when the system has settled.
    bool Refresh = false;
    bool DrivesChanged = false;
};

// Notice is nullptr when the message carries no data.
TDeviceChangeAction DecideDeviceChange(uint32_t Event, const TVolumeNotice* Notice);

}  // namespace qrv
