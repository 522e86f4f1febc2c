#include "external/AceFixture.h"

#include "external/ZipFormat.h"

namespace qrv::external {

std::string BuildAceFixture(const std::vector<TAceFixtureEntry>& Entries, const TAceFixtureOptions& Options)
{
    std::string out = "**ACE**";
    out.push_back(static_cast<char>(Options.Version));
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(Options.Comment.size()));
    out += Options.Comment;
    Put32(out, Crc32(0, out.data(), out.size()));
    for (const auto& e : Entries) {
        std::string head;
        Put16(head, static_cast<uint32_t>(31 + e.Name.size()));
        Put16(head, e.Encrypted ? (1u << 14) : 0);
        head.push_back(static_cast<char>(e.Method));
        Put32(head, e.DosTime);
        Put16(head, e.Attributes);
        Put64(head, e.Data.size());
        Put64(head, e.DeclaredSize >= 0 ? static_cast<uint64_t>(e.DeclaredSize) : e.Data.size());
        Put32(head, Crc32(0, e.Data.data(), e.Data.size()) ^ (e.DamagedCrc ? 1u : 0u));
        Put16(head, static_cast<uint32_t>(e.Name.size()));
        head += e.Name;
        Put32(out, Crc32(0, head.data(), head.size()) ^ (e.DamagedHeader ? 1u : 0u));
        out += head;
        out += e.Data;
    }
    Put32(out, 0);
    Put16(out, 0);
    return out;
}

}  // namespace qrv::external
