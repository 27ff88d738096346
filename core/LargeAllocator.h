#pragma once

#include <cstddef>
#include <new>

namespace tv {

// Memory for the large model stores. They are allocated once per model and touched
// page by page when a model is created and solved; on 4 KiB pages that first touch costs
// more than the whole solution of a batch run. Blocks of half a megabyte and more are therefore
// mapped on 2 MiB boundaries and offered to the kernel as huge pages (where it does not
// take them, they are ordinary pages).
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* p, std::size_t bytes) noexcept;

template <class T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
    template <class U> bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

} // namespace tv
