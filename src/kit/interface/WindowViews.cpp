// BWindow's view tree and how messages reach views (see the Views section of Window.h).

#include "MenuPrivate.h"
#include "ViewDisplayLink.h"
#include "ViewMessages.h"
#include "ViewPrivate.h"

#include <Button.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <MessageFilter.h>

#include <algorithm>
#include <cstring>
#include <future>

namespace change = kit_private::change;
using kit_private::ViewAccess;
using kit_private::WindowViews;

namespace kit_private {

extern thread_local bool tCurrentModifiersSet;
extern thread_local uint32 tCurrentModifiers;

namespace {

// Runs first on every message of a window with views: while an input message is handled,
// modifiers() answers with the modifiers it carried, also inside the views' filters.
filter_result TakeModifiers(BMessage* message, BHandler**, BMessageFilter*)
{
    int32 held;
    if (message->FindInt32("modifiers", &held) == B_OK) {
        tCurrentModifiersSet = true;
        tCurrentModifiers = static_cast<uint32>(held);
    } else {
        tCurrentModifiersSet = false;
    }
    return B_DISPATCH_MESSAGE;
}

void ForEachView(BView* view, const std::function<void(BView*)>& visit)
{
    visit(view);
    for (int32 i = 0; i < view->CountChildren(); i++)
        ForEachView(view->ChildAt(i), visit);
}

} // namespace

WindowViews& ViewAccess::Views(BWindow* window)
{
    if (window->fViews == nullptr) {
        window->fViews = new WindowViews();
        window->AddCommonFilter(new BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE, TakeModifiers));
    }
    return *window->fViews;
}

ChangeStream* ViewAccess::Stream(BWindow* window)
{
    WindowViews& views = Views(window);
    if (!views.streamResolved) {
        views.streamResolved = true;
        if (auto* link = dynamic_cast<ViewDisplayLink*>(window->DisplayLink()))
            views.stream = link->Stream().get();
    }
    return views.stream;
}

void ViewAccess::Push(BWindow* window, int32 token, ChangePayload&& payload)
{
    if (ChangeStream* stream = Stream(window))
        stream->Push(token, std::move(payload));
}

BView* ViewAccess::Top(BWindow* window)
{
    WindowViews& views = Views(window);
    if (views.top == nullptr) {
        views.top = new BView(window->Bounds(), "_top_", B_FOLLOW_ALL, B_WILL_DRAW);
        views.top->SetViewColor(B_PANEL_BACKGROUND);
        views.top->SetLowColor(B_PANEL_BACKGROUND);
        views.top->_Attach(window);
    }
    return views.top;
}

void ViewAccess::RegisterMenu(BWindow* window, BMenu* menu)
{
    std::vector<BMenu*>& roots = Views(window).menuRoots;
    if (std::find(roots.begin(), roots.end(), menu) == roots.end())
        roots.push_back(menu);
}

void ViewAccess::UnregisterMenu(BWindow* window, BMenu* menu)
{
    std::vector<BMenu*>& roots = Views(window).menuRoots;
    roots.erase(std::remove(roots.begin(), roots.end(), menu), roots.end());
}

} // namespace kit_private

// The view tree

void BWindow::AddChild(BView* child, BView* before)
{
    if (child == nullptr)
        return;
    ViewAccess::Top(this)->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child)
{
    if (fViews == nullptr || fViews->top == nullptr)
        return false;
    return fViews->top->RemoveChild(child);
}

int32 BWindow::CountChildren() const
{
    return fViews != nullptr && fViews->top != nullptr ? fViews->top->CountChildren() : 0;
}

BView* BWindow::ChildAt(int32 index) const
{
    return fViews != nullptr && fViews->top != nullptr ? fViews->top->ChildAt(index) : nullptr;
}

BView* BWindow::FindView(const char* name) const
{
    if (fViews == nullptr || fViews->top == nullptr || name == nullptr)
        return nullptr;
    for (int32 i = 0; i < fViews->top->CountChildren(); i++) {
        if (BView* found = fViews->top->ChildAt(i)->FindView(name))
            return found;
    }
    return nullptr;
}

BView* BWindow::CurrentFocus() const
{
    return fViews != nullptr ? fViews->focus : nullptr;
}

BRect BWindow::Bounds() const
{
    BRect frame = Frame();
    return BRect(0, 0, frame.Width(), frame.Height());
}

void BWindow::SetDefaultButton(BButton* button)
{
    WindowViews& views = ViewAccess::Views(this);
    BButton* previous = static_cast<BButton*>(views.defaultButton);
    if (previous == button)
        return;
    views.defaultButton = button;
    if (previous != nullptr)
        previous->_SetDefaultState(false);
    if (button != nullptr)
        button->_SetDefaultState(true);
}

BButton* BWindow::DefaultButton() const
{
    return fViews != nullptr ? static_cast<BButton*>(fViews->defaultButton) : nullptr;
}

void BWindow::SetKeyMenuBar(BMenuBar* bar)
{
    ViewAccess::Views(this).keyMenuBar = bar;
}

BMenuBar* BWindow::KeyMenuBar() const
{
    return fViews != nullptr ? static_cast<BMenuBar*>(fViews->keyMenuBar) : nullptr;
}

BPoint BWindow::ConvertToScreen(BPoint point) const
{
    return point + Frame().LeftTop();
}

void BWindow::ConvertToScreen(BPoint* point) const
{
    *point = ConvertToScreen(*point);
}

BRect BWindow::ConvertToScreen(BRect rect) const
{
    return rect.OffsetByCopy(Frame().left, Frame().top);
}

BPoint BWindow::ConvertFromScreen(BPoint point) const
{
    return point - Frame().LeftTop();
}

void BWindow::ConvertFromScreen(BPoint* point) const
{
    *point = ConvertFromScreen(*point);
}

BRect BWindow::ConvertFromScreen(BRect rect) const
{
    return rect.OffsetByCopy(-Frame().left, -Frame().top);
}

// Messages

void BWindow::DeleteViews()
{
    if (fViews == nullptr)
        return;
    if (BView* top = fViews->top) {
        top->_Detach();
        delete top;
    }
    delete fViews;
    fViews = nullptr;
}

void BWindow::MessageHandled(BMessage* message)
{
    int32 token = 0;
    if (message == nullptr || message->what != B_KEY_DOWN ||
        message->FindInt32(kit_private::kFieldAnswer, &token) != B_OK || token == 0)
        return;
    // Answered behind what handling the key posted (a control's invocation clears the
    // field in its own message), so the editor goes on from the text all of it leaves.
    BMessage answer(kit_private::kMsgAnswerKey);
    answer.AddInt32(kit_private::kFieldAnswer, token);
    PostMessage(&answer);
}

bool BWindow::DispatchToViews(BMessage* message, BHandler* target)
{
    switch (message->what) {
    case B_WINDOW_RESIZED: {
        float width;
        float height;
        if (fViews != nullptr && fViews->top != nullptr &&
            message->FindFloat("width", &width) == B_OK &&
            message->FindFloat("height", &height) == B_OK)
            fViews->top->ResizeTo(width, height);
        return false;
    }
    case B_WINDOW_ACTIVATED: {
        bool active;
        if (fViews != nullptr && fViews->top != nullptr &&
            message->FindBool("active", &active) == B_OK) {
            kit_private::ForEachView(fViews->top,
                                     [active](BView* view) { view->WindowActivated(active); });
        }
        return false;
    }
    case kit_private::kMsgSync: {
        void* reply = nullptr;
        if (message->FindPointer(kit_private::kFieldReply, &reply) == B_OK && reply != nullptr)
            static_cast<std::promise<void>*>(reply)->set_value();
        return true;
    }
    case kit_private::kMsgAnswerKey: {
        int32 token = 0;
        if (message->FindInt32(kit_private::kFieldAnswer, &token) == B_OK && token != 0)
            kit_private::ViewAccess::Push(this, token, kit_private::change::KeyAnswered{});
        return true;
    }
    case kit_private::kMsgMenuChosen: {
        int32 token = 0;
        message->FindInt32(kit_private::kFieldItem, &token);
        if (fViews == nullptr)
            return true;
        for (BMenu* root : fViews->menuRoots) {
            if (BMenuItem* item = kit_private::find_menu_item(root, token)) {
                kit_private::choose_menu_item(item);
                break;
            }
        }
        return true;
    }
    default:
        break;
    }

    auto* view = dynamic_cast<BView*>(target);
    if (message->what == B_KEY_DOWN) {
        const char* bytes = nullptr;
        int32 held = 0;
        message->FindString("bytes", &bytes);
        message->FindInt32("modifiers", &held);
        if (bytes == nullptr || bytes[0] == '\0')
            return true;
        // Command-key shortcuts of the key menu bar come before the focus view.
        if ((held & B_COMMAND_KEY) != 0 && fViews != nullptr) {
            BMenuBar* bar = KeyMenuBar();
            if (BMenuItem* item = kit_private::find_shortcut(
                    bar, static_cast<unsigned char>(bytes[0]), static_cast<uint32>(held))) {
                kit_private::choose_menu_item(item);
                return true;
            }
        }
        if (view != nullptr && view->Window() == this) {
            view->KeyDown(bytes, static_cast<int32>(strlen(bytes)));
            return true;
        }
        // No focus view: Enter still presses the default button.
        if (bytes[0] == B_ENTER && DefaultButton() != nullptr && DefaultButton()->IsEnabled()) {
            DefaultButton()->Invoke();
            return true;
        }
        return false;
    }

    if (view == nullptr || view->Window() != this)
        return false;
    BPoint where;
    switch (message->what) {
    case B_MOUSE_DOWN:
        if (message->FindPoint("where", &where) == B_OK)
            view->MouseDown(where);
        return true;
    case B_MOUSE_UP:
        if (message->FindPoint("where", &where) == B_OK)
            view->MouseUp(where);
        return true;
    case B_MOUSE_MOVED: {
        if (kit_private::ChangeStream* stream = ViewAccess::Stream(this))
            stream->mouseMovedPending.store(false);
        int32 transit = B_INSIDE_VIEW;
        message->FindInt32(kit_private::kFieldTransit, &transit);
        BMessage dragged;
        bool dragging = message->FindMessage(kit_private::kFieldDragMessage, &dragged) == B_OK;
        if (message->FindPoint("where", &where) == B_OK)
            view->MouseMoved(where, static_cast<uint32>(transit), dragging ? &dragged : nullptr);
        return true;
    }
    case kit_private::kMsgFocused: {
        WindowViews& views = ViewAccess::Views(this);
        views.focusFromServer = true;
        view->MakeFocus(true);
        views.focusFromServer = false;
        return true;
    }
    default:
        return ViewAccess::ServerMessage(view, message);
    }
}
