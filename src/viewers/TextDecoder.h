#pragma once
// Decoders from a text file's bytes to UTF-16, fed block by block while the
// rich edit control streams a file in. A decoder carries whatever a block
// boundary may cut (a DBCS lead byte, the odd byte of a UTF-16 unit, the
// byte-order mark still being read) so that the text comes out the same
// whatever the block sizes. Portable.

#include "viewers/CodePage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

class TTextDecoder {
public:
    virtual ~TTextDecoder() = default;
    // Appends the text of one more block of the file.
    virtual void Decode(std::string_view block, std::u16string& out) = 0;
    // The end of the file: appends what was still held back.
    virtual void Finish(std::u16string& out) = 0;
    // Forgets everything carried, for a new pass over the file from its start.
    virtual void Reset() = 0;
};

// Bytes in a code page (ANSI or OEM, single- or double-byte).
class TCodePageDecoder : public TTextDecoder {
public:
    explicit TCodePageDecoder(const TCodePage& codePage) : codePage_(codePage) {}
    void Decode(std::string_view block, std::u16string& out) override;
    void Finish(std::u16string& out) override;
    void Reset() override { leadByte_.clear(); }

private:
    const TCodePage& codePage_;
    std::string leadByte_;  // a lead byte whose trail byte is in the next block
    std::string joined_;
};

// UTF-16 shown as it is. Only the first two bytes of the file can be a mark:
// FF FE (little-endian) or FE FF (big-endian) is skipped; without a mark the
// file is read little-endian.
class TUtf16Decoder : public TTextDecoder {
public:
    void Decode(std::string_view block, std::u16string& out) override;
    // An odd byte at the very end cannot be a character: it shows as U+FFFD.
    void Finish(std::u16string& out) override;
    void Reset() override;

    bool BigEndian() const { return bigEndian_; }

private:
    void Append(uint8_t first, uint8_t second, std::u16string& out) const;

    uint8_t head_[2]{};
    int headCount_ = 0;     // bytes of the first two seen so far
    bool decided_ = false;  // the mark question is settled
    bool bigEndian_ = false;
    bool hasOddByte_ = false;
    uint8_t oddByte_ = 0;
};

// UTF-8 after its mark EF BB BF (skipped when the file starts with it). A
// byte that cannot start or continue a character shows as U+FFFD, and so
// does a character cut off by the end of the file.
class TUtf8Decoder : public TTextDecoder {
public:
    void Decode(std::string_view block, std::u16string& out) override;
    void Finish(std::u16string& out) override;
    void Reset() override;

private:
    void DecodePending(bool atEnd, std::u16string& out);

    std::string pending_;  // the mark being read, or a character cut by the block's end
    bool markDone_ = false;
};

// The question a stream of UTF-16 code units raises when cut for the control:
// true when the unit is the first half of a surrogate pair.
inline bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace qrv
