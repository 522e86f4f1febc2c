#pragma once
// Messages with places: "%s" and "%u" filled in order. Portable.

#include <string>
#include <vector>

namespace qrv {

// The pattern with its "%s", "%u" (any "%" and the character after it)
// filled by Values, one after the other; places beyond Values stay.
std::wstring FillPlaces(std::wstring Pattern, const std::vector<std::wstring>& Values);

}  // namespace qrv
