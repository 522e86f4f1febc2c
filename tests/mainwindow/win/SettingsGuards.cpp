#include "SettingsGuards.h"

#include "ProgramProcess.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace qrv::test {

namespace {

std::optional<std::string> ReadBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const std::wstring& path, const std::optional<std::string>& content)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!content) {
        DeleteFileW(path.c_str());
        return;
    }
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << *content;
}

bool ReadTree(HKEY key, RegistryKeyBackup::Node& node)
{
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < values; ++i) {
        RegistryKeyBackup::Value value;
        std::wstring name(maxName + 1, L'\0');
        DWORD nameLength = maxName + 1;
        value.data.resize(maxData);
        DWORD dataLength = maxData;
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(), &dataLength) !=
            ERROR_SUCCESS)
            return false;
        value.name = name.substr(0, nameLength);
        value.data.resize(dataLength);
        node.values.push_back(std::move(value));
    }
    for (DWORD i = 0; i < subkeys; ++i) {
        std::wstring name(maxSubkey + 1, L'\0');
        DWORD nameLength = maxSubkey + 1;
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        name.resize(nameLength);
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS)
            return false;
        RegistryKeyBackup::Node child;
        const bool read = ReadTree(sub, child);
        RegCloseKey(sub);
        if (!read)
            return false;
        node.subkeys.emplace_back(name, std::move(child));
    }
    return true;
}

void WriteTree(HKEY key, const RegistryKeyBackup::Node& node)
{
    for (const RegistryKeyBackup::Value& value : node.values)
        RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const auto& [name, child] : node.subkeys) {
        HKEY sub = nullptr;
        if (RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) != ERROR_SUCCESS)
            continue;
        WriteTree(sub, child);
        RegCloseKey(sub);
    }
}

}  // namespace

std::wstring ProgramFolderIni::Path()
{
    const std::wstring program = ProgramPath();
    return program.substr(0, program.find_last_of(L'\\') + 1) + L"Quorvan32.ini";
}

std::optional<std::string> ProgramFolderIni::Read()
{
    return ReadBytes(Path());
}

ProgramFolderIni::ProgramFolderIni(const std::optional<std::string>& content) : original_(Read())
{
    Put(Path(), content);
}

ProgramFolderIni::~ProgramFolderIni()
{
    Put(Path(), original_);
}

RegistryKeyBackup::RegistryKeyBackup(std::wstring key) : key_(std::move(key))
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    existed_ = true;
    complete_ = ReadTree(opened, saved_);
    RegCloseKey(opened);
}

RegistryKeyBackup::~RegistryKeyBackup()
{
    if (existed_ && !complete_)
        return;  // what could not be copied is not removed either
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
    if (!existed_)
        return;
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) !=
        ERROR_SUCCESS)
        return;
    WriteTree(created, saved_);
    RegCloseKey(created);
}

}  // namespace qrv::test
