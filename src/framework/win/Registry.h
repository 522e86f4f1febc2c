#pragma once
// TRegistry: typed access to one open registry key below a root key.

#include "framework/StringList.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY root);
    HKEY CurrentKey() const { return currentKey_.Get(); }
    // The open key's path below the root, without a leading "\".
    const std::wstring& CurrentPath() const { return currentPath_; }

    // A path with a leading "\" starts at the root key, any other path at the
    // key open now. Returns false when the key does not exist (and may not be
    // created) or cannot be opened.
    [[nodiscard]] bool OpenKey(const std::wstring& key, bool canCreate);
    [[nodiscard]] bool OpenKeyReadOnly(const std::wstring& key);
    void CloseKey();
    [[nodiscard]] bool CreateKey(const std::wstring& key);
    // Deletes the key with all its subkeys.
    bool DeleteKey(const std::wstring& key);
    bool KeyExists(const std::wstring& key);
    bool HasSubKeys();
    void GetKeyNames(TStrings& names);
    void GetValueNames(TStrings& names);

    bool ValueExists(const std::wstring& name);
    bool DeleteValue(const std::wstring& name);
    TRegDataType GetDataType(const std::wstring& name);
    // The size of a value's data in bytes, or -1 when it does not exist.
    int GetDataSize(const std::wstring& name);

    // Reads throw ERegistryException when the value is missing or of another type.
    std::wstring ReadString(const std::wstring& name);
    void WriteString(const std::wstring& name, const std::wstring& value);
    void WriteExpandString(const std::wstring& name, const std::wstring& value);
    int ReadInteger(const std::wstring& name);
    void WriteInteger(const std::wstring& name, int value);
    bool ReadBool(const std::wstring& name);
    void WriteBool(const std::wstring& name, bool value);
    std::vector<uint8_t> ReadBinaryData(const std::wstring& name);
    void WriteBinaryData(const std::wstring& name, const void* data, size_t size);

private:
    std::wstring ResolvePath(const std::wstring& key) const;
    [[nodiscard]] bool Open(const std::wstring& key, bool canCreate, REGSAM access);
    [[nodiscard]] bool ReadRaw(const std::wstring& name, DWORD& type, std::vector<uint8_t>& data);
    void WriteRaw(const std::wstring& name, DWORD type, const void* data, size_t size);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    TRegKey currentKey_;
    std::wstring currentPath_;
    REGSAM access_;
};

}  // namespace qrv
