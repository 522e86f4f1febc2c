#include "PngTestSupport.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace qrv::test {

std::string Be32(uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string ChunkBytes(const std::string& name, const std::string& data)
{
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(name.data()), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    return Be32(static_cast<uint32_t>(data.size())) + name + data + Be32(static_cast<uint32_t>(crc));
}

std::string BuildPng(const std::vector<RawChunk>& chunks)
{
    std::string file = "\x89PNG\r\n\x1a\n";
    for (const RawChunk& chunk : chunks)
        file += ChunkBytes(chunk.Name, chunk.Data);
    return file;
}

std::vector<RawChunk> ReadChunks(const std::string& file)
{
    std::vector<RawChunk> chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(file.data() + at);
        const uint32_t length = (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
        if (at + 12 + length > file.size())
            break;
        chunks.push_back({file.substr(at + 4, 4), file.substr(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

std::string Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace)
{
    return Be32(width) + Be32(height) + std::string{char(depth), char(colorType), 0, 0, char(interlace)};
}

std::string Zlib(const std::string& data, int level)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), level);
    out.resize(size);
    return out;
}

std::string Inflate(const std::string& data)
{
    z_stream zs{};
    inflateInit(&zs);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[65536];
    int result;
    do {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        result = inflate(&zs, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - zs.avail_out);
    } while (result == Z_OK);
    inflateEnd(&zs);
    return out;
}

}  // namespace qrv::test

#include "framework/Streams.h"

namespace qrv::test {

std::vector<std::string> ChunkNames(const std::string& file)
{
    std::vector<std::string> names;
    for (const RawChunk& chunk : ReadChunks(file))
        names.push_back(chunk.Name);
    return names;
}

std::string InflatedImageData(const std::string& file)
{
    std::string data;
    for (const RawChunk& chunk : ReadChunks(file))
        if (chunk.Name == "IDAT")
            data += chunk.Data;
    return Inflate(data);
}

void LoadPicture(TPngPicture& picture, const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    picture.LoadFromStream(stream);
}

std::string SavePicture(TPngPicture& picture)
{
    TMemoryStream stream;
    picture.SaveToStream(stream);
    return {reinterpret_cast<const char*>(stream.Memory()), stream.Bytes().size()};
}

}  // namespace qrv::test
