#pragma once
// Names dropped on the command box become arguments of the command line.
// Portable.

#include <string>
#include <vector>

namespace qrv {

enum class TQuoting {
    WhenNeeded,  // only a name the command processor would split or read as an operator
    Always,      // every non-empty name
};

// The name in double quotes when the command processor would split it or
// read part of it as an operator: a blank, a tab, & | < > ^ ( ) , ; = (or
// always, with TQuoting::Always); else the name as it is. Inside the quotes
// the program's argument rules hold: backslashes before the closing quote
// are doubled, so "C:\dir\" reaches the program as C:\dir\ and does not
// swallow the quote.
std::wstring QuoteCommandArgument(const std::wstring& Name, TQuoting Quoting = TQuoting::WhenNeeded);
// The backslashes at the end of Text doubled: Text is put before a closing
// quote that the user wrote.
std::wstring EscapeBeforeQuote(const std::wstring& Text);
// The command text with each name appended after a blank, quoted as above.
std::wstring AppendDroppedNames(const std::wstring& CommandText, const std::vector<std::wstring>& Names);

}  // namespace qrv
