// The counted allocator: every block adds its size, a refusal ends the
// program with its own line.
#include "tablebases/tb_memory.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(TbMemory, CountsEveryBlock) {
    uint64_t before = tbBytesAllocated;
    void *a = AllocateCounted(100);
    void *b = AllocateCounted(28);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(tbBytesAllocated - before, 128u);
    free(a);
    free(b);
}

// The sanitizers' allocators stop on a huge request by themselves.
#ifndef VLM_DEBUG
TEST(TbMemory, RefusalEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(AllocateCounted(SIZE_MAX / 2), testing::ExitedWithCode(1), "");
}
#endif
