#pragma once
// Builds zip archives in memory for tests and fuzz seeds: any stored name
// (hostile ones included), stored or deflated, encrypted, with a damaged
// CRC, a stub in front or an archive comment.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv::external {

struct TZipFixtureEntry {
    std::string Name;  // stored bytes as they are
    std::string Data;
    int Level = 6;                  // 0 stores
    std::string Password;           // non-empty: ZipCrypto
    uint32_t DosTime = 0x5A8A6000;  // 2025-04-10 12:00:00
    uint32_t ExternalAttr = 0x20;
    bool Utf8Name = false;
    bool DamagedCrc = false;
    int64_t DeclaredSize = -1;  // >= 0: the size the headers claim instead of the data's
};

// Stub: bytes in front of the archive (a self-extractor's program) whose
// length the stored offsets do not include.
std::string BuildZipFixture(const std::vector<TZipFixtureEntry>& Entries, const std::string& Stub = {},
                            const std::string& Comment = {});

}  // namespace qrv::external
