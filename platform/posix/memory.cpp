#include "platform/memory.h"

#include <cstdlib>
#include <sys/resource.h>

namespace platform {
uint64_t availableVirtualBytes() {
    // A 64-bit process is bounded only by an address-space limit, if one is set.
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return limit.rlim_cur;
    return UINT64_MAX;
}

void* allocateFixed(size_t bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void freeFixed(void* block) {
    std::free(block);
}
} // namespace platform
