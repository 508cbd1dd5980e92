#pragma once

// Codes of the messages the kit itself sends, and the fields they carry.

#include <SupportDefs.h>

enum
{
    // Loopers and the application
    B_QUIT_REQUESTED = '_QRQ',  // to a looper: QuitRequested(), then Quit() when it agrees
    B_READY_TO_RUN = '_RTR',    // first message an application handles
    B_ABOUT_REQUESTED = '_ABR', // the application's about box
    B_PULSE = '_PUL',           // a window's pulse (SetPulseRate)
    B_MESSAGE_NOT_UNDERSTOOD = '_MNU',
    B_NO_REPLY = '_NRP',
    B_REPLY = '_RPY',

    // Windows (posted by the display server, or by the window itself when changed
    // programmatically)
    B_WINDOW_ACTIVATED = '_ACT', // bool "active"
    B_WINDOW_RESIZED = '_WRS',   // float "width", "height"
    B_WINDOW_MOVED = '_WMV',     // point "where"
    B_MINIMIZE = '_WMN',         // bool "minimize"
    B_ZOOM = '_WZM',

    // Input, delivered to views by the view kit
    B_KEY_DOWN = '_KYD',
    B_KEY_UP = '_KYU',
    B_UNMAPPED_KEY_DOWN = '_UKD',
    B_UNMAPPED_KEY_UP = '_UKU',
    B_MODIFIERS_CHANGED = '_MCH',
    B_MOUSE_DOWN = '_MDN',
    B_MOUSE_UP = '_MUP',
    B_MOUSE_MOVED = '_MMV',
    B_MOUSE_WHEEL_CHANGED = '_MWC',
    B_VIEW_MOVED = '_VMV',
    B_VIEW_RESIZED = '_VRS',

    // Editing commands and drops
    B_SIMPLE_DATA = 'DATA',
    B_CUT = 'CCUT',
    B_COPY = 'COPY',
    B_PASTE = 'PSTE',
    B_SELECT_ALL = 'SALL',
    B_UNDO = 'UNDO',
};
