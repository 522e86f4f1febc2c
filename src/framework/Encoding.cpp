#include "framework/Encoding.h"

#include "framework/CodePageTables.h"
#include "framework/SysUtils.h"

#include <array>
#include <mutex>

namespace qrv {
namespace {

// True for characters that UTF-16 stores as a surrogate pair; only a 32-bit
// wchar_t can hold one in a single unit.
template <typename Char>
bool BeyondBasicPlane(Char c)
{
    if constexpr (sizeof(Char) == 4)
        return static_cast<char32_t>(c) >= 0x10000;
    else
        return false;
}

class Utf8Encoding final : public TEncoding {
public:
    explicit Utf8Encoding(bool bom) : bom_(bom) {}
    std::wstring GetString(std::string_view bytes) const override { return Utf8ToWide(bytes); }
    std::string GetBytes(std::wstring_view text) const override { return WideToUtf8(text); }
    std::string Preamble() const override { return bom_ ? "\xEF\xBB\xBF" : ""; }
    std::wstring Name() const override { return L"UTF-8"; }

private:
    bool bom_;
};

class Utf16Encoding final : public TEncoding {
public:
    explicit Utf16Encoding(bool bigEndian) : bigEndian_(bigEndian) {}

    std::wstring GetString(std::string_view bytes) const override
    {
        std::wstring out;
        out.reserve(bytes.size() / 2);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto b0 = static_cast<unsigned char>(bytes[i]);
            const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
            const char16_t unit = bigEndian_ ? char16_t((b0 << 8) | b1) : char16_t((b1 << 8) | b0);
            AppendUnit(out, unit);
        }
        if (bytes.size() % 2 != 0)
            out.push_back(0xFFFD);  // a dangling odd byte
        return out;
    }

    std::string GetBytes(std::wstring_view text) const override
    {
        std::string out;
        out.reserve(text.size() * 2);
        for (wchar_t c : text) {
            if (BeyondBasicPlane(c)) {
                const char32_t v = static_cast<char32_t>(c) - 0x10000;
                PutUnit(out, char16_t(0xD800 + (v >> 10)));
                PutUnit(out, char16_t(0xDC00 + (v & 0x3FF)));
                continue;
            }
            PutUnit(out, static_cast<char16_t>(c));
        }
        return out;
    }

    std::string Preamble() const override { return bigEndian_ ? "\xFE\xFF" : "\xFF\xFE"; }
    std::wstring Name() const override { return bigEndian_ ? L"UTF-16BE" : L"UTF-16LE"; }

private:
    // With a 32-bit wchar_t, surrogate pairs are combined into one character.
    static void AppendUnit(std::wstring& out, char16_t unit)
    {
        if constexpr (sizeof(wchar_t) == 4) {
            if (unit >= 0xDC00 && unit <= 0xDFFF && !out.empty()) {
                const auto high = static_cast<char32_t>(out.back());
                if (high >= 0xD800 && high <= 0xDBFF) {
                    out.back() = static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                    return;
                }
            }
        }
        out.push_back(static_cast<wchar_t>(unit));
    }

    void PutUnit(std::string& out, char16_t unit) const
    {
        const char hi = static_cast<char>(unit >> 8);
        const char lo = static_cast<char>(unit & 0xFF);
        if (bigEndian_) {
            out.push_back(hi);
            out.push_back(lo);
        } else {
            out.push_back(lo);
            out.push_back(hi);
        }
    }

    bool bigEndian_;
};

// Windows-1252: Latin-1 with printable characters in 0x80..0x9F.
class Windows1252Encoding final : public TEncoding {
public:
    std::wstring GetString(std::string_view bytes) const override
    {
        std::wstring out;
        out.reserve(bytes.size());
        for (char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            out.push_back(b >= 0x80 ? static_cast<wchar_t>(kUpperHalf1252[b - 0x80]) : static_cast<wchar_t>(b));
        }
        return out;
    }

    std::string GetBytes(std::wstring_view text) const override
    {
        std::string out;
        out.reserve(text.size());
        for (wchar_t c : text)
            out.push_back(EncodeOrQuestionMark(c));
        return out;
    }

    bool TryGetBytes(std::wstring_view text, std::string& bytes, size_t& badIndex) const override
    {
        bytes.clear();
        bytes.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            const int b = Encode(text[i]);
            if (b < 0) {
                badIndex = i;
                return false;
            }
            bytes.push_back(static_cast<char>(b));
        }
        return true;
    }

    std::string Preamble() const override { return ""; }
    std::wstring Name() const override { return L"Windows-1252"; }

private:
    // The byte of a character, or -1 when the code page has none.
    static int Encode(wchar_t c)
    {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            return static_cast<int>(c);
        // Only 0x80..0x9F differ from Latin-1.
        for (size_t i = 0; i < 0x20; ++i)
            if (kUpperHalf1252[i] == c)
                return static_cast<int>(0x80 + i);
        return -1;
    }

    static char EncodeOrQuestionMark(wchar_t c)
    {
        const int b = Encode(c);
        return b < 0 ? '?' : static_cast<char>(b);
    }
};

std::mutex g_defaultMutex;
std::unique_ptr<TEncoding> g_default;

}  // namespace

bool TEncoding::TryGetBytes(std::wstring_view text, std::string& bytes, size_t& /*badIndex*/) const
{
    // The Unicode encodings hold every character.
    bytes = GetBytes(text);
    return true;
}

const TEncoding& TEncoding::UTF8()
{
    static const Utf8Encoding instance(true);
    return instance;
}

const TEncoding& TEncoding::UTF8NoBOM()
{
    static const Utf8Encoding instance(false);
    return instance;
}

const TEncoding& TEncoding::Unicode()
{
    static const Utf16Encoding instance(false);
    return instance;
}

const TEncoding& TEncoding::BigEndianUnicode()
{
    static const Utf16Encoding instance(true);
    return instance;
}

const TEncoding& TEncoding::Windows1252()
{
    static const Windows1252Encoding instance;
    return instance;
}

const TEncoding& TEncoding::Default()
{
    std::lock_guard lock(g_defaultMutex);
    return g_default ? *g_default : Windows1252();
}

void TEncoding::SetDefault(std::unique_ptr<TEncoding> encoding)
{
    std::lock_guard lock(g_defaultMutex);
    g_default = std::move(encoding);
}

const TEncoding* TEncoding::FromBOM(std::string_view bytes, size_t& bomLength)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bomLength = 3;
        return &UTF8();
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        bomLength = 2;
        return &Unicode();
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        bomLength = 2;
        return &BigEndianUnicode();
    }
    bomLength = 0;
    return nullptr;
}

std::wstring TEncoding::DecodeText(std::string_view bytes, const TEncoding& fallback, const TEncoding** detected)
{
    size_t bomLength = 0;
    const TEncoding* encoding = FromBOM(bytes, bomLength);
    if (!encoding) {
        bool ascii = true;
        for (char c : bytes)
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
                break;
            }
        encoding = (!ascii && IsValidUtf8(bytes)) ? &UTF8NoBOM() : &fallback;
    }
    if (detected)
        *detected = encoding;
    return encoding->GetString(bytes.substr(bomLength));
}

}  // namespace qrv
