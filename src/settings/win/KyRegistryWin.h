#pragma once
// The registry mode of the settings store: one key per section below a base
// key of HKEY_CURRENT_USER, one registry value per setting.

#include "framework/win/Registry.h"
#include "settings/KyRegistry.h"

#include <memory>
#include <string>

namespace qrv {

class TKyRegistryKey final : public TKyRegistry {
public:
    // baseKey: e.g. "\Software\Quorvan Free"; a trailing "\" is added.
    explicit TKyRegistryKey(const std::wstring& baseKey);

    const std::wstring& BaseKey() const { return BaseKey_; }
    // The full path of the key open now, empty when none.
    const std::wstring& OpenKeyPath() const { return OpenKeyPath_; }
    bool OpenedForRead() const { return OpenedForRead_; }

    // Opening for reading never creates the key; opening for writing does.
    bool OpenKeyForRead(const std::wstring& key);
    bool OpenKeyForWrite(const std::wstring& key);

    bool ValueExists(const std::wstring& section, const std::wstring& name) override;
    std::wstring ReadString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& Default) override;
    void WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value) override;
    int ReadInteger(const std::wstring& section, const std::wstring& name, int Default) override;
    void WriteInteger(const std::wstring& section, const std::wstring& name, int value) override;
    // 64-bit values are REG_QWORD; a REG_DWORD written by older versions reads too.
    int64_t ReadInt64(const std::wstring& section, const std::wstring& name, int64_t Default) override;
    void WriteInt64(const std::wstring& section, const std::wstring& name, int64_t value) override;
    bool ReadBool(const std::wstring& section, const std::wstring& name, bool Default) override;
    void WriteBool(const std::wstring& section, const std::wstring& name, bool value) override;
    void EraseSection(const std::wstring& section) override;
    // Closes the key; throws ERegistryException when a write since the last
    // call failed.
    void UpdateFile() override;
    std::wstring StoreName() const override;

private:
    // Opens the section's key unless it is open already in a fitting mode.
    bool OpenSection(const std::wstring& section, bool forWrite);
    template <class Read, class T>
    T ReadValue(const std::wstring& section, const std::wstring& name, T Default, Read read);
    template <class Write>
    void WriteValue(const std::wstring& section, const std::wstring& name, Write write);

    std::wstring BaseKey_;
    std::wstring OpenKeyPath_;
    bool OpenedForRead_ = true;
    TRegistry Registry_;
    std::wstring failedWrite_;  // the first value that could not be written
};

// The store on a registry key (useRegistry) or on an INI file.
std::unique_ptr<TKyRegistry> CreateKyRegistry(const std::wstring& path, bool useRegistry);

}  // namespace qrv
