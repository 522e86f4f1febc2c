#pragma once
// Helpers of the PNG tests: files built chunk by chunk, chunk lists read
// back, and pictures loaded from and saved to memory.

#include "imaging/PngPicture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv::test {

struct RawChunk {
    std::string Name;
    std::string Data;
};

// A PNG file of these chunks, each with a correct CRC.
std::string BuildPng(const std::vector<RawChunk>& chunks);
// The chunk with its CRC (for files assembled by hand).
std::string ChunkBytes(const std::string& name, const std::string& data);
// The chunks of a file, CRCs not checked; stops at the end of the data.
std::vector<RawChunk> ReadChunks(const std::string& file);
std::vector<std::string> ChunkNames(const std::string& file);
std::string Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0);
std::string Zlib(const std::string& data, int level = 9);
std::string Inflate(const std::string& data);
std::string Be32(uint32_t value);
// The IDAT data of a file joined and inflated: the filtered rows.
std::string InflatedImageData(const std::string& file);

void LoadPicture(TPngPicture& picture, const std::string& bytes);
std::string SavePicture(TPngPicture& picture);

// Starts the chunk registry for one test suite.
class ChunkRegistryScope {
public:
    ChunkRegistryScope() { StartPngChunkRegistry(); }
    ~ChunkRegistryScope() { EndPngChunkRegistry(); }
};

}  // namespace qrv::test
