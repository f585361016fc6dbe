#include "platform/MemoryPolicy.h"

#include <malloc.h>

namespace plat {

void KeepLargeBlocksApart() { mallopt(M_MMAP_THRESHOLD, static_cast<int>(LARGE_BLOCK_BYTES)); }

void ReturnFreedMemoryToSystem() { malloc_trim(0); }

}   // namespace plat
