#pragma once
// Matching file names against lists of wildcard masks such as
// "*.txt;*.doc;read?e.*": "*" stands for any run of characters, "?" for one
// character (a surrogate pair is one). Names match ignoring case. Portable.

#include <string_view>

namespace qrv {

class TStringList;

// Fills List with the lower-cased masks of a ";"-separated text; the list is
// sorted and ignores duplicates, also from then on. Empty pieces are dropped; a text without
// any mask gives the one mask "*".
void ParseMaskList(std::wstring_view Masks, TStringList& List);
// True when the name matches some mask of List, or when List is missing or
// empty. A name without "." is matched as if it ended with one, so "*."
// selects the names without extension and "*.*" selects every name.
bool MatchesMaskList(std::wstring_view FileName, const TStringList* List);
// Exact (case-sensitive) match of a whole name against one mask.
bool MatchMask(std::wstring_view Name, std::wstring_view Mask);

}  // namespace qrv
