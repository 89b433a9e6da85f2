// Counted heap allocation. The count is only reported when an allocation
// fails, so it is kept as a plain unsigned 32-bit sum that wraps freely.
#include "support/mem.h"

#include <cstdio>
#include <cstdlib>

uint32_t mem_total; // 0 at start, as every global

void *mem_alloc(uint32_t size)
{
    void *block = malloc(size);
    if (block == nullptr) {
        // The failed request is not part of the total: only what is held.
        fprintf(stderr, "FATAL: malloc(%u) failed! total=%u\n", size, mem_total);
        exit(1);
    }
    mem_total += size;
    return block;
}

void mem_free(void *block, uint32_t size)
{
    free(block);
    mem_total -= size;
}
