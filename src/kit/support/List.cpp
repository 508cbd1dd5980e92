#include "List.h"

#include <algorithm>

BList::BList(int32 initialAllocSize)
{
    if (initialAllocSize > 0)
        fItems.reserve(static_cast<size_t>(initialAllocSize));
}

BList::~BList() = default;

bool BList::AddItem(void* item)
{
    fItems.push_back(item);
    return true;
}

bool BList::AddItem(void* item, int32 index)
{
    if (index < 0 || index > CountItems())
        return false;
    fItems.insert(fItems.begin() + index, item);
    return true;
}

bool BList::AddList(const BList* list)
{
    return list != nullptr && AddList(list, CountItems());
}

bool BList::AddList(const BList* list, int32 index)
{
    if (list == nullptr || index < 0 || index > CountItems())
        return false;
    std::vector<void*> copy(list->fItems); // the list may be this one
    fItems.insert(fItems.begin() + index, copy.begin(), copy.end());
    return true;
}

bool BList::RemoveItem(void* item)
{
    int32 index = IndexOf(item);
    if (index < 0)
        return false;
    fItems.erase(fItems.begin() + index);
    return true;
}

void* BList::RemoveItem(int32 index)
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    void* item = fItems[static_cast<size_t>(index)];
    fItems.erase(fItems.begin() + index);
    return item;
}

bool BList::RemoveItems(int32 index, int32 count)
{
    if (index < 0 || count < 0 || index > CountItems())
        return false;
    int32 end = std::min(CountItems(), index + count);
    fItems.erase(fItems.begin() + index, fItems.begin() + end);
    return true;
}

bool BList::ReplaceItem(int32 index, void* item)
{
    if (index < 0 || index >= CountItems())
        return false;
    fItems[static_cast<size_t>(index)] = item;
    return true;
}

void BList::MakeEmpty()
{
    fItems.clear();
}

void BList::SortItems(int (*compare)(const void*, const void*))
{
    if (compare == nullptr)
        return;
    std::stable_sort(fItems.begin(), fItems.end(),
                     [compare](void* const& a, void* const& b) { return compare(&a, &b) < 0; });
}

bool BList::SwapItems(int32 indexA, int32 indexB)
{
    if (indexA < 0 || indexB < 0 || indexA >= CountItems() || indexB >= CountItems())
        return false;
    std::swap(fItems[static_cast<size_t>(indexA)], fItems[static_cast<size_t>(indexB)]);
    return true;
}

bool BList::MoveItem(int32 fromIndex, int32 toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= CountItems() || toIndex >= CountItems())
        return false;
    void* item = fItems[static_cast<size_t>(fromIndex)];
    fItems.erase(fItems.begin() + fromIndex);
    fItems.insert(fItems.begin() + toIndex, item);
    return true;
}

void* BList::ItemAt(int32 index) const
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[static_cast<size_t>(index)];
}

void* BList::FirstItem() const
{
    return fItems.empty() ? nullptr : fItems.front();
}

void* BList::LastItem() const
{
    return fItems.empty() ? nullptr : fItems.back();
}

void* BList::Items() const
{
    return const_cast<void**>(fItems.data());
}

bool BList::HasItem(void* item) const
{
    return IndexOf(item) >= 0;
}

int32 BList::IndexOf(void* item) const
{
    auto it = std::find(fItems.begin(), fItems.end(), item);
    return it == fItems.end() ? -1 : static_cast<int32>(it - fItems.begin());
}

int32 BList::CountItems() const
{
    return static_cast<int32>(fItems.size());
}

bool BList::IsEmpty() const
{
    return fItems.empty();
}

void BList::DoForEach(bool (*func)(void* item))
{
    for (void* item : std::vector<void*>(fItems)) {
        if (func(item))
            break;
    }
}

void BList::DoForEach(bool (*func)(void* item, void* arg), void* arg)
{
    for (void* item : std::vector<void*>(fItems)) {
        if (func(item, arg))
            break;
    }
}
