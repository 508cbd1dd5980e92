// The growable array behind the font menu: geometric growth, status codes instead of
// failures, a failed growth that changes nothing, and deque order however it is used.

#include <Arrayomatic.h>

#include <gtest/gtest.h>

#include <deque>
#include <random>

namespace {

// Fails every allocation once fFailFrom allocations have been made.
struct FailingAllocator
{
    static inline int sMade = 0;
    static inline int sFailFrom = 1 << 30;
    static int* Allocate(uint32 count)
    {
        if (sMade++ >= sFailFrom)
            return nullptr;
        return new int[count];
    }
    static void Free(int* items) { delete[] items; }
};

using FailingArray = Arrayomatic<int, FailingAllocator>;

std::deque<int> Contents(const Arrayomatic<int>& array)
{
    std::deque<int> items;
    for (uint32 i = 0; i < array.NumItems(); i++)
        items.push_back(array[i]);
    return items;
}

TEST(Arrayomatic, GrowsTo64FirstThenDoubles)
{
    struct Case
    {
        uint32 initial;
        uint32 inserted;
        uint32 capacity;
    };
    const Case cases[] = {
        {0, 1, 64},    {1, 2, 64},      {63, 64, 64},       {64, 64, 64},
        {64, 65, 128}, {100, 101, 200}, {10, 129, 128 * 2},
    };
    for (const Case& c : cases) {
        Arrayomatic<int> array(c.initial);
        ASSERT_EQ(array.Status(), B_OK);
        for (uint32 i = 0; i < c.inserted; i++)
            ASSERT_EQ(array.PushItem(static_cast<int>(i), true), B_OK);
        EXPECT_EQ(array.Capacity(), c.capacity)
            << "made with " << c.initial << ", " << c.inserted << " inserted";
        EXPECT_EQ(array.NumItems(), c.inserted);
        for (uint32 i = 0; i < c.inserted; i++)
            EXPECT_EQ(array[i], static_cast<int>(i));
    }
}

TEST(Arrayomatic, BadIndicesAreRangeErrorsAndChangeNothing)
{
    Arrayomatic<int> array(4);
    int out = 77;
    EXPECT_EQ(array.PopItem(out, true), B_RANGE_ERROR);
    EXPECT_EQ(array.PopItem(out, false), B_RANGE_ERROR);
    EXPECT_EQ(array.Remove(out, 0), B_RANGE_ERROR);
    EXPECT_EQ(out, 77);
    EXPECT_EQ(array.Insert(1, 1), B_RANGE_ERROR);
    EXPECT_EQ(B_RANGE_ERROR, static_cast<status_t>(0x80007011));

    ASSERT_EQ(array.Insert(1, 0), B_OK);
    ASSERT_EQ(array.Insert(2, 1), B_OK);
    ASSERT_EQ(array.Insert(3, 2), B_OK);
    EXPECT_EQ(array.Insert(9, 4), B_RANGE_ERROR);
    EXPECT_EQ(array.Remove(out, 3), B_RANGE_ERROR);
    EXPECT_EQ(array.Resize(2), B_RANGE_ERROR);
    EXPECT_EQ(array.Capacity(), 4u);
    EXPECT_EQ(Contents(array), (std::deque<int>{1, 2, 3}));
    EXPECT_EQ(array.Resize(4), B_OK); // unchanged
    EXPECT_EQ(array.Resize(3), B_OK);
    EXPECT_EQ(array.Capacity(), 3u);
    EXPECT_EQ(Contents(array), (std::deque<int>{1, 2, 3}));
}

TEST(Arrayomatic, MemoryThatCannotBeHadIsAStatusAndLeavesTheArrayAsItWas)
{
    FailingAllocator::sMade = 0;
    FailingAllocator::sFailFrom = 0;
    status_t status = B_OK;
    FailingArray none(16, &status);
    EXPECT_EQ(status, B_NO_MEMORY);
    EXPECT_EQ(none.Status(), B_NO_MEMORY);
    EXPECT_EQ(none.Capacity(), 0u);
    EXPECT_EQ(none.PushItem(1, true), B_NO_MEMORY);
    EXPECT_EQ(none.NumItems(), 0u);

    FailingAllocator::sMade = 0;
    FailingAllocator::sFailFrom = 1; // the first buffer only
    FailingArray full(64);
    ASSERT_EQ(full.Status(), B_OK);
    for (int i = 0; i < 64; i++)
        ASSERT_EQ(full.PushItem(i, i % 2 == 0), B_OK);
    EXPECT_EQ(full.PushItem(99, true), B_NO_MEMORY);
    EXPECT_EQ(full.Resize(200), B_NO_MEMORY);
    EXPECT_EQ(full.Capacity(), 64u);
    ASSERT_EQ(full.NumItems(), 64u);
    // Odd numbers went to the front, newest first; even ones to the back.
    EXPECT_EQ(full[0], 63);
    EXPECT_EQ(full[63], 62);
    FailingAllocator::sFailFrom = 1 << 30;
}

TEST(Arrayomatic, KeepsDequeOrderUnderAnyMixOfInsertsAndRemovals)
{
    std::mt19937 random(20260912);
    Arrayomatic<int> array(0);
    std::deque<int> model;
    for (int step = 0; step < 5000; step++) {
        const uint32 size = static_cast<uint32>(model.size());
        const int what = static_cast<int>(random() % 5);
        if (what < 3 || size == 0) {
            const uint32 index = static_cast<uint32>(random() % (size + 1));
            ASSERT_EQ(array.Insert(step, index), B_OK);
            model.insert(model.begin() + index, step);
        } else {
            const uint32 index = static_cast<uint32>(random() % size);
            int out = -1;
            ASSERT_EQ(array.Remove(out, index), B_OK);
            ASSERT_EQ(out, model[index]);
            model.erase(model.begin() + index);
        }
        ASSERT_EQ(array.NumItems(), model.size());
    }
    EXPECT_EQ(Contents(array), model);
    int out = 0;
    while (!model.empty()) {
        ASSERT_EQ(array.PopItem(out, model.size() % 2 == 0), B_OK);
        const int expected = model.size() % 2 == 0 ? model.front() : model.back();
        if (model.size() % 2 == 0)
            model.pop_front();
        else
            model.pop_back();
        ASSERT_EQ(out, expected);
    }
    EXPECT_EQ(array.NumItems(), 0u);
}

TEST(Arrayomatic, SortsAscendingKeepingEqualOnesInOrder)
{
    Arrayomatic<int> array(8);
    // Items pushed at the front leave free slots before them: the sort must use fHead.
    for (int value : {30, 11, 20, 10, 21, 31})
        array.PushItem(value, false);
    array.Sort([](const int* a, const int* b) { return *a / 10 - *b / 10; });
    EXPECT_EQ(Contents(array), (std::deque<int>{10, 11, 21, 20, 31, 30}));
}

} // namespace
