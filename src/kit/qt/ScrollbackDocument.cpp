#include "ScrollbackDocument.h"

#include <algorithm>
#include <cstring>

namespace kit_private {

namespace {

// Appends a run keeping the invariants: offsets strictly increasing, no two neighbours with
// the same style. A run at the same offset as the last one replaces it.
void PushRun(std::vector<ScrollbackDocument::Run>& runs, ScrollbackDocument::Run run)
{
    if (!runs.empty() && runs.back().offset >= run.offset) {
        // Later runs at the same place win; a run going backwards is malformed and dropped.
        if (runs.back().offset > run.offset)
            return;
        runs.pop_back();
    }
    if (!runs.empty() && runs.back().style == run.style)
        return;
    runs.push_back(run);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return std::min(std::max(value, low), high);
}

} // namespace

void ScrollbackDocument::Clear()
{
    SetText({}, {});
}

void ScrollbackDocument::SetText(std::string_view text, const std::vector<Run>& runs)
{
    uint32_t first = fRuns.empty() ? 0 : fRuns.front().style;
    fText.assign(text.data(), text.size());
    fRuns.clear();
    fLinks.clear();
    fLinksSorted = true;
    fLongestLink = 0;
    // Of several runs at the start, the last one holds, as everywhere else.
    uint32_t start = runs.empty() ? first : runs.front().style;
    for (const Run& run : runs) {
        if (run.offset <= 0)
            start = run.style;
    }
    fRuns.push_back({0, start});
    for (const Run& run : runs) {
        if (run.offset > 0 && run.offset < Length())
            PushRun(fRuns, run);
    }
    fLineStarts.assign(1, 0);
    _IndexLines(0);
}

int32_t ScrollbackDocument::LineEnd(int32_t line) const
{
    if (line + 1 < CountLines())
        return fLineStarts[line + 1] - 1;
    return Length();
}

int32_t ScrollbackDocument::LineAt(int32_t offset) const
{
    auto it = std::upper_bound(fLineStarts.begin(), fLineStarts.end(), offset);
    return static_cast<int32_t>(it - fLineStarts.begin()) - 1;
}

std::string_view ScrollbackDocument::LineText(int32_t line) const
{
    int32_t start = LineStart(line);
    return std::string_view(fText).substr(start, LineEnd(line) - start);
}

size_t ScrollbackDocument::FirstRunAt(int32_t offset) const
{
    auto it = std::upper_bound(fRuns.begin(), fRuns.end(), offset,
                               [](int32_t value, const Run& run) { return value < run.offset; });
    return it == fRuns.begin() ? 0 : static_cast<size_t>(it - fRuns.begin()) - 1;
}

uint32_t ScrollbackDocument::StyleAt(int32_t offset) const
{
    return fRuns[FirstRunAt(offset)].style;
}

void ScrollbackDocument::Insert(int32_t offset, const TextPiece& text, const std::vector<Run>& runs)
{
    if (text.empty())
        return;
    int32_t oldLength = Length();
    offset = Clamp(offset, 0, oldLength);
    int32_t length = static_cast<int32_t>(text.size());
    uint32_t before = StyleAt(offset > 0 ? offset - 1 : 0);
    bool hasAfter = offset < oldLength;
    uint32_t after = hasAfter ? StyleAt(offset) : 0;

    fText.InsertPiece(static_cast<size_t>(offset), text);

    // Rebuild the runs from the insertion point on; everything before stays untouched, so an
    // append costs only its own runs.
    auto split = std::lower_bound(fRuns.begin(), fRuns.end(), offset,
                                  [](const Run& run, int32_t value) { return run.offset < value; });
    std::vector<Run> tail(split, fRuns.end());
    fRuns.erase(split, fRuns.end());
    if (runs.empty() || runs.front().offset > 0)
        PushRun(fRuns, {offset, before});
    for (const Run& run : runs) {
        if (run.offset >= 0 && run.offset < length)
            PushRun(fRuns, {offset + run.offset, run.style});
    }
    if (hasAfter)
        PushRun(fRuns, {offset + length, after});
    for (const Run& run : tail) {
        if (run.offset > offset)
            PushRun(fRuns, {run.offset + length, run.style});
    }
    if (fRuns.empty() || fRuns.front().offset != 0)
        fRuns.insert(fRuns.begin(), {0, before});

    // Links lie within the text, so an append moves none: no walk over all of them.
    if (hasAfter) {
        for (Link& link : fLinks) {
            if (link.start >= offset)
                link.start += length;
            if (link.end > offset)
                link.end += length;
        }
    }

    int32_t line = LineAt(offset);
    fLineStarts.resize(static_cast<size_t>(line) + 1);
    _IndexLines(fLineStarts.back());
}

void ScrollbackDocument::Delete(int32_t start, int32_t end)
{
    int32_t length = Length();
    start = Clamp(start, 0, length);
    end = Clamp(end, start, length);
    if (start == end)
        return;
    int32_t removed = end - start;
    bool hasAfter = end < length;
    uint32_t after = hasAfter ? StyleAt(end) : 0;
    uint32_t first = fRuns.front().style;

    fText.erase(static_cast<size_t>(start), static_cast<size_t>(removed));

    auto split = std::lower_bound(fRuns.begin(), fRuns.end(), start,
                                  [](const Run& run, int32_t value) { return run.offset < value; });
    std::vector<Run> tail(split, fRuns.end());
    fRuns.erase(split, fRuns.end());
    if (hasAfter)
        PushRun(fRuns, {start, after});
    for (const Run& run : tail) {
        if (run.offset > end)
            PushRun(fRuns, {run.offset - removed, run.style});
    }
    if (fRuns.empty())
        fRuns.push_back({0, first});
    else if (fRuns.front().offset != 0)
        fRuns.front().offset = 0;

    std::vector<Link> kept;
    kept.reserve(fLinks.size());
    for (Link link : fLinks) {
        if (link.end <= start) {
            kept.push_back(link);
        } else if (link.start >= end) {
            link.start -= removed;
            link.end -= removed;
            kept.push_back(link);
        }
    }
    fLinks.swap(kept);

    int32_t line = LineAt(start);
    fLineStarts.resize(static_cast<size_t>(line) + 1);
    _IndexLines(fLineStarts.back());
}

void ScrollbackDocument::Restyle(int32_t start, int32_t end, const std::vector<Run>& runs)
{
    int32_t length = Length();
    start = Clamp(start, 0, length);
    end = Clamp(end, start, length);
    if (start == end || runs.empty())
        return;
    bool hasAfter = end < length;
    uint32_t after = hasAfter ? StyleAt(end) : 0;
    uint32_t before = StyleAt(start);

    auto split = std::lower_bound(fRuns.begin(), fRuns.end(), start,
                                  [](const Run& run, int32_t value) { return run.offset < value; });
    std::vector<Run> tail;
    for (auto it = split; it != fRuns.end(); ++it) {
        if (it->offset > end)
            tail.push_back(*it);
    }
    fRuns.erase(split, fRuns.end());
    if (runs.front().offset > 0)
        PushRun(fRuns, {start, before});
    for (const Run& run : runs) {
        if (run.offset >= 0 && start + run.offset < end)
            PushRun(fRuns, {start + run.offset, run.style});
    }
    if (hasAfter)
        PushRun(fRuns, {end, after});
    for (const Run& run : tail)
        PushRun(fRuns, run);
    if (fRuns.front().offset != 0)
        fRuns.front().offset = 0;
}

void ScrollbackDocument::AddLink(const Link& link)
{
    Link added = link;
    added.start = Clamp(added.start, 0, Length());
    added.end = Clamp(added.end, added.start, Length());
    if (added.start == added.end)
        return;
    if (!fLinks.empty() && added.start < fLinks.back().start)
        fLinksSorted = false;
    fLongestLink = std::max(fLongestLink, added.end - added.start);
    fLinks.push_back(added);
}

std::vector<const ScrollbackDocument::Link*> ScrollbackDocument::LinksIn(int32_t start,
                                                                         int32_t end) const
{
    std::vector<const Link*> found;
    auto begin = fLinks.begin();
    if (fLinksSorted) {
        int32_t from = start - fLongestLink;
        begin =
            std::lower_bound(fLinks.begin(), fLinks.end(), from,
                             [](const Link& link, int32_t value) { return link.start < value; });
    }
    for (auto it = begin; it != fLinks.end(); ++it) {
        if (fLinksSorted && it->start >= end)
            break;
        if (it->start < end && it->end > start)
            found.push_back(&*it);
    }
    return found;
}

void ScrollbackDocument::_IndexLines(int32_t from)
{
    const char* base = fText.data();
    size_t size = fText.size();
    size_t at = static_cast<size_t>(from);
    while (at < size) {
        const void* hit = std::memchr(base + at, '\n', size - at);
        if (hit == nullptr)
            break;
        at = static_cast<size_t>(static_cast<const char*>(hit) - base) + 1;
        fLineStarts.push_back(static_cast<int32_t>(at));
    }
}

} // namespace kit_private
