#pragma once

// The values of one message field. Nearly every field holds a single value, so the first is
// kept in place and only further ones take a block of their own: a message is built, copied
// and freed for every line the client shows, often on different threads.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace kit_private {

class FieldValues
{
public:
    size_t size() const { return fCount; }
    bool empty() const { return fCount == 0; }

    std::string& operator[](size_t index) { return index == 0 ? fFirst : fRest[index - 1]; }
    const std::string& operator[](size_t index) const
    {
        return index == 0 ? fFirst : fRest[index - 1];
    }
    const std::string& front() const { return fFirst; }

    template <typename... Args> void emplace_back(Args&&... args)
    {
        if (fCount == 0)
            fFirst = std::string(std::forward<Args>(args)...);
        else
            fRest.emplace_back(std::forward<Args>(args)...);
        fCount++;
    }

    void erase(size_t index)
    {
        if (index >= fCount)
            return;
        if (index > 0) {
            fRest.erase(fRest.begin() + static_cast<std::ptrdiff_t>(index - 1));
        } else if (fRest.empty()) {
            fFirst.clear();
        } else {
            fFirst = std::move(fRest.front());
            fRest.erase(fRest.begin());
        }
        fCount--;
    }

    void reserve(size_t count)
    {
        if (count > 1)
            fRest.reserve(count - 1);
    }

    class const_iterator
    {
    public:
        const_iterator(const FieldValues* values, size_t index) : fValues(values), fIndex(index) {}
        const std::string& operator*() const { return (*fValues)[fIndex]; }
        const_iterator& operator++()
        {
            fIndex++;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return fIndex != other.fIndex; }

    private:
        const FieldValues* fValues;
        size_t fIndex;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, fCount}; }

private:
    std::string fFirst;
    std::vector<std::string> fRest;
    size_t fCount = 0;
};

} // namespace kit_private
