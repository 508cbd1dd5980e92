// HeadlessDisplay: windows, streams, and keeping what would be shown (see HeadlessDisplay.h).
// Injected input is in HeadlessInput.cpp.

#include "HeadlessDisplay.h"

#include <FixedFontProvider.h>
#include <FontProvider.h>
#include <Messenger.h>
#include <ViewDisplayLink.h>
#include <ViewPrivate.h>
#include <Window.h>

#include <algorithm>
#include <chrono>

namespace kit_private {

namespace {

template <typename... F> struct Overloaded : F...
{
    using F::operator()...;
};
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

// Replaces the runs of [start, end) (old offsets) by runs for insertedLength new bytes;
// inserted offsets are relative to start. Neighbours with the same style merge.
void SpliceRuns(std::vector<StyleRun>& runs, int32 oldLength, int32 start, int32 end,
                int32 insertedLength, const std::vector<StyleRun>& inserted)
{
    // Appending, the common case of a scrollback, touches only the end.
    if (start == oldLength && end == oldLength) {
        for (StyleRun run : inserted) {
            if (run.offset >= insertedLength)
                continue;
            run.offset += start;
            if (!runs.empty() && runs.back().offset >= run.offset)
                runs.pop_back();
            if (!runs.empty() && runs.back().font == run.font && runs.back().color == run.color)
                continue;
            runs.push_back(run);
        }
        return;
    }
    auto styleAt = [&runs](int32 offset) -> const StyleRun* {
        const StyleRun* found = nullptr;
        for (const StyleRun& run : runs) {
            if (run.offset <= offset)
                found = &run;
        }
        return found;
    };
    std::vector<StyleRun> result;
    auto push = [&result](StyleRun run) {
        if (!result.empty() && result.back().offset >= run.offset)
            result.pop_back();
        if (!result.empty() && result.back().font == run.font && result.back().color == run.color)
            return;
        result.push_back(run);
    };
    std::optional<StyleRun> after;
    if (end < oldLength) {
        if (const StyleRun* run = styleAt(end))
            after = *run;
    }
    for (const StyleRun& run : runs) {
        if (run.offset < start)
            push(run);
    }
    for (StyleRun run : inserted) {
        if (run.offset < insertedLength) {
            run.offset += start;
            push(run);
        }
    }
    if (after) {
        after->offset = start + insertedLength;
        push(*after);
    }
    for (StyleRun run : runs) {
        if (run.offset > end) {
            run.offset += insertedLength - (end - start);
            push(run);
        }
    }
    runs.swap(result);
}

void CollectTokens(const ShownWindow& window, int32 token, std::vector<int32>* out)
{
    out->push_back(token);
    auto found = window.views.find(token);
    if (found == window.views.end())
        return;
    for (int32 child : found->second.children)
        CollectTokens(window, child, out);
}

} // namespace

const ShownView* ShownWindow::Find(const char* name) const
{
    for (const auto& [token, view] : views) {
        if (view.name == name)
            return &view;
    }
    return nullptr;
}

HeadlessDisplay::HeadlessDisplay()
{
    set_font_provider(std::make_shared<FixedFontProvider>());
    set_window_display_factory(this);
}

HeadlessDisplay::~HeadlessDisplay()
{
    if (window_display_factory() == this)
        set_window_display_factory(nullptr);
    std::lock_guard<std::mutex> lock(fLock);
    for (auto& reply : fWaitingAlerts)
        reply->Answer(-1);
}

std::unique_ptr<WindowDisplayLink> HeadlessDisplay::CreateLink(BWindow* window)
{
    int32 id = looper_id_of(window);
    auto stream = std::make_shared<ChangeStream>(id);
    std::weak_ptr<ChangeStream> weak = stream;
    stream->SetWakeHandler([this, weak] {
        if (auto strong = weak.lock())
            _Apply(strong);
    });
    // Applied in batches, and whenever something here is read or looked up (_Settled): a
    // window in a flood no longer pays a drain for every command.
    stream->SetWakeThreshold(kWakeThreshold);
    {
        std::lock_guard<std::mutex> lock(fLock);
        fStreams[id] = stream;
        fWindows[id].looperId = id;
    }
    return std::make_unique<ViewDisplayLink>(window, stream);
}

std::unique_lock<std::mutex> HeadlessDisplay::_Settled() const
{
    // Catching up with what the windows pushed changes nothing a reader can tell apart.
    auto* self = const_cast<HeadlessDisplay*>(this);
    std::vector<std::shared_ptr<ChangeStream>> pending;
    {
        std::lock_guard<std::mutex> lock(fLock);
        for (const auto& [id, weak] : fStreams) {
            if (auto stream = weak.lock(); stream != nullptr && stream->HasPending())
                pending.push_back(std::move(stream));
        }
    }
    for (const auto& stream : pending)
        self->_Apply(stream);
    return std::unique_lock<std::mutex>(fLock);
}

void HeadlessDisplay::_Apply(const std::shared_ptr<ChangeStream>& stream)
{
    std::vector<change::MenuPopup> popups;
    PopupResponder responder;
    {
        std::lock_guard<std::mutex> lock(fLock);
        // Drain under our lock, so two threads pushing to one window apply in order.
        fDrained.clear();
        stream->Drain(&fDrained);
        ShownWindow& window = fWindows[stream->LooperId()];
        for (Change& change : fDrained)
            _ApplyChange(window, change, popups);
        fDrained.clear();
        for (const auto& popup : popups)
            fPopups.push_back(popup.root);
        responder = fPopupResponder;
    }
    // Answer popups outside the lock: the responder may look at the display.
    for (auto& popup : popups) {
        int32 token = responder ? responder(popup.root, popup.where) : 0;
        popup.reply->set_value(token);
    }
}

void HeadlessDisplay::_ApplyChange(ShownWindow& window, Change& item,
                                   std::vector<change::MenuPopup>& popups)
{
    ShownView* view = nullptr;
    if (item.token != 0) {
        auto found = window.views.find(item.token);
        if (found != window.views.end())
            view = &found->second;
    }
    auto needView = [&view]() { return view != nullptr; };
    std::visit(
        Overloaded{
            [&](change::WindowSetup& setup) {
                window.title = setup.title;
                window.frame = setup.frame;
                window.look = setup.look;
                window.feel = setup.feel;
                window.flags = setup.flags;
            },
            [&](change::WindowTitle& title) { window.title = title.title; },
            [&](change::WindowFrame& frame) { window.frame = frame.frame; },
            [&](change::WindowVisible& visible) { window.visible = visible.shown; },
            [&](change::WindowActivate& activate) {
                window.activations += activate.active ? 1 : 0;
            },
            [&](change::WindowMinimize& minimize) { window.minimized = minimize.minimized; },
            [&](change::WindowFocus& focus) { window.focus = focus.token; },
            [&](change::WindowQuit&) {
                window.quit = true;
                window.visible = false;
                fAnswerCond.notify_all();
            },
            [&](change::ViewAdd& add) {
                ShownView shown;
                shown.token = item.token;
                shown.parent = add.parent;
                shown.kind = add.kind;
                shown.name = add.name;
                shown.frame = add.frame;
                shown.flags = add.flags;
                shown.hidden = add.hidden;
                window.views[item.token] = shown;
                std::vector<int32>* siblings = &window.roots;
                auto parent = window.views.find(add.parent);
                if (parent != window.views.end())
                    siblings = &parent->second.children;
                auto before = std::find(siblings->begin(), siblings->end(), add.before);
                siblings->insert(add.before != 0 ? before : siblings->end(), item.token);
            },
            [&](change::ViewRemove&) {
                if (!needView())
                    return;
                std::vector<int32> gone;
                CollectTokens(window, item.token, &gone);
                auto parent = window.views.find(view->parent);
                std::vector<int32>& siblings =
                    parent != window.views.end() ? parent->second.children : window.roots;
                siblings.erase(std::remove(siblings.begin(), siblings.end(), item.token),
                               siblings.end());
                for (int32 token : gone)
                    window.views.erase(token);
            },
            [&](change::ViewFrame& frame) {
                if (needView())
                    view->frame = frame.frame;
            },
            [&](change::ViewHidden& hidden) {
                if (needView())
                    view->hidden = hidden.hidden;
            },
            [&](change::ViewColors& colors) {
                if (!needView())
                    return;
                view->viewColor = colors.view;
                view->lowColor = colors.low;
                view->highColor = colors.high;
            },
            [&](change::ViewFont& font) {
                if (needView())
                    view->font = font.font;
            },
            [&](change::ViewCursor& cursor) {
                if (needView())
                    view->hasCursor = cursor.cursor != nullptr;
            },
            [&](change::ViewBitmap& bitmap) {
                if (!needView())
                    return;
                view->hasBitmap = bitmap.image != nullptr;
                view->bitmapWidth = bitmap.image ? bitmap.image->width : 0;
                view->bitmapHeight = bitmap.image ? bitmap.image->height : 0;
            },
            [&](change::ViewDrag& drag) {
                fDrag = PendingDrag{window.looperId, item.token, drag.message,
                                    drag.image ? drag.image->width : 0,
                                    drag.image ? drag.image->height : 0};
            },
            [&](change::ViewFilteredKeys& keys) {
                if (needView())
                    view->filteredKeys = keys.keys;
            },
            [&](change::ViewInvalidate&) {
                if (needView())
                    view->invalidations++;
            },
            [&](change::ControlLabel& label) {
                if (needView())
                    view->label = label.label;
            },
            [&](change::ControlValue& value) {
                if (needView())
                    view->value = value.value;
            },
            [&](change::ControlEnabled& enabled) {
                if (needView())
                    view->enabled = enabled.enabled;
            },
            [&](change::ControlDefault& isDefault) {
                if (needView())
                    view->isDefault = isDefault.isDefault;
            },
            [&](change::ControlDivider& divider) {
                if (needView())
                    view->divider = divider.divider;
            },
            [&](change::BoxBorder& border) {
                if (needView())
                    view->border = border.style;
            },
            [&](change::ScrollBarState& state) {
                if (needView())
                    view->scrollBar = state;
            },
            [&](change::ScrollViewParts& parts) {
                if (needView())
                    view->scrollParts = parts;
            },
            [&](change::TextSet& set) {
                if (!needView())
                    return;
                view->text = set.text;
                view->runs = set.runs;
                view->links.clear();
                view->textVersion = set.version;
                // As a native editor does; the selection that follows may move it, but keys
                // typed in between go to the end rather than to a place in the old text.
                view->selectionStart = view->selectionEnd = static_cast<int32>(set.text.size());
            },
            [&](change::TextInsert& insert) {
                if (!needView())
                    return;
                int32 length = static_cast<int32>(view->text.size());
                int32 offset = std::clamp(insert.offset, 0, length);
                int32 size = static_cast<int32>(insert.text.size());
                SpliceRuns(view->runs, length, offset, offset, size, insert.runs);
                view->text.InsertPiece(static_cast<size_t>(offset), insert.text);
                // Links lie within the text: an append moves none.
                if (offset < length) {
                    for (auto& link : view->links) {
                        if (link.start >= offset)
                            link.start += size;
                        if (link.end > offset)
                            link.end += size;
                    }
                }
                if (view->selectionStart >= offset)
                    view->selectionStart += size;
                if (view->selectionEnd >= offset)
                    view->selectionEnd += size;
                view->textVersion = insert.version;
            },
            [&](change::TextDelete& erase) {
                if (!needView())
                    return;
                int32 length = static_cast<int32>(view->text.size());
                int32 start = std::clamp(erase.start, 0, length);
                int32 end = std::clamp(erase.end, start, length);
                SpliceRuns(view->runs, length, start, end, 0, {});
                view->text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
                std::vector<change::TextLink> kept;
                for (auto link : view->links) {
                    if (link.end <= start) {
                        kept.push_back(link);
                    } else if (link.start >= end) {
                        link.start -= end - start;
                        link.end -= end - start;
                        kept.push_back(link);
                    }
                }
                view->links.swap(kept);
                view->textVersion = erase.version;
            },
            [&](change::TextRestyle& restyle) {
                if (!needView())
                    return;
                int32 length = static_cast<int32>(view->text.size());
                SpliceRuns(view->runs, length, restyle.start, restyle.end,
                           restyle.end - restyle.start, restyle.runs);
            },
            [&](change::TextLink& link) {
                if (needView())
                    view->links.push_back(link);
            },
            [&](change::TextLinksClear&) {
                if (needView())
                    view->links.clear();
            },
            [&](change::TextMode& mode) {
                if (needView())
                    view->textMode = mode;
            },
            [&](change::TextSelect& select) {
                if (!needView())
                    return;
                view->selectionStart = select.start;
                view->selectionEnd = select.end;
            },
            [&](change::TextScrollTo& scroll) {
                if (needView())
                    view->scrolledTo = scroll.offset;
            },
            [&](change::TextScrollStep&) {
                if (needView())
                    view->scrollSteps++;
            },
            [&](change::KeyAnswered&) {
                if (needView())
                    view->keysAnswered++;
                fAnswerCond.notify_all();
            },
            [&](change::ListRows& rows) {
                if (!needView())
                    return;
                view->rows.Assign(rows.rows);
                view->rowHeight = rows.rowHeight;
            },
            [&](change::ListInsert& insert) {
                if (!needView())
                    return;
                int32 index = std::clamp(insert.index, 0, static_cast<int32>(view->rows.size()));
                view->rows.Insert(static_cast<size_t>(index), std::move(insert.row));
            },
            [&](change::ListRemove& remove) {
                if (needView() && remove.index >= 0 &&
                    remove.index < static_cast<int32>(view->rows.size()))
                    view->rows.Erase(static_cast<size_t>(remove.index));
            },
            [&](change::ListRowChanged& changed) {
                if (needView() && changed.index >= 0 &&
                    changed.index < static_cast<int32>(view->rows.size()))
                    view->rows[static_cast<size_t>(changed.index)] = changed.row;
            },
            [&](change::ListSelection& selection) {
                if (needView())
                    view->selectedRows = selection.selected;
            },
            [&](change::ListScrollTo&) {},
            [&](change::MenuTree& tree) {
                if (needView())
                    view->menu = tree.root;
            },
            [&](change::MenuPopup& popup) { popups.push_back(std::move(popup)); },
            [&](change::Tabs& tabs) {
                if (needView())
                    view->tabs = tabs;
            },
        },
        item.payload);
}

// Reading

std::vector<ShownWindow> HeadlessDisplay::Windows() const
{
    auto lock = _Settled();
    std::vector<ShownWindow> windows;
    for (const auto& [id, window] : fWindows)
        windows.push_back(window);
    return windows;
}

std::optional<ShownWindow> HeadlessDisplay::Window(const BWindow* window) const
{
    int32 id = looper_id_of(window);
    auto lock = _Settled();
    auto found = fWindows.find(id);
    if (found == fWindows.end())
        return std::nullopt;
    return found->second;
}

std::optional<ShownView> HeadlessDisplay::View(const BWindow* window, const char* name) const
{
    int32 id = looper_id_of(window);
    auto lock = _Settled();
    auto found = fWindows.find(id);
    if (found == fWindows.end())
        return std::nullopt;
    const ShownView* view = found->second.Find(name);
    if (view == nullptr)
        return std::nullopt;
    return *view;
}

std::shared_ptr<ChangeStream> HeadlessDisplay::_Stream(const BWindow* window) const
{
    int32 id = looper_id_of(window);
    std::lock_guard<std::mutex> lock(fLock);
    auto found = fStreams.find(id);
    return found == fStreams.end() ? nullptr : found->second.lock();
}

// Requests

void HeadlessDisplay::SetPopupResponder(PopupResponder responder)
{
    std::lock_guard<std::mutex> lock(fLock);
    fPopupResponder = std::move(responder);
}

std::vector<MenuNode> HeadlessDisplay::Popups() const
{
    auto lock = _Settled();
    return fPopups;
}

int32 HeadlessDisplay::FindToken(const MenuNode& tree, const std::vector<std::string>& path)
{
    const MenuNode* node = &tree;
    for (const std::string& label : path) {
        auto found = std::find_if(node->items.begin(), node->items.end(),
                                  [&label](const MenuNode& item) { return item.label == label; });
        if (found == node->items.end())
            return 0;
        node = &*found;
    }
    return node == &tree ? 0 : node->token;
}

bool HeadlessDisplay::ShowAlert(const alert_request& request, std::shared_ptr<AlertReply> reply)
{
    AlertResponder responder;
    {
        std::lock_guard<std::mutex> lock(fLock);
        fAlerts.push_back(request);
        responder = fAlertResponder;
        if (!responder)
            fWaitingAlerts.push_back(reply);
    }
    fAlertCond.notify_all();
    fAnswerCond.notify_all();
    if (responder)
        reply->Answer(responder(request));
    return true;
}

void HeadlessDisplay::SetAlertResponder(AlertResponder responder)
{
    std::lock_guard<std::mutex> lock(fLock);
    fAlertResponder = std::move(responder);
}

std::vector<alert_request> HeadlessDisplay::Alerts() const
{
    auto lock = _Settled();
    return fAlerts;
}

bool HeadlessDisplay::AnswerAlert(int32 index)
{
    std::shared_ptr<AlertReply> reply;
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fWaitingAlerts.empty())
            return false;
        reply = fWaitingAlerts.front();
        fWaitingAlerts.erase(fWaitingAlerts.begin());
    }
    reply->Answer(index);
    return true;
}

bool HeadlessDisplay::WaitForAlert(bigtime_t timeout) const
{
    std::unique_lock<std::mutex> lock(fLock);
    return fAlertCond.wait_for(lock, std::chrono::microseconds(timeout),
                               [this] { return !fWaitingAlerts.empty(); });
}

void HeadlessDisplay::Beep()
{
    std::lock_guard<std::mutex> lock(fLock);
    fBeeps++;
}

int32 HeadlessDisplay::Beeps() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fBeeps;
}

std::optional<PendingDrag> HeadlessDisplay::Drag() const
{
    auto lock = _Settled();
    return fDrag;
}

} // namespace kit_private
