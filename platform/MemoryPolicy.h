// How the game's memory goes back to the system. Pictures come and go in
// blocks of megabytes: a stage's decoded pictures are freed as soon as the
// driver holds them, and the driver's own copies are freed when the stage
// ends. Left to itself the allocator would, once a block of several megabytes
// had been freed, take every later block up to that size from its heap, where
// what one stage frees leaves holes that the next stage's pictures do not fit:
// resident memory grew by about 18 MB from one stage to the next.
#pragma once

#include <cstddef>

namespace plat {

// Above a 1024 x 512 picture's decoded pixels (2 MB), which the loader makes
// and frees on every load, and below the driver's copy of the same picture
// with its smaller levels (2.8 MB).
constexpr size_t LARGE_BLOCK_BYTES = 2560 * 1024;

// From now on, every block of LARGE_BLOCK_BYTES or more gets pages of its own,
// handed back the moment it is freed. Called once at start-up.
void KeepLargeBlocksApart();

// Hands back every whole free page the allocator holds, wherever it lies.
void ReturnFreedMemoryToSystem();

}   // namespace plat
