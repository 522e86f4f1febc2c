#include "mainwindow/KyRegistry.h"

namespace qrv {

TKyIniRegistry::TKyIniRegistry(const std::wstring& fileName) : IniFile_(fileName) {}

bool TKyIniRegistry::ValueExists(const std::wstring& section, const std::wstring& name)
{
    return IniFile_.ValueExists(section, name);
}

std::wstring TKyIniRegistry::ReadString(const std::wstring& section, const std::wstring& name,
                                        const std::wstring& Default)
{
    return IniFile_.ReadString(section, name, Default);
}

void TKyIniRegistry::WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value)
{
    IniFile_.WriteString(section, name, value);
}

int TKyIniRegistry::ReadInteger(const std::wstring& section, const std::wstring& name, int Default)
{
    return IniFile_.ReadInteger(section, name, Default);
}

void TKyIniRegistry::WriteInteger(const std::wstring& section, const std::wstring& name, int value)
{
    IniFile_.WriteInteger(section, name, value);
}

int64_t TKyIniRegistry::ReadInt64(const std::wstring& section, const std::wstring& name, int64_t Default)
{
    return IniFile_.ReadInt64(section, name, Default);
}

void TKyIniRegistry::WriteInt64(const std::wstring& section, const std::wstring& name, int64_t value)
{
    IniFile_.WriteInt64(section, name, value);
}

bool TKyIniRegistry::ReadBool(const std::wstring& section, const std::wstring& name, bool Default)
{
    return IniFile_.ReadBool(section, name, Default);
}

void TKyIniRegistry::WriteBool(const std::wstring& section, const std::wstring& name, bool value)
{
    IniFile_.WriteBool(section, name, value);
}

void TKyIniRegistry::EraseSection(const std::wstring& section)
{
    IniFile_.EraseSection(section);
}

void TKyIniRegistry::UpdateFile()
{
    IniFile_.UpdateFile();
}

}  // namespace qrv
