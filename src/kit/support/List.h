#pragma once

// An ordered list of untyped pointers. The list never owns what it points to.
// Not thread-safe: the owner guards it (usually with its window's lock).

#include "SupportDefs.h"

#include <vector>

class BList
{
public:
    explicit BList(int32 initialAllocSize = 20);
    BList(const BList& other) = default;
    BList& operator=(const BList& other) = default;
    virtual ~BList();

    // Adding and removing; indexes outside the list fail (false or nullptr).
    bool AddItem(void* item);
    bool AddItem(void* item, int32 index);
    bool AddList(const BList* list);
    bool AddList(const BList* list, int32 index);
    bool RemoveItem(void* item);   // the first occurrence
    void* RemoveItem(int32 index); // the removed item, or nullptr
    bool RemoveItems(int32 index, int32 count);
    bool ReplaceItem(int32 index, void* item);
    void MakeEmpty();

    // Reordering
    void SortItems(int (*compare)(const void*, const void*)); // compare gets pointers to items
    bool SwapItems(int32 indexA, int32 indexB);
    bool MoveItem(int32 fromIndex, int32 toIndex);

    // Access
    void* ItemAt(int32 index) const; // nullptr outside the list
    void* FirstItem() const;
    void* LastItem() const;
    void* Items() const; // the items as a contiguous array of void*
    bool HasItem(void* item) const;
    int32 IndexOf(void* item) const; // -1 when absent
    int32 CountItems() const;
    bool IsEmpty() const;

    // Calls func on each item until it returns true.
    void DoForEach(bool (*func)(void* item));
    void DoForEach(bool (*func)(void* item, void* arg), void* arg);

private:
    std::vector<void*> fItems;
};
