#include "viewers/SingleByteCodePages.h"

#include "framework/CodePageTables.h"

namespace qrv {

TSingleByteCodePage::TSingleByteCodePage(const std::array<char16_t, 128>& upperHalf)
{
    for (unsigned byte = 0; byte < 256; ++byte) {
        toChar_[byte] = byte < 128 ? static_cast<char16_t>(byte) : upperHalf[byte - 128];
        toByte_.emplace(toChar_[byte], static_cast<uint8_t>(byte));
    }
}

void TSingleByteCodePage::Decode(std::string_view bytes, std::u16string& out) const
{
    const size_t start = out.size();
    out.resize(start + bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        out[start + i] = toChar_[static_cast<uint8_t>(bytes[i])];
}

void TSingleByteCodePage::Encode(std::u16string_view text, std::string& out) const
{
    out.reserve(out.size() + text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        // A surrogate pair is one character, and none of these code pages has it.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back('?');
            ++i;
            continue;
        }
        const auto found = toByte_.find(c);
        out.push_back(found != toByte_.end() ? static_cast<char>(found->second) : '?');
    }
}

const TSingleByteCodePage& CodePage1252()
{
    static const TSingleByteCodePage page(kUpperHalf1252);
    return page;
}

const TSingleByteCodePage& CodePage850()
{
    static const TSingleByteCodePage page(kUpperHalf850);
    return page;
}

}  // namespace qrv
