#include "viewers/win/WinCodePage.h"

#include "framework/win/WinApi.h"

#include <algorithm>
#include <climits>

namespace qrv {

TWinCodePage::TWinCodePage(UINT codePage) : codePage_(codePage)
{
    CPINFO info{};
    Win32Check(GetCPInfo(codePage, &info), L"Unbekannte Codepage");
    maxCharSize_ = std::max<UINT>(info.MaxCharSize, 1);
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b)
            leadBytes_[b] = true;
        hasLeadBytes_ = true;
    }
}

void TWinCodePage::Decode(std::string_view bytes, std::u16string& out) const
{
    if (bytes.empty())
        return;
    Win32Check(bytes.size() <= INT_MAX, L"Textblock zu groß");
    const int inSize = static_cast<int>(bytes.size());
    // One byte never gives more than one UTF-16 unit in a Windows code page.
    const size_t start = out.size();
    out.resize(start + bytes.size());
    const int n =
        MultiByteToWideChar(codePage_, 0, bytes.data(), inSize, reinterpret_cast<wchar_t*>(out.data() + start), inSize);
    Win32Check(n > 0, L"Text kann nicht umgewandelt werden");
    out.resize(start + static_cast<size_t>(n));
}

void TWinCodePage::Encode(std::u16string_view text, std::string& out) const
{
    if (text.empty())
        return;
    Win32Check(text.size() <= INT_MAX / 4, L"Textblock zu groß");
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int inSize = static_cast<int>(text.size());
    const size_t start = out.size();
    const size_t room = text.size() * maxCharSize_;
    out.resize(start + room);
    const int n =
        WideCharToMultiByte(codePage_, 0, wide, inSize, out.data() + start, static_cast<int>(room), nullptr, nullptr);
    Win32Check(n > 0, L"Text kann nicht umgewandelt werden");
    out.resize(start + static_cast<size_t>(n));
}

}  // namespace qrv
