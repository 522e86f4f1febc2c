#include "mainwindow/DriveSlots.h"

namespace qrv {

namespace {

constexpr wchar_t kNetworkEntry = L'\\';
constexpr int kRemoteDriveType = 4;
constexpr uint32_t kVolumeDeviceType = 2;

}  // namespace

std::wstring DriveButtonHint(const std::wstring& LongPrettyName, wchar_t Drive)
{
    return LongPrettyName + L" (" + ShortCutToText(ShortCut(static_cast<uint16_t>(Drive), scShift | scCtrl)) + L")";
}

TDriveSlots BuildDriveSlots(const TDriveSlotFacts& Facts)
{
    TDriveSlots slots{};
    const wchar_t last = Facts.IsValid(kNetworkEntry) ? kNetworkEntry : L'Z';
    std::optional<int> remoteIcon;
    size_t next = 0;
    for (wchar_t drive = L'A'; drive <= last && next < slots.size(); ++drive) {
        // Between "Z" and "\" lies a spare character that is never a drive.
        if (drive > L'Z' && drive != kNetworkEntry)
            continue;
        if (!Facts.IsValid(drive))
            continue;
        TDriveSlot& slot = slots[next++];
        slot.Drive = drive;
        slot.Tag = drive;
        slot.Visible = true;
        slot.MenuEnabled = true;

        const bool network = drive == kNetworkEntry;
        const bool remote = !network && Facts.DriveType(drive) == kRemoteDriveType;
        if (!remote || !remoteIcon) {
            slot.ImageIndex = Facts.ImageIndex(drive);
            if (remote && slot.ImageIndex >= 0)
                remoteIcon = slot.ImageIndex;
        } else {
            slot.ImageIndex = *remoteIcon;
        }

        if (network) {
            slot.Caption = L"\\\\";
            slot.MenuCaption = slot.Caption;
            slot.Hint = Facts.DisplayName(drive);
        } else {
            slot.Caption = std::wstring(1, drive);
            slot.MenuCaption = slot.Caption;
            slot.Hint = DriveButtonHint(Facts.LongPrettyName(drive), drive);
            slot.MenuShortCut = ShortCut(static_cast<uint16_t>(drive), scShift | scCtrl);
        }
    }
    return slots;
}

std::vector<wchar_t> UnitMaskDrives(uint32_t UnitMask)
{
    std::vector<wchar_t> drives;
    for (int bit = 0; bit <= L'Z' - L'A'; ++bit)
        if (UnitMask & (uint32_t{1} << bit))
            drives.push_back(static_cast<wchar_t>(L'A' + bit));
    return drives;
}

TDeviceChangeAction DecideDeviceChange(uint32_t Event, const TVolumeNotice* Notice)
{
    TDeviceChangeAction action;
    switch (Event) {
    case 0x0017:  // a configuration change is asked for
    case 0x8001:  // a device may be removed
    case 0x8003:  // a device is about to go
        if (Notice && Notice->DeviceType == kVolumeDeviceType)
            action.ReleaseDrives = UnitMaskDrives(Notice->UnitMask);
        action.DrivesChanged = true;
        break;
    case 0x8000:  // a device arrived
    case 0x8004:  // a device is gone
        action.Refresh = true;
        action.DrivesChanged = true;
        break;
    default:
        break;
    }
    return action;
}

}  // namespace qrv
