#include "ChangeStream.h"

#include <type_traits>

namespace kit_private {

namespace {

template <typename T, typename Variant> struct IndexOf;
template <typename T, typename... Types> struct IndexOf<T, std::variant<Types...>>
{
    static constexpr size_t value = [] {
        size_t index = 0;
        (void)((std::is_same_v<T, Types> ? false : (++index, true)) && ...);
        return index;
    }();
};
template <typename T> constexpr size_t kIndex = IndexOf<T, ChangePayload>::value;

template <typename... T> constexpr bool IsOneOf(size_t index)
{
    return ((index == kIndex<T>) || ...);
}

// State setters: only the latest value matters.
bool IsSetter(size_t index)
{
    using namespace change;
    return IsOneOf<WindowTitle, WindowFrame, WindowVisible, WindowActivate, WindowMinimize,
                   WindowFocus, ViewFrame, ViewHidden, ViewColors, ViewFont, ViewCursor, ViewBitmap,
                   ViewFilteredKeys, ViewInvalidate, ControlLabel, ControlValue, ControlEnabled,
                   ControlDefault, ControlDivider, BoxBorder, ScrollBarState, ScrollViewParts,
                   TextMode, TextSelect, TextScrollTo, ListSelection, ListScrollTo, MenuTree, Tabs>(
        index);
}

bool IsTextCommand(size_t index)
{
    using namespace change;
    return IsOneOf<TextSet, TextInsert, TextDelete, TextRestyle, TextLink, TextLinksClear>(index);
}

bool IsRowCommand(size_t index)
{
    using namespace change;
    return IsOneOf<ListRows, ListInsert, ListRemove, ListRowChanged>(index);
}

// Commands a window thread waits on once it has pushed them.
bool IsAwaited(size_t index)
{
    using namespace change;
    return IsOneOf<MenuPopup, KeyAnswered, WindowQuit>(index);
}

uint64 SetterKey(int32 token, size_t index)
{
    return (static_cast<uint64>(static_cast<uint32>(token)) << 8) | index;
}

} // namespace

ChangeStream::ChangeStream(int32 looperId) : fLooperId(looperId) {}

void ChangeStream::SetWakeHandler(std::function<void()> wake)
{
    std::lock_guard<std::mutex> lock(fLock);
    fWake = std::move(wake);
}

void ChangeStream::SetWakeThreshold(size_t pending)
{
    std::lock_guard<std::mutex> lock(fLock);
    fWakeThreshold = pending;
}

void ChangeStream::_Kill(size_t index)
{
    fPending[index].dead = true;
}

ChangeStream::TextState* ChangeStream::_PendingText(int32 token)
{
    auto state = fText.find(token);
    return state != fText.end() && state->second.drain == fDrains ? &state->second : nullptr;
}

bool ChangeStream::_JoinInsert(int32 token, change::TextInsert& insert)
{
    TextState* state = _PendingText(token);
    if (state == nullptr || state->lastInsert < 0)
        return false;
    Entry& entry = fPending[static_cast<size_t>(state->lastInsert)];
    if (entry.dead)
        return false;
    TextPiece* piece = nullptr;
    std::string* text = nullptr;
    std::vector<StyleRun>* runs = nullptr;
    int64* version = nullptr;
    int32 end;
    int32 base;
    if (auto* pending = std::get_if<change::TextInsert>(&entry.change.payload)) {
        piece = &pending->text;
        runs = &pending->runs;
        version = &pending->version;
        base = static_cast<int32>(pending->text.size());
        end = pending->offset + base;
    } else if (auto* set = std::get_if<change::TextSet>(&entry.change.payload)) {
        text = &set->text;
        runs = &set->runs;
        version = &set->version;
        base = end = static_cast<int32>(set->text.size());
    } else {
        return false;
    }
    if (end != insert.offset)
        return false;
    if (piece != nullptr)
        piece->Append(insert.text);
    else
        text->append(insert.text.View());
    for (StyleRun& run : insert.runs) {
        run.offset += base;
        // The pending text may end with a run at the join point (an empty text still
        // carries its default run at 0); the appended text's own style starts there.
        if (!runs->empty() && runs->back().offset == run.offset)
            runs->back() = run;
        else
            runs->push_back(run);
    }
    *version = insert.version;
    return true;
}

void ChangeStream::Push(int32 token, ChangePayload&& payload)
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(fLock);
        size_t index = payload.index();
        bool joined = false;

        if (IsSetter(index)) {
            SetterState& setter = fSetters[SetterKey(token, index)];
            if (setter.drain != fDrains) {
                setter = {fPending.size(), fDrains};
            } else if (setter.pending + 1 == fPending.size()) {
                // Still the last command: replace it, so a setter repeated after every
                // joined append does not grow the queue.
                fPending.back().change.payload = std::move(payload);
                joined = true;
            } else {
                _Kill(setter.pending);
                setter.pending = fPending.size();
            }
        } else if (IsTextCommand(index)) {
            TextState& state = fText[token];
            if (state.drain != fDrains) {
                state.lastInsert = -1;
                state.commands.clear();
                state.drain = fDrains;
            }
            if (auto* insert = std::get_if<change::TextInsert>(&payload)) {
                joined = _JoinInsert(token, *insert);
                if (!joined)
                    state.lastInsert = static_cast<int64_t>(fPending.size());
            } else if (index == kIndex<change::TextSet>) {
                for (size_t pending : state.commands)
                    _Kill(pending);
                state.commands.clear();
                state.lastInsert = static_cast<int64_t>(fPending.size());
            } else if (index != kIndex<change::TextLink>) {
                // Deleting or restyling: later text must not move ahead of it.
                state.lastInsert = -1;
            }
            if (!joined)
                state.commands.push_back(fPending.size());
        } else if (IsRowCommand(index)) {
            RowState& state = fRows[token];
            if (state.drain != fDrains) {
                state.commands.clear();
                state.drain = fDrains;
            }
            std::vector<size_t>& rows = state.commands;
            if (index == kIndex<change::ListRows>) {
                for (size_t pending : rows)
                    _Kill(pending);
                rows.clear();
            }
            rows.push_back(fPending.size());
        } else if (index == kIndex<change::ViewAdd> || index == kIndex<change::ViewRemove>) {
            if (TextState* state = _PendingText(token))
                state->lastInsert = -1;
        }

        if (!joined)
            fPending.push_back({{token, std::move(payload)}, false});
        if (!fWakeRequested && (fPending.size() >= fWakeThreshold || IsAwaited(index))) {
            fWakeRequested = true;
            wake = static_cast<bool>(fWake);
        }
    }
    // Set before the first Push and never again, so it is read here without the lock.
    if (wake)
        fWake();
}

bool ChangeStream::ReleaseWake()
{
    std::lock_guard<std::mutex> lock(fLock);
    if (!fPending.empty())
        return false;
    fWakeRequested = false;
    return true;
}

std::vector<Change> ChangeStream::Drain(bool keepWake)
{
    std::vector<Change> changes;
    Drain(&changes, keepWake);
    return changes;
}

void ChangeStream::Drain(std::vector<Change>* into, bool keepWake)
{
    std::lock_guard<std::mutex> lock(fLock);
    into->reserve(into->size() + fPending.size());
    for (Entry& entry : fPending) {
        if (!entry.dead)
            into->push_back(std::move(entry.change));
    }
    // The queue keeps its room for the next commands.
    fPending.clear();
    fDrains++;
    fWakeRequested = keepWake;
}

bool ChangeStream::HasPending() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return !fPending.empty();
}

void ChangeStream::SetMouse(const MouseSnapshot& mouse)
{
    std::lock_guard<std::mutex> lock(fLock);
    fMouse = mouse;
}

MouseSnapshot ChangeStream::Mouse() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fMouse;
}

void ChangeStream::SetScroll(int32 barToken, float value, float maximum)
{
    std::lock_guard<std::mutex> lock(fLock);
    fScroll[barToken] = {value, maximum};
}

bool ChangeStream::GetScroll(int32 barToken, float* value, float* maximum) const
{
    std::lock_guard<std::mutex> lock(fLock);
    auto found = fScroll.find(barToken);
    if (found == fScroll.end())
        return false;
    *value = found->second.first;
    *maximum = found->second.second;
    return true;
}

void ChangeStream::SetUserScrolls(int32 viewToken, uint32 count)
{
    std::lock_guard<std::mutex> lock(fLock);
    fUserScrolls[viewToken] = count;
}

uint32 ChangeStream::UserScrolls(int32 viewToken) const
{
    std::lock_guard<std::mutex> lock(fLock);
    auto found = fUserScrolls.find(viewToken);
    return found == fUserScrolls.end() ? 0 : found->second;
}

} // namespace kit_private
