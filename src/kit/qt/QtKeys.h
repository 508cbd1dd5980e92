#pragma once

// How Qt's keys become the kit's: the key's bytes ("byte"/"bytes") and modifier bits.

#include <SupportDefs.h>

#include <QKeyEvent>

#include <string>

namespace kit_private {

// The modifier bits of a Qt modifier state: Ctrl is B_COMMAND_KEY | B_CONTROL_KEY, Alt
// B_OPTION_KEY, Super B_MENU_KEY, Shift B_SHIFT_KEY.
uint32 kit_modifiers(Qt::KeyboardModifiers modifiers);

// The bytes a key press stands for: a special key byte, the letter for Ctrl+letter (as
// "b" for Ctrl+B), or the typed text. Empty for keys the kit does not know (Shift alone).
std::string kit_key_bytes(const QKeyEvent* event);

} // namespace kit_private
