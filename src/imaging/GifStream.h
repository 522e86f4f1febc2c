#pragma once
// The byte-level pieces of a GIF file: reading and writing bytes and data
// sub-blocks, the colour table, the bits a colour count needs and the
// 216-colour web palette. Portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

class TStream;

// Reads exactly count bytes or raises "Premature end of data".
void ReadGIFBytes(TStream& stream, void* buffer, size_t count);
uint8_t ReadGIFByte(TStream& stream);
// The next byte without consuming it; -1 at the end of the stream.
int PeekGIFByte(TStream& stream);
void WriteGIFByte(TStream& stream, uint8_t value);
void WriteGIFWord(TStream& stream, uint16_t value);
inline uint16_t GIFWord(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
// Bytes left between the position and the end of the stream.
int64_t GIFBytesLeft(TStream& stream);

// Data sub-blocks as a list of strings, one per block. Reading stops after
// a 0 size byte or at the end of the stream; a block cut by the end keeps
// what is there. Writing cuts each string into blocks of at most 255 bytes
// (an empty string writes nothing) and ends with a 0 byte.
std::vector<std::string> ReadGIFSubBlocks(TStream& stream);
void WriteGIFSubBlocks(TStream& stream, const std::vector<std::string>& blocks);
// Skips sub-blocks up to and including the 0 size byte (or the end).
void SkipGIFSubBlocks(TStream& stream);

// Bits a table of n colours needs: 0 for none, else the smallest b >= 1
// with 2^b >= n.
int GIFColorBits(int count);

struct TGIFColor {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

class TGIFEventSink;

// A global or local colour table of up to 256 entries.
class TGIFColorMap {
public:
    static constexpr int kMaxColors = 256;

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // Set when the entries are ordered by descending use; written as the
    // table's sort flag.
    bool Sorted = false;
    // Entry i, unchecked (i < Count()).
    const TGIFColor& operator[](int index) const { return entries_[index]; }
    // Entry i for a lookup: outside the table warns "Invalid color index" and
    // gives entry 0; an empty table raises "Color table is empty".
    TGIFColor Lookup(int index, TGIFEventSink* sink, const void* sender) const;
    void SetEntry(int index, TGIFColor color);
    // Appends; a full table raises "Color table overflow".
    int Add(TGIFColor color);
    // The index of an equal entry, else a new one.
    int AddUnique(TGIFColor color);
    // Removes entry i; outside the table raises "Invalid color index".
    void Delete(int index);
    // A sorted table gives the first equal entry, any other the last; -1
    // when absent.
    int IndexOf(TGIFColor color) const;
    void Clear();
    // Entry i becomes the old entry order[i], for i below count (at most
    // Count()); the rest are dropped.
    void Reorder(const int* order, int count);
    // Bits for Count().
    int Bits() const { return GIFColorBits(count_); }

    // Reads count triples.
    void LoadFromStream(TStream& stream, int count);
    // Writes Count() triples padded with black up to 2^Bits() entries.
    void SaveToStream(TStream& stream) const;

    bool operator==(const TGIFColorMap& other) const;

private:
    std::array<TGIFColor, kMaxColors> entries_{};
    int count_ = 0;
};

// The 216-colour web palette: red outer, green middle, blue inner, each
// taking 0, 51, 102, 153, 204 and 255.
const std::array<TGIFColor, 216>& GIFWebPalette();

}  // namespace qrv
