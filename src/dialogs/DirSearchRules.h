#pragma once
// The directory search's rules: the search text made into a pattern, and
// one run over the folders of a drive in tree order, which continues after
// the folder the previous run found. The walk itself is the caller's: it
// hands each node with its folder name to Visit until a node is found.
// Portable.

#include <cstddef>
#include <string>
#include <string_view>

namespace qrv {

// The longest search text the dialog takes, and the compare length that
// means the whole name.
constexpr size_t kDirSearchMaxText = 255;
constexpr size_t kDirSearchWholeName = 255;

struct TDirSearchPattern {
    std::wstring Text;      // upper case, every "*" removed
    bool Contains = false;  // the text began with "*": anywhere in the name
    // The number of leading characters of the name that must equal Text;
    // kDirSearchWholeName unless the text ended with "*".
    size_t CompareLength = kDirSearchWholeName;
};

// "*dat" finds names containing DAT, "dat*" names beginning with it, "dat"
// the name itself; the text is upper-cased, cut to 255 characters and its
// trailing blanks removed first. An empty pattern matches every name.
TDirSearchPattern MakeDirSearchPattern(std::wstring_view SearchText);
bool DirNameMatches(const TDirSearchPattern& Pattern, std::wstring_view DirName);

// Nodes are compared by identity only.
using TDirSearchNode = const void*;

// One run. Start: the node the previous run found (nullptr on a first run):
// nothing counts until the walk has passed it. Selected: the tree's selected
// node, which never counts once the start is passed.
class TDirSearchRun {
public:
    TDirSearchRun(TDirSearchPattern Pattern, TDirSearchNode Start, TDirSearchNode Selected);

    // True when this node is the hit; the walk stops there.
    bool Visit(TDirSearchNode Node, std::wstring_view DirName);
    TDirSearchNode Found() const { return found_; }

private:
    TDirSearchPattern pattern_;
    TDirSearchNode start_;
    TDirSearchNode selected_;
    bool startReached_;
    TDirSearchNode found_ = nullptr;
};

// Characters a folder name cannot hold, refused while typing the search text.
bool IsRefusedDirSearchChar(wchar_t Ch);

}  // namespace qrv
