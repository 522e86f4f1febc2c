#include "framework/win/AnsiEncoding.h"

#include "framework/SysUtils.h"
#include "framework/win/WinApi.h"

#include <climits>
#include <memory>

namespace qrv {

std::wstring TCodePageEncoding::GetString(std::string_view bytes) const
{
    if (bytes.empty())
        return {};
    if (bytes.size() > INT_MAX)
        throw ERangeError(L"Text zu lang");
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage_, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(codePage_, 0, bytes.data(), size, text.data(), length);
    return text;
}

std::string TCodePageEncoding::GetBytes(std::wstring_view text) const
{
    if (text.empty())
        return {};
    if (text.size() > INT_MAX)
        throw ERangeError(L"Text zu lang");
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage_, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(length, '\0');
    WideCharToMultiByte(codePage_, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

namespace {

// The code pages for which WideCharToMultiByte takes no default character.
bool EncodesEveryCharacter(uint32_t codePage)
{
    return codePage == CP_UTF8 || codePage == CP_UTF7;
}

// Encodes without best-fit substitutes; false when a character has no code.
bool EncodeExactly(uint32_t codePage, std::wstring_view text, std::string& bytes)
{
    bytes.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        throw ERangeError(L"Text zu lang");
    const int size = static_cast<int>(text.size());
    const DWORD flags = EncodesEveryCharacter(codePage) ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = EncodesEveryCharacter(codePage) ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return false;
    bytes.resize(length);
    WideCharToMultiByte(codePage, flags, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return true;
}

}  // namespace

bool TCodePageEncoding::TryGetBytes(std::wstring_view text, std::string& bytes, size_t& badIndex) const
{
    if (EncodeExactly(codePage_, text, bytes))
        return true;
    // Find the first character (or surrogate pair) that does not encode.
    std::string one;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
        if (!EncodeExactly(codePage_, text.substr(i, pair ? 2 : 1), one)) {
            badIndex = i;
            return false;
        }
        if (pair)
            ++i;
    }
    badIndex = text.size();
    return false;
}

bool TCodePageEncoding::IsLeadByte(unsigned char byte) const
{
    return IsDBCSLeadByteEx(codePage_, byte) != FALSE;
}

std::wstring TCodePageEncoding::Name() const
{
    return L"CP" + IntToStr(codePage_);
}

const TCodePageEncoding& SystemAnsiEncoding()
{
    static const TCodePageEncoding encoding(GetACP());
    return encoding;
}

const TCodePageEncoding& SystemOemEncoding()
{
    static const TCodePageEncoding encoding(GetOEMCP());
    return encoding;
}

void InstallAnsiCodePageEncoding()
{
    TEncoding::SetDefault(std::make_unique<TCodePageEncoding>(GetACP()));
}

}  // namespace qrv
