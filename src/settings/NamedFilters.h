#pragma once
// The named filter list TOptions.FilterList: entries of a name and a mask
// text in the user's order, entry 0 always "Alle Dateien" with "*.*". Portable.

#include "settings/Quorvan32Globals.h"

#include <string>
#include <vector>

namespace qrv {

// Appends an entry, the name cut to 60 and the masks to 255 characters.
void AddNamedFilter(std::vector<TFilterRec>& list, const std::wstring& name, const std::wstring& masks);
// Puts the entry with masks "*.*" first, adding ("Alle Dateien", "*.*")
// when there is none.
void EnsureAllFilesFilter(std::vector<TFilterRec>& list);

}  // namespace qrv
