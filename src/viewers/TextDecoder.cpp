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
    out.push_back(bigEndian_ ? static_cast<char16_t>(first << 8 | second)
                             : static_cast<char16_t>(second << 8 | first));
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

}  // namespace qrv
