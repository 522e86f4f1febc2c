#include "settings/KyRegistry.h"

namespace qrv {

TKyIniRegistry::TKyIniRegistry(const std::wstring& fileName) : iniFile_(fileName) {}

bool TKyIniRegistry::ValueExists(const std::wstring& section, const std::wstring& name)
{
    return iniFile_.ValueExists(section, name);
}

std::wstring TKyIniRegistry::ReadString(const std::wstring& section, const std::wstring& name,
                                        const std::wstring& Default)
{
    return iniFile_.ReadString(section, name, Default);
}

void TKyIniRegistry::WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value)
{
    iniFile_.WriteString(section, name, value);
}

int TKyIniRegistry::ReadInteger(const std::wstring& section, const std::wstring& name, int Default)
{
    return iniFile_.ReadInteger(section, name, Default);
}

void TKyIniRegistry::WriteInteger(const std::wstring& section, const std::wstring& name, int value)
{
    iniFile_.WriteInteger(section, name, value);
}

int64_t TKyIniRegistry::ReadInt64(const std::wstring& section, const std::wstring& name, int64_t Default)
{
    return iniFile_.ReadInt64(section, name, Default);
}

void TKyIniRegistry::WriteInt64(const std::wstring& section, const std::wstring& name, int64_t value)
{
    iniFile_.WriteInt64(section, name, value);
}

bool TKyIniRegistry::ReadBool(const std::wstring& section, const std::wstring& name, bool Default)
{
    return iniFile_.ReadBool(section, name, Default);
}

void TKyIniRegistry::WriteBool(const std::wstring& section, const std::wstring& name, bool value)
{
    iniFile_.WriteBool(section, name, value);
}

void TKyIniRegistry::EraseSection(const std::wstring& section)
{
    iniFile_.EraseSection(section);
}

void TKyIniRegistry::UpdateFile()
{
    iniFile_.UpdateFile();
}

}  // namespace qrv
