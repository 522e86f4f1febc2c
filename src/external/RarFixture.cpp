#include "external/RarFixture.h"

#include "external/RarFormat.h"
#include "external/ZipFormat.h"

namespace qrv::external {

namespace {

using namespace rarfmt;

// Sets a block's CRC field: the low half of the CRC-32 of its header
// bytes from the type on, up to End.
void SealBlock(std::string& block, size_t end)
{
    const uint32_t crc = Crc32(0, block.data() + 2, end - 2) & 0xFFFF;
    block[0] = static_cast<char>(crc & 0xFF);
    block[1] = static_cast<char>(crc >> 8);
}

std::string BaseHeader(uint8_t type, uint32_t flags, uint32_t size)
{
    std::string h;
    Put16(h, 0);
    h.push_back(static_cast<char>(type));
    Put16(h, flags);
    Put16(h, size);
    return h;
}

}  // namespace

std::string Rar5Signature()
{
    return std::string(kMarker5) + std::string(24, '\0');
}

std::string BuildRarFixture(const std::vector<TRarFixtureEntry>& Entries, const TRarFixtureOptions& Options)
{
    std::string out = Options.Stub;
    out += kMarker;

    uint32_t mainFlags = (Options.Solid ? kMainSolid : 0) | (Options.Volume ? kMainVolume : 0);
    std::string comment;
    if (!Options.Comment.empty()) {
        mainFlags |= kMainComment;
        comment = BaseHeader(kCommHead, 0, static_cast<uint32_t>(kCommentHeaderSize + Options.Comment.size()));
        Put16(comment, static_cast<uint32_t>(Options.Comment.size()));
        comment.push_back(29);  // version needed
        comment.push_back(static_cast<char>(kRarStore));
        Put16(comment, Crc32(0, Options.Comment.data(), Options.Comment.size()) & 0xFFFF);
        SealBlock(comment, kCommentHeaderSize);
        comment += Options.Comment;
    }
    std::string main = BaseHeader(kMainHead, mainFlags, static_cast<uint32_t>(kMainHeaderSize + comment.size()));
    Put16(main, 0);
    Put32(main, 0);
    SealBlock(main, kMainHeaderSize);
    out += main + comment;

    for (const auto& e : Entries) {
        uint32_t flags = kLongBlock | (e.Encrypted ? kFileEncrypted : 0) | (e.Directory ? kFileDirectory : 0);
        std::string h = BaseHeader(kFileHead, flags, static_cast<uint32_t>(kFileHeaderSize + e.Name.size()));
        Put32(h, static_cast<uint32_t>(e.Data.size()));
        Put32(h, static_cast<uint32_t>(e.DeclaredSize >= 0 ? static_cast<uint64_t>(e.DeclaredSize) : e.Data.size()));
        h.push_back(static_cast<char>(e.HostOS));
        Put32(h, Crc32(0, e.Data.data(), e.Data.size()) ^ (e.DamagedCrc ? 0x00010000u : 0));
        Put32(h, e.DosTime);
        h.push_back(29);  // version needed: 2.9
        h.push_back(static_cast<char>(e.Method));
        Put16(h, static_cast<uint32_t>(e.Name.size()));
        Put32(h, e.Directory ? (e.Attr | 0x10) : e.Attr);
        h += e.Name;
        SealBlock(h, h.size());
        out += h + e.Data;
    }
    if (Options.WithEndBlock) {
        std::string end = BaseHeader(kEndHead, 0x4000, kBaseHeaderSize);
        SealBlock(end, kBaseHeaderSize);
        out += end;
    }
    return out;
}

}  // namespace qrv::external
