#pragma once

// The commands of a window's change stream: what the views (and the window) changed, in the
// order they changed it. The window thread appends them; the display server drains and
// applies them on the GUI thread. Each command carries everything it needs (copies), so the
// server never reads a model.
//
// Token 0 addresses the window; any other token is a view's handler token.

#include <Font.h>
#include <GraphicsDefs.h>
#include <Message.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TextPiece.h>

#include <future>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace kit_private {

enum class ViewKind : uint8
{
    View,
    StringView,
    TextView,
    TextControl,
    Button,
    CheckBox,
    Box,
    ScrollView,
    ScrollBar,
    ListView,
    MenuBar,
    MenuField,
    TabView,
    Dragger,
};

// One style run of a text command; offsets relative to the command's start.
struct StyleRun
{
    int32 offset;
    BFont font;
    rgb_color color;
};

// An image in 32-bit ARGB (premultiplied not), rows top to bottom.
struct Image
{
    int32 width = 0;
    int32 height = 0;
    std::vector<uint32> argb;
};

// A cursor: 16×16, one bit per pixel, with a mask and a hot spot.
struct CursorImage
{
    uint16 bits[16];
    uint16 mask[16];
    int32 hotX;
    int32 hotY;
};

// One menu item and, when it opens one, its submenu.
struct MenuNode
{
    int32 token = 0; // posted back when the item is chosen; 0 for separators
    std::string label;
    bool separator = false;
    bool enabled = true;
    bool marked = false;
    uint32 shortcut = 0;     // the shortcut character, 0 for none
    uint32 modifiers = 0;    // B_COMMAND_KEY and others held with it
    uint32 fontCode = 0;     // draw the label in this family and style; 0: the menu's font
    bool hasSubmenu = false; // items below are a submenu's
    bool radioMode = false;  // of the submenu
    std::vector<MenuNode> items;
};

struct ListRow
{
    std::string text;
    bool enabled = true;
    bool ownColors = false; // draw in textColor on the list, on selectionColor when selected
    rgb_color textColor = {0, 0, 0, 255};
    rgb_color selectionColor = {0, 0, 0, 255};
};

// A key the view's message filters may take; the server posts it without letting the native
// editor act on it. modifiers 0 matches the key with no Ctrl, Alt or Super held.
struct FilteredKey
{
    uint32 byte;
    uint32 modifiers;
};

// The answer to a popup menu: the chosen item's token, or 0 when nothing was chosen.
using PopupReply = std::promise<int32>;

namespace change {

// The window
struct WindowSetup
{
    std::string title;
    BRect frame;
    uint32 look;
    uint32 feel;
    uint32 flags;
    int32 looperId;
};
struct WindowTitle
{
    std::string title;
};
struct WindowFrame
{
    BRect frame;
};
struct WindowVisible
{
    bool shown;
};
struct WindowActivate
{
    bool active;
};
struct WindowMinimize
{
    bool minimized;
};
struct WindowFocus
{
    int32 token; // 0: no view has the focus
};
struct WindowQuit
{
};

// Any view
struct ViewAdd
{
    int32 parent; // 0: a top-level view of the window
    int32 before; // 0: after its siblings
    ViewKind kind;
    std::string name;
    BRect frame; // in the parent's coordinates
    uint32 flags;
    bool hidden;
};
struct ViewRemove
{
};
struct ViewFrame
{
    BRect frame;
};
struct ViewHidden
{
    bool hidden;
};
struct ViewColors
{
    rgb_color view;
    rgb_color low;
    rgb_color high;
};
struct ViewFont
{
    BFont font;
};
struct ViewCursor
{
    std::shared_ptr<const CursorImage> cursor; // nullptr: the system's
};
struct ViewBitmap
{
    std::shared_ptr<const Image> image; // nullptr: none
};
struct ViewDrag
{
    BMessage message;
    std::shared_ptr<const Image> image;
    BPoint offset; // where in the image the pointer holds it
};
struct ViewFilteredKeys
{
    std::vector<FilteredKey> keys;
};
struct ViewInvalidate
{
};

// Controls
struct ControlLabel
{
    std::string label;
};
struct ControlValue
{
    int32 value;
};
struct ControlEnabled
{
    bool enabled;
};
struct ControlDefault
{
    bool isDefault;
};
struct ControlDivider
{
    float divider;
};
struct BoxBorder
{
    int32 style;
};
struct ScrollBarState
{
    float min;
    float max;
    float value;
    float proportion;
    int32 orientation;
};
// A scroll view's parts, so the server can give the target its own scroll bars.
struct ScrollViewParts
{
    int32 target;
    int32 horizontal; // 0: none
    int32 vertical;
};

// A key the editor left to the window has been handled: every change it made came before.
struct KeyAnswered
{
};

// Text views (offsets in bytes). version counts the model's own changes of the text; an
// edit made in a native editor names the version it saw, and is dropped if the model has
// changed the text since.
struct TextSet
{
    std::string text;
    std::vector<StyleRun> runs;
    int64 version;
};
struct TextInsert
{
    int32 offset;
    TextPiece text;
    std::vector<StyleRun> runs;
    int64 version;
};
struct TextDelete
{
    int32 start;
    int32 end;
    int64 version;
};
struct TextRestyle
{
    int32 start;
    int32 end;
    std::vector<StyleRun> runs;
};
struct TextLink
{
    int32 start;
    int32 end;
    int32 index;
    rgb_color color;
};
struct TextLinksClear
{
};
struct TextMode
{
    bool editable;
    bool selectable;
    bool stylable;
    BRect textRect;                 // in the view's coordinates
    std::vector<uint32> disallowed; // characters (code points) the editor refuses, sorted
};
struct TextSelect
{
    int32 start;
    int32 end;
};
// userScrolls: how many times the user had scrolled the view, as far as the window knew
// when it asked; the server ignores a request the user has since scrolled away from.
struct TextScrollTo
{
    int32 offset;
    uint32 userScrolls;
};
enum class ScrollStep : int32
{
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    Home,
    End
};
struct TextScrollStep
{
    ScrollStep step;
};

// List views
struct ListRows
{
    std::vector<ListRow> rows;
    float rowHeight;
    bool multiple;
};
struct ListInsert
{
    int32 index;
    ListRow row;
};
struct ListRemove
{
    int32 index;
};
struct ListRowChanged
{
    int32 index;
    ListRow row;
};
struct ListSelection
{
    std::vector<int32> selected;
};
struct ListScrollTo
{
    int32 index;
};

// Menus (menu bars and menu fields carry their whole tree; trees are small)
struct MenuTree
{
    MenuNode root;
};
struct MenuPopup
{
    MenuNode root;
    BPoint where;      // screen coordinates
    BRect clickToOpen; // screen coordinates; invalid: none
    std::shared_ptr<PopupReply> reply;
};

// Tab views
struct Tabs
{
    std::vector<std::string> labels;
    int32 selected;
    float tabHeight;
};

} // namespace change

using ChangePayload = std::variant<
    change::WindowSetup, change::WindowTitle, change::WindowFrame, change::WindowVisible,
    change::WindowActivate, change::WindowMinimize, change::WindowFocus, change::WindowQuit,
    change::ViewAdd, change::ViewRemove, change::ViewFrame, change::ViewHidden, change::ViewColors,
    change::ViewFont, change::ViewCursor, change::ViewBitmap, change::ViewDrag,
    change::ViewFilteredKeys, change::ViewInvalidate, change::ControlLabel, change::ControlValue,
    change::ControlEnabled, change::ControlDefault, change::ControlDivider, change::BoxBorder,
    change::ScrollBarState, change::ScrollViewParts, change::TextSet, change::TextInsert,
    change::TextDelete, change::TextRestyle, change::TextLink, change::TextLinksClear,
    change::TextMode, change::TextSelect, change::TextScrollTo, change::TextScrollStep,
    change::KeyAnswered, change::ListRows, change::ListInsert, change::ListRemove,
    change::ListRowChanged, change::ListSelection, change::ListScrollTo, change::MenuTree,
    change::MenuPopup, change::Tabs>;

struct Change
{
    int32 token;
    ChangePayload payload;
};

} // namespace kit_private
