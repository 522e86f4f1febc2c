#pragma once
// Don't-show-again messages: the portable rules for identifiers and store
// paths. A message is known by an identifier; its flag "DontShow" lives below
// the store path (a registry key or an INI file).

#include <functional>
#include <string>

namespace qrv {

// Keeps the characters identChar accepts (and ".", ":", "\" when path
// characters are allowed), turns every other one into a blank, and trims.
std::wstring FilterDSAIdent(const std::wstring& text, bool allowPathChars,
                            const std::function<bool(wchar_t)>& identChar);

// The registry key of an identifier below a store path.
std::wstring DSAKeyPath(const std::wstring& storePath, const std::wstring& ident);

}  // namespace qrv
