#include "platform/huge_pages.hpp"

// Platforms without a huge-page hint leave the buffer to ordinary pages.
void advise_huge_pages(void*, std::size_t) {}
