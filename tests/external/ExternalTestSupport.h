#pragma once
// Helpers of the stand-in libraries' tests: file trees written and read
// back, a recorder for the libraries' callbacks, command records filled as
// the zip component fills them, and the Debian tools used as oracles.

#include "external/UnzDllApi.h"
#include "external/ZipDllApi.h"

#include <cstdint>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qrv::test {

namespace fs = std::filesystem;

// Relative path ("/" between levels) -> contents.
using TTree = std::map<std::string, std::string>;

void WriteTree(const fs::path& root, const TTree& tree);
TTree ReadTree(const fs::path& root);
std::string ReadFile(const fs::path& file);
void WriteFile(const fs::path& file, const std::string& bytes);

// Trees compared by names and sizes first, so a failure stays readable.
void ExpectSameTree(const TTree& actual, const TTree& expected);

// Deterministic bytes: text-like or incompressible.
std::string TextBytes(size_t size, uint32_t seed);
std::string RandomBytes(size_t size, uint32_t seed);

// Runs a shell command; its exit code.
int Shell(const std::string& command);
bool HaveTool(const std::string& name);
std::string Quote(const fs::path& path);

// Every callback the library makes, with a hook to answer.
struct TCallbackLog {
    std::vector<ZipCallbackData> Calls;
    std::function<int32_t(ZipCallbackData&)> Answer;  // default: 0

    std::vector<std::string> Texts(int32_t action) const;
    size_t Count(int32_t action) const;
};
int32_t QRV_ZIPAPI RecordCallback(ZipCallbackData* data);

// An unzip command as the zip component builds it.
struct TUnzipCall {
    std::string Archive;
    std::string ExtractDir;
    std::string Password;
    bool HasPassword = false;
    bool Test = false;
    bool DirNames = true;
    bool Overwrite = true;
    bool Freshen = false;
    bool Update = false;
    int PasswordReqCount = 1;
    std::vector<std::string> Specs;
    TCallbackLog Log;
    // Into memory: the size the library asks for is taken, but at most
    // MemoryRoom bytes.
    bool ToMemory = false;
    size_t MemoryRoom = SIZE_MAX;
    std::string Memory;

    int32_t Run();  // through the unzip core with portable hooks
};

struct TZipCall {
    std::string Archive;
    std::string RootDir;
    std::string Password;
    int Level = 6;
    int Action = zopAdd;
    bool DirNames = true;
    bool Recurse = true;
    bool Encrypt = false;
    bool Move = false;
    bool Update = false;
    bool Freshen = false;
    std::string StoreSuffixes = ".gif:.png:.zip";
    std::vector<std::string> Specs;
    std::vector<std::string> Excludes;
    TCallbackLog Log;
    // From memory: these bytes become the entry named by the first spec.
    bool FromMemory = false;
    std::string Memory;

    int32_t Run();
};

}  // namespace qrv::test
