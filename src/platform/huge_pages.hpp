#pragma once

#include <cstddef>

// Asks the kernel to back the whole 2 MiB pages inside [data, data + size) with
// transparent huge pages, so that filling a large buffer costs one page fault
// per 2 MiB instead of one per 4 KiB. Call it before the buffer is first
// written. Only a hint: it cannot fail, and where the platform has no such
// hint it does nothing.
void advise_huge_pages(void* data, std::size_t size);
