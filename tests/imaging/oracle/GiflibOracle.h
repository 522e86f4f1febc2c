#pragma once
// giflib as the reference the GIF codec is compared with: a file decoded by
// DGifSlurp into plain structures, and frames encoded with EGifPutLine. Host
// only (tests and benchmarks).

#include <cstdint>
#include <string>
#include <vector>

namespace qrv::test {

struct TGiflibExtension {
    int Function = 0;  // 0 for a continuation block
    std::string Bytes;
    bool operator==(const TGiflibExtension&) const = default;
};

struct TGiflibFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlace = false;
    std::vector<uint8_t> LocalMap;  // RGB triples
    std::vector<uint8_t> Pixels;    // top-down, width × height
    std::vector<TGiflibExtension> Extensions;
};

struct TGiflibFile {
    bool Ok = false;
    int Error = 0;
    int Width = 0, Height = 0;
    std::vector<uint8_t> GlobalMap;
    std::vector<TGiflibFrame> Frames;
    // Extensions behind the last frame.
    std::vector<TGiflibExtension> TrailingExtensions;
};

TGiflibFile GiflibDecode(const std::string& bytes);

// One frame written by giflib: screen of the frame's size, a global table of
// 2^bits entries, no extensions.
std::string GiflibEncode(int width, int height, int bits, const std::vector<uint8_t>& pixels);

}  // namespace qrv::test
