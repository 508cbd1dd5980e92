#pragma once

// Constants shared by the views: key bytes, modifier bits, borders, orientation, alignment,
// and modifiers(), the state of the modifier keys.

#include <GraphicsDefs.h>
#include <SupportDefs.h>

// Bytes of special keys in B_KEY_DOWN's "byte" and "bytes" fields
enum
{
    B_BACKSPACE = 0x08,
    B_RETURN = 0x0a,
    B_ENTER = 0x0a,
    B_SPACE = 0x20,
    B_TAB = 0x09,
    B_ESCAPE = 0x1b,
    B_LEFT_ARROW = 0x1c,
    B_RIGHT_ARROW = 0x1d,
    B_UP_ARROW = 0x1e,
    B_DOWN_ARROW = 0x1f,
    B_INSERT = 0x05,
    B_DELETE = 0x7f,
    B_HOME = 0x01,
    B_END = 0x04,
    B_PAGE_UP = 0x0b,
    B_PAGE_DOWN = 0x0c,
    B_FUNCTION_KEY = 0x10,
};

// Modifier bits. B_COMMAND_KEY is the Ctrl key; Ctrl also sets B_CONTROL_KEY, so code that
// asks for either sees it. Alt is B_OPTION_KEY, the Super key B_MENU_KEY.
enum
{
    B_SHIFT_KEY = 0x00000001,
    B_COMMAND_KEY = 0x00000002,
    B_CONTROL_KEY = 0x00000004,
    B_CAPS_LOCK = 0x00000008,
    B_SCROLL_LOCK = 0x00000010,
    B_NUM_LOCK = 0x00000020,
    B_OPTION_KEY = 0x00000040,
    B_MENU_KEY = 0x00000080,
};

// Mouse buttons in "buttons"
enum
{
    B_PRIMARY_MOUSE_BUTTON = 0x01,
    B_SECONDARY_MOUSE_BUTTON = 0x02,
    B_TERTIARY_MOUSE_BUTTON = 0x04,
};

enum border_style
{
    B_PLAIN_BORDER,
    B_FANCY_BORDER,
    B_NO_BORDER,
};

enum orientation
{
    B_HORIZONTAL,
    B_VERTICAL,
};

enum alignment
{
    B_ALIGN_LEFT,
    B_ALIGN_RIGHT,
    B_ALIGN_CENTER,
};

// The thickness of a scroll bar, as the program lays its views out.
inline constexpr float B_V_SCROLL_BAR_WIDTH = 14.0f;
inline constexpr float B_H_SCROLL_BAR_HEIGHT = 14.0f;

// The default panel background (view colour of windows' views, boxes and controls).
inline constexpr rgb_color B_PANEL_BACKGROUND = {216, 216, 216, 255};

// The modifier keys held. On a window's thread, while it handles an input message, the
// modifiers that message carried; elsewhere the latest the display server saw.
uint32 modifiers();

// How a dragged image is drawn.
enum drawing_mode
{
    B_OP_COPY,
    B_OP_OVER,
    B_OP_ALPHA,
    B_OP_BLEND,
};

// Pixel formats of bitmaps.
enum color_space
{
    B_NO_COLOR_SPACE = 0,
    B_CMAP8 = 0x0004,
    B_RGB32 = 0x0008,
    B_RGBA32 = 0x2008,
};
