#pragma once
// Encoders from the rich edit control's text (UTF-16 little-endian bytes, as
// it streams out block by block) to a text file's bytes. An encoder carries
// what a block boundary may cut: the odd byte of a code unit and the first
// half of a surrogate pair. Portable.

#include "viewers/CodePage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

class TTextEncoder {
public:
    virtual ~TTextEncoder() = default;
    // Appends the file bytes of one more block of the control's text.
    virtual void Encode(std::string_view block, std::string& out) = 0;
    // The end of the text: appends what was still held back.
    virtual void Finish(std::string& out) = 0;
    virtual void Reset() = 0;
};

// Into a code page; with dropCR every CR is left out (LF-only files).
class TCodePageEncoder : public TTextEncoder {
public:
    TCodePageEncoder(const TCodePage& codePage, bool dropCR) : codePage_(codePage), dropCR_(dropCR) {}
    void Encode(std::string_view block, std::string& out) override;
    void Finish(std::string& out) override;
    void Reset() override;

private:
    const TCodePage& codePage_;
    bool dropCR_;
    bool hasOddByte_ = false;
    uint8_t oddByte_ = 0;
    std::u16string units_;  // starts with a carried high surrogate, if any
};

// UTF-16 little-endian without a byte-order mark: the bytes pass unchanged.
class TUtf16Encoder : public TTextEncoder {
public:
    void Encode(std::string_view block, std::string& out) override { out.append(block); }
    void Finish(std::string&) override {}
    void Reset() override {}
};

}  // namespace qrv
