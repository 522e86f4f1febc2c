#include "viewers/TextDecoder.h"

namespace qrv {

void TCodePageDecoder::Decode(std::string_view block, std::u16string& out)
{
    if (block.empty())
        return;
    if (!codePage_.HasLeadBytes()) {
        codePage_.Decode(block, out);
        return;
    }
    std::string_view bytes = block;
    if (!leadByte_.empty()) {
        joined_.assign(leadByte_);
        joined_.append(block);
        leadByte_.clear();
        bytes = joined_;
    }
    // Walk the characters to learn whether the last byte opens one.
    size_t i = 0;
    while (i < bytes.size())
        i += codePage_.IsLeadByte(static_cast<uint8_t>(bytes[i])) ? 2 : 1;
    size_t complete = bytes.size();
    if (i > bytes.size()) {
        complete = bytes.size() - 1;
        leadByte_.assign(1, bytes.back());
    }
    codePage_.Decode(bytes.substr(0, complete), out);
}

void TCodePageDecoder::Finish(std::u16string& out)
{
    if (!leadByte_.empty())
        codePage_.Decode(leadByte_, out);
    leadByte_.clear();
}

void TUtf16Decoder::Reset()
{
    headCount_ = 0;
    decided_ = false;
    bigEndian_ = false;
    hasOddByte_ = false;
}

void TUtf16Decoder::Append(uint8_t first, uint8_t second, std::u16string& out) const
{
    out.push_back(bigEndian_ ? static_cast<char16_t>(first << 8 | second) : static_cast<char16_t>(second << 8 | first));
}

void TUtf16Decoder::Decode(std::string_view block, std::u16string& out)
{
    size_t i = 0;
    if (!decided_) {
        while (headCount_ < 2 && i < block.size())
            head_[headCount_++] = static_cast<uint8_t>(block[i++]);
        if (headCount_ < 2)
            return;
        decided_ = true;
        if (head_[0] == 0xFE && head_[1] == 0xFF)
            bigEndian_ = true;
        else if (!(head_[0] == 0xFF && head_[1] == 0xFE))
            Append(head_[0], head_[1], out);  // no mark: these are text
    }
    if (hasOddByte_ && i < block.size()) {
        Append(oddByte_, static_cast<uint8_t>(block[i++]), out);
        hasOddByte_ = false;
    }
    const size_t pairs = (block.size() - i) / 2;
    out.reserve(out.size() + pairs);
    for (size_t k = 0; k < pairs; ++k, i += 2)
        Append(static_cast<uint8_t>(block[i]), static_cast<uint8_t>(block[i + 1]), out);
    if (i < block.size()) {
        oddByte_ = static_cast<uint8_t>(block[i]);
        hasOddByte_ = true;
    }
}

void TUtf16Decoder::Finish(std::u16string& out)
{
    // A one-byte file never settled its mark: its byte is an odd byte.
    if ((!decided_ && headCount_ == 1) || hasOddByte_)
        out.push_back(u'\uFFFD');
    hasOddByte_ = false;
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The length of the character a UTF-8 lead byte starts; 0 for a byte that
// cannot start one.
size_t Utf8Length(uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Whether the byte can follow at that place: the second byte is narrowed so
// that overlong forms, surrogates and code points above U+10FFFF are refused.
bool Utf8Continues(uint8_t lead, size_t place, uint8_t byte)
{
    if (place == 1) {
        if (lead == 0xE0)
            return byte >= 0xA0 && byte <= 0xBF;
        if (lead == 0xED)
            return byte >= 0x80 && byte <= 0x9F;
        if (lead == 0xF0)
            return byte >= 0x90 && byte <= 0xBF;
        if (lead == 0xF4)
            return byte >= 0x80 && byte <= 0x8F;
    }
    return byte >= 0x80 && byte <= 0xBF;
}

}  // namespace

void TUtf8Decoder::Reset()
{
    pending_.clear();
    markDone_ = false;
}

void TUtf8Decoder::Decode(std::string_view block, std::u16string& out)
{
    pending_.append(block);
    if (!markDone_) {
        // Wait until three bytes tell whether the file starts with the mark.
        if (pending_.size() < kUtf8Mark.size() && kUtf8Mark.starts_with(pending_))
            return;
        if (pending_.starts_with(kUtf8Mark))
            pending_.erase(0, kUtf8Mark.size());
        markDone_ = true;
    }
    DecodePending(false, out);
}

void TUtf8Decoder::Finish(std::u16string& out)
{
    markDone_ = true;
    DecodePending(true, out);
    pending_.clear();
}

void TUtf8Decoder::DecodePending(bool atEnd, std::u16string& out)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(pending_.data());
    const size_t size = pending_.size();
    size_t i = 0;
    while (i < size) {
        const uint8_t lead = bytes[i];
        const size_t length = Utf8Length(lead);
        if (length == 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        size_t valid = 1;
        while (valid < length && i + valid < size && Utf8Continues(lead, valid, bytes[i + valid]))
            ++valid;
        if (valid < length) {
            // Cut off by the block's end: wait for the rest.
            if (i + valid == size && !atEnd)
                break;
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
            code = code << 6 | (bytes[i + k] & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    pending_.erase(0, i);
}

}  // namespace qrv
