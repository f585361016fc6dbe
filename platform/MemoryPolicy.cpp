#include "platform/MemoryPolicy.h"

#include <malloc.h>

namespace plat {

void UseGameAllocationPolicy()
{
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(LARGE_BLOCK_BYTES));
    mallopt(M_ARENA_MAX, ALLOCATOR_ARENAS);
}

void ReturnFreedMemoryToSystem() { malloc_trim(0); }

}   // namespace plat
