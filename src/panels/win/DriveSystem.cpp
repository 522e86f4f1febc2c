#include "panels/win/DriveSystem.h"

#include "framework/SysUtils.h"
#include "framework/win/Registry.h"
#include "panels/KyDriveInfo.h"

#include <cstring>

namespace qrv {

int SystemDriveType(wchar_t drive)
{
    if (drive == L'[' || drive == L'\\')
        return DRIVE_REMOTE;
    const wchar_t root[] = {drive, L':', L'\\', 0};
    return static_cast<int>(GetDriveTypeW(root));
}

uint32_t ReadNoDrivesPolicy()
{
    TRegistry registry(KEY_READ);
    if (!registry.OpenKeyReadOnly(L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"))
        return 0;
    try {
        switch (registry.GetDataType(L"NoDrives")) {
        case TRegDataType::rdInteger:
            return static_cast<uint32_t>(registry.ReadInteger(L"NoDrives"));
        case TRegDataType::rdBinary: {
            const std::vector<uint8_t> data = registry.ReadBinaryData(L"NoDrives");
            uint32_t mask = 0;
            if (data.size() == sizeof mask)
                std::memcpy(&mask, data.data(), sizeof mask);
            return mask;
        }
        default:
            return 0;
        }
    } catch (const Exception&) {
        return 0;
    }
}

wchar_t DefaultDrive()
{
    return ChooseDefaultDrive(SystemDriveType, ReadNoDrivesPolicy());
}

}  // namespace qrv
