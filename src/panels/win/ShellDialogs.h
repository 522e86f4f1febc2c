#pragma once
// Shell verbs of file types.

#include <string>

namespace qrv {

// True when HKEY_CLASSES_ROOT\<extension> names a file type and that type has
// the shell verb (its key "<type>\shell\<verb>" exists).
bool HasShellVerb(const std::wstring& extension, const std::wstring& verb);

}  // namespace qrv
