#include "editor/win/EasyRegistryStore.h"

#include "framework/win/Registry.h"

namespace qrv {

TEasyRegistry::TEasyRegistry() : registry_(std::make_unique<TRegistry>())
{
    registry_->SetRootKey(HKEY_CURRENT_USER);
}

TEasyRegistry::~TEasyRegistry() = default;

bool TEasyRegistry::OpenKey(const std::wstring& key, bool canCreate)
{
    registry_->CloseKey();
    // A path from the root of the hive.
    const std::wstring path = !key.empty() && key[0] == L'\\' ? key : L"\\" + key;
    return canCreate ? registry_->OpenKey(path, true) : registry_->OpenKeyReadOnly(path);
}

void TEasyRegistry::CloseKey()
{
    registry_->CloseKey();
}

TEasyRegistryStore::TValueKind TEasyRegistry::ValueKind(const std::wstring& name)
{
    if (!registry_->ValueExists(name))
        return TValueKind::rvNone;
    switch (registry_->GetDataType(name)) {
    case TRegDataType::rdString:
    case TRegDataType::rdExpandString:
        return TValueKind::rvString;
    case TRegDataType::rdInteger:
        return TValueKind::rvInteger;
    case TRegDataType::rdBinary:
        return TValueKind::rvBinary;
    default:
        return TValueKind::rvNone;
    }
}

std::wstring TEasyRegistry::ReadString(const std::wstring& name)
{
    return registry_->ReadString(name);
}

void TEasyRegistry::WriteString(const std::wstring& name, const std::wstring& value)
{
    registry_->WriteString(name, value);
}

int TEasyRegistry::ReadInteger(const std::wstring& name)
{
    return registry_->ReadInteger(name);
}

void TEasyRegistry::WriteInteger(const std::wstring& name, int value)
{
    registry_->WriteInteger(name, value);
}

std::string TEasyRegistry::ReadBinary(const std::wstring& name)
{
    const std::vector<uint8_t> data = registry_->ReadBinaryData(name);
    return std::string(data.begin(), data.end());
}

void TEasyRegistry::WriteBinary(const std::wstring& name, std::string_view data)
{
    registry_->WriteBinaryData(name, data.data(), data.size());
}

TEasyRegistry& EasyRegistry()
{
    static TEasyRegistry registry;
    return registry;
}

void SaveToRegistry(TEasyPersistent& object, const std::wstring& key)
{
    SaveToRegistry(EasyRegistry(), object, key);
}

void LoadFromRegistry(TEasyPersistent& object, const std::wstring& key)
{
    LoadFromRegistry(EasyRegistry(), object, key);
}

}  // namespace qrv
