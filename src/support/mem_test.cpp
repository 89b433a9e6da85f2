#include "support/mem.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include "testing.h"

// The count of bytes held wraps round 2^32 and shows when memory runs out
// (but under the sanitizer, whose allocator reports that itself).
TEST(MemDeathTest, CountsTheBytesHeld)
{
    Restore keep(mem_total);
    mem_total = 4294967290u;
    mem_free(mem_alloc(10), 10);
    EXPECT_EQ(mem_total, 4294967290u);
#if !defined(__SANITIZE_ADDRESS__)
    mem_total = 24;
    rlimit limit = {1u << 30, 1u << 30};
    EXPECT_EXIT((setrlimit(RLIMIT_AS, &limit), mem_alloc(2000000000u)), testing::ExitedWithCode(1),
                "^FATAL: malloc\\(2000000000\\) failed! total=24\n$");
#endif
}
