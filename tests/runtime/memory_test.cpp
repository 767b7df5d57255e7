// The host allocator: fault injection, live-block accounting, and releases
// the allocator must refuse rather than pass on to free().
#include "runtime/support.h"

namespace standin::test {
namespace {

class MemoryTest : public RuntimeTest {
protected:
  const OxMemoryArea* memory() const { return AreaOf<OxMemoryArea>(tables(), OX_AREA_MEMORY); }
};

TEST_F(MemoryTest, FailsExactlyTheNthAllocationOnce) {
  for (size_t n : {1u, 2u, 5u}) {
    SCOPED_TRACE("n = " + std::to_string(n));
    FailAllocationAfter(n);
    std::vector<void*> blocks;
    for (size_t i = 1; i <= 7; ++i) {
      void* block = memory()->allocate(16);
      EXPECT_EQ(block == nullptr, i == n) << "allocation " << i;
      if (block != nullptr)
        blocks.push_back(block);
    }
    EXPECT_EQ(LiveBlocks(), 6u);
    for (void* block : blocks)
      memory()->release(block);
    EXPECT_EQ(LiveBlocks(), 0u);
  }
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(MemoryTest, CountsFromTheMomentItIsArmedAndCanBeDisarmed) {
  void* before = memory()->allocate(8); // not counted
  FailAllocationAfter(2);
  void* first = memory()->allocate(8);
  EXPECT_NE(first, nullptr);
  FailAllocationAfter(0);
  void* second = memory()->allocate(8);
  EXPECT_NE(second, nullptr) << "disarmed";
  for (void* block : {before, first, second})
    memory()->release(block);
}

TEST_F(MemoryTest, ZeroByteBlocksAreDistinctAndTracked) {
  void* a = memory()->allocate(0);
  void* b = memory()->allocate(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(LiveBlocks(), 2u);
  memory()->release(a);
  memory()->release(b);
  EXPECT_EQ(LiveBlocks(), 0u);
}

TEST_F(MemoryTest, ForeignAndDoubleReleasesAreBreachesAndChangeNothing) {
  void* block = memory()->allocate(32);
  int onStack = 0;
  memory()->release(&onStack);
  EXPECT_EQ(BreachCount(), 1u);
  EXPECT_EQ(LiveBlocks(), 1u);
  memory()->release(block);
  memory()->release(block);
  EXPECT_EQ(BreachCount(), 2u);
  EXPECT_EQ(LiveBlocks(), 0u);
  memory()->release(nullptr);
  EXPECT_EQ(BreachCount(), 2u) << "null is ignored";
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed.back().rfind("breach: MemoryFree: ", 0), 0u) << printed.back();
}

TEST_F(MemoryTest, ResetFreesWhatWasLeftBehind) {
  memory()->allocate(64);
  memory()->allocate(64);
  FailAllocationAfter(1);
  ResetRuntime();
  EXPECT_EQ(LiveBlocks(), 0u);
  void* block = memory()->allocate(8);
  EXPECT_NE(block, nullptr) << "reset disarms the fault";
  memory()->release(block);
}

} // namespace
} // namespace standin::test
