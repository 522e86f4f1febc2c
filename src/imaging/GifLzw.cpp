#include "imaging/GifLzw.h"

#include "framework/Streams.h"
#include "imaging/GifErrors.h"
#include "imaging/GifStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qrv {

namespace {

constexpr int kMaxCodes = 4096;

// The data sub-blocks of a frame gathered into one buffer, with zero bytes
// behind so that a code can be read with one unaligned load.
struct TGIFCodeData {
    std::vector<uint8_t> Bytes;
    size_t Size = 0;
};

TGIFCodeData ReadCodeData(TStream& stream, TGIFEventSink* sink, const void* sender)
{
    TGIFCodeData data;
    uint8_t size = 0;
    while (stream.Read(&size, 1) == 1 && size != 0) {
        // The buffer grows by what the stream holds, never by what a size
        // byte announces.
        data.Bytes.resize(data.Size + size);
        const size_t got = stream.Read(data.Bytes.data() + data.Size, size);
        data.Size += got;
        if (got < size) {
            if (sink)
                sink->Warning(sender, 1, gif_text::kPrematureEndOfData);
            break;
        }
    }
    data.Bytes.resize(data.Size + 8, 0);
    return data;
}

// Where decoded pixels go: the rows in stored order and a cursor.
class TPixelSink {
public:
    TPixelSink(const std::vector<uint8_t*>& rows, uint32_t width)
        : rows_(rows), width_(width), left_(static_cast<size_t>(width) * rows.size())
    {
        row_ = rows_.empty() ? nullptr : rows_[0];
    }
    bool Full() const { return left_ == 0; }
    size_t Written() const { return static_cast<size_t>(width_) * rows_.size() - left_; }

    // Writes the string of code (length bytes, built backwards through the
    // prefix chain).
    void PutString(int code, int length, const uint16_t* prefix, const uint8_t* suffix)
    {
        if (static_cast<uint32_t>(length) <= width_ - x_) {
            uint8_t* out = row_ + x_ + length;
            for (int i = 0; i < length; ++i) {
                *--out = suffix[code];
                code = prefix[code];
            }
            Advance(length);
            return;
        }
        for (int i = length; i > 0;) {
            stack_[--i] = suffix[code];
            code = prefix[code];
        }
        PutBytes(stack_.data(), length);
    }

private:
    void Advance(int count)
    {
        x_ += static_cast<uint32_t>(count);
        left_ -= static_cast<size_t>(count);
        if (x_ == width_ && left_ > 0) {
            x_ = 0;
            row_ = rows_[++rowIndex_];
        }
    }
    void PutBytes(const uint8_t* bytes, int count)
    {
        while (count > 0 && left_ > 0) {
            const int part = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(count), width_ - x_));
            std::memcpy(row_ + x_, bytes, static_cast<size_t>(part));
            bytes += part;
            count -= part;
            Advance(part);
        }
    }

    const std::vector<uint8_t*>& rows_;
    uint32_t width_;
    size_t left_;
    size_t rowIndex_ = 0;
    uint8_t* row_;
    uint32_t x_ = 0;
    std::array<uint8_t, kMaxCodes> stack_;
};

}  // namespace

size_t DecodeGIFPixels(TStream& stream, const std::vector<uint8_t*>& topDownRows, uint32_t width, bool interlaced,
                       TGIFEventSink* sink, const void* sender)
{
    auto warn = [&](const wchar_t* text) {
        if (sink)
            sink->Warning(sender, 1, text);
    };
    uint8_t minCodeSize = 0;
    if (stream.Read(&minCodeSize, 1) != 1)
        return 0;
    const TGIFCodeData data = ReadCodeData(stream, sink, sender);
    // Codes are at most 12 bits: a clear code of 2^9 or more would leave no
    // room for strings, and 2^12 or more would lie past the tables.
    if (minCodeSize < 1 || minCodeSize > 8) {
        warn(gif_text::kInvalidCodeSize);
        return 0;
    }
    if (width == 0 || topDownRows.empty())
        return 0;
    const std::vector<uint8_t*> rows = GIFRowOrder(topDownRows, interlaced);
    TPixelSink out(rows, width);

    std::array<uint16_t, kMaxCodes> prefix;
    std::array<uint8_t, kMaxCodes> suffix;
    std::array<uint8_t, kMaxCodes> first;
    std::array<uint16_t, kMaxCodes> length;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    for (int i = 0; i < clearCode; ++i) {
        prefix[i] = 0;
        suffix[i] = first[i] = static_cast<uint8_t>(i);
        length[i] = 1;
    }
    int codeSize = minCodeSize + 1;
    int codeLimit = 1 << codeSize;
    int nextCode = clearCode + 2;
    int previous = -1;  // none: directly after a clear or at the start

    const uint8_t* bytes = data.Bytes.data();
    const uint64_t totalBits = static_cast<uint64_t>(data.Size) * 8;
    uint64_t bitPosition = 0;
    while (!out.Full()) {
        if (bitPosition + static_cast<uint64_t>(codeSize) > totalBits) {
            warn(gif_text::kBitBufferUnderRun);
            break;
        }
        uint32_t window;
        std::memcpy(&window, bytes + (bitPosition >> 3), sizeof window);
        const int code = static_cast<int>((window >> (bitPosition & 7)) & ((1u << codeSize) - 1));
        bitPosition += static_cast<uint64_t>(codeSize);

        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            codeLimit = 1 << codeSize;
            nextCode = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode)
            break;
        if (previous < 0) {
            // The first code after a clear must be a pixel.
            if (code > endCode) {
                warn(gif_text::kInvalidCode);
                break;
            }
            out.PutString(code, 1, prefix.data(), suffix.data());
            previous = code;
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= kMaxCodes)) {
            warn(gif_text::kInvalidCode);
            break;
        }
        if (code == nextCode) {
            // The string being defined: the previous one and its own first byte.
            prefix[code] = static_cast<uint16_t>(previous);
            suffix[code] = first[previous];
            first[code] = first[previous];
            length[code] = static_cast<uint16_t>(length[previous] + 1);
            out.PutString(code, length[code], prefix.data(), suffix.data());
            ++nextCode;
        } else {
            out.PutString(code, length[code], prefix.data(), suffix.data());
            if (nextCode < kMaxCodes) {
                prefix[nextCode] = static_cast<uint16_t>(previous);
                suffix[nextCode] = first[code];
                first[nextCode] = first[previous];
                length[nextCode] = static_cast<uint16_t>(length[previous] + 1);
                ++nextCode;
            }
        }
        if (nextCode >= codeLimit && codeLimit < kMaxCodes) {
            codeLimit <<= 1;
            ++codeSize;
        }
        previous = code;
    }
    return out.Written();
}

// --- encoders ------------------------------------------------------------

void TGIFEncoder::Compress(TStream& stream, int bitsPerPixel, int colorCount, const std::vector<const uint8_t*>& rows,
                           bool interlaced, uint32_t width)
{
    // Every pixel is checked before a byte is written, so a refused frame
    // leaves the stream as it was.
    for (const uint8_t* row : rows) {
        if (width > 0 && *std::max_element(row, row + width) >= colorCount)
            throw GIFException(gif_text::kColorNotInTable);
    }
    bitsPerPixel = std::clamp(bitsPerPixel, 2, 8);
    WriteGIFByte(stream, static_cast<uint8_t>(bitsPerPixel));
    stream_ = &stream;
    blockCount_ = 0;
    bucket_ = 0;
    bucketBits_ = 0;
    initCodeSize_ = codeSize_ = bitsPerPixel + 1;
    clearCode_ = 1 << bitsPerPixel;
    endCode_ = clearCode_ + 1;
    baseCode_ = clearCode_ + 2;
    width_ = width;
    order_ = GIFRowOrder(rows, interlaced);
    if (width > 0 && !rows.empty())
        Encode();
    Output(endCode_);
    for (; bucketBits_ > 0; bucketBits_ -= 8, bucket_ >>= 8)
        PutByte(static_cast<uint8_t>(bucket_));
    bucketBits_ = 0;
    if (blockCount_ > 0)
        WriteBlock();
    stream_ = nullptr;
    WriteGIFByte(stream, 0);
}

void TGIFEncoder::WriteBlock()
{
    block_[0] = static_cast<uint8_t>(blockCount_);
    stream_->WriteBuffer(block_.data(), blockCount_ + 1);
    blockCount_ = 0;
}

namespace {

// The strings known so far, keyed by prefix code and pixel: a hash table of
// 8009 slots holding (key << 12) | code, all ones when empty, probed with a
// step fixed by the first slot.
class THashStrings {
public:
    explicit THashStrings(std::array<uint32_t, 8009>& table) : table_(table.data()) {}
    void Clear() { std::memset(table_, 0xFF, sizeof(uint32_t) * kSize); }
    // The code of the string, or -1 with the slot for it in slot.
    int Find(uint32_t prefix, uint32_t pixel, uint32_t& slot) const
    {
        const uint32_t key = (prefix << 8) | pixel;
        slot = static_cast<uint32_t>((static_cast<uint64_t>(key * 2654435761u) * kSize) >> 32);
        uint32_t entry = table_[slot];
        // An empty slot (all ones) never matches: keys are below 2^20 - 1.
        if ((entry >> 12) == key)
            return static_cast<int>(entry & 0xFFF);
        if (entry >= kEmpty)
            return -1;
        const uint32_t step = slot == 0 ? 1 : kSize - slot;
        do {
            slot = slot >= step ? slot - step : slot + kSize - step;
            entry = table_[slot];
        } while (entry < kEmpty && (entry >> 12) != key);
        return entry < kEmpty ? static_cast<int>(entry & 0xFFF) : -1;
    }
    void Add(uint32_t prefix, uint32_t pixel, uint32_t slot, int code)
    {
        table_[slot] = (((prefix << 8) | pixel) << 12) | static_cast<uint32_t>(code);
    }

private:
    static constexpr uint32_t kSize = 8009;
    static constexpr uint32_t kEmpty = 0xFFFFF000u;
    uint32_t* table_;
};

// For pictures of up to 16 colours: a direct table of the next code per
// prefix code and pixel (0 for none; no string has code 0), small enough to
// clear at every clear code.
class TDenseStrings {
public:
    TDenseStrings(std::vector<uint16_t>& table, uint32_t colors) : colors_(colors)
    {
        table.assign(static_cast<size_t>(kMaxCodes) * colors, 0);
        table_ = table.data();
    }
    void Clear() { std::memset(table_, 0, sizeof(uint16_t) * kMaxCodes * colors_); }
    int Find(uint32_t prefix, uint32_t pixel, uint32_t& slot) const
    {
        slot = prefix * colors_ + pixel;
        const uint16_t code = table_[slot];
        return code ? code : -1;
    }
    void Add(uint32_t, uint32_t, uint32_t slot, int code) { table_[slot] = static_cast<uint16_t>(code); }

private:
    uint32_t colors_;
    uint16_t* table_ = nullptr;
};

}  // namespace

// Outputs a code and follows the decoder's code size: back to the initial
// size after a clear, one bit more once the next free code passes the limit.
void TLZWEncoder::Emit(int code)
{
    Output(code);
    if (cleared_) {
        cleared_ = false;
        codeSize_ = initCodeSize_;
        codeLimit_ = (1 << codeSize_) - 1;
    } else if (nextCode_ > codeLimit_) {
        ++codeSize_;
        codeLimit_ = codeSize_ >= 12 ? kMaxCodes : (1 << codeSize_) - 1;
    }
}

void TLZWEncoder::Encode()
{
    if (clearCode_ <= 16) {
        TDenseStrings strings(dense_, static_cast<uint32_t>(clearCode_));
        EncodeWith(strings);
    } else {
        THashStrings strings(table_);
        EncodeWith(strings);
    }
}

template <class Strings>
void TLZWEncoder::EncodeWith(Strings& strings)
{
    codeLimit_ = (1 << codeSize_) - 1;
    cleared_ = true;
    Emit(clearCode_);
    strings.Clear();
    nextCode_ = baseCode_;
    uint32_t prefix = order_[0][0];
    const uint32_t width = width_;
    uint32_t x = 1;
    for (const uint8_t* row : order_) {
        for (; x < width; ++x) {
            const uint32_t pixel = row[x];
            uint32_t slot;
            const int code = strings.Find(prefix, pixel, slot);
            if (code >= 0) {
                prefix = static_cast<uint32_t>(code);
                continue;
            }
            Emit(static_cast<int>(prefix));
            if (nextCode_ > 4094) {
                cleared_ = true;
                Emit(clearCode_);
                strings.Clear();
                nextCode_ = baseCode_;
            } else {
                strings.Add(prefix, pixel, slot, nextCode_++);
            }
            prefix = pixel;
        }
        x = 0;
    }
    Emit(static_cast<int>(prefix));
}

// --- run-length coder ----------------------------------------------------
// Codes are plain pixels or, right after a clear, the strings the decoder
// builds itself: outputting a pixel and then base, base + 1, ... makes the
// decoder define runs of 2, 3, ... of that pixel. The coder never keeps a
// table; it counts its codes to follow the decoder's code size and clears
// before the decoder's table would fill.

void TRLEEncoder::Clear()
{
    Output(clearCode_);
    codeSize_ = initCodeSize_;
    bumpPoint_ = bumpInit_;
    clearPoint_ = clearInit_;
    outCount_ = 0;
    tableMax_ = 0;
    justCleared_ = true;
}

void TRLEEncoder::OutputPlain(int code)
{
    justCleared_ = false;
    Output(code);
    ++outCount_;
    if (outCount_ >= bumpPoint_) {
        // The decoder's next size comes 2^size codes later.
        bumpPoint_ += 1 << codeSize_;
        ++codeSize_;
    }
    if (outCount_ >= clearPoint_)
        Clear();
}

void TRLEEncoder::ResetClearPoint()
{
    clearPoint_ = clearInit_;
    if (outCount_ >= clearPoint_)
        Clear();
}

int64_t TRLEEncoder::TriangleCount(int64_t count) const
{
    const int64_t perTriangle = static_cast<int64_t>(maxCodes_) * (maxCodes_ + 1) / 2;
    int64_t cost = (count / perTriangle) * maxCodes_;
    count %= perTriangle;
    if (count > 0) {
        // The smallest n with n(n + 1)/2 >= count.
        auto n = static_cast<int64_t>(std::sqrt(static_cast<double>(count)));
        while (n * (n + 1) >= 2 * count)
            --n;
        while (n * (n + 1) < 2 * count)
            ++n;
        cost += n;
    }
    return cost;
}

void TRLEEncoder::FlushFromClear(int64_t count)
{
    RaiseClearPoint();
    tablePixel_ = runPixel_;
    int64_t length = 1;
    while (count > 0) {
        if (length == 1) {
            tableMax_ = 1;
            OutputPlain(runPixel_);
            --count;
        } else if (count >= length) {
            tableMax_ = static_cast<int>(length);
            OutputPlain(baseCode_ + static_cast<int>(length) - 2);
            count -= length;
        } else {
            // The remainder is a run the decoder already knows; it extends
            // the table by one longer run.
            ++tableMax_;
            OutputPlain(count == 1 ? runPixel_ : baseCode_ + static_cast<int>(count) - 2);
            count = 0;
        }
        if (outCount_ == 0) {
            // A clear by the code count: the runs start again at 1.
            length = 1;
            RaiseClearPoint();
        } else {
            ++length;
        }
    }
    ResetClearPoint();
}

void TRLEEncoder::FlushClearOrRepeat(int64_t count)
{
    if (1 + TriangleCount(count) < count) {
        Clear();
        FlushFromClear(count);
        return;
    }
    for (; count > 0; --count)
        OutputPlain(runPixel_);
}

void TRLEEncoder::FlushWithTable(int64_t count)
{
    int64_t repeats = count / tableMax_;
    int64_t leftover = count % tableMax_;
    int64_t leftoverCost = leftover ? 1 : 0;
    if (outCount_ + repeats + leftoverCost > maxCodes_) {
        repeats = maxCodes_ - outCount_;
        leftover = count - repeats * tableMax_;
        leftoverCost = 1 + TriangleCount(leftover);
    }
    if (1 + TriangleCount(count) < repeats + leftoverCost) {
        Clear();
        FlushFromClear(count);
        return;
    }
    RaiseClearPoint();
    for (; repeats > 0; --repeats)
        OutputPlain(baseCode_ + tableMax_ - 2);
    if (leftover) {
        if (justCleared_)
            FlushFromClear(leftover);
        else
            OutputPlain(leftover == 1 ? runPixel_ : baseCode_ + static_cast<int>(leftover) - 2);
    }
    ResetClearPoint();
}

void TRLEEncoder::Flush(int64_t count)
{
    if (count == 1)
        OutputPlain(runPixel_);
    else if (justCleared_)
        FlushFromClear(count);
    else if (tableMax_ < 2 || tablePixel_ != runPixel_)
        FlushClearOrRepeat(count);
    else
        FlushWithTable(count);
}

void TRLEEncoder::Encode()
{
    bumpInit_ = clearCode_ - 1;
    clearInit_ = initCodeSize_ - 1 > 3 ? clearCode_ - 2 : 9;
    maxCodes_ = 4095 - baseCode_;
    Clear();
    runPixel_ = order_[0][0];
    int64_t count = 0;
    for (const uint8_t* row : order_) {
        for (uint32_t x = 0; x < width_; ++x) {
            if (row[x] == runPixel_) {
                ++count;
                continue;
            }
            Flush(count);
            runPixel_ = row[x];
            count = 1;
        }
    }
    Flush(count);
}

}  // namespace qrv
