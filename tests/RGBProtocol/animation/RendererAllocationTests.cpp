#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

// The replacements below pair malloc with free; once GCC inlines them into a caller it no longer
// sees the replacement and flags free() on memory from operator new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long> allocations {0};

} // namespace

// Counts every allocation of this test executable, so a renderer that allocates shows up.
void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace kavrin {
namespace {

TEST(AnimationRendererAllocation, RendersWithoutAllocating)
{
    const AnimationSettings settings {AnimationStyle::solid, {255, 100, 0}, {168, 85, 247}, {34, 211, 238}, 80, 5};
    const long unchecked = allocations.load();
    const std::vector<int> probe(16, 1);
    ASSERT_GT(allocations.load(), unchecked) << "the counting allocator is not in use";

    const long before = allocations.load();
    unsigned checksum = 0;
    for (const AnimationStyle style : allAnimationStyles) {
        for (int frame = 0; frame < 50; ++frame) {
            AnimationSettings styled = settings;
            styled.style = style;
            checksum += AnimationRenderer::color(styled, frame * 0.125, frame / 49.0).red;
        }
    }
    EXPECT_EQ(allocations.load() - before, 0) << checksum;
}

} // namespace
} // namespace kavrin
