#pragma once

// The messages the display servers post to windows and views, and helpers that build them,
// so the Qt server and the headless one deliver input exactly alike.
//
// Standard input: B_KEY_DOWN ("byte" int8, "bytes" string, "key" int32, "modifiers" int32,
// "when" int64, "be:native" bool when a native editor already applied the key, and
// "be:answer" int32, the view's token, when the editor left the key to the window and holds
// the keys after it until the window answers with change::KeyAnswered),
// B_MOUSE_DOWN/UP/MOVED ("where" point in the view, "screen_where", "buttons", "clicks",
// "modifiers", "be:transit" and "be:drag_message" for moves during a drag).

#include <Message.h>
#include <Point.h>
#include <SupportDefs.h>

namespace kit_private {

enum : uint32
{
    // To a button or check box: the user pressed it ("be:value" int32 for a check box).
    kMsgControlInvoked = '_CIV',
    // To a text view: the native editor changed the text ("be:text", "be:selection_start",
    // "be:selection_end", "be:base" int64: the model version the editor had seen).
    kMsgTextEdited = '_TXE',
    // To a view: it took the keyboard focus in the native toolkit.
    kMsgFocused = '_FCS',
    // To the window: a menu item was chosen ("be:item" int32 token).
    kMsgMenuChosen = '_MNC',
    // To a tab view: the user selected a tab ("index").
    kMsgTabSelected = '_TBS',
    // To a text view: a link was clicked ("be:link" int32: the link's number).
    kMsgLinkClicked = '_LKC',
    // To a scroll bar shown on its own: the user moved it ("be:value" float).
    kMsgScrollBarMoved = '_SBM',
    // To the window: a drag the view started ended without a drop on one of our views.
    kMsgDragEnded = '_DGE',
    // To the window: answered once every message posted before it has been handled
    // ("be:reply" pointer to a std::promise<void>).
    kMsgSync = '_SYN',
    // To the window, from itself: answer the key a view's editor left to it
    // ("be:answer" int32: the view's token).
    kMsgAnswerKey = '_ANS',
};

inline constexpr const char* kFieldNative = "be:native";
inline constexpr const char* kFieldAnswer = "be:answer";
inline constexpr const char* kFieldTransit = "be:transit";
inline constexpr const char* kFieldDragMessage = "be:drag_message";
inline constexpr const char* kFieldValue = "be:value";
inline constexpr const char* kFieldItem = "be:item";
inline constexpr const char* kFieldLink = "be:link";
inline constexpr const char* kFieldText = "be:text";
inline constexpr const char* kFieldSelectionStart = "be:selection_start";
inline constexpr const char* kFieldSelectionEnd = "be:selection_end";
inline constexpr const char* kFieldBase = "be:base";
inline constexpr const char* kFieldReply = "be:reply";

// A key press: bytes is the key's UTF-8 text (or a special key byte from InterfaceDefs.h).
BMessage make_key_down(const char* bytes, uint32 modifiers, int32 key = 0, bool native = false);
BMessage make_mouse(uint32 what, BPoint where, BPoint screenWhere, uint32 buttons, int32 clicks,
                    uint32 modifiers);

// Posts a copy to the view with that token in the looper with that id (token -1: the
// looper itself). B_BAD_PORT_ID when the window is gone.
status_t post_to(int32 looperId, int32 token, const BMessage& message);

// The latest modifiers the display server saw (modifiers() falls back to it).
void set_modifiers_snapshot(uint32 modifiers);

} // namespace kit_private
