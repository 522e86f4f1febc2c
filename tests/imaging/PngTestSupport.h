#pragma once
// Helpers of the PNG tests: files built chunk by chunk and chunk lists read
// back.

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
std::string Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0);
std::string Zlib(const std::string& data, int level = 9);
std::string Inflate(const std::string& data);
std::string Be32(uint32_t value);


}  // namespace qrv::test
