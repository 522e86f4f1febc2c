#pragma once
// An allocator for vectors whose new elements are written later, by work
// in parts on several threads: resize() leaves them unset instead of
// setting each one first. The memory of a large vector is then first
// touched by the threads that fill it, at once, instead of by the one that
// made it. Only for types whose objects may simply be written over (no
// destructor to run); every element must be written before it is read.
// Portable.

#include <memory>
#include <type_traits>
#include <utility>

namespace qrv {

template <class T>
struct TUnsetAllocator : std::allocator<T> {
    template <class U>
    struct rebind {  // NOLINT(readability-identifier-naming): the allocator's own names
        using other = TUnsetAllocator<U>;
    };
    TUnsetAllocator() = default;
    template <class U>
    TUnsetAllocator(const TUnsetAllocator<U>&) noexcept
    {}
    template <class U, class... Args>
    void construct(U* Place, Args&&... Values)  // NOLINT(readability-identifier-naming)
    {
        static_assert(std::is_trivially_destructible_v<U>, "unset elements are written over, never destroyed");
        if constexpr (sizeof...(Args) > 0)
            ::new (static_cast<void*>(Place)) U(std::forward<Args>(Values)...);
    }
};

}  // namespace qrv
