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

std::wstring TCodePageEncoding::Name() const
{
    return L"CP" + IntToStr(codePage_);
}

void InstallAnsiCodePageEncoding()
{
    TEncoding::SetDefault(std::make_unique<TCodePageEncoding>(GetACP()));
}

}  // namespace qrv
