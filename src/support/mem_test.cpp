#include "support/mem.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

// Memory running out ends the program with the count of bytes held, which other tests check.
TEST(MemDeathTest, ReportsTheBytesHeldWhenMemoryRunsOut)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator reports running out itself";
#elif defined(OKWARI_EMULATED)
    GTEST_SKIP() << "the emulator keeps the address-space limit to itself";
#endif
    rlimit limit = {1u << 30, 1u << 30};
    EXPECT_EXIT((mem_total = 24, setrlimit(RLIMIT_AS, &limit), mem_alloc(2000000000u)),
                testing::ExitedWithCode(1), "^FATAL: malloc\\(2000000000\\) failed! total=24\n$");
}
