// QtWindow: turning native input into posted messages (see QtWindow.h).

#include "QtWindowNode.h"

#include "QtDisplay.h"
#include "QtKeys.h"
#include "TextControlWidget.h"

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <ViewMessages.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <cstring>

namespace kit_private {

namespace {

// A colour from a drag: Qt's own colour data, or the X11 form (four 16-bit channels).
bool DroppedColor(const QMimeData* data, rgb_color* color)
{
    if (data == nullptr)
        return false;
    if (data->hasColor()) {
        QColor qcolor = qvariant_cast<QColor>(data->colorData());
        if (qcolor.isValid()) {
            *color = {static_cast<uint8>(qcolor.red()), static_cast<uint8>(qcolor.green()),
                      static_cast<uint8>(qcolor.blue()), static_cast<uint8>(qcolor.alpha())};
            return true;
        }
    }
    QByteArray raw = data->data(QStringLiteral("application/x-color"));
    if (raw.size() < 8)
        return false;
    uint16 channels[4];
    memcpy(channels, raw.constData(), sizeof(channels));
    *color = {static_cast<uint8>(channels[0] >> 8), static_cast<uint8>(channels[1] >> 8),
              static_cast<uint8>(channels[2] >> 8), static_cast<uint8>(channels[3] >> 8)};
    return true;
}

} // namespace

void QtWindow::_Watch(Node& node, QWidget* widget)
{
    if (widget != nullptr)
        widget->installEventFilter(this);
    (void)node;
}

bool QtWindow::_IsWithheld(const Node& node, uint32 byte, uint32 modifiers) const
{
    // Only Ctrl, Alt and Super decide; Shift is part of the character.
    const uint32 mask = B_COMMAND_KEY | B_OPTION_KEY | B_MENU_KEY;
    if (byte == B_ENTER)
        return true;
    for (const FilteredKey& key : node.filteredKeys) {
        if (key.byte == byte && (key.modifiers & mask) == (modifiers & mask))
            return true;
    }
    if ((modifiers & B_COMMAND_KEY) != 0) {
        for (const FilteredKey& key : fShortcuts) {
            if (std::tolower(static_cast<int>(key.byte)) == std::tolower(static_cast<int>(byte)))
                return true;
        }
    }
    return false;
}

bool QtWindow::_EditorKey(Node& node, QKeyEvent* event)
{
    if (!node.releasing && (node.unanswered > 0 || !node.heldKeys.empty())) {
        node.heldKeys.emplace_back(static_cast<QKeyEvent*>(event->clone()));
        return true;
    }
    std::string bytes = kit_key_bytes(event);
    if (bytes.empty())
        return false;
    uint32 modifiers = kit_modifiers(event->modifiers());
    if (_IsWithheld(node, static_cast<unsigned char>(bytes[0]), modifiers)) {
        // The window may change the text (Enter empties it); what is typed next waits for it.
        set_modifiers_snapshot(modifiers);
        BMessage key = make_key_down(bytes.c_str(), modifiers, 0, false);
        key.AddInt32(kFieldAnswer, node.token);
        if (Post(node.token, key) == B_OK)
            node.unanswered++;
        return true;
    }
    // The editor acts on it; the filters still see it, marked as already applied.
    PostKey(node.token, bytes, modifiers, true);
    return false;
}

void QtWindow::_ReleaseHeldKeys(int32 token)
{
    QTimer::singleShot(0, this, [this, token] {
        // Looked up again for every key: one may close the window's views.
        for (;;) {
            Node* node = _Find(token);
            if (node == nullptr || node->releasing)
                return;
            auto* editor = qobject_cast<EditorLineEdit*>(node->widget.data());
            if (editor == nullptr) {
                node->heldKeys.clear();
                return;
            }
            if (node->unanswered > 0 || node->heldKeys.empty())
                return;
            std::unique_ptr<QKeyEvent> key = std::move(node->heldKeys.front());
            node->heldKeys.pop_front();
            node->releasing = true;
            QCoreApplication::sendEvent(editor, key.get());
            if (Node* after = _Find(token))
                after->releasing = false;
        }
    });
}

void QtWindow::_PostEdit(Node& node)
{
    auto* editor = qobject_cast<EditorLineEdit*>(node.widget.data());
    if (editor == nullptr || editor->Applying())
        return;
    int cursor = editor->cursorPosition();
    int anchor = editor->selectionStart() >= 0 ? editor->selectionStart() : cursor;
    int length =
        editor->selectionStart() >= 0 ? static_cast<int>(editor->selectedText().size()) : 0;
    int start = anchor;
    int end = anchor + length;
    if (length == 0)
        start = end = cursor;
    std::string text = editor->Utf8Text();
    int32 from = editor->ByteOffset(start);
    int32 to = editor->ByteOffset(end);
    // The editor reports one keystroke as a cursor move and a text change: post it once.
    std::string edit = text + '\0' + std::to_string(from) + ':' + std::to_string(to) + ':' +
                       std::to_string(node.textVersion);
    if (edit == node.lastEdit)
        return;
    node.lastEdit = edit;
    BMessage message(kMsgTextEdited);
    message.AddString(kFieldText, text.c_str());
    message.AddInt32(kFieldSelectionStart, from);
    message.AddInt32(kFieldSelectionEnd, to);
    message.AddInt64(kFieldBase, node.textVersion);
    Post(node.token, message);
}

bool QtWindow::_HandleMouse(int32 token, QWidget* widget, QMouseEvent* event, int32 clicks)
{
    uint32 what;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        what = B_MOUSE_DOWN;
        break;
    case QEvent::MouseButtonRelease:
        what = B_MOUSE_UP;
        break;
    case QEvent::MouseMove:
        what = B_MOUSE_MOVED;
        break;
    default:
        return false;
    }
    if (what == B_MOUSE_DOWN && clicks <= 0)
        clicks = event->type() == QEvent::MouseButtonDblClick ? 2 : 1;
    BPoint where = ViewPoint(token, widget, event->position().toPoint());
    PostMouse(token, what, where, event->globalPosition().toPoint(), event->buttons(),
              event->modifiers(), clicks);
    return true;
}

bool QtWindow::_HandleDrop(int32 token, QWidget*, QEvent* event)
{
    rgb_color color;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedColor(drag->mimeData(), &color)) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!DroppedColor(drop->mimeData(), &color))
            return false;
        // As colour pickers send it: the colour in "RGBColor", type 'RGBC'.
        BMessage message(B_PASTE);
        message.AddData("RGBColor", B_RGB_COLOR_TYPE, &color, sizeof(color));
        // The caller gives the event with its position on the screen.
        QPoint global = drop->position().toPoint();
        message.SetDropped(BPoint(global.x(), global.y()));
        Post(token, message);
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto found = fTokens.find(watched);
    if (found == fTokens.end())
        return false;
    int32 token = found->second;
    Node* node = _Find(token);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (node == nullptr || widget == nullptr)
        return false;

    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (event->type() == QEvent::Drop) {
            // Drop points go to the view in screen coordinates.
            auto* drop = static_cast<QDropEvent*>(event);
            QPoint global = widget->mapToGlobal(drop->position().toPoint());
            QDropEvent copy(QPointF(global), drop->possibleActions(), drop->mimeData(),
                            drop->buttons(), drop->modifiers());
            bool handled = _HandleDrop(token, widget, &copy);
            if (handled)
                drop->acceptProposedAction();
            return handled;
        }
        return _HandleDrop(token, widget, event);
    default:
        break;
    }

    bool native = qobject_cast<QPushButton*>(widget) != nullptr ||
                  qobject_cast<QCheckBox*>(widget) != nullptr;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        // Native controls handle their own clicks; views get them as messages.
        if (native || node->kind == ViewKind::TextView || node->kind == ViewKind::ListView)
            return false;
        _HandleMouse(token, widget, static_cast<QMouseEvent*>(event), 0);
        return false;
    case QEvent::KeyPress: {
        if (node->kind == ViewKind::TextView || node->kind == ViewKind::ListView)
            return false; // their widgets post keys themselves
        auto* key = static_cast<QKeyEvent*>(event);
        if (native && key->key() == Qt::Key_Space)
            return false; // pressing a control with Space stays native
        std::string bytes = kit_key_bytes(key);
        if (bytes.empty())
            return false;
        PostKey(token, bytes, kit_modifiers(key->modifiers()), false);
        return true;
    }
    case QEvent::FocusIn:
        if (!fApplying && node->kind != ViewKind::TextView && node->kind != ViewKind::ListView &&
            widget->focusPolicy() != Qt::NoFocus)
            Post(token, BMessage(kMsgFocused));
        return false;
    default:
        return false;
    }
}

} // namespace kit_private
