#pragma once
// What the shell's context menu holds besides the shell's own commands, and
// what a chosen command number means. The shell fills identifiers 1 to 1000;
// the program's own items follow from 1001, after a separator. Portable.

#include <functional>
#include <string>
#include <vector>

namespace qrv {

constexpr unsigned kFirstShellCommand = 1;
constexpr unsigned kLastShellCommand = 1000;
constexpr unsigned kFirstExtraCommand = 1001;

// One item of the program's popup as the shell menu sees it.
struct TExtraMenuSource {
    std::wstring Caption;
    bool Visible = true;
    bool Checked = false;
    bool HasHandler = false;
};

struct TExtraMenuEntry {
    bool Separator = false;
    unsigned Id = 0;  // 0 for a separator
    std::wstring Caption;
    bool Checked = false;
};

// The entries appended after the shell's commands: nothing for no items,
// else a separator, then per visible item (identifier 1001 + its index in
// Items) a separator for a caption "-", the item when it has a handler;
// items without a handler are left out.
std::vector<TExtraMenuEntry> ComposeExtraMenuItems(const std::vector<TExtraMenuSource>& Items);

struct TShellMenuChoice {
    enum TKind { None, Shell, Extra } Kind = None;
    unsigned Offset = 0;  // Shell: the command's offset (result - 1); Extra: the item's index
};

TShellMenuChoice ClassifyShellMenuResult(unsigned Result);

// The verbs a caller carries out itself instead of the shell: "rename"
// always, the clipboard verbs when InvokeClipboardVerbs is false, and the
// caller's own (Extra, e.g. the list's "delete").
bool ShellVerbReturnedUninvoked(const std::wstring& Verb, bool InvokeClipboardVerbs,
                                const std::vector<std::wstring>& Extra = {});

// A shell verb as the menu reports it: cut at the first zero, lower-cased.
std::wstring NormalizeShellVerb(std::wstring Verb);

}  // namespace qrv
