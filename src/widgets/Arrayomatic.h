#pragma once

// A small growable array kept as a deque over one buffer: the elements occupy slots fHead up
// to (not including) fTail, with free slots at either end, so inserting or removing near
// either end moves only the shorter part. Growth is geometric (64 slots first, then
// doubling). Failures are status codes: B_RANGE_ERROR for a bad index, B_NO_MEMORY when a
// buffer cannot be had (the array is then left as it was). The array never owns what its
// elements point to.

#include <Errors.h>
#include <SupportDefs.h>

#include <algorithm>
#include <cstdint>
#include <new>

// Where the buffers come from; a test may put a failing one in its place.
template <typename T> struct ArrayomaticAllocator
{
    static T* Allocate(uint32 count) { return new (std::nothrow) T[count]; }
    static void Free(T* items) { delete[] items; }
};

template <typename T, typename Allocator = ArrayomaticAllocator<T>> class Arrayomatic
{
public:
    explicit Arrayomatic(uint32 capacity, status_t* status = nullptr)
        : fStatus(B_OK), fCapacity(0), fHead(0), fTail(0), fItems(nullptr)
    {
        if (capacity > 0) {
            fItems = Allocator::Allocate(capacity);
            if (fItems != nullptr)
                fCapacity = capacity;
            else
                fStatus = B_NO_MEMORY;
        }
        if (status != nullptr)
            *status = fStatus;
    }
    ~Arrayomatic() { Allocator::Free(fItems); }

    Arrayomatic(const Arrayomatic&) = delete;
    Arrayomatic& operator=(const Arrayomatic&) = delete;

    status_t Status() const { return fStatus; }
    uint32 NumItems() const { return fTail - fHead; }
    uint32 Capacity() const { return fCapacity; }
    // index must be below NumItems().
    T& operator[](uint32 index) { return fItems[fHead + index]; }
    const T& operator[](uint32 index) const { return fItems[fHead + index]; }

    status_t Insert(const T& item, uint32 index)
    {
        const uint32 count = NumItems();
        if (index > count)
            return B_RANGE_ERROR;
        if (count >= fCapacity) {
            if (fCapacity > UINT32_MAX / 2)
                return B_NO_MEMORY;
            const uint32 grown = fCapacity <= 63 ? 64 : fCapacity * 2;
            if (Resize(grown) != B_OK)
                return B_NO_MEMORY;
        }
        if (fTail >= fCapacity || (fHead > 0 && index < count / 2)) {
            // Make room in front: the first index elements step toward the front.
            fHead--;
            for (uint32 i = 0; i < index; i++)
                fItems[fHead + i] = fItems[fHead + i + 1];
        } else {
            for (uint32 i = count; i > index; i--)
                fItems[fHead + i] = fItems[fHead + i - 1];
            fTail++;
        }
        fItems[fHead + index] = item;
        return B_OK;
    }

    status_t Remove(T& out, uint32 index)
    {
        const uint32 count = NumItems();
        if (index >= count)
            return B_RANGE_ERROR;
        out = fItems[fHead + index];
        if (index < count / 2) {
            for (uint32 i = index; i > 0; i--)
                fItems[fHead + i] = fItems[fHead + i - 1];
            fHead++;
        } else {
            for (uint32 i = index; i + 1 < count; i++)
                fItems[fHead + i] = fItems[fHead + i + 1];
            fTail--;
        }
        return B_OK;
    }

    status_t PushItem(const T& item, bool atEnd) { return Insert(item, atEnd ? NumItems() : 0); }

    // On an empty array both ends give B_RANGE_ERROR and leave out alone.
    status_t PopItem(T& out, bool fromFront) { return Remove(out, fromFront ? 0 : NumItems() - 1); }

    status_t Resize(uint32 capacity)
    {
        if (capacity == fCapacity)
            return B_OK;
        const uint32 count = NumItems();
        if (capacity < count)
            return B_RANGE_ERROR;
        T* items = nullptr;
        if (capacity > 0) {
            items = Allocator::Allocate(capacity);
            if (items == nullptr)
                return B_NO_MEMORY;
            for (uint32 i = 0; i < count; i++)
                items[i] = fItems[fHead + i];
        }
        Allocator::Free(fItems);
        fItems = items;
        fCapacity = capacity;
        fHead = 0;
        fTail = count;
        return B_OK;
    }

    // Ascending by compare(const T*, const T*): negative, zero or positive. Equal elements
    // keep their order.
    template <typename Compare> void Sort(Compare compare)
    {
        if (fItems == nullptr)
            return;
        std::stable_sort(fItems + fHead, fItems + fTail,
                         [&compare](const T& a, const T& b) { return compare(&a, &b) < 0; });
    }

private:
    status_t fStatus;
    uint32 fCapacity;
    uint32 fHead;
    uint32 fTail;
    T* fItems;
};
