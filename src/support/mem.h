// Counted heap allocation: every support-library block goes through here.
#pragma once

#include <cstdint>

extern uint32_t mem_total; // bytes held, modulo 2^32

// A block of `size` bytes, never null: when memory runs out the program
// prints "FATAL: malloc(...) failed! total=..." and exits with status 1.
void *mem_alloc(uint32_t size);

// Gives back `block`, which must have been allocated with `size`.
void mem_free(void *block, uint32_t size);
