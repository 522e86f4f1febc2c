#pragma once
// TKyRegistry: the section/value interface of the settings store. The program
// keeps its settings either in an INI file or under a key of the current
// user's registry hive; the schema reads and writes through this interface
// only and does not know which of the two it talks to. Portable: the INI
// implementation is here, the registry one lives with the Win32 code.

#include "framework/IniFiles.h"

#include <cstdint>
#include <string>

namespace qrv {

class TKyRegistry {
public:
    virtual ~TKyRegistry() = default;

    // Reads give Default when the value is missing or cannot be read.
    virtual bool ValueExists(const std::wstring& section, const std::wstring& name) = 0;
    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& name,
                                    const std::wstring& Default) = 0;
    virtual void WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value) = 0;
    virtual int ReadInteger(const std::wstring& section, const std::wstring& name, int Default) = 0;
    virtual void WriteInteger(const std::wstring& section, const std::wstring& name, int value) = 0;
    virtual int64_t ReadInt64(const std::wstring& section, const std::wstring& name, int64_t Default) = 0;
    virtual void WriteInt64(const std::wstring& section, const std::wstring& name, int64_t value) = 0;
    virtual bool ReadBool(const std::wstring& section, const std::wstring& name, bool Default) = 0;
    virtual void WriteBool(const std::wstring& section, const std::wstring& name, bool value) = 0;
    virtual void EraseSection(const std::wstring& section) = 0;
    // Makes every write since the last call durable. Throws an Exception
    // when the store could not be written, so a lost save is never silent.
    virtual void UpdateFile() = 0;
    // The file name or the key the store works on, for messages.
    virtual std::wstring StoreName() const = 0;
};

// The INI mode: a TMemIniFile on the file (a missing file is an empty store).
// Sections and values the program does not write survive a save, and the
// file is replaced atomically.
class TKyIniRegistry final : public TKyRegistry {
public:
    explicit TKyIniRegistry(const std::wstring& fileName);

    TMemIniFile& IniFile() { return iniFile_; }

    bool ValueExists(const std::wstring& section, const std::wstring& name) override;
    std::wstring ReadString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& Default) override;
    void WriteString(const std::wstring& section, const std::wstring& name, const std::wstring& value) override;
    int ReadInteger(const std::wstring& section, const std::wstring& name, int Default) override;
    void WriteInteger(const std::wstring& section, const std::wstring& name, int value) override;
    int64_t ReadInt64(const std::wstring& section, const std::wstring& name, int64_t Default) override;
    void WriteInt64(const std::wstring& section, const std::wstring& name, int64_t value) override;
    bool ReadBool(const std::wstring& section, const std::wstring& name, bool Default) override;
    void WriteBool(const std::wstring& section, const std::wstring& name, bool value) override;
    void EraseSection(const std::wstring& section) override;
    void UpdateFile() override;
    std::wstring StoreName() const override { return iniFile_.FileName(); }

private:
    TMemIniFile iniFile_;
};

}  // namespace qrv
