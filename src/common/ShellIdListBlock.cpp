#include "common/ShellIdListBlock.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {

uint32_t ReadWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void PutWord(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The offset of the last item of a well-formed list; the terminator's offset
// for the empty list.
size_t LastItemOffset(const TPidlBytes& List)
{
    size_t last = 0;
    size_t pos = 0;
    while (pos + 2 <= List.size()) {
        const uint16_t count = PidlItemCount(List.data() + pos);
        if (count == 0) {
            return last;
        }
        last = pos;
        pos += count;
    }
    return last;
}

TPidlBytes ParentOf(const TPidlBytes& List, size_t LastOffset)
{
    TPidlBytes parent(List.begin(), List.begin() + static_cast<std::ptrdiff_t>(LastOffset));
    parent.push_back(0);
    parent.push_back(0);
    return parent;
}

// Parent's items followed by Item with its terminator.
TPidlBytes Join(const TPidlBytes& Parent, const uint8_t* Item, size_t ItemSize)
{
    TPidlBytes joined(Parent.begin(), Parent.end() - 2);
    joined.insert(joined.end(), Item, Item + ItemSize);
    return joined;
}

}  // namespace

std::vector<uint8_t> BuildShellIdList(const std::vector<TPidlBytes>& AbsoluteLists)
{
    for (const TPidlBytes& list : AbsoluteLists) {
        if (list.empty() || GetPidlSize(list.data(), list.size()) != static_cast<int>(list.size())) {
            throw EInvalidOperation(L"Ungültige Elementliste");
        }
    }
    // One shared parent when every file has one and it is the same.
    bool oneParent = !AbsoluteLists.empty();
    TPidlBytes parent;
    std::vector<TPidlBytes> items;
    for (const TPidlBytes& list : AbsoluteLists) {
        if (list.size() <= 2) {
            oneParent = false;
            break;
        }
        const size_t last = LastItemOffset(list);
        TPidlBytes itsParent = ParentOf(list, last);
        if (items.empty()) {
            parent = std::move(itsParent);
        } else if (itsParent != parent) {
            oneParent = false;
            break;
        }
        items.emplace_back(list.begin() + static_cast<std::ptrdiff_t>(last), list.end());
    }
    if (!oneParent) {
        parent = {0, 0};
        items = AbsoluteLists;
    }

    const size_t count = items.size();
    std::vector<uint8_t> block(4 + 4 * (count + 1), 0);
    PutWord(block, 0, static_cast<uint32_t>(count));
    PutWord(block, 4, static_cast<uint32_t>(block.size()));
    block.insert(block.end(), parent.begin(), parent.end());
    for (size_t i = 0; i < count; ++i) {
        PutWord(block, 4 + 4 * (i + 1), static_cast<uint32_t>(block.size()));
        block.insert(block.end(), items[i].begin(), items[i].end());
    }
    return block;
}

std::optional<std::vector<TPidlBytes>> ParseShellIdList(const uint8_t* Data, size_t Size)
{
    if (Data == nullptr || Size < 4) {
        return std::nullopt;
    }
    const uint64_t count = ReadWord(Data);
    const uint64_t headerSize = 4 + 4 * (count + 1);
    if (headerSize > Size) {
        return std::nullopt;
    }
    // The size of the list at Offset, or -1 when it is not all inside the block.
    auto listSize = [&](uint64_t offset, uint64_t end) -> int {
        if (offset >= end || end > Size) {
            return -1;
        }
        const int size = GetPidlSize(Data + offset, static_cast<size_t>(end - offset));
        return size >= 2 ? size : -1;
    };
    const uint64_t parentOffset = ReadWord(Data + 4);
    const int parentSize = listSize(parentOffset, Size);
    if (parentSize < 0) {
        return std::nullopt;
    }
    TPidlBytes parent(Data + parentOffset, Data + parentOffset + parentSize);
    uint64_t previousEnd = parentOffset + static_cast<uint64_t>(parentSize);

    // Every file repeats its parent: a block whose offsets all name one item
    // below a long parent would unfold to many times its size.
    const uint64_t joinedLimit = kShellIdListJoinedBase + kShellIdListJoinedFactor * static_cast<uint64_t>(Size);
    uint64_t joined = 0;
    std::vector<TPidlBytes> lists;
    lists.reserve(static_cast<size_t>(count));
    for (uint64_t i = 1; i <= count; ++i) {
        const uint64_t offset = ReadWord(Data + 4 + 4 * i);
        const int itemSize = listSize(offset, Size);
        if (itemSize < 0) {
            return std::nullopt;
        }
        if (offset > previousEnd) {
            const int between = listSize(previousEnd, offset);
            if (between > 0 && previousEnd + static_cast<uint64_t>(between) == offset) {
                parent.assign(Data + previousEnd, Data + offset);
            }
        }
        joined += parent.size() + static_cast<uint64_t>(itemSize);
        if (joined > joinedLimit) {
            return std::nullopt;
        }
        lists.push_back(Join(parent, Data + offset, static_cast<size_t>(itemSize)));
        previousEnd = offset + static_cast<uint64_t>(itemSize);
    }
    return lists;
}

}  // namespace qrv
