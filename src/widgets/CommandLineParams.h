#pragma once
// Command-line texts split into parameters the way the shell does: blanks
// separate, double quotes keep blanks inside a parameter. Portable.

#include <string>
#include <string_view>

namespace qrv {

// The next parameter at or after `position`; position moves past it. An empty
// result means there are no more. Parameters are never cut: a long path
// stays whole.
std::wstring NextCommandLineParam(std::wstring_view text, size_t& position);
int CommandLineParamCount(std::wstring_view text);
// The parameter with that index (0 = first); empty past the end.
std::wstring CommandLineParam(std::wstring_view text, int index);

// The first parameter, and the others joined by single blanks, each one that
// contains a blank in double quotes.
struct TSplitCommand {
    std::wstring First;
    std::wstring Rest;
};
TSplitCommand SplitCommandText(std::wstring_view text);

// The characters from `position` up to (not including) the next one of
// `separators`; position moves past that separator, or to the end.
std::wstring ExtractToken(std::wstring_view text, size_t& position, std::wstring_view separators);

}  // namespace qrv
