#include "common/PIDL.h"

#include <climits>
#include <cstring>

namespace qrv {

namespace {

constexpr size_t kTerminatorSize = 2;

const uint8_t* Bytes(const void* Pidl)
{
    return static_cast<const uint8_t*>(Pidl);
}

// The size of the items alone (terminator excluded), -1 when malformed.
int ItemsSize(const void* Pidl)
{
    const int size = GetPidlSize(Pidl);
    return size < 0 ? -1 : size - static_cast<int>(kTerminatorSize);
}

// The offset of the last item; -1 for the empty list. Pidl is well-formed.
int LastItemOffset(const void* Pidl)
{
    int last = -1;
    int offset = 0;
    for (uint16_t count; (count = PidlItemCount(Bytes(Pidl) + offset)) != 0; offset += count)
        last = offset;
    return last;
}

// A new list of Size item bytes from Items, terminated.
TOwnedPidl ListOf(TPidlAllocator& Allocator, const uint8_t* Items, size_t Size)
{
    TOwnedPidl list = AllocPidl(Allocator, Size + kTerminatorSize);
    if (list && Size)
        std::memcpy(list.get(), Items, Size);
    return list;
}

}  // namespace

uint16_t PidlItemCount(const void* Item)
{
    uint16_t count;
    std::memcpy(&count, Item, sizeof count);
    return count;
}

int GetPidlSize(const void* Pidl, size_t Available)
{
    if (!Pidl)
        return 0;
    size_t offset = 0;
    for (;;) {
        if (Available < kTerminatorSize || offset > Available - kTerminatorSize)
            return -1;
        const uint16_t count = PidlItemCount(Bytes(Pidl) + offset);
        if (count == 0)
            break;
        if (count < kTerminatorSize || count > Available - offset)
            return -1;
        offset += count;
        if (offset > INT_MAX - kTerminatorSize)
            return -1;
    }
    return static_cast<int>(offset + kTerminatorSize);
}

const void* NextPidlItem(const void* Pidl)
{
    return Pidl ? Bytes(Pidl) + PidlItemCount(Pidl) : nullptr;
}

const void* NextPidlItemOrNil(const void* Pidl)
{
    if (!Pidl || PidlItemCount(Pidl) == 0)
        return nullptr;
    return NextPidlItem(Pidl);
}

TOwnedPidl AllocPidl(TPidlAllocator& Allocator, size_t Size)
{
    TOwnedPidl block(Allocator.Alloc(Size), TPidlRelease{&Allocator});
    if (block)
        std::memset(block.get(), 0, Size);
    return block;
}

TOwnedPidl CopyPidl(TPidlAllocator& Allocator, const void* Pidl, size_t Available)
{
    const int size = GetPidlSize(Pidl, Available);
    if (size <= 0)
        return TOwnedPidl(nullptr, TPidlRelease{&Allocator});
    TOwnedPidl copy = AllocPidl(Allocator, static_cast<size_t>(size));
    if (copy)
        std::memcpy(copy.get(), Pidl, static_cast<size_t>(size));
    return copy;
}

TOwnedPidl ConcatPidls(TPidlAllocator& Allocator, const void* First, const void* Second)
{
    const int firstItems = First ? ItemsSize(First) : 0;
    const int secondSize = GetPidlSize(Second);
    if (firstItems < 0 || secondSize <= 0)
        return TOwnedPidl(nullptr, TPidlRelease{&Allocator});
    TOwnedPidl list = AllocPidl(Allocator, static_cast<size_t>(firstItems) + static_cast<size_t>(secondSize));
    if (list) {
        auto* out = static_cast<uint8_t*>(list.get());
        if (firstItems)
            std::memcpy(out, First, static_cast<size_t>(firstItems));
        std::memcpy(out + firstItems, Second, static_cast<size_t>(secondSize));
    }
    return list;
}

void SplitPidl(TPidlAllocator& Allocator, const void* Pidl, TOwnedPidl& Parent, TOwnedPidl& Last)
{
    Parent = TOwnedPidl(nullptr, TPidlRelease{&Allocator});
    Last = TOwnedPidl(nullptr, TPidlRelease{&Allocator});
    const int items = ItemsSize(Pidl);
    if (!Pidl || items < 0)
        return;
    const int last = LastItemOffset(Pidl);
    if (last < 0) {
        Parent = ListOf(Allocator, nullptr, 0);
        return;
    }
    Parent = ListOf(Allocator, Bytes(Pidl), static_cast<size_t>(last));
    Last = ListOf(Allocator, Bytes(Pidl) + last, static_cast<size_t>(items - last));
}

TOwnedPidl CopyFirstPidlItem(TPidlAllocator& Allocator, const void* Pidl)
{
    if (!Pidl || ItemsSize(Pidl) < 0)
        return TOwnedPidl(nullptr, TPidlRelease{&Allocator});
    return ListOf(Allocator, Bytes(Pidl), PidlItemCount(Pidl));
}

TOwnedPidl CopyLastPidlItem(TPidlAllocator& Allocator, const void* Pidl)
{
    const int items = ItemsSize(Pidl);
    if (!Pidl || items < 0)
        return TOwnedPidl(nullptr, TPidlRelease{&Allocator});
    const int last = LastItemOffset(Pidl);
    if (last < 0)
        return ListOf(Allocator, nullptr, 0);
    return ListOf(Allocator, Bytes(Pidl) + last, static_cast<size_t>(items - last));
}

bool PidlsEqual(const void* A, const void* B)
{
    if (!A || !B)
        return false;
    const int size = GetPidlSize(A);
    return size > 0 && size == GetPidlSize(B) && std::memcmp(A, B, static_cast<size_t>(size)) == 0;
}

bool SamePidl(const void* A, const void* B)
{
    return (!A && !B) || PidlsEqual(A, B);
}

TPidlBytes PidlBytes(const void* Pidl, size_t Available)
{
    const int size = GetPidlSize(Pidl, Available);
    if (size <= 0)
        return {};
    return TPidlBytes(Bytes(Pidl), Bytes(Pidl) + size);
}

}  // namespace qrv
