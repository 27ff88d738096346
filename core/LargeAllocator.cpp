#include "core/LargeAllocator.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace tv {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Under AddressSanitizer every store stays on the checked heap, where a read past its end
// is reported instead of landing in the rest of a mapping.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kLarge = SIZE_MAX;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kLarge = SIZE_MAX;
#else
constexpr std::size_t kLarge = std::size_t{512} << 10;
#endif
#else
constexpr std::size_t kLarge = std::size_t{512} << 10;
#endif

std::size_t MappedSize(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

} // namespace

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kLarge) {
        if (void* p = std::malloc(bytes == 0 ? 1 : bytes)) return p;
        throw std::bad_alloc();
    }
    // Map one huge page more than needed and cut the ends, so that the block starts on a
    // huge-page boundary.
    const std::size_t size = MappedSize(bytes);
    void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::size_t tail = start + size + kHugePage - (aligned + size);
    if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* p, std::size_t bytes) noexcept {
    if (bytes < kLarge) {
        std::free(p);
        return;
    }
    ::munmap(p, MappedSize(bytes));
}

} // namespace tv
