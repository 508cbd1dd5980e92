// HeadlessDisplay: input posted as the Qt server posts it (see HeadlessDisplay.h).

#include "HeadlessDisplay.h"

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <View.h>
#include <ViewMessages.h>
#include <ViewPrivate.h>
#include <WakeBatch.h>
#include <Window.h>

#include <StringCopy.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>

namespace kit_private {

namespace {

bool IsFiltered(const std::vector<FilteredKey>& keys, uint32 byte, uint32 modifiers)
{
    const uint32 mask = B_COMMAND_KEY | B_OPTION_KEY | B_MENU_KEY;
    for (const FilteredKey& key : keys) {
        if (key.byte == byte && (key.modifiers & mask) == (modifiers & mask))
            return true;
    }
    return false;
}

bool HasShortcut(const MenuNode& node, uint32 byte, uint32 modifiers)
{
    for (const MenuNode& item : node.items) {
        if (item.shortcut != 0 && (modifiers & B_COMMAND_KEY) != 0 &&
            std::tolower(static_cast<int>(item.shortcut)) == std::tolower(static_cast<int>(byte)))
            return true;
        if (HasShortcut(item, byte, modifiers))
            return true;
    }
    return false;
}

} // namespace

ShownWindow* HeadlessDisplay::_Find(const BWindow* window)
{
    auto found = fWindows.find(looper_id_of(window));
    return found == fWindows.end() ? nullptr : &found->second;
}

const ShownView* HeadlessDisplay::_View(const BWindow* window, const char* name, int32* looperId)
{
    ShownWindow* shown = _Find(window);
    if (shown == nullptr)
        return nullptr;
    *looperId = shown->looperId;
    return shown->Find(name);
}

void HeadlessDisplay::_Post(BWindow* window, const char* view, const BMessage& message)
{
    int32 id = 0;
    int32 token = -1;
    {
        auto lock = _Settled();
        if (view != nullptr) {
            const ShownView* shown = _View(window, view, &id);
            if (shown == nullptr)
                return;
            token = shown->token;
        } else {
            id = looper_id_of(window);
        }
    }
    post_to(id, token, message);
}

bool HeadlessDisplay::Sync(BWindow* window)
{
    std::promise<void> done;
    std::future<void> answer = done.get_future();
    BMessage message(kMsgSync);
    message.AddPointer(kFieldReply, &done);
    if (BMessenger(nullptr, window).SendMessage(&message) != B_OK)
        return false;
    BWakeBatch::Flush();
    return answer.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
}

void HeadlessDisplay::Click(BWindow* window, const char* view, BPoint where, uint32 buttons,
                            int32 clicks, uint32 modifiers)
{
    set_modifiers_snapshot(modifiers);
    BPoint screen = _ToScreen(window, view, where);
    if (auto stream = _Stream(window)) {
        MouseSnapshot mouse;
        mouse.screen = screen;
        mouse.where = screen - window->Frame().LeftTop();
        mouse.buttons = buttons;
        mouse.modifiers = modifiers;
        stream->SetMouse(mouse);
    }
    _Post(window, view, make_mouse(B_MOUSE_DOWN, where, screen, buttons, clicks, modifiers));
    _Post(window, view, make_mouse(B_MOUSE_UP, where, screen, 0, clicks, modifiers));
}

void HeadlessDisplay::PressMouse(BWindow* window, const char* view, BPoint where, uint32 buttons)
{
    BPoint screen = _ToScreen(window, view, where);
    _Post(window, view, make_mouse(B_MOUSE_DOWN, where, screen, buttons, 1, 0));
}

void HeadlessDisplay::ReleaseMouse(BWindow* window, const char* view, BPoint where)
{
    BPoint screen = _ToScreen(window, view, where);
    _Post(window, view, make_mouse(B_MOUSE_UP, where, screen, 0, 1, 0));
}

void HeadlessDisplay::MoveMouse(BWindow* window, const char* view, BPoint where, uint32 buttons)
{
    // The screen point as the Qt server reports it, not the view's own.
    BMessage message =
        make_mouse(B_MOUSE_MOVED, where, _ToScreen(window, view, where), buttons, 0, 0);
    message.AddInt32(kFieldTransit, B_INSIDE_VIEW);
    {
        auto lock = _Settled();
        if (fDrag)
            message.AddMessage(kFieldDragMessage, &fDrag->message);
    }
    _Post(window, view, message);
}

void HeadlessDisplay::PressButton(BWindow* window, const char* view)
{
    BMessage message(kMsgControlInvoked);
    {
        auto lock = _Settled();
        int32 id;
        const ShownView* shown = _View(window, view, &id);
        if (shown == nullptr)
            return;
        if (shown->kind == ViewKind::CheckBox)
            message.AddInt32(kFieldValue, shown->value == 0 ? 1 : 0);
    }
    _Post(window, view, message);
}

void HeadlessDisplay::Focus(BWindow* window, const char* view)
{
    int32 id = 0;
    int32 token = 0;
    {
        auto lock = _Settled();
        const ShownView* shown = _View(window, view, &id);
        if (shown == nullptr)
            return;
        // A text control's focus is its text view's, as its native editor reports it.
        token = shown->kind == ViewKind::TextControl && !shown->children.empty()
                    ? shown->children.front()
                    : shown->token;
        // The focus moved on screen, so keys go there from now on, as in the Qt server.
        fWindows[id].focus = token;
    }
    post_to(id, token, BMessage(kMsgFocused));
}

void HeadlessDisplay::Type(BWindow* window, const char* view, const char* text)
{
    int32 id = 0;
    int32 token = 0;
    {
        auto lock = _Settled();
        ShownWindow* shown = _Find(window);
        const ShownView* target = shown != nullptr ? shown->Find(view) : nullptr;
        if (target == nullptr)
            return;
        if (target->kind == ViewKind::TextControl && !target->children.empty())
            target = &shown->views[target->children.front()];
        id = shown->looperId;
        token = target->token;
    }
    _TypeInto(id, token, text);
}

void HeadlessDisplay::_TypeInto(int32 id, int32 token, const char* text)
{
    std::vector<FilteredKey> filtered;
    std::vector<uint32> disallowed;
    {
        auto lock = _Settled();
        filtered = fWindows[id].views[token].filteredKeys;
        disallowed = fWindows[id].views[token].textMode.disallowed;
    }
    for (const char* at = text; *at != '\0';) {
        size_t length = 1;
        while (at[length] != '\0' && (static_cast<unsigned char>(at[length]) & 0xc0) == 0x80)
            length++;
        std::string character(at, length);
        at += length;
        unsigned char byte = static_cast<unsigned char>(character[0]);
        if (IsFiltered(filtered, byte, 0) || byte == B_ENTER) {
            _PostAndAwait(id, token, make_key_down(character.c_str(), 0));
            continue;
        }
        uint32 code = 0;
        decode_utf8(character.data(), character.size(), &code);
        if (std::binary_search(disallowed.begin(), disallowed.end(), code))
            continue; // the editor refuses it, as the Qt server's validator does
        // The native editor inserts the character at its caret, then reports the text.
        BMessage edited(kMsgTextEdited);
        {
            auto lock = _Settled();
            ShownView& shown = fWindows[id].views[token];
            int32 start =
                std::clamp(shown.selectionStart, 0, static_cast<int32>(shown.text.size()));
            int32 end =
                std::clamp(shown.selectionEnd, start, static_cast<int32>(shown.text.size()));
            if (byte == B_BACKSPACE) {
                if (start == end && start > 0)
                    start--;
                shown.text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
                shown.selectionStart = shown.selectionEnd = start;
            } else {
                shown.text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start),
                                   character);
                shown.selectionStart = shown.selectionEnd = start + static_cast<int32>(length);
            }
            edited.AddString(kFieldText, shown.text.c_str());
            edited.AddInt32(kFieldSelectionStart, shown.selectionStart);
            edited.AddInt32(kFieldSelectionEnd, shown.selectionEnd);
            edited.AddInt64(kFieldBase, shown.textVersion);
        }
        post_to(id, token, make_key_down(character.c_str(), 0, 0, true));
        post_to(id, token, edited);
    }
}

void HeadlessDisplay::_PostAndAwait(int32 id, int32 token, BMessage key)
{
    int64 asked = 0;
    {
        auto lock = _Settled();
        auto window = fWindows.find(id);
        if (window == fWindows.end())
            return;
        auto view = window->second.views.find(token);
        if (view == window->second.views.end())
            return;
        asked = ++view->second.keysAsked;
    }
    key.AddInt32(kFieldAnswer, token);
    if (post_to(id, token, key) != B_OK)
        return;
    // The window's own thread cannot answer while it waits here.
    if (BLooper* typist = BLooper::LooperForThread(find_thread(nullptr))) {
        int32 typistId = 0;
        int32 ignored = 0;
        BMessenger(nullptr, typist).GetIds(&typistId, &ignored);
        if (typistId == id)
            return;
    }
    BWakeBatch::Flush();
    auto lock = _Settled();
    // An alert waiting to be answered may be what the window waits on, so it ends the wait;
    // so does a window that has hung for a minute.
    fAnswerCond.wait_for(lock, std::chrono::minutes(1), [&] {
        if (!fWaitingAlerts.empty())
            return true;
        auto window = fWindows.find(id);
        if (window == fWindows.end() || window->second.quit)
            return true;
        auto view = window->second.views.find(token);
        return view == window->second.views.end() || view->second.keysAnswered >= asked;
    });
}

void HeadlessDisplay::PressKey(BWindow* window, const char* bytes, uint32 modifiers)
{
    set_modifiers_snapshot(modifiers);
    int32 id = 0;
    int32 token = -2; // the window's preferred handler: its focus view
    bool native = false;
    bool editor = false;
    {
        auto lock = _Settled();
        ShownWindow* shown = _Find(window);
        if (shown == nullptr)
            return;
        id = shown->looperId;
        auto focus = shown->views.find(shown->focus);
        bool shortcut = false;
        for (const auto& [viewToken, view] : shown->views) {
            if (view.kind == ViewKind::MenuBar &&
                HasShortcut(view.menu, static_cast<unsigned char>(bytes[0]), modifiers))
                shortcut = true;
        }
        if (focus != shown->views.end()) {
            token = focus->first;
            const ShownView& view = focus->second;
            editor = view.kind == ViewKind::TextView && view.textMode.editable;
            unsigned char byte = static_cast<unsigned char>(bytes[0]);
            native = editor && !shortcut && byte != B_ENTER &&
                     !IsFiltered(view.filteredKeys, byte, modifiers);
        }
    }
    unsigned char byte = static_cast<unsigned char>(bytes[0]);
    if (native && (modifiers & (B_COMMAND_KEY | B_OPTION_KEY)) == 0 &&
        (byte >= 0x20 || byte == B_BACKSPACE) && byte != B_DELETE) {
        // A key that edits goes through the native editor, as typing does.
        _TypeInto(id, token, bytes);
        return;
    }
    if (editor && !native) {
        _PostAndAwait(id, token, make_key_down(bytes, modifiers, 0, false));
        return;
    }
    post_to(id, token, make_key_down(bytes, modifiers, 0, native));
}

void HeadlessDisplay::ChooseMenuItem(BWindow* window, const std::vector<std::string>& path)
{
    int32 id = 0;
    int32 item = 0;
    {
        auto lock = _Settled();
        ShownWindow* shown = _Find(window);
        if (shown == nullptr || path.empty())
            return;
        id = shown->looperId;
        for (const auto& [token, view] : shown->views) {
            if (view.kind != ViewKind::MenuBar && view.kind != ViewKind::MenuField)
                continue;
            // A menu field's tree starts below its own label.
            std::vector<std::string> rest = path;
            if (view.kind == ViewKind::MenuField) {
                if (view.name != path.front())
                    continue;
                rest.erase(rest.begin());
            }
            item = FindToken(view.menu, rest);
            if (item != 0)
                break;
        }
    }
    if (item == 0)
        return;
    BMessage message(kMsgMenuChosen);
    message.AddInt32(kFieldItem, item);
    post_to(id, -1, message);
}

void HeadlessDisplay::SelectTab(BWindow* window, const char* tabView, int32 index)
{
    BMessage message(kMsgTabSelected);
    message.AddInt32("index", index);
    _Post(window, tabView, message);
}

void HeadlessDisplay::ClickLink(BWindow* window, const char* textView, int32 link)
{
    BMessage message(kMsgLinkClicked);
    message.AddInt32(kFieldLink, link);
    _Post(window, textView, message);
}

BPoint HeadlessDisplay::_ToScreen(const BWindow* window, const char* view, BPoint where)
{
    auto lock = _Settled();
    ShownWindow* shown = _Find(window);
    if (shown == nullptr)
        return where;
    const ShownView* at = shown->Find(view);
    while (at != nullptr) {
        where += at->frame.LeftTop();
        auto parent = shown->views.find(at->parent);
        at = parent != shown->views.end() ? &parent->second : nullptr;
    }
    return where + shown->frame.LeftTop();
}

void HeadlessDisplay::DropColor(BWindow* window, const char* view, rgb_color color, BPoint where)
{
    BMessage message(B_PASTE);
    message.AddColor("RGBColor", color);
    message.SetDropped(_ToScreen(window, view, where));
    _Post(window, view, message);
}

void HeadlessDisplay::ResizeWindow(BWindow* window, float width, float height)
{
    BMessage message(B_WINDOW_RESIZED);
    message.AddFloat("width", width);
    message.AddFloat("height", height);
    _Post(window, nullptr, message);
}

void HeadlessDisplay::ActivateWindow(BWindow* window, bool active)
{
    BMessage message(B_WINDOW_ACTIVATED);
    message.AddBool("active", active);
    _Post(window, nullptr, message);
}

void HeadlessDisplay::CloseWindow(BWindow* window)
{
    _Post(window, nullptr, BMessage(B_QUIT_REQUESTED));
}

void HeadlessDisplay::ReportScroll(BWindow* window, const char* scrollBar, float value,
                                   float maximum)
{
    int32 token = 0;
    {
        auto lock = _Settled();
        int32 id;
        const ShownView* shown = _View(window, scrollBar, &id);
        if (shown == nullptr)
            return;
        token = shown->token;
    }
    if (auto stream = _Stream(window))
        stream->SetScroll(token, value, maximum);
}

bool HeadlessDisplay::DropDrag(BWindow* window, const char* view, BPoint where)
{
    std::optional<PendingDrag> drag;
    {
        auto lock = _Settled();
        drag.swap(fDrag);
    }
    if (!drag)
        return false;
    BMessage message = drag->message;
    message.SetDropped(_ToScreen(window, view, where));
    _Post(window, view, message);
    return true;
}

} // namespace kit_private
