#include "viewers/TextEncoder.h"

#include "viewers/TextDecoder.h"

#include <algorithm>

namespace qrv {

void TCodePageEncoder::Reset()
{
    hasOddByte_ = false;
    units_.clear();
}

void TCodePageEncoder::Encode(std::string_view block, std::string& out)
{
    size_t i = 0;
    auto unitOf = [](uint8_t low, uint8_t high) { return static_cast<char16_t>(high << 8 | low); };
    if (hasOddByte_ && !block.empty()) {
        units_.push_back(unitOf(oddByte_, static_cast<uint8_t>(block[i++])));
        hasOddByte_ = false;
    }
    for (; i + 1 < block.size(); i += 2)
        units_.push_back(unitOf(static_cast<uint8_t>(block[i]), static_cast<uint8_t>(block[i + 1])));
    if (i < block.size()) {
        oddByte_ = static_cast<uint8_t>(block[i]);
        hasOddByte_ = true;
    }
    if (dropCR_)
        std::erase(units_, u'\r');
    // A pair cut by the block boundary waits for its second half.
    char16_t carried = 0;
    if (!units_.empty() && IsHighSurrogate(units_.back())) {
        carried = units_.back();
        units_.pop_back();
    }
    codePage_.Encode(units_, out);
    units_.clear();
    if (carried)
        units_.push_back(carried);
}

void TCodePageEncoder::Finish(std::string& out)
{
    codePage_.Encode(units_, out);
    units_.clear();
    // A last lone byte is half a character: it cannot be written in the code page.
    if (hasOddByte_)
        out.push_back('?');
    hasOddByte_ = false;
}

}  // namespace qrv
