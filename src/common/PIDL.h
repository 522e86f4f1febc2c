#pragma once
// Item identifier lists as bytes. A list is a run of items, each led by its
// own 16-bit byte count (the count included), ended by a 16-bit zero; the
// empty list (the terminator alone) names the desktop. Lists that come from
// outside (drag and drop, the clipboard) are untrusted: every operation here
// sizes a list before it reads it and never walks past the bytes it was told
// are there. New lists come from an allocator: the shell's in the program
// (common/win/PIDL.h), the heap in tests. Portable.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qrv {

// The length of a list whose end nobody knows (lists the shell handed us).
inline constexpr size_t kPidlUnbounded = SIZE_MAX;

class TPidlAllocator {
public:
    // nullptr when the allocator fails.
    virtual void* Alloc(size_t Size) = 0;
    virtual void Free(void* Block) = 0;

protected:
    ~TPidlAllocator() = default;
};

struct TPidlRelease {
    TPidlAllocator* Allocator = nullptr;
    void operator()(void* Pidl) const
    {
        if (Pidl && Allocator)
            Allocator->Free(Pidl);
    }
};
// A list owned by whoever holds it, freed through the allocator it came from.
using TOwnedPidl = std::unique_ptr<void, TPidlRelease>;

// A list kept as its own bytes (terminator included) by owners that copy it
// freely; empty stands for "no list".
using TPidlBytes = std::vector<uint8_t>;

// The byte count of the item at Item (unaligned reads are fine).
uint16_t PidlItemCount(const void* Item);

// Sum of all item counts plus 2 for the terminator; 0 for nil; -1 when the
// list is malformed: an item count of 1 (shorter than the count itself), or
// an item or the terminator reaching past Available bytes (so a block of 0 or
// 1 bytes is no list).
int GetPidlSize(const void* Pidl, size_t Available = kPidlUnbounded);
// The following item (Pidl + its count); nil for nil. On the terminator it
// stays where it is.
const void* NextPidlItem(const void* Pidl);
// The following item; nil for nil and on the terminator.
const void* NextPidlItemOrNil(const void* Pidl);

// Size bytes from the allocator, zero-filled; nil when it fails.
TOwnedPidl AllocPidl(TPidlAllocator& Allocator, size_t Size);
// The same bytes in a new list; nil for nil, a malformed list or when the
// allocation fails.
TOwnedPidl CopyPidl(TPidlAllocator& Allocator, const void* Pidl, size_t Available = kPidlUnbounded);
// The items of First (nil counts as no items) followed by Second with its
// terminator; nil when Second is nil, either list is malformed or the
// allocation fails.
TOwnedPidl ConcatPidls(TPidlAllocator& Allocator, const void* First, const void* Second);
// Parent: a copy without the last item; Last: a one-item list holding that
// item. Both nil for nil or a malformed list; for the empty list Parent is an
// empty list and Last is nil.
void SplitPidl(TPidlAllocator& Allocator, const void* Pidl, TOwnedPidl& Parent, TOwnedPidl& Last);
// A one-item list of the first or the last item; nil for nil or a malformed
// list; the empty list gives an empty list.
TOwnedPidl CopyFirstPidlItem(TPidlAllocator& Allocator, const void* Pidl);
TOwnedPidl CopyLastPidlItem(TPidlAllocator& Allocator, const void* Pidl);

// Both present, well-formed, of the same size and the same bytes.
bool PidlsEqual(const void* A, const void* B);
// As PidlsEqual, but two nils are the same too.
bool SamePidl(const void* A, const void* B);

// The list's bytes; empty for nil or a malformed list.
TPidlBytes PidlBytes(const void* Pidl, size_t Available = kPidlUnbounded);

}  // namespace qrv
