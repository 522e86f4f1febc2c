#include "framework/win/Registry.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {
std::wstring StripSlashes(std::wstring path)
{
    while (!path.empty() && path.front() == L'\\')
        path.erase(path.begin());
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

[[noreturn]] void InvalidType(const std::wstring& name)
{
    throw ERegistryException(L"Ungültiger Datentyp für '" + name + L"'");
}
}  // namespace

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    rootKey_ = root;
}

void TRegistry::CloseKey()
{
    currentKey_.Reset();
    currentPath_.clear();
}

std::wstring TRegistry::ResolvePath(const std::wstring& key) const
{
    const bool absolute = !key.empty() && key.front() == L'\\';
    std::wstring path = StripSlashes(key);
    if (!absolute && currentKey_ && !currentPath_.empty())
        path = path.empty() ? currentPath_ : currentPath_ + L"\\" + path;
    return path;
}

bool TRegistry::Open(const std::wstring& key, bool canCreate, REGSAM access)
{
    const std::wstring path = ResolvePath(key);
    TRegKey opened;
    LONG result;
    if (canCreate)
        result = RegCreateKeyExW(rootKey_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 opened.Receive(), nullptr);
    else
        result = RegOpenKeyExW(rootKey_, path.c_str(), 0, access, opened.Receive());
    if (result != ERROR_SUCCESS)
        return false;
    CloseKey();
    currentKey_ = std::move(opened);
    currentPath_ = path;
    return true;
}

bool TRegistry::OpenKey(const std::wstring& key, bool canCreate)
{
    return Open(key, canCreate, access_);
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& key)
{
    return Open(key, false, KEY_READ);
}

bool TRegistry::CreateKey(const std::wstring& key)
{
    TRegKey created;
    const std::wstring path = ResolvePath(key);
    return RegCreateKeyExW(rootKey_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           created.Receive(), nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::wstring& key)
{
    const std::wstring path = ResolvePath(key);
    if (path.empty())
        return false;  // never the root itself
    return RegDeleteTreeW(rootKey_, path.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::wstring& key)
{
    TRegKey opened;
    return RegOpenKeyExW(rootKey_, ResolvePath(key).c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

bool TRegistry::HasSubKeys()
{
    DWORD subKeys = 0;
    return currentKey_ &&
           RegQueryInfoKeyW(currentKey_.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

void TRegistry::GetKeyNames(TStrings& names)
{
    names.Clear();
    if (!currentKey_)
        return;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(currentKey_.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.Add(std::wstring(name, length));
    }
}

void TRegistry::GetValueNames(TStrings& names)
{
    names.Clear();
    if (!currentKey_)
        return;
    std::wstring name(16384, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(currentKey_.Get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.Add(name.substr(0, length));
    }
}

bool TRegistry::ValueExists(const std::wstring& name)
{
    return currentKey_ &&
           RegQueryValueExW(currentKey_.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::wstring& name)
{
    return currentKey_ && RegDeleteValueW(currentKey_.Get(), name.c_str()) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const std::wstring& name)
{
    DWORD type = 0;
    if (!currentKey_ ||
        RegQueryValueExW(currentKey_.Get(), name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return TRegDataType::rdUnknown;
    switch (type) {
    case REG_SZ:
        return TRegDataType::rdString;
    case REG_EXPAND_SZ:
        return TRegDataType::rdExpandString;
    case REG_DWORD:
        return TRegDataType::rdInteger;
    case REG_BINARY:
        return TRegDataType::rdBinary;
    default:
        return TRegDataType::rdUnknown;
    }
}

int TRegistry::GetDataSize(const std::wstring& name)
{
    DWORD size = 0;
    if (!currentKey_ ||
        RegQueryValueExW(currentKey_.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

bool TRegistry::ReadRaw(const std::wstring& name, DWORD& type, std::vector<uint8_t>& data)
{
    if (!currentKey_)
        return false;
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        const LONG result = RegQueryValueExW(currentKey_.Get(), name.c_str(), nullptr, &type,
                                             data.empty() ? nullptr : data.data(), &size);
        if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.empty() && size > 0)) {
            data.resize(size);
            continue;
        }
        if (result != ERROR_SUCCESS)
            return false;
        data.resize(size);
        return true;
    }
}

void TRegistry::WriteRaw(const std::wstring& name, DWORD type, const void* data, size_t size)
{
    if (!currentKey_ || RegSetValueExW(currentKey_.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                       static_cast<DWORD>(size)) != ERROR_SUCCESS)
        throw ERegistryException(L"Fehler beim Setzen der Daten für '" + name + L"'");
}

std::wstring TRegistry::ReadString(const std::wstring& name)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    if (!ReadRaw(name, type, data))
        InvalidType(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        InvalidType(name);
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos)
        text.resize(end);
    return text;
}

void TRegistry::WriteString(const std::wstring& name, const std::wstring& value)
{
    WriteRaw(name, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

void TRegistry::WriteExpandString(const std::wstring& name, const std::wstring& value)
{
    WriteRaw(name, REG_EXPAND_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

int TRegistry::ReadInteger(const std::wstring& name)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    if (!ReadRaw(name, type, data) || type != REG_DWORD || data.size() != sizeof(DWORD))
        InvalidType(name);
    DWORD value;
    memcpy(&value, data.data(), sizeof value);
    return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::wstring& name, int value)
{
    const DWORD data = static_cast<DWORD>(value);
    WriteRaw(name, REG_DWORD, &data, sizeof data);
}

bool TRegistry::ReadBool(const std::wstring& name)
{
    return ReadInteger(name) != 0;
}

void TRegistry::WriteBool(const std::wstring& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

std::vector<uint8_t> TRegistry::ReadBinaryData(const std::wstring& name)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    if (!ReadRaw(name, type, data) || (type != REG_BINARY && type != REG_NONE))
        InvalidType(name);
    return data;
}

void TRegistry::WriteBinaryData(const std::wstring& name, const void* data, size_t size)
{
    WriteRaw(name, REG_BINARY, data, size);
}

}  // namespace qrv
