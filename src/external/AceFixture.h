#pragma once
// Builds archives of the ACE library's format in memory for tests and fuzz
// seeds: stored entries, folders, an unknown method, the encrypted flag, a
// damaged data or header CRC, a newer format version, a comment.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv::external {

struct TAceFixtureEntry {
    std::string Name;  // UTF-8, "\" between levels
    std::string Data;
    uint32_t DosTime = 0x5A8A6000;
    uint16_t Attributes = 0x20;  // 0x10: a folder
    uint8_t Method = 0;
    bool Encrypted = false;
    bool DamagedCrc = false;
    bool DamagedHeader = false;
    int64_t DeclaredSize = -1;  // >= 0: the size the header claims instead of the data's
};

struct TAceFixtureOptions {
    std::string Comment;
    uint8_t Version = 20;
};

std::string BuildAceFixture(const std::vector<TAceFixtureEntry>& Entries, const TAceFixtureOptions& Options = {});

}  // namespace qrv::external
