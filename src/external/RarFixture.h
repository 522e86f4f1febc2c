#pragma once
// Builds RAR 1.5-4.x archives in memory for tests and fuzz seeds: stored
// entries with their CRC, and entries marked compressed, encrypted, split
// or damaged; an archive comment, a solid or volume flag, a stub in front.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv::external {

struct TRarFixtureEntry {
    std::string Name;  // stored bytes (OEM code page), "\" between levels
    std::string Data;
    uint32_t DosTime = 0x5A8A6000;
    uint32_t Attr = 0x20;   // 0x10 with Directory
    uint8_t HostOS = 2;     // Win32
    uint8_t Method = 0x30;  // stored; 0x31-0x35 mark it compressed (data stays as given)
    bool Encrypted = false;
    bool Directory = false;
    bool DamagedCrc = false;
    int64_t DeclaredSize = -1;  // >= 0: the unpacked size the header claims instead of the data's
};

struct TRarFixtureOptions {
    std::string Comment;  // stored in the main header
    bool Solid = false;
    bool Volume = false;
    std::string Stub;  // bytes in front (a self-extractor's program)
    bool WithEndBlock = true;
};

std::string BuildRarFixture(const std::vector<TRarFixtureEntry>& Entries, const TRarFixtureOptions& Options = {});

// The opening bytes of a RAR 5 archive, which the reader refuses.
std::string Rar5Signature();

}  // namespace qrv::external
