#pragma once
// The registry store of the editor family's persistence: the current user's
// hive through the framework's TRegistry. One process-wide object serves
// every editor component.

#include "editor/EasyPersistence.h"

#include <memory>

namespace qrv {

class TRegistry;

class TEasyRegistry : public TEasyRegistryStore {
public:
    TEasyRegistry();
    ~TEasyRegistry() override;

    bool OpenKey(const std::wstring& key, bool canCreate) override;
    void CloseKey() override;
    TValueKind ValueKind(const std::wstring& name) override;
    std::wstring ReadString(const std::wstring& name) override;
    void WriteString(const std::wstring& name, const std::wstring& value) override;
    int ReadInteger(const std::wstring& name) override;
    void WriteInteger(const std::wstring& name, int value) override;
    std::string ReadBinary(const std::wstring& name) override;
    void WriteBinary(const std::wstring& name, std::string_view data) override;

private:
    std::unique_ptr<TRegistry> registry_;
};

// The process-wide registry object, created on first use.
TEasyRegistry& EasyRegistry();

// The object's properties under the key of the current user's hive.
void SaveToRegistry(TEasyPersistent& object, const std::wstring& key);
void LoadFromRegistry(TEasyPersistent& object, const std::wstring& key);

}  // namespace qrv
