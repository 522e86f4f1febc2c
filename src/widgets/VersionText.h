#pragma once
// The parts of a file version text such as "3.2.0.117" or "3, 2, 0, 117".
// Portable.

#include <string>
#include <string_view>

namespace qrv {

// The text shown for a value the version resource does not give.
inline constexpr wchar_t kVersionInfoNotAvailable[] = L"<info not available>";

struct TVersionParts {
    std::wstring Major, Minor, Release, Build;
};

// Splits at "." (or, when there is none, at ","); the last part takes the
// rest. Parts the text does not have, and all four when it has no
// separator, are kVersionInfoNotAvailable. Blanks after a separator stay.
TVersionParts SplitFileVersion(std::wstring_view fileVersion);

// Parts the text did not give, taken from the numeric version of the same
// resource (major, minor, release, build), so that a text such as "3.2"
// still has a numeric Build.
void FillMissingVersionParts(TVersionParts& parts, const unsigned (&fixed)[4]);

}  // namespace qrv
