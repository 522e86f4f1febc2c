#pragma once
// The editor keeps its lines as UTF-16 code units (std::u16string) in both
// builds; paths and window texts are std::wstring. These convert at that
// edge: a copy on Windows, where wchar_t is 16 bits, and a conversion
// between surrogate pairs and single characters on the 32-bit host.
// Portable.

#include <string>
#include <string_view>

namespace qrv {

std::wstring ToWide(std::u16string_view text);
std::u16string ToUtf16(std::wstring_view text);

}  // namespace qrv
