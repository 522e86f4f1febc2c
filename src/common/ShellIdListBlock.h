#pragma once
// The "Shell IDList Array" block of drag and drop and the clipboard: a 32-bit
// count N, N + 1 offsets from the block's start (the parent folder's absolute
// list, then each file's list relative to it), then the lists. Portable: the
// block may come from any program, so every offset, count and list is
// checked against the block's size.

#include "common/PIDL.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qrv {

// A block of the files' absolute lists (each with its terminator). Files of
// one folder get that folder as parent and one-item lists; files of several
// folders get the desktop as parent and their absolute lists, which every
// reader understands. Throws EInvalidOperation for a malformed list.
std::vector<uint8_t> BuildShellIdList(const std::vector<TPidlBytes>& AbsoluteLists);

// What the absolute lists of a block may take together: far more than any
// real drag needs (each file repeats its parent), far less than a block
// naming one item below a long parent many times would unfold to.
constexpr uint64_t kShellIdListJoinedBase = 64ull << 20;
constexpr uint64_t kShellIdListJoinedFactor = 16;

// The absolute lists of the files of a block, parent joined with item, or
// nothing when the block is malformed (too short for its count and offsets,
// an offset outside it, a list that does not end inside it, lists beyond
// the limit above). A list that
// stands exactly between the end of the previous item and an item's offset
// is taken as the parent of that item and those after it, so blocks that
// write each new parent before its files read right too.
std::optional<std::vector<TPidlBytes>> ParseShellIdList(const uint8_t* Data, size_t Size);

}  // namespace qrv
