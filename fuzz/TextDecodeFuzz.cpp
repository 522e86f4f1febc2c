// Text files as the text view reads them: bytes cut into blocks of any size
// must decode exactly as in one block, and the decoded text must encode the
// same in blocks as whole. The first byte picks the decoder (ANSI 1252, OEM
// 850, UTF-16 by its mark); the next two seed the block sizes.
#include "viewers/SingleByteCodePages.h"
#include "viewers/TextDecoder.h"
#include "viewers/TextEncoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

// Block sizes from 1 to 64 from a small linear congruential generator.
class TBlockSizes {
public:
    explicit TBlockSizes(uint32_t seed) : state_(seed | 1) {}
    size_t Next()
    {
        state_ = state_ * 1103515245u + 12345u;
        return 1 + (state_ >> 16) % 64;
    }

private:
    uint32_t state_;
};

template <class Coder, class Out>
Out InBlocks(Coder& coder, std::string_view bytes, TBlockSizes sizes)
{
    coder.Reset();
    Out out;
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = std::min(sizes.Next(), bytes.size() - i);
        coder.Decode(bytes.substr(i, n), out);
        i += n;
    }
    coder.Finish(out);
    return out;
}

std::string EncodeInBlocks(qrv::TTextEncoder& encoder, std::string_view bytes, TBlockSizes sizes)
{
    encoder.Reset();
    std::string out;
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = std::min(sizes.Next(), bytes.size() - i);
        encoder.Encode(bytes.substr(i, n), out);
        i += n;
    }
    encoder.Finish(out);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint8_t kind = data[0] % 3;
    const uint32_t seed = static_cast<uint32_t>(data[1] << 8 | data[2]);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 3), size - 3);

    std::unique_ptr<qrv::TTextDecoder> decoder;
    std::unique_ptr<qrv::TTextEncoder> encoder;
    if (kind == 2) {
        decoder = std::make_unique<qrv::TUtf16Decoder>();
        encoder = std::make_unique<qrv::TUtf16Encoder>();
    } else {
        const qrv::TCodePage& page = kind == 0 ? qrv::CodePage1252() : qrv::CodePage850();
        decoder = std::make_unique<qrv::TCodePageDecoder>(page);
        encoder = std::make_unique<qrv::TCodePageEncoder>(page, (seed & 1) != 0);
    }

    std::u16string whole;
    decoder->Decode(bytes, whole);
    decoder->Finish(whole);
    if (InBlocks<qrv::TTextDecoder, std::u16string>(*decoder, bytes, TBlockSizes(seed)) != whole)
        std::abort();

    const std::string_view units(reinterpret_cast<const char*>(whole.data()), whole.size() * 2);
    std::string encoded;
    encoder->Reset();
    encoder->Encode(units, encoded);
    encoder->Finish(encoded);
    if (EncodeInBlocks(*encoder, units, TBlockSizes(seed * 7 + 1)) != encoded)
        std::abort();
    // Single-byte code pages give back every byte they read (CRs aside).
    if (kind != 2 && (seed & 1) == 0 && encoded != bytes)
        std::abort();
    return 0;
}
