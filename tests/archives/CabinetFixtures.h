#pragma once
// Small cabinets written byte by byte for the tests: names exactly as given
// ("/", hostile ones, bytes in any encoding) and sets of several cabinets
// whose one uncompressed folder runs on from cabinet to cabinet, which the
// Debian tools cannot write. Data blocks carry no checksum.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qrv::test {

struct TCabFixtureFile {
    std::string Name;
    std::string Data;
    uint16_t Date = 0x5A8A;  // 2025-04-10
    uint16_t Time = 0x6000;  // 12:00:00
    uint16_t Attribs = 0x20;
};

namespace cabfixture {

inline void Put16(std::string& s, uint32_t v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// Where a file's bytes lie relative to one cabinet of the set.
constexpr uint16_t kInFolder = 0;
constexpr uint16_t kContinuedFromPrev = 0xFFFD;
constexpr uint16_t kContinuedToNext = 0xFFFE;
constexpr uint16_t kContinuedPrevAndNext = 0xFFFF;

}  // namespace cabfixture

// A set of cabinets named Names (one per cabinet). The files' bytes follow
// each other in one stored folder; the folder's stream is cut at the given
// offsets (ascending, one fewer than names, each part more than 200 bytes),
// each part going into the next cabinet in blocks of at most 32 KiB. A file
// is listed in every cabinet its bytes touch, with the folder index saying
// whether it runs on from the previous cabinet, into the next, or both. The
// block at each cut is stored in two parts, as cabinet writers do: the first
// ends its cabinet with an uncompressed size of 0, the second begins the
// next cabinet and counts both parts.
inline std::vector<std::string> CabinetSet(const std::vector<TCabFixtureFile>& files,
                                           const std::vector<std::string>& names, const std::vector<uint32_t>& cuts,
                                           uint16_t setId = 4711)
{
    using namespace cabfixture;
    std::string stream;
    std::vector<uint32_t> starts;
    for (const auto& file : files) {
        starts.push_back(static_cast<uint32_t>(stream.size()));
        stream += file.Data;
    }
    std::vector<uint32_t> bounds{0};
    bounds.insert(bounds.end(), cuts.begin(), cuts.end());
    bounds.push_back(static_cast<uint32_t>(stream.size()));

    std::vector<std::string> cabinets;
    for (size_t c = 0; c < names.size(); ++c) {
        const uint32_t from = bounds[c], to = bounds[c + 1];
        const bool hasPrev = c > 0, hasNext = c + 1 < names.size();

        std::string entries;
        uint16_t count = 0;
        for (size_t f = 0; f < files.size(); ++f) {
            const uint32_t begin = starts[f], end = begin + static_cast<uint32_t>(files[f].Data.size());
            const bool touches = begin == end ? from <= begin && (begin < to || !hasNext) : begin < to && end > from;
            if (!touches)
                continue;
            const bool fromPrev = begin<from, toNext = end> to;
            const uint16_t folder = fromPrev && toNext ? kContinuedPrevAndNext
                                    : fromPrev         ? kContinuedFromPrev
                                    : toNext           ? kContinuedToNext
                                                       : kInFolder;
            Put32(entries, static_cast<uint32_t>(files[f].Data.size()));
            Put32(entries, begin);
            Put16(entries, folder);
            Put16(entries, files[f].Date);
            Put16(entries, files[f].Time);
            Put16(entries, files[f].Attribs);
            entries += files[f].Name;
            entries.push_back('\0');
            ++count;
        }

        // This cabinet's part of the folder in blocks; the last kSplit bytes
        // before a cut and the first kSplit after it form one block.
        constexpr uint32_t kSplit = 100;
        const bool splitHead = hasPrev, splitTail = hasNext;
        std::vector<std::pair<std::string, uint16_t>> blocks;  // bytes, uncompressed size
        uint32_t at = from, end = to;
        if (splitHead) {
            blocks.push_back({stream.substr(at, kSplit), static_cast<uint16_t>(2 * kSplit)});
            at += kSplit;
        }
        if (splitTail)
            end -= kSplit;
        while (at < end) {
            const uint32_t n = std::min<uint32_t>(end - at, 32768);
            blocks.push_back({stream.substr(at, n), static_cast<uint16_t>(n)});
            at += n;
        }
        if (splitTail)
            blocks.push_back({stream.substr(end, kSplit), 0});

        std::string header = "MSCF";
        std::string extra;
        if (hasPrev) {
            extra += names[c - 1] + '\0';
            extra += "Disk " + std::to_string(c) + '\0';
        }
        if (hasNext) {
            extra += names[c + 1] + '\0';
            extra += "Disk " + std::to_string(c + 2) + '\0';
        }
        const uint32_t folderAt = 36 + static_cast<uint32_t>(extra.size());
        const uint32_t filesAt = folderAt + 8;
        const uint32_t dataAt = filesAt + static_cast<uint32_t>(entries.size());
        std::string data;
        for (const auto& [bytes, size] : blocks) {
            Put32(data, 0);
            Put16(data, static_cast<uint32_t>(bytes.size()));
            Put16(data, size);
            data += bytes;
        }
        Put32(header, 0);
        Put32(header, dataAt + static_cast<uint32_t>(data.size()));
        Put32(header, 0);
        Put32(header, filesAt);
        Put32(header, 0);
        header.push_back(3);
        header.push_back(1);
        Put16(header, 1);
        Put16(header, count);
        Put16(header, (hasPrev ? 1u : 0u) | (hasNext ? 2u : 0u));
        Put16(header, setId);
        Put16(header, static_cast<uint32_t>(c));
        header += extra;
        Put32(header, dataAt);
        Put16(header, static_cast<uint32_t>(blocks.size()));
        Put16(header, 0);  // stored
        cabinets.push_back(header + entries + data);
    }
    return cabinets;
}

// One cabinet with one uncompressed folder.
inline std::string StoredCabinet(const std::vector<TCabFixtureFile>& files)
{
    return CabinetSet(files, {"single.cab"}, {}).front();
}

}  // namespace qrv::test
