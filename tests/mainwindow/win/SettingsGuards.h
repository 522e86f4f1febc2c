#pragma once
// Guards for tests that touch what the program shares with the user's own
// runs: the settings file in the program folder and the settings key of the
// current user. Each puts back exactly what was there before.

#include "framework/win/WinApi.h"

#include <optional>
#include <string>
#include <vector>

namespace qrv::test {

// "Quorvan32.ini" in the program folder (beside the test program): holds
// content while the guard lives (no file for std::nullopt).
class ProgramFolderIni {
public:
    explicit ProgramFolderIni(const std::optional<std::string>& content);
    ~ProgramFolderIni();
    ProgramFolderIni(const ProgramFolderIni&) = delete;
    ProgramFolderIni& operator=(const ProgramFolderIni&) = delete;

    static std::wstring Path();
    // The file's bytes now, std::nullopt when there is none.
    static std::optional<std::string> Read();

private:
    std::optional<std::string> original_;
};

// A key below HKEY_CURRENT_USER with all its values and subkeys, copied at
// construction and put back (or removed, when it did not exist) at the end.
class RegistryKeyBackup {
public:
    explicit RegistryKeyBackup(std::wstring key);
    ~RegistryKeyBackup();
    RegistryKeyBackup(const RegistryKeyBackup&) = delete;
    RegistryKeyBackup& operator=(const RegistryKeyBackup&) = delete;

    struct Value {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    struct Node {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Node>> subkeys;
    };

private:
    std::wstring key_;
    bool existed_ = false;
    bool complete_ = false;
    Node saved_;
};

}  // namespace qrv::test
