#pragma once
// Files as the stand-in libraries write them: a C stream opened by a wide
// or narrow path as the system needs, closed by its owner.

#include <cstdio>
#include <filesystem>
#include <memory>

namespace qrv::external {

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// Mode as fopen's ("rb", "wb", "r+b"); null when the file cannot be opened.
TFilePtr OpenFile(const std::filesystem::path& Path, const char* Mode);

bool SeekFile(std::FILE* File, uint64_t Offset);
uint64_t TellFile(std::FILE* File);

}  // namespace qrv::external
