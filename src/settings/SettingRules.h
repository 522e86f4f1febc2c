#pragma once
// The text forms of the settings store: how a function-key command, an
// attribute filter, a row of option flags and a toolbar's button visibility
// are written as one string, and the small rules applied when they are read
// back. Portable.

#include "panels/SelAttr.h"
#include "settings/Quorvan32Globals.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// Caption, command and parameters of a function-key command are joined by
// the right-pointing double angle quotation mark.
constexpr wchar_t kFKeySeparator = L'\u00BB';
// The section of a set of function-key commands: "FKeyShift" (0), "FKeyCtrl" (1).
std::wstring FKeySection(int set);
std::wstring FKeyToText(const TFKeyRecord& record);
// Text before the first separator is the caption (cut to 25 characters),
// between the first and the second the command (cut to 200), the rest the
// parameters (cut to 255). The image index is computed at run time: -1.
TFKeyRecord FKeyFromText(const std::wstring& text);

// The six attribute choices of a file filter in the order Hidden, ReadOnly,
// System, Archive, Compressed, Encrypted; "+" required, "-" excluded, "*"
// ignored.
using TAttrChoices = std::array<TSelAttr, 6>;
std::wstring AttrListText(const TAttrChoices& choices);
// Applies a stored text only when it has all six characters; returns
// whether it did. Characters other than "+" and "-" read as ignored.
bool ApplyAttrListText(const std::wstring& text, TAttrChoices& choices);

// A row of flags as "X" (on) and "-" (off).
std::wstring FlagText(const std::vector<bool>& flags);
// Reads a row of flags that grew over time: groupEnds are the ends of the
// groups (e.g. {8, 10}); a group is taken only when the text reaches its
// end, so an older, shorter text leaves the newer flags alone.
void ApplyFlagText(const std::wstring& text, std::vector<bool>& flags, const std::vector<size_t>& groupEnds);

// The button visibility of a toolbar ("X" visible, "-" hidden): the text is
// padded with "X" to the button count and used only when its length then
// equals the count.
std::optional<std::wstring> ToolbarVisibilityText(const std::wstring& text, size_t buttonCount);

// The start directory to store for a list showing path: a network path is
// not stored (the share may be gone at the next start); the root of the
// default drive stands in for it.
std::wstring StartDirToStore(const std::wstring& path, const std::wstring& defaultDriveRoot);

// The program of a shell "open" command: every double quote removed,
// everything from the first "%" cut off, trailing blanks dropped.
std::wstring ProgramFromOpenCommand(const std::wstring& command);

}  // namespace qrv
