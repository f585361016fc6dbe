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

// The threads other than the main one share one arena. The stage loader
// starts its two threads afresh for every load; with an arena each, a load
// now and then landed on a new one, and a stage's objects spread over three
// or more arenas, each keeping free space of its own (about 7 MB more).
constexpr int ALLOCATOR_ARENAS = 2;

// From now on, every block of LARGE_BLOCK_BYTES or more gets pages of its own,
// handed back the moment it is freed, and threads share ALLOCATOR_ARENAS
// arenas. Called once at start-up, by the game and by what measures it.
void UseGameAllocationPolicy();

// Hands back every whole free page the allocator holds, wherever it lies.
void ReturnFreedMemoryToSystem();

}   // namespace plat
