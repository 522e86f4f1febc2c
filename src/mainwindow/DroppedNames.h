#pragma once
// Names dropped on the command box become arguments of the command line.
// Portable.

#include <string>
#include <vector>

namespace qrv {

// The name in double quotes when the command processor would split it or
// read part of it as an operator: a blank, a tab, & | < > ^ ( ) , ; =.
// Else the name as it is.
std::wstring QuoteCommandArgument(const std::wstring& Name);
// The command text with each name appended after a blank, quoted as above.
std::wstring AppendDroppedNames(const std::wstring& CommandText, const std::vector<std::wstring>& Names);

}  // namespace qrv
