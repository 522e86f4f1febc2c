#include "panels/KyDriveInfo.h"

namespace qrv {

bool HiddenByNoDrives(wchar_t drive, uint32_t noDrives)
{
    const int bit = drive - kFirstDrive;
    return bit >= 0 && bit < 26 && (noDrives & (1u << bit)) != 0;
}

wchar_t ChooseDefaultDrive(const std::function<int(wchar_t drive)>& driveType, uint32_t noDrives)
{
    constexpr int kFixed = 3;
    for (wchar_t drive = kFirstDrive; drive <= kLastDrive; ++drive)
        if (!HiddenByNoDrives(drive, noDrives) && driveType(drive) == kFixed)
            return drive;
    return L' ';
}

}  // namespace qrv
