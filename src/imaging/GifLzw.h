#pragma once
// The pixel data of a GIF frame: the variable-length-code LZW decoder, and
// the two encoders a frame is written with, real LZW compression with a hash
// table (TLZWEncoder) and a run-length coder that emits a valid LZW stream
// without building a string table (TRLEEncoder). Portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrv {

class TStream;
class TGIFEventSink;

// Rows in the order a GIF stores them: top-down, or the four interlace
// passes (every 8th row from 0, every 8th from 4, every 4th from 2, every
// 2nd from 1). topDown holds height row pointers.
template <class Row>
std::vector<Row> GIFRowOrder(const std::vector<Row>& topDown, bool interlaced)
{
    if (!interlaced)
        return topDown;
    std::vector<Row> order;
    order.reserve(topDown.size());
    static constexpr size_t passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& pass : passes)
        for (size_t y = pass[0]; y < topDown.size(); y += pass[1])
            order.push_back(topDown[y]);
    return order;
}

// Decodes a frame's data from the stream (at the minimum code size byte)
// into rows (top-down, width bytes each, already filled with the frame's
// fill value). Pixels the data does not reach keep that value. Defects are
// warnings to the sink; the stream is left behind the data's 0 block (or at
// its end). Returns the number of pixels decoded.
size_t DecodeGIFPixels(TStream& stream, const std::vector<uint8_t*>& rows, uint32_t width, bool interlaced,
                       TGIFEventSink* sink, const void* sender);

// The most pixels a decoder can make of bytes of data: every code takes at
// least 2 bits and stands for at most 4096 pixels.
inline uint64_t MaxGIFPixelsFrom(uint64_t dataBytes)
{
    return (dataBytes * 4 + 1) * 4096;
}

// Base of the encoders: the code output through data sub-blocks and the
// frame's pixels in stored order.
class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // Writes the minimum code size byte (bits per pixel, at least 2), the
    // data sub-blocks and the 0 terminator. rows: top-down, width bytes each.
    // A pixel not below colorCount raises "Color not in color table" before
    // anything is written.
    void Compress(TStream& stream, int bitsPerPixel, int colorCount, const std::vector<const uint8_t*>& rows,
                  bool interlaced, uint32_t width);

protected:
    // Encodes every pixel (the clear code first); the end code is the base's.
    virtual void Encode() = 0;
    void Output(int code)
    {
        bucket_ |= static_cast<uint64_t>(code) << bucketBits_;
        bucketBits_ += codeSize_;
        if (bucketBits_ >= 32) {
            PutWord(static_cast<uint32_t>(bucket_));
            bucket_ >>= 32;
            bucketBits_ -= 32;
        }
    }

    std::vector<const uint8_t*> order_;
    uint32_t width_ = 0;
    int initCodeSize_ = 0;
    int codeSize_ = 0;
    int clearCode_ = 0;
    int endCode_ = 0;
    int baseCode_ = 0;

private:
    // Bytes go into a data sub-block of 255 bytes, written when full.
    void PutByte(uint8_t value)
    {
        block_[++blockCount_] = value;
        if (blockCount_ == 255)
            WriteBlock();
    }
    void PutWord(uint32_t word)
    {
        if (blockCount_ + 4 < 255) {
            for (int i = 1; i <= 4; ++i, word >>= 8)
                block_[blockCount_ + static_cast<size_t>(i)] = static_cast<uint8_t>(word);
            blockCount_ += 4;
            return;
        }
        for (int i = 0; i < 4; ++i, word >>= 8)
            PutByte(static_cast<uint8_t>(word));
    }
    void WriteBlock();

    TStream* stream_ = nullptr;
    std::array<uint8_t, 256> block_{};
    size_t blockCount_ = 0;
    uint64_t bucket_ = 0;
    int bucketBits_ = 0;
};

class TLZWEncoder : public TGIFEncoder {
protected:
    void Encode() override;

private:
    template <class Strings>
    void EncodeWith(Strings& strings);
    void Emit(int code);
    // The hash table of the strings (8009 slots), or for pictures of up to
    // 16 colours a direct table.
    std::array<uint32_t, 8009> table_;
    std::vector<uint16_t> dense_;
    int nextCode_ = 0;
    int codeLimit_ = 0;
    bool cleared_ = false;
};

class TRLEEncoder : public TGIFEncoder {
protected:
    void Encode() override;

private:
    void Clear();
    void OutputPlain(int code);
    void Flush(int64_t count);
    void FlushFromClear(int64_t count);
    void FlushClearOrRepeat(int64_t count);
    void FlushWithTable(int64_t count);
    void RaiseClearPoint() { clearPoint_ = maxCodes_; }
    void ResetClearPoint();
    // Codes a run of count pixels takes when emitted from a clear.
    int64_t TriangleCount(int64_t count) const;

    int runPixel_ = 0;
    int tableMax_ = 0;
    int tablePixel_ = 0;
    int outCount_ = 0;
    int bumpPoint_ = 0;
    int bumpInit_ = 0;
    int clearPoint_ = 0;
    int clearInit_ = 0;
    int maxCodes_ = 0;
    bool justCleared_ = false;
};

}  // namespace qrv
