#include "QtKeys.h"

#include <InterfaceDefs.h>

namespace kit_private {

uint32 kit_modifiers(Qt::KeyboardModifiers modifiers)
{
    uint32 bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= B_SHIFT_KEY;
    if (modifiers & Qt::ControlModifier)
        bits |= B_COMMAND_KEY | B_CONTROL_KEY;
    if (modifiers & Qt::AltModifier)
        bits |= B_OPTION_KEY;
    if (modifiers & Qt::MetaModifier)
        bits |= B_MENU_KEY;
    return bits;
}

std::string kit_key_bytes(const QKeyEvent* event)
{
    int key = event->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return std::string(1, B_ENTER);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return std::string(1, B_TAB);
    case Qt::Key_Backspace:
        return std::string(1, B_BACKSPACE);
    case Qt::Key_Delete:
        return std::string(1, static_cast<char>(B_DELETE));
    case Qt::Key_Escape:
        return std::string(1, B_ESCAPE);
    case Qt::Key_Left:
        return std::string(1, B_LEFT_ARROW);
    case Qt::Key_Right:
        return std::string(1, B_RIGHT_ARROW);
    case Qt::Key_Up:
        return std::string(1, B_UP_ARROW);
    case Qt::Key_Down:
        return std::string(1, B_DOWN_ARROW);
    case Qt::Key_Home:
        return std::string(1, B_HOME);
    case Qt::Key_End:
        return std::string(1, B_END);
    case Qt::Key_PageUp:
        return std::string(1, B_PAGE_UP);
    case Qt::Key_PageDown:
        return std::string(1, B_PAGE_DOWN);
    case Qt::Key_Insert:
        return std::string(1, B_INSERT);
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return std::string(1, B_FUNCTION_KEY);
    bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) {
        // Ctrl turns the text into a control character; the kit wants the letter.
        char letter = static_cast<char>('a' + (key - Qt::Key_A));
        if (event->modifiers() & Qt::ShiftModifier)
            letter = static_cast<char>(letter - 'a' + 'A');
        return std::string(1, letter);
    }
    if (control && key >= Qt::Key_0 && key <= Qt::Key_9)
        return std::string(1, static_cast<char>('0' + (key - Qt::Key_0)));
    QByteArray text = event->text().toUtf8();
    if (text.isEmpty() || (text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x20))
        return {};
    return std::string(text.constData(), static_cast<size_t>(text.size()));
}

} // namespace kit_private
