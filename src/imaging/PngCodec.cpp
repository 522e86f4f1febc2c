#include "imaging/PngCodec.h"

#include "framework/Streams.h"
#include "imaging/PngChunks.h"
#include "imaging/PngErrors.h"
#include "imaging/PngFilters.h"
#include "imaging/PngPicture.h"

#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

namespace qrv {

namespace {

// zlib is asked for the interface of this version; it checks the major one.
constexpr const char* ZLibInterfaceVersion = "1.1.4";
constexpr uint32_t InputPiece = 65535;
constexpr uint32_t MaxChunkLength = 0x7FFFFFFF;

struct TAdam7Pass {
    uint32_t StartRow, StartColumn, RowIncrement, ColumnIncrement;
};
constexpr TAdam7Pass Adam7[7] = {
    {0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1},
};

uint32_t PassWidth(uint32_t width, const TAdam7Pass& pass)
{
    return width > pass.StartColumn ? (width - pass.StartColumn + pass.ColumnIncrement - 1) / pass.ColumnIncrement : 0;
}

// Sample k of a row packed with bits per sample from the most significant bit.
inline unsigned PackedSample(const uint8_t* row, size_t k, unsigned bits)
{
    const size_t bit = k * bits;
    return (row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
}

inline void SetPackedSample(uint8_t* row, size_t k, unsigned bits, unsigned value)
{
    const size_t bit = k * bits;
    const unsigned shift = 8 - bits - (bit & 7);
    const unsigned mask = ((1u << bits) - 1) << shift;
    row[bit >> 3] = static_cast<uint8_t>((row[bit >> 3] & ~mask) | ((value << shift) & mask));
}

// For each byte of four 2-bit samples the two bytes of their 4-bit pixels,
// each sample multiplied by the factor (5 for grey, 1 for indices).
using TWidened = std::array<uint8_t, 2>;
const std::array<TWidened, 256>& TwoBitWidening(unsigned factor)
{
    static const auto table = [](unsigned f) {
        std::array<TWidened, 256> result{};
        for (unsigned b = 0; b < 256; ++b) {
            auto sample = [&](int shift) { return ((b >> shift) & 3) * f; };
            result[b] = {static_cast<uint8_t>(sample(6) << 4 | sample(4)),
                         static_cast<uint8_t>(sample(2) << 4 | sample(0))};
        }
        return result;
    };
    static const std::array<TWidened, 256> grey = table(5), index = table(1);
    return factor == 5 ? grey : index;
}

// Widens 2-bit samples to 4-bit pixels 64 samples at a time (grey v as
// v × 5 = v << 2 | v); returns how many samples were done.
uint32_t WidenTwoBitSamples(uint8_t* dst, const uint8_t* src, uint32_t count, bool grey)
{
    uint32_t k = 0;
#if defined(__SSE2__)
    const __m128i highPair = _mm_set1_epi8(0x30), lowPair = _mm_set1_epi8(0x03);
    for (; k + 64 <= count; k += 64) {
        const __m128i packed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k / 4));
        // Samples 0 and 1 of each byte, then samples 2 and 3, one per nibble.
        __m128i first = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(packed, 2), highPair),
                                     _mm_and_si128(_mm_srli_epi16(packed, 4), lowPair));
        __m128i second =
            _mm_or_si128(_mm_and_si128(_mm_slli_epi16(packed, 2), highPair), _mm_and_si128(packed, lowPair));
        if (grey) {
            first = _mm_or_si128(first, _mm_slli_epi16(first, 2));
            second = _mm_or_si128(second, _mm_slli_epi16(second, 2));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k / 2), _mm_unpacklo_epi8(first, second));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k / 2 + 16), _mm_unpackhi_epi8(first, second));
    }
#else
    (void)dst, (void)src, (void)count, (void)grey;
#endif
    return k;
}

// Where the samples of one decoded or encoded row belong: image row y,
// columns first + k × step for k below count.
struct TRowPlace {
    uint32_t Y;
    uint32_t First;
    uint32_t Step;
    uint32_t Count;
};

// One PNG row (samples of the file's depth) into the held image.
void RowIntoImage(TPngImage& image, const uint8_t* src, const TRowPlace& place)
{
    const uint8_t colorType = image.ColorType();
    const uint8_t depth = image.BitDepth();
    const uint32_t width = image.Width();
    uint8_t* dst = image.Row(place.Y);
    const uint32_t first = place.First, step = place.Step, count = place.Count;
    switch (colorType) {
    case 0:
    case 3:
        if (depth == 16) {
            uint8_t* extra = image.ExtraRow(place.Y);
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                dst[x] = src[2 * k];
                extra[x] = src[2 * k + 1];
            }
        } else if (depth == 2) {
            // Held with 4 bits: grey v shows through the 16-entry ramp as v × 5.
            const unsigned factor = colorType == 0 ? 5 : 1;
            uint32_t k = 0;
            if (step == 1) {
                k = WidenTwoBitSamples(dst, src, count, factor == 5);
                // Four samples of a byte become two held bytes at once.
                const auto& widen = TwoBitWidening(factor);
                for (; k + 4 <= count; k += 4)
                    std::memcpy(dst + k / 2, &widen[src[k / 4]], 2);
            }
            for (; k < count; ++k)
                SetPackedSample(dst, first + k * step, 4, PackedSample(src, k, 2) * factor);
        } else if (step == 1) {
            std::memcpy(dst, src, (static_cast<size_t>(count) * depth + 7) / 8);
        } else {
            for (uint32_t k = 0; k < count; ++k)
                SetPackedSample(dst, first + k * step, depth, PackedSample(src, k, depth));
        }
        break;
    case 2:
        if (depth == 8) {
            for (uint32_t k = 0; k < count; ++k) {
                uint8_t* p = dst + 3 * static_cast<size_t>(first + k * step);
                p[0] = src[3 * k + 2];
                p[1] = src[3 * k + 1];
                p[2] = src[3 * k];
            }
        } else {
            uint8_t* extra = image.ExtraRow(place.Y);
            for (uint32_t k = 0; k < count; ++k) {
                const size_t x = 3 * static_cast<size_t>(first + k * step);
                const uint8_t* s = src + 6 * static_cast<size_t>(k);
                dst[x] = s[4], extra[x] = s[5];
                dst[x + 1] = s[2], extra[x + 1] = s[3];
                dst[x + 2] = s[0], extra[x + 2] = s[1];
            }
        }
        break;
    case 4: {
        uint8_t* alpha = image.AlphaPlane.data() + static_cast<size_t>(place.Y) * width;
        if (depth == 8) {
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                dst[x] = src[2 * k];
                alpha[x] = src[2 * k + 1];
            }
        } else {
            uint8_t* extra = image.ExtraRow(place.Y);
            uint8_t* alphaLow = image.AlphaLowPlane.data() + static_cast<size_t>(place.Y) * width;
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                const uint8_t* s = src + 4 * static_cast<size_t>(k);
                dst[x] = s[0], extra[x] = s[1];
                alpha[x] = s[2], alphaLow[x] = s[3];
            }
        }
        break;
    }
    case 6: {
        uint8_t* alpha = image.AlphaPlane.data() + static_cast<size_t>(place.Y) * width;
        if (depth == 8) {
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                uint8_t* p = dst + 3 * static_cast<size_t>(x);
                const uint8_t* s = src + 4 * static_cast<size_t>(k);
                p[0] = s[2];
                p[1] = s[1];
                p[2] = s[0];
                alpha[x] = s[3];
            }
        } else {
            uint8_t* extra = image.ExtraRow(place.Y);
            uint8_t* alphaLow = image.AlphaLowPlane.data() + static_cast<size_t>(place.Y) * width;
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                const size_t p = 3 * static_cast<size_t>(x);
                const uint8_t* s = src + 8 * static_cast<size_t>(k);
                dst[p] = s[4], extra[p] = s[5];
                dst[p + 1] = s[2], extra[p + 1] = s[3];
                dst[p + 2] = s[0], extra[p + 2] = s[1];
                alpha[x] = s[6], alphaLow[x] = s[7];
            }
        }
        break;
    }
    default:
        break;
    }
}

// One PNG row out of the held image. 2-bit images are written with 4 bits,
// as they are held; 16-bit ones with their low bytes from ExtraPlane.
void RowFromImage(const TPngImage& image, uint8_t* out, const TRowPlace& place)
{
    const uint8_t colorType = image.ColorType();
    const uint8_t depth = image.BitDepth();
    const uint32_t width = image.Width();
    const uint8_t* src = image.Row(place.Y);
    const uint32_t first = place.First, step = place.Step, count = place.Count;
    switch (colorType) {
    case 0:
    case 3:
        if (depth == 16) {
            const uint8_t* extra = image.ExtraRow(place.Y);
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                out[2 * k] = src[x];
                out[2 * k + 1] = extra[x];
            }
        } else {
            const unsigned bits = depth == 2 ? 4 : depth;
            if (step == 1) {
                std::memcpy(out, src, (static_cast<size_t>(count) * bits + 7) / 8);
            } else {
                std::memset(out, 0, (static_cast<size_t>(count) * bits + 7) / 8);
                for (uint32_t k = 0; k < count; ++k)
                    SetPackedSample(out, k, bits, PackedSample(src, first + k * step, bits));
            }
            // The pad bits of a row's last byte are written as zero.
            const size_t usedBits = static_cast<size_t>(count) * bits;
            if (usedBits % 8)
                out[usedBits / 8] &= static_cast<uint8_t>(0xFF00 >> (usedBits % 8));
        }
        break;
    case 2:
        if (depth == 8) {
            for (uint32_t k = 0; k < count; ++k) {
                const uint8_t* p = src + 3 * static_cast<size_t>(first + k * step);
                out[3 * k] = p[2];
                out[3 * k + 1] = p[1];
                out[3 * k + 2] = p[0];
            }
        } else {
            const uint8_t* extra = image.ExtraRow(place.Y);
            for (uint32_t k = 0; k < count; ++k) {
                const size_t x = 3 * static_cast<size_t>(first + k * step);
                uint8_t* o = out + 6 * static_cast<size_t>(k);
                o[0] = src[x + 2], o[1] = extra[x + 2];
                o[2] = src[x + 1], o[3] = extra[x + 1];
                o[4] = src[x], o[5] = extra[x];
            }
        }
        break;
    case 4: {
        const uint8_t* alpha = image.AlphaPlane.data() + static_cast<size_t>(place.Y) * width;
        if (depth == 8) {
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                out[2 * k] = src[x];
                out[2 * k + 1] = alpha[x];
            }
        } else {
            const uint8_t* extra = image.ExtraRow(place.Y);
            const uint8_t* alphaLow = image.AlphaLowPlane.data() + static_cast<size_t>(place.Y) * width;
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                uint8_t* o = out + 4 * static_cast<size_t>(k);
                o[0] = src[x], o[1] = extra[x], o[2] = alpha[x], o[3] = alphaLow[x];
            }
        }
        break;
    }
    case 6: {
        const uint8_t* alpha = image.AlphaPlane.data() + static_cast<size_t>(place.Y) * width;
        if (depth == 8) {
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                const uint8_t* p = src + 3 * static_cast<size_t>(x);
                uint8_t* o = out + 4 * static_cast<size_t>(k);
                o[0] = p[2], o[1] = p[1], o[2] = p[0], o[3] = alpha[x];
            }
        } else {
            const uint8_t* extra = image.ExtraRow(place.Y);
            const uint8_t* alphaLow = image.AlphaLowPlane.data() + static_cast<size_t>(place.Y) * width;
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t x = first + k * step;
                const size_t p = 3 * static_cast<size_t>(x);
                uint8_t* o = out + 8 * static_cast<size_t>(k);
                o[0] = src[p + 2], o[1] = extra[p + 2];
                o[2] = src[p + 1], o[3] = extra[p + 1];
                o[4] = src[p], o[5] = extra[p];
                o[6] = alpha[x], o[7] = alphaLow[x];
            }
        }
        break;
    }
    default:
        break;
    }
}

// Reads the compressed data of a run of IDAT chunks and inflates it.
class TIdatReader {
public:
    // size: the data bytes of the first chunk; needed: the bytes of all rows
    // of the image, beyond which nothing is inflated.
    TIdatReader(TStream& stream, uint32_t size, uint64_t needed)
        : stream_(stream), remaining_(size), needed_(needed), input_(InputPiece)
    {
        crc_ = crc32(0L, reinterpret_cast<const Bytef*>("IDAT"), 4);
        if (inflateInit_(&zs_, ZLibInterfaceVersion, sizeof(z_stream)) != Z_OK)
            throw ZLibError(zs_.msg);
    }
    ~TIdatReader() { inflateEnd(&zs_); }
    TIdatReader(const TIdatReader&) = delete;
    TIdatReader& operator=(const TIdatReader&) = delete;

    // Fills out with up to count bytes; fewer when the data ends.
    size_t Fill(uint8_t* out, size_t count)
    {
        size_t done = 0;
        while (done < count) {
            if (outputAt_ == output_.size() && !Refill())
                break;
            const size_t piece = std::min(count - done, output_.size() - outputAt_);
            std::memcpy(out + done, output_.data() + outputAt_, piece);
            outputAt_ += piece;
            done += piece;
        }
        return done;
    }

    // Takes the unread rest of the current chunk into the CRC, then reads
    // and compares the chunk's CRC. Data that simply ends is no error.
    // Takes the unread rest of the current chunk into the CRC, then reads
    // and compares the chunk's CRC. Data that simply ends is no error.
    void FinishChunk()
    {
        while (remaining_ > 0) {
            const uint32_t piece = std::min(remaining_, InputPiece);
            const size_t got = stream_.Read(input_.data(), piece);
            crc_ = crc32(crc_, input_.data(), static_cast<uInt>(got));
            remaining_ -= static_cast<uint32_t>(got);
            if (got < piece)
                return;
        }
        uint8_t crc[4];
        if (stream_.Read(crc, 4) == 4 && ReadBigEndian32(crc) != static_cast<uint32_t>(crc_))
            throw EPngInvalidCRC();
    }

private:
    // Inflates the next block of rows: many rows per call keep zlib on its
    // fast path. A failure after some output is raised on the next call, so
    // the rows before it are still delivered.
    bool Refill()
    {
        if (pendingFailure_)
            std::rethrow_exception(std::exchange(pendingFailure_, nullptr));
        const size_t block = static_cast<size_t>(std::min<uint64_t>(OutputBlock, needed_));
        output_.resize(block);
        outputAt_ = 0;
        zs_.next_out = output_.data();
        zs_.avail_out = static_cast<uInt>(block);
        try {
            while (zs_.avail_out > 0 && !streamEnded_) {
                if (zs_.avail_in == 0 && !ReadInput())
                    break;
                const int result = inflate(&zs_, Z_NO_FLUSH);
                if (result == Z_STREAM_END)
                    streamEnded_ = true;
                else if (result == Z_NEED_DICT || (result < 0 && result != Z_BUF_ERROR))
                    throw ZLibError(zs_.msg ? zs_.msg : zError(result));
            }
        } catch (const Exception&) {
            if (zs_.avail_out == block)
                throw;
            pendingFailure_ = std::current_exception();
        }
        output_.resize(block - zs_.avail_out);
        needed_ -= output_.size();
        return !output_.empty();
    }

    // Next piece of input; at the end of a chunk checks its CRC and moves on
    // to the next IDAT chunk. False when the stream has nothing more.
    bool ReadInput()
    {
        while (remaining_ == 0) {
            uint8_t crc[4];
            if (stream_.Read(crc, 4) != 4)
                return false;
            if (ReadBigEndian32(crc) != static_cast<uint32_t>(crc_))
                throw EPngInvalidCRC();
            uint8_t head[8];
            if (stream_.Read(head, 8) != 8)
                return false;
            const uint32_t length = ReadBigEndian32(head);
            const int64_t left = stream_.Size() - stream_.Position();
            if (length > MaxChunkLength || static_cast<int64_t>(length) > left)
                throw EPngUnexpectedEnd();
            if (std::memcmp(head + 4, "IDAT", 4) != 0)
                throw EPNGMissingMultipleIDAT();
            crc_ = crc32(0L, head + 4, 4);
            remaining_ = length;
        }
        const uint32_t piece = std::min(remaining_, InputPiece);
        const size_t got = stream_.Read(input_.data(), piece);
        if (got == 0)
            return false;
        crc_ = crc32(crc_, input_.data(), static_cast<uInt>(got));
        remaining_ -= static_cast<uint32_t>(got);
        zs_.next_in = input_.data();
        zs_.avail_in = static_cast<uInt>(got);
        return true;
    }

    static constexpr size_t OutputBlock = 65536;

    TStream& stream_;
    uint32_t remaining_;
    uint64_t needed_;
    std::vector<uint8_t> input_;
    z_stream zs_{};
    uLong crc_;
    bool streamEnded_ = false;
    std::vector<uint8_t> output_;
    size_t outputAt_ = 0;
    std::exception_ptr pendingFailure_;
};

// Writes deflate's output as IDAT chunks of exactly limit bytes but the last.
class TIdatWriter {
public:
    TIdatWriter(TStream& stream, int level, uint32_t limit) : stream_(stream), limit_(limit)
    {
        if (deflateInit_(&zs_, level, ZLibInterfaceVersion, sizeof(z_stream)) != Z_OK)
            throw ZLibError(zs_.msg);
    }
    ~TIdatWriter() { deflateEnd(&zs_); }
    TIdatWriter(const TIdatWriter&) = delete;
    TIdatWriter& operator=(const TIdatWriter&) = delete;

    void Write(const uint8_t* data, size_t size) { Deflate(data, size, Z_NO_FLUSH); }
    void Finish()
    {
        Deflate(nullptr, 0, Z_FINISH);
        if (!pending_.empty())
            WritePngChunk(stream_, "IDAT", pending_.data(), pending_.size());
        pending_.clear();
    }

private:
    void Deflate(const uint8_t* data, size_t size, int flush)
    {
        zs_.next_in = const_cast<Bytef*>(data);
        zs_.avail_in = static_cast<uInt>(size);
        int result;
        do {
            zs_.next_out = scratch_;
            zs_.avail_out = sizeof scratch_;
            result = deflate(&zs_, flush);
            if (result == Z_STREAM_ERROR)
                throw ZLibError(zs_.msg ? zs_.msg : zError(result));
            pending_.insert(pending_.end(), scratch_, scratch_ + (sizeof scratch_ - zs_.avail_out));
            size_t written = 0;
            while (pending_.size() - written >= limit_) {
                WritePngChunk(stream_, "IDAT", pending_.data() + written, limit_);
                written += limit_;
            }
            if (written)
                pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(written));
        } while (zs_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }

    TStream& stream_;
    size_t limit_;
    z_stream zs_{};
    uint8_t scratch_[65536];
    std::vector<uint8_t> pending_;
};

// The filtered forms of one row and the choice between them.
class TRowFilter {
public:
    TRowFilter(TFilters set, size_t rowBytes, size_t offset)
        : set_(set), rowBytes_(rowBytes), offset_(offset), previous_(rowBytes + 1, 0)
    {
        for (int kind = 1; kind <= 4; ++kind)
            if (set_ & (1u << kind))
                results_[kind].assign(rowBytes + 1, 0);
    }

    // A new pass of Adam7 starts with a zero previous row of another size.
    void Restart(size_t rowBytes)
    {
        rowBytes_ = rowBytes;
        previous_.assign(rowBytes + 1, 0);
        for (int kind = 1; kind <= 4; ++kind)
            if (set_ & (1u << kind))
                results_[kind].assign(rowBytes + 1, 0);
    }

    // Filters current[1 ..] (current[0] is free for the type byte) and returns
    // the row to write, type byte first. The current row becomes the previous.
    const uint8_t* Filter(std::vector<uint8_t>& current)
    {
        const uint8_t* cur = current.data() + 1;
        const uint8_t* prev = previous_.data() + 1;
        const size_t n = rowBytes_, bpp = offset_;
        if (set_ & pfSub) {
            uint8_t* r = results_[1].data() + 1;
            for (size_t i = 0; i < std::min(bpp, n); ++i)
                r[i] = cur[i];
            for (size_t i = bpp; i < n; ++i)
                r[i] = static_cast<uint8_t>(cur[i] - cur[i - bpp]);
        }
        if (set_ & pfUp) {
            uint8_t* r = results_[2].data() + 1;
            for (size_t i = 0; i < n; ++i)
                r[i] = static_cast<uint8_t>(cur[i] - prev[i]);
        }
        if (set_ & pfAverage) {
            uint8_t* r = results_[3].data() + 1;
            for (size_t i = 0; i < n; ++i)
                r[i] = static_cast<uint8_t>(cur[i] - (((i >= bpp ? cur[i - bpp] : 0) + prev[i]) >> 1));
        }
        if (set_ & pfPaeth) {
            uint8_t* r = results_[4].data() + 1;
            for (size_t i = 0; i < n; ++i) {
                const int left = i >= bpp ? cur[i - bpp] : 0;
                const int upperLeft = i >= bpp ? prev[i - bpp] : 0;
                r[i] = static_cast<uint8_t>(cur[i] - PaethPredictor(left, prev[i], upperLeft));
            }
        }
        std::swap(current, previous_);
        // previous_ now holds the raw row: it is also the result of None.
        const int kind = Choose();
        uint8_t* chosen = kind == 0 ? previous_.data() : results_[kind].data();
        chosen[0] = static_cast<uint8_t>(kind);
        return chosen;
    }

private:
    int Choose() const
    {
        if ((set_ & ~pfNone) == 0)
            return 0;
        int best = 0;
        size_t bestCount = 0;
        for (int kind = 0; kind <= 4; ++kind) {
            if (!(set_ & (1u << kind)))
                continue;
            if (set_ == (1u << kind))
                return kind;
            const uint8_t* r = (kind == 0 ? previous_ : results_[kind]).data() + 1;
            size_t count = 0;
            for (size_t i = 2; i < rowBytes_; ++i)
                count += r[i] == r[i - 1] || r[i] == r[i - 2];
            if (count > bestCount) {
                best = kind;
                bestCount = count;
            }
        }
        return best;
    }

    TFilters set_;
    size_t rowBytes_;
    size_t offset_;
    std::vector<uint8_t> previous_;
    std::vector<uint8_t> results_[5];
};

}  // namespace

size_t PngRowBytes(uint8_t colorType, uint8_t bitDepth, uint32_t width)
{
    const size_t w = width, d = bitDepth;
    switch (colorType) {
    case 0:
    case 3:
        return (w * d + 7) / 8;
    case 2:
        return w * d * 3 / 8;
    case 4:
        return w * d * 2 / 8;
    case 6:
        return w * d * 4 / 8;
    default:
        return 0;
    }
}

size_t PngPixelOffset(uint8_t colorType, uint8_t bitDepth)
{
    switch (colorType) {
    case 0:
        return bitDepth == 16 ? 2 : 1;
    case 3:
        return 1;
    case 2:
        return bitDepth * 3 / 8;
    case 4:
        return bitDepth / 4;
    case 6:
        return bitDepth / 2;
    default:
        return 0;
    }
}

void DecodeImageData(TPngPicture& picture, TChunkIHDR& header, TStream& stream, uint32_t size)
{
    TPngImage* image = header.Image();
    if (!image)
        throw EPNGHeaderNotPresent();
    const uint8_t colorType = image->ColorType();
    const uint8_t depth = image->BitDepth();
    if ((colorType == 0 || colorType == 4) && image->UsesColorTable()) {
        const unsigned maxIndex = (1u << image->BitsPerPixel()) - 1;
        for (unsigned n = 0; n <= maxIndex; ++n) {
            const uint8_t grey = picture.GammaTable[(n * 255 + maxIndex / 2) / maxIndex];
            image->Palette[n] = {grey, grey, grey, 0};
            image->FilePalette[n] = image->Palette[n];
        }
    }

    const size_t offset = PngPixelOffset(colorType, depth);
    const size_t fullRowBytes = PngRowBytes(colorType, depth, image->Width());
    uint64_t needed = 0;
    if (picture.Interlacing() == 0) {
        needed = uint64_t(fullRowBytes + 1) * image->Height();
    } else {
        for (const TAdam7Pass& pass : Adam7) {
            const size_t rowBytes = PngRowBytes(colorType, depth, PassWidth(image->Width(), pass));
            if (rowBytes > 0 && image->Height() > pass.StartRow)
                needed += uint64_t(rowBytes + 1) *
                          ((image->Height() - pass.StartRow + pass.RowIncrement - 1) / pass.RowIncrement);
        }
    }
    TIdatReader reader(stream, size, needed);
    std::vector<uint8_t> current(fullRowBytes + 1 + UnfilterPadding, 0);
    std::vector<uint8_t> previous(fullRowBytes + 1 + UnfilterPadding, 0);

    // Decodes one row of rowBytes; false when the data ended (what came of a
    // cut row is kept, its missing rest is zero).
    auto decodeRow = [&](size_t rowBytes, const TRowPlace& place) {
        const size_t got = reader.Fill(current.data(), rowBytes + 1);
        if (got == 0)
            return false;
        if (got < rowBytes + 1)
            std::fill(current.begin() + static_cast<ptrdiff_t>(got),
                      current.begin() + static_cast<ptrdiff_t>(rowBytes + 1), 0);
        UnfilterRow(current[0], current.data() + 1, previous.data() + 1, rowBytes, offset);
        RowIntoImage(*image, current.data() + 1, place);
        std::swap(current, previous);
        return got == rowBytes + 1;
    };

    if (picture.Interlacing() == 0) {
        for (uint32_t y = 0; y < image->Height(); ++y)
            if (!decodeRow(fullRowBytes, {y, 0, 1, image->Width()}))
                break;
    } else {
        bool more = true;
        for (const TAdam7Pass& pass : Adam7) {
            const uint32_t passWidth = PassWidth(image->Width(), pass);
            const size_t rowBytes = PngRowBytes(colorType, depth, passWidth);
            if (rowBytes == 0)
                continue;
            std::fill(previous.begin(), previous.end(), 0);
            for (uint32_t y = pass.StartRow; more && y < image->Height(); y += pass.RowIncrement)
                more = decodeRow(rowBytes, {y, pass.StartColumn, pass.ColumnIncrement, passWidth});
            if (!more)
                break;
        }
    }
    reader.FinishChunk();
}

void EncodeImageData(TPngPicture& picture, TChunkIHDR& header, TStream& stream)
{
    const TPngImage* image = header.Image();
    if (!image)
        throw EPNGHeaderNotPresent();
    const uint8_t colorType = image->ColorType();
    // 2-bit images are held, and written, with 4 bits per sample.
    const uint8_t depth = image->BitDepth() == 2 ? 4 : image->BitDepth();
    const size_t offset = PngPixelOffset(colorType, depth);
    const size_t fullRowBytes = PngRowBytes(colorType, depth, image->Width());

    TIdatWriter writer(stream, picture.DeflateLevel(), picture.IdatLimit());
    TRowFilter filter(picture.FilterSet(), fullRowBytes, offset);
    std::vector<uint8_t> current(fullRowBytes + 1, 0);
    auto encodeRow = [&](size_t rowBytes, const TRowPlace& place) {
        current.resize(rowBytes + 1);
        RowFromImage(*image, current.data() + 1, place);
        writer.Write(filter.Filter(current), rowBytes + 1);
    };

    if (picture.Interlacing() == 0) {
        for (uint32_t y = 0; y < image->Height(); ++y)
            encodeRow(fullRowBytes, {y, 0, 1, image->Width()});
    } else {
        for (const TAdam7Pass& pass : Adam7) {
            const uint32_t passWidth = PassWidth(image->Width(), pass);
            const size_t rowBytes = PngRowBytes(colorType, depth, passWidth);
            if (rowBytes == 0)
                continue;
            filter.Restart(rowBytes);
            for (uint32_t y = pass.StartRow; y < image->Height(); y += pass.RowIncrement)
                encodeRow(rowBytes, {y, pass.StartColumn, pass.ColumnIncrement, passWidth});
        }
    }
    writer.Finish();
}

}  // namespace qrv
