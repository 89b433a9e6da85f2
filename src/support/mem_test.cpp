#include "support/mem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Caps the address space at what the process already maps, so that no new
// mapping can be made and malloc fails once its free space is spent.
void freeze_address_space()
{
    FILE *statm = fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (statm == nullptr || fscanf(statm, "%lu", &pages) != 1)
        abort();
    fclose(statm);
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE));
    setrlimit(RLIMIT_AS, &limit);
}

// Holds on to every block of `size` bytes that malloc can still give, so the
// next request of that size fails.
void exhaust_heap(size_t size)
{
    freeze_address_space();
    // Each block links to the one before, so the compiler cannot drop the
    // allocations as unused.
    static void **chain = nullptr;
    for (int i = 0; i < 10000000; i++) {
        void **block = static_cast<void **>(malloc(size));
        if (block == nullptr)
            break;
        *block = chain;
        chain = block;
    }
}

// The address-space cap cannot work under AddressSanitizer, which maps its
// shadow memory up front and reports failed allocations itself.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_SANITIZER() GTEST_SKIP() << "address space cannot be capped under the sanitizer"
#else
#define SKIP_UNDER_SANITIZER() (void)0
#endif

} // namespace

TEST(MemTest, AllocAndFreeOfTheSameSizeLeaveTheTotal)
{
    uint32_t before = mem_total;
    char *block = static_cast<char *>(mem_alloc(100));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(mem_total, before + 100);
    block[0] = 'a';
    block[99] = 'z'; // the whole block is usable
    void *other = mem_alloc(24);
    EXPECT_EQ(mem_total, before + 124);
    mem_free(block, 100);
    EXPECT_EQ(mem_total, before + 24);
    mem_free(other, 24);
    EXPECT_EQ(mem_total, before);
}

TEST(MemTest, ZeroBytesGiveABlockAndCountNothing)
{
    uint32_t before = mem_total;
    void *block = mem_alloc(0);
    EXPECT_NE(block, nullptr);
    EXPECT_EQ(mem_total, before);
    mem_free(block, 0);
    EXPECT_EQ(mem_total, before);
}

TEST(MemTest, TotalWrapsModulo2To32)
{
    uint32_t saved = mem_total;
    mem_total = 5;
    void *block = mem_alloc(8);
    mem_free(block, 20); // more given back than was counted
    EXPECT_EQ(mem_total, 4294967289u);
    block = mem_alloc(10);
    EXPECT_EQ(mem_total, 3u);
    mem_free(block, 10);
    mem_total = saved;
}

TEST(MemDeathTest, FailedSmallRequestPrintsSizeAndHeldTotal)
{
    SKIP_UNDER_SANITIZER();
    EXPECT_EXIT(
        {
            exhaust_heap(100);
            mem_total = 24;
            mem_alloc(100);
        },
        testing::ExitedWithCode(1), "^FATAL: malloc\\(100\\) failed! total=24\n$");
}

TEST(MemDeathTest, FailedHugeRequestPrintsSizeAndHeldTotal)
{
    SKIP_UNDER_SANITIZER();
    EXPECT_EXIT(
        {
            freeze_address_space();
            mem_total = 4294967295u;
            mem_alloc(4294967295u);
        },
        testing::ExitedWithCode(1), "^FATAL: malloc\\(4294967295\\) failed! total=4294967295\n$");
}
