#pragma once

// Kit-internal parts of the view tree: the window's view state, and access to views'
// private members for the kit's other classes. Not for the program.

#include "ChangeStream.h"
#include "ViewChange.h"

#include <View.h>
#include <Window.h>

#include <vector>

class BButton;
class BMenu;
class BMenuBar;
class BMenuItem;

namespace kit_private {

// What a window knows about its views (held by BWindow::fViews; window lock).
struct WindowViews
{
    BView* top = nullptr;
    BView* focus = nullptr;
    BButton* defaultButton = nullptr;
    BMenuBar* keyMenuBar = nullptr;
    // Menus whose items the display server shows (menu bars, menu fields' menus).
    std::vector<BMenu*> menuRoots;
    ChangeStream* stream = nullptr;
    bool streamResolved = false;
    // Set while a focus change reported by the server is applied (it is not sent back).
    bool focusFromServer = false;
};

class ViewAccess
{
public:
    static WindowViews& Views(BWindow* window);
    static ChangeStream* Stream(BWindow* window);
    static void Push(BWindow* window, int32 token, ChangePayload&& payload);
    static int32 Token(const BView* view) { return view->fToken; }
    static ViewKind Kind(const BView* view) { return view->_Kind(); }
    static bool ServerMessage(BView* view, BMessage* message)
    {
        return view->_ServerMessage(message);
    }
    // The top view: the window's content, parent of its top-level views.
    static BView* Top(BWindow* window);
    static void RegisterMenu(BWindow* window, BMenu* menu);
    static void UnregisterMenu(BWindow* window, BMenu* menu);
};

// The handler token of a handler that belongs to a looper.
int32 handler_token(const BHandler* handler);
// The id a window's looper is registered under; display servers key their mirrors by it.
int32 looper_id_of(const BWindow* window);
// Copies a bitmap's pixels (nullptr: none).
std::shared_ptr<const Image> image_of(const class BBitmap* bitmap);

} // namespace kit_private

template <typename Payload> void BView::_Push(Payload&& payload)
{
    if (fWindow == nullptr || fToken == 0)
        return;
    if (kit_private::ChangeStream* stream = _Stream())
        stream->Push(fToken, kit_private::ChangePayload(std::forward<Payload>(payload)));
}
