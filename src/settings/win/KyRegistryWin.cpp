#include "settings/win/KyRegistryWin.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"

namespace qrv {

TKyRegistryKey::TKyRegistryKey(const std::wstring& baseKey)
    : BaseKey_(baseKey.ends_with(L'\\') ? baseKey : baseKey + L'\\'), Registry_(KEY_ALL_ACCESS)
{
    Registry_.SetRootKey(HKEY_CURRENT_USER);
}

bool TKyRegistryKey::OpenKeyForRead(const std::wstring& key)
{
    OpenedForRead_ = true;
    if (Registry_.OpenKeyReadOnly(key)) {
        OpenKeyPath_ = key;
        return true;
    }
    Registry_.CloseKey();
    OpenKeyPath_.clear();
    return false;
}

bool TKyRegistryKey::OpenKeyForWrite(const std::wstring& key)
{
    OpenedForRead_ = false;
    if (Registry_.OpenKey(key, true)) {
        OpenKeyPath_ = key;
        return true;
    }
    Registry_.CloseKey();
    OpenKeyPath_.clear();
    return false;
}

bool TKyRegistryKey::OpenSection(const std::wstring& section, bool forWrite)
{
    const std::wstring key = BaseKey_ + section;
    // A key opened for writing serves reads too, not the other way round.
    if (!OpenKeyPath_.empty() && OpenKeyPath_ == key && (!forWrite || !OpenedForRead_))
        return true;
    return forWrite ? OpenKeyForWrite(key) : OpenKeyForRead(key);
}

template <class Read, class T>
T TKyRegistryKey::ReadValue(const std::wstring& section, const std::wstring& name, T Default, Read read)
{
    try {
        if (!OpenSection(section, false) || !Registry_.ValueExists(name))
            return Default;
        return read(name);
    } catch (const Exception&) {
        TraceIgnoredException(L"reading a stored value");
        return Default;
    }
}

template <class Write>
void TKyRegistryKey::WriteValue(const std::wstring& section, const std::wstring& name, Write write)
{
    try {
        if (OpenSection(section, true)) {
            write(name);
            return;
        }
    } catch (const Exception&) {
        TraceIgnoredException(L"writing a stored value");
    }
    if (failedWrite_.empty())
        failedWrite_ = BaseKey_ + section + L"\\" + name;
}

bool TKyRegistryKey::ValueExists(const std::wstring& section, const std::wstring& name)
{
    return OpenSection(section, false) && Registry_.ValueExists(name);
}

std::wstring TKyRegistryKey::ReadString(const std::wstring& section, const std::wstring& name,
                                        const std::wstring& Default)
{
    return ReadValue(section, name, Default, [this](const std::wstring& n) { return Registry_.ReadString(n); });
}

void TKyRegistryKey::WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value)
{
    WriteValue(section, name, [&](const std::wstring& n) { Registry_.WriteString(n, value); });
}

int TKyRegistryKey::ReadInteger(const std::wstring& section, const std::wstring& name, int Default)
{
    return ReadValue(section, name, Default, [this](const std::wstring& n) { return Registry_.ReadInteger(n); });
}

void TKyRegistryKey::WriteInteger(const std::wstring& section, const std::wstring& name, int value)
{
    WriteValue(section, name, [&](const std::wstring& n) { Registry_.WriteInteger(n, value); });
}

int64_t TKyRegistryKey::ReadInt64(const std::wstring& section, const std::wstring& name, int64_t Default)
{
    return ReadValue(section, name, Default, [this, Default](const std::wstring& n) -> int64_t {
        DWORD type = 0;
        uint64_t data = 0;
        DWORD size = sizeof data;
        if (RegQueryValueExW(Registry_.CurrentKey(), n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                             &size) != ERROR_SUCCESS)
            return Default;
        if (type == REG_QWORD && size == sizeof(uint64_t))
            return static_cast<int64_t>(data);
        if (type == REG_DWORD && size == sizeof(uint32_t))
            return static_cast<int32_t>(static_cast<uint32_t>(data));
        return Default;
    });
}

void TKyRegistryKey::WriteInt64(const std::wstring& section, const std::wstring& name, int64_t value)
{
    WriteValue(section, name, [&](const std::wstring& n) {
        if (RegSetValueExW(Registry_.CurrentKey(), n.c_str(), 0, REG_QWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof value) != ERROR_SUCCESS)
            throw ERegistryException(L"Fehler beim Schreiben von " + n);
    });
}

bool TKyRegistryKey::ReadBool(const std::wstring& section, const std::wstring& name, bool Default)
{
    return ReadValue(section, name, Default, [this](const std::wstring& n) { return Registry_.ReadBool(n); });
}

void TKyRegistryKey::WriteBool(const std::wstring& section, const std::wstring& name, bool value)
{
    WriteValue(section, name, [&](const std::wstring& n) { Registry_.WriteBool(n, value); });
}

void TKyRegistryKey::EraseSection(const std::wstring& section)
{
    // The key goes away: whatever handle is open on it must not be reused.
    Registry_.CloseKey();
    OpenKeyPath_.clear();
    const std::wstring key = BaseKey_ + section;
    if (Registry_.KeyExists(key) && !Registry_.DeleteKey(key) && failedWrite_.empty())
        failedWrite_ = key;
}

void TKyRegistryKey::UpdateFile()
{
    Registry_.CloseKey();
    OpenKeyPath_.clear();
    if (failedWrite_.empty())
        return;
    const std::wstring failed = failedWrite_;
    failedWrite_.clear();
    throw ERegistryException(L"Der Registrierungswert \"HKEY_CURRENT_USER" + failed +
                             L"\" konnte nicht geschrieben werden.");
}

std::wstring TKyRegistryKey::StoreName() const
{
    return L"HKEY_CURRENT_USER" + BaseKey_.substr(0, BaseKey_.size() - 1);
}

std::unique_ptr<TKyRegistry> CreateKyRegistry(const std::wstring& path, bool useRegistry)
{
    if (useRegistry)
        return std::make_unique<TKyRegistryKey>(path);
    return std::make_unique<TKyIniRegistry>(path);
}

}  // namespace qrv
