#include "panels/DriveComboRules.h"

#include <algorithm>

namespace qrv {

bool DriveTypeListed(int Type, TDriveTypes Types)
{
    return Type >= static_cast<int>(TDriveType::dtUnknown) && Type <= static_cast<int>(TDriveType::dtRAM) &&
           (Types & (1u << static_cast<unsigned>(Type))) != 0;
}

std::vector<wchar_t> ListedDrives(const TDriveComboFacts& Facts, TDriveTypes Types, bool ShowNetwork)
{
    std::vector<wchar_t> drives;
    const wchar_t last = ShowNetwork ? kNetworkDrive : kLastLetter;
    for (wchar_t drive = kFirstDrive; drive <= last; ++drive) {
        if (drive == kSpareDrive)
            continue;
        // The network neighbourhood counts as a remote drive.
        if (Facts.IsValid(drive) && DriveTypeListed(Facts.DriveType(drive), Types))
            drives.push_back(drive);
    }
    return drives;
}

std::wstring DriveItemText(TVolumeDisplayStyle Style, const TDriveNames& Names)
{
    switch (Style) {
    case TVolumeDisplayStyle::doDisplayName:
        return Names.DisplayName;
    case TVolumeDisplayStyle::doLongPrettyName:
        return Names.LongPrettyName;
    case TVolumeDisplayStyle::doPrettyName:
    default:
        return Names.PrettyName;
    }
}

std::wstring DriveItem(wchar_t Drive, const std::wstring& Text)
{
    return std::wstring(1, Drive) + Text;
}

int IndexOfDrive(const std::vector<std::wstring>& Items, wchar_t Drive)
{
    const wchar_t letter = UpCaseDrive(Drive);
    for (size_t i = 0; i < Items.size(); ++i)
        if (!Items[i].empty() && Items[i][0] == letter)
            return static_cast<int>(i);
    return -1;
}

bool TDriveComboState::SetDrive(wchar_t Value, const std::function<bool(wchar_t Drive)>& Accepted)
{
    const wchar_t letter = UpCaseDrive(Value);
    if (letter == drive_ || !Accepted(letter))
        return false;
    drive_ = letter;
    previous_ = letter;
    return true;
}

bool TDriveComboState::Choose(wchar_t Letter, bool DroppedDown)
{
    drive_ = UpCaseDrive(Letter);
    if (DroppedDown)
        return false;
    previous_ = drive_;
    return true;
}

int DroppedListWidth(int FixedWidth, int WidestText, int IconWidth, int ItemCount, int DropDownCount, int ThumbWidth)
{
    if (FixedWidth > 0)
        return FixedWidth;
    int widest = WidestText + IconWidth;
    if (ThumbWidth > 0 && ItemCount > DropDownCount)
        widest += ThumbWidth;
    return widest + 8;
}

int DriveItemHeight(int FontHeight)
{
    return std::max(FontHeight, 10) + 2;
}

int DriveEditHeight(int ItemHeight)
{
    return std::max(ItemHeight, 12);
}

}  // namespace qrv
