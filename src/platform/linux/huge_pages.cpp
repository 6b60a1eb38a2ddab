#include "platform/huge_pages.hpp"

#include <sys/mman.h>

#include <cstdint>

void advise_huge_pages(void* data, std::size_t size) {
    constexpr std::uintptr_t huge_page_size = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + huge_page_size - 1) & ~(huge_page_size - 1);
    const std::uintptr_t end = (start + size) & ~(huge_page_size - 1);
    if (first < end) {
        // The pages at either end may be shared with other allocations, so
        // only those wholly inside the buffer are advised. A refused hint
        // changes nothing but speed.
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
}
