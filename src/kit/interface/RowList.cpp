#include "RowList.h"

#include <algorithm>

namespace kit_private {

void RowList::Assign(std::vector<ListRow> rows)
{
    fChunks.clear();
    fSize = rows.size();
    for (size_t at = 0; at < rows.size(); at += kChunk) {
        const size_t end = std::min(rows.size(), at + kChunk);
        Chunk& chunk = fChunks.emplace_back();
        chunk.reserve(end - at);
        for (size_t i = at; i < end; i++)
            chunk.push_back(std::make_unique<ListRow>(std::move(rows[i])));
    }
}

RowList& RowList::operator=(const RowList& other)
{
    if (this == &other)
        return *this;
    std::vector<Chunk> chunks;
    chunks.reserve(other.fChunks.size());
    for (const Chunk& rows : other.fChunks) {
        Chunk& copy = chunks.emplace_back();
        copy.reserve(rows.size());
        for (const auto& row : rows)
            copy.push_back(std::make_unique<ListRow>(*row));
    }
    fChunks = std::move(chunks);
    fSize = other.fSize;
    return *this;
}

size_t RowList::_Locate(size_t index, size_t* within) const
{
    // A count per chunk: a list of thousands of rows has a few dozen.
    size_t chunk = 0;
    while (index >= fChunks[chunk].size()) {
        index -= fChunks[chunk].size();
        chunk++;
    }
    *within = index;
    return chunk;
}

const ListRow& RowList::operator[](size_t index) const
{
    size_t within = 0;
    const size_t chunk = _Locate(index, &within);
    return *fChunks[chunk][within];
}

ListRow& RowList::operator[](size_t index)
{
    size_t within = 0;
    const size_t chunk = _Locate(index, &within);
    return *fChunks[chunk][within];
}

void RowList::Insert(size_t index, ListRow row)
{
    size_t chunk = 0;
    size_t within = 0;
    if (index == fSize) {
        // At the end: the last chunk, or a new one when it is full.
        if (fChunks.empty() || fChunks.back().size() >= kChunk)
            fChunks.emplace_back();
        chunk = fChunks.size() - 1;
        within = fChunks[chunk].size();
    } else {
        chunk = _Locate(index, &within);
    }
    Chunk& rows = fChunks[chunk];
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(within),
                std::make_unique<ListRow>(std::move(row)));
    fSize++;
    if (rows.size() > 2 * kChunk) {
        // Split a full chunk in two halves.
        Chunk upper(std::make_move_iterator(rows.begin() + kChunk),
                    std::make_move_iterator(rows.end()));
        rows.resize(kChunk);
        fChunks.insert(fChunks.begin() + static_cast<std::ptrdiff_t>(chunk) + 1, std::move(upper));
    }
}

void RowList::Erase(size_t index)
{
    size_t within = 0;
    const size_t chunk = _Locate(index, &within);
    Chunk& rows = fChunks[chunk];
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(within));
    fSize--;
    if (rows.empty())
        fChunks.erase(fChunks.begin() + static_cast<std::ptrdiff_t>(chunk));
}

RowList::const_iterator& RowList::const_iterator::operator++()
{
    if (++fAt == fList->fChunks[fChunk].size()) {
        fChunk++;
        fAt = 0;
    }
    return *this;
}

} // namespace kit_private
