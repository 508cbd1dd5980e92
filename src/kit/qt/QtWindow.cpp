// QtWindow: the mirror's tree, placement, window changes and posting (see QtWindow.h).
// View changes are in QtWindowApply.cpp, input in QtWindowInput.cpp.

#include "QtWindowNode.h"

#include "ListWidget.h"
#include "MenuFieldWidget.h"
#include "PanelWidget.h"
#include "QtDisplay.h"
#include "QtKeys.h"
#include "QtMenus.h"
#include "ScrollbackWidget.h"
#include "TextControlWidget.h"

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <View.h>
#include <ViewMessages.h>
#include <Window.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

namespace kit_private {

namespace {

template <typename... F> struct Overloaded : F...
{
    using F::operator()...;
};
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

QRect QtRect(BRect frame)
{
    int left = static_cast<int>(std::lround(frame.left));
    int top = static_cast<int>(std::lround(frame.top));
    int right = static_cast<int>(std::lround(frame.right));
    int bottom = static_cast<int>(std::lround(frame.bottom));
    return QRect(left, top, std::max(0, right - left + 1), std::max(0, bottom - top + 1));
}

float BorderSize(int32 style)
{
    return style == B_FANCY_BORDER ? 2 : style == B_PLAIN_BORDER ? 1 : 0;
}

bool IsFloating(uint32 feel)
{
    return feel == B_FLOATING_APP_WINDOW_FEEL || feel == B_FLOATING_SUBSET_WINDOW_FEEL ||
           feel == B_FLOATING_ALL_WINDOW_FEEL;
}

Qt::WindowFlags FlagsFor(uint32 look, uint32 feel, uint32 flags)
{
    Qt::WindowFlags result = Qt::Window;
    switch (look) {
    case B_NO_BORDER_WINDOW_LOOK:
        result = Qt::Window | Qt::FramelessWindowHint;
        break;
    case B_MODAL_WINDOW_LOOK:
        result = Qt::Dialog;
        break;
    case B_FLOATING_WINDOW_LOOK:
        result = Qt::Tool;
        break;
    default:
        break;
    }
    if (IsFloating(feel)) {
        // Our windows have no Qt parent to float over, so they float over everything.
        result = (result & ~Qt::WindowType_Mask) | Qt::Tool | Qt::WindowStaysOnTopHint;
    }
    if (look != B_NO_BORDER_WINDOW_LOOK) {
        result |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (!(flags & B_NOT_CLOSABLE))
            result |= Qt::WindowCloseButtonHint;
        if (!(flags & B_NOT_MINIMIZABLE))
            result |= Qt::WindowMinimizeButtonHint;
        if (!(flags & (B_NOT_ZOOMABLE | B_NOT_RESIZABLE)))
            result |= Qt::WindowMaximizeButtonHint;
    }
    if (flags & B_AVOID_FOCUS)
        result |= Qt::WindowDoesNotAcceptFocus;
    return result;
}

} // namespace

// The top-level widget

WindowWidget::WindowWidget(QtWindow* owner) : QWidget(nullptr), fOwner(owner)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
}

void WindowWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fOwner->WindowResized(size());
}

void WindowWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    fOwner->WindowMoved(geometry().topLeft());
}

void WindowWidget::closeEvent(QCloseEvent* event)
{
    // The window decides (QuitRequested); it closes this widget when it quits.
    event->ignore();
    fOwner->CloseRequested();
}

void WindowWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        fOwner->WindowActivated(isActiveWindow());
    else if (event->type() == QEvent::WindowStateChange)
        fOwner->WindowMinimized(isMinimized());
}

void WindowWidget::keyPressEvent(QKeyEvent* event)
{
    fOwner->KeyToFocus(event);
    event->accept();
}

// The mirror

QtWindow::QtWindow(QtDisplay* display, std::shared_ptr<ChangeStream> stream)
    : fDisplay(display), fStream(std::move(stream)), fTop(new WindowWidget(this))
{
}

QtWindow::~QtWindow()
{
    if (fTop)
        delete fTop.data();
}

QWidget* QtWindow::TopLevel() const
{
    return fTop.data();
}

QtWindow::Node* QtWindow::_Find(int32 token)
{
    auto found = fNodes.find(token);
    return found == fNodes.end() ? nullptr : found->second.get();
}

const QtWindow::Node* QtWindow::_Find(const char* name) const
{
    for (const auto& [token, node] : fNodes) {
        if (node->name == name)
            return node.get();
    }
    return nullptr;
}

QWidget* QtWindow::Widget(const char* name) const
{
    const Node* node = _Find(name);
    return node != nullptr ? node->widget.data() : nullptr;
}

QWidget* QtWindow::InputWidget(const char* name) const
{
    const Node* node = _Find(name);
    return node != nullptr ? node->input.data() : nullptr;
}

int32 QtWindow::TokenAt(QWidget* widget) const
{
    for (QObject* at = widget; at != nullptr; at = at->parent()) {
        auto found = fTokens.find(at);
        if (found != fTokens.end())
            return found->second;
    }
    return 0;
}

BPoint QtWindow::ViewPoint(int32 token, QWidget* widget, QPoint point) const
{
    auto found = fNodes.find(token);
    if (found == fNodes.end() || !found->second->widget)
        return BPoint(point.x(), point.y());
    const Node& node = *found->second;
    QPoint local = widget->mapTo(node.widget->window(), point);
    local = node.widget->mapFrom(node.widget->window(), local);
    if (auto* list = qobject_cast<ListWidget*>(node.widget.data()))
        local = list->ContentPoint(list->viewport()->mapFrom(list, local));
    return BPoint(local.x(), local.y());
}

// Applying

void QtWindow::Apply(std::vector<Change>& changes)
{
    fApplying = true;
    for (Change& change : changes) {
        if (change.token == 0) {
            _ApplyWindow(change);
            continue;
        }
        if (auto* add = std::get_if<change::ViewAdd>(&change.payload)) {
            _Add(change.token, *add);
            continue;
        }
        Node* node = _Find(change.token);
        if (node == nullptr)
            continue; // a view removed meanwhile
        if (std::holds_alternative<change::ViewRemove>(change.payload)) {
            _Remove(change.token);
            continue;
        }
        _ApplyView(*node, change);
    }
    fApplying = false;
}

void QtWindow::_ApplyWindow(Change& item)
{
    std::visit(Overloaded{
                   [&](change::WindowSetup& setup) {
                       bool visible = fTop->isVisible();
                       fTop->setWindowFlags(FlagsFor(setup.look, setup.feel, setup.flags));
                       // A floating window shown leaves the keyboard where it was.
                       fTop->setAttribute(Qt::WA_ShowWithoutActivating, IsFloating(setup.feel));
                       if (setup.feel == B_MODAL_APP_WINDOW_FEEL ||
                           setup.feel == B_MODAL_ALL_WINDOW_FEEL)
                           fTop->setWindowModality(Qt::ApplicationModal);
                       fTop->setWindowTitle(QString::fromStdString(setup.title));
                       fFrame = setup.frame;
                       fTop->setGeometry(QtRect(setup.frame));
                       if (setup.flags & B_NOT_RESIZABLE)
                           fTop->setFixedSize(fTop->size());
                       else if (setup.flags & B_NOT_H_RESIZABLE)
                           fTop->setFixedWidth(fTop->width());
                       else if (setup.flags & B_NOT_V_RESIZABLE)
                           fTop->setFixedHeight(fTop->height());
                       if (visible)
                           fTop->show();
                   },
                   [&](change::WindowTitle& title) {
                       fTop->setWindowTitle(QString::fromStdString(title.title));
                   },
                   [&](change::WindowFrame& frame) {
                       fFrame = frame.frame;
                       QRect rect = QtRect(frame.frame);
                       // What the user may not resize, the program still may.
                       if (fTop->minimumWidth() == fTop->maximumWidth())
                           fTop->setFixedWidth(rect.width());
                       if (fTop->minimumHeight() == fTop->maximumHeight())
                           fTop->setFixedHeight(rect.height());
                       fTop->setGeometry(rect);
                   },
                   [&](change::WindowVisible& visible) { fTop->setVisible(visible.shown); },
                   [&](change::WindowActivate& activate) {
                       if (activate.active && fTop->isVisible()) {
                           fTop->raise();
                           fTop->activateWindow();
                           // Without a window manager nothing keeps floating windows
                           // above the one just raised, so they are raised after it.
                           for (QWidget* top : QApplication::topLevelWidgets()) {
                               if (top != fTop && top->isVisible() &&
                                   top->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                                   top->raise();
                           }
                       }
                   },
                   [&](change::WindowMinimize& minimize) {
                       if (minimize.minimized)
                           fTop->showMinimized();
                       else if (fTop->isMinimized())
                           fTop->showNormal();
                   },
                   [&](change::WindowFocus& focus) {
                       fFocus = focus.token;
                       // The scroll area itself takes the focus, not its viewport.
                       Node* node = _Find(focus.token);
                       if (node != nullptr && node->widget)
                           node->widget->setFocus(Qt::OtherFocusReason);
                   },
                   [&](change::WindowQuit&) {
                       fQuit = true;
                       fTop->hide();
                   },
                   [&](change::MenuPopup& popup) { _Popup(popup); },
                   [&](auto&) {},
               },
               item.payload);
}

void QtWindow::_Add(int32 token, const change::ViewAdd& add)
{
    auto node = std::make_unique<Node>();
    node->token = token;
    node->parent = add.parent;
    node->kind = add.kind;
    node->name = add.name;
    node->frame = add.frame;
    node->hidden = add.hidden;
    Node* parent = _Find(add.parent);
    QWidget* parentWidget =
        parent != nullptr && parent->widget ? parent->widget.data() : fTop.data();

    QWidget* widget = nullptr;
    QWidget* input = nullptr;
    switch (add.kind) {
    case ViewKind::TextView:
        if (parent != nullptr && parent->kind == ViewKind::TextControl) {
            // The control's native editor stands for its text view.
            auto* editor = static_cast<TextControlWidget*>(parent->widget.data())->Editor();
            editor->onKey = [this, token](QKeyEvent* event) {
                Node* self = _Find(token);
                return self != nullptr && _EditorKey(*self, event);
            };
            editor->onFocus = [this, token] {
                if (!fApplying)
                    Post(token, BMessage(kMsgFocused));
            };
            QObject::connect(editor, &QLineEdit::textEdited, this, [this, token] {
                if (Node* self = _Find(token))
                    _PostEdit(*self);
            });
            QObject::connect(editor, &QLineEdit::cursorPositionChanged, this,
                             [this, token, editor] {
                                 Node* self = _Find(token);
                                 if (self != nullptr && !editor->Applying() && !fApplying)
                                     _PostEdit(*self);
                             });
            node->widget = editor;
            node->input = editor;
            fTokens[editor] = token;
            fNodes[token] = std::move(node);
            if (parent != nullptr)
                parent->children.push_back(token);
            return;
        }
        {
            auto* scrollback = new ScrollbackWidget(parentWidget);
            scrollback->setFrameShape(QFrame::NoFrame);
            scrollback->onLinkClicked = [this, token](int32 link) {
                BMessage message(kMsgLinkClicked);
                message.AddInt32(kFieldLink, link);
                Post(token, message);
            };
            scrollback->onKey = [this, token](QKeyEvent* event) {
                std::string bytes = kit_key_bytes(event);
                if (!bytes.empty())
                    PostKey(token, bytes, kit_modifiers(event->modifiers()), false);
            };
            scrollback->onMouse = [this, token, scrollback](QMouseEvent* event) {
                int32 clicks = event->type() == QEvent::MouseButtonDblClick ? 2 : 1;
                _HandleMouse(token, scrollback->viewport(), event, clicks);
            };
            scrollback->onFocus = [this, token] {
                if (!fApplying)
                    Post(token, BMessage(kMsgFocused));
            };
            scrollback->onUserScroll = [this, token](uint32_t count) {
                fStream->SetUserScrolls(token, count);
            };
            scrollback->onScrolled = [this, token](int32 value, int32 maximum) {
                Node* self = _Find(token);
                Node* scroll = self != nullptr ? _Find(self->parent) : nullptr;
                if (scroll != nullptr && scroll->parts.vertical != 0)
                    fStream->SetScroll(scroll->parts.vertical, static_cast<float>(value),
                                       static_cast<float>(maximum));
            };
            scrollback->viewport()->setAcceptDrops(true);
            widget = scrollback;
            input = scrollback->viewport();
        }
        break;
    case ViewKind::TextControl:
        widget = new TextControlWidget(parentWidget);
        break;
    case ViewKind::Button: {
        auto* button = new QPushButton(parentWidget);
        QObject::connect(button, &QPushButton::clicked, this,
                         [this, token] { Post(token, BMessage(kMsgControlInvoked)); });
        widget = button;
        break;
    }
    case ViewKind::CheckBox: {
        auto* box = new QCheckBox(parentWidget);
        QObject::connect(box, &QCheckBox::clicked, this, [this, token](bool checked) {
            BMessage message(kMsgControlInvoked);
            message.AddInt32(kFieldValue, checked ? 1 : 0);
            Post(token, message);
        });
        widget = box;
        break;
    }
    case ViewKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Vertical, parentWidget);
        QObject::connect(bar, &QScrollBar::actionTriggered, this, [this, token, bar](int) {
            // The action has not moved the slider yet; its target position has.
            BMessage message(kMsgScrollBarMoved);
            message.AddFloat(kFieldValue, static_cast<float>(bar->sliderPosition()));
            Post(token, message);
        });
        widget = bar;
        if (parent != nullptr && parent->kind == ViewKind::ScrollView) {
            Node* target = _Find(parent->parts.target);
            if (target != nullptr &&
                (target->kind == ViewKind::TextView || target->kind == ViewKind::ListView))
                node->absorbed = true;
        }
        break;
    }
    case ViewKind::ListView: {
        auto* list = new ListWidget(parentWidget);
        list->onMouse = [this, token, list](QMouseEvent* event, int32 clicks) {
            _HandleMouse(token, list->viewport(), event, clicks);
        };
        list->onKey = [this, token](QKeyEvent* event) {
            std::string bytes = kit_key_bytes(event);
            if (!bytes.empty())
                PostKey(token, bytes, kit_modifiers(event->modifiers()), false);
        };
        list->onFocus = [this, token] {
            if (!fApplying)
                Post(token, BMessage(kMsgFocused));
        };
        widget = list;
        input = list->viewport();
        break;
    }
    case ViewKind::MenuBar: {
        auto* bar = new QMenuBar(parentWidget);
        bar->setNativeMenuBar(false);
        widget = bar;
        break;
    }
    case ViewKind::MenuField:
        widget = new MenuFieldWidget(parentWidget);
        break;
    default: {
        auto* panel = new PanelWidget(add.kind, parentWidget);
        panel->setAcceptDrops(true);
        panel->setMouseTracking(true);
        if (add.kind == ViewKind::TabView) {
            QObject::connect(panel->TabBar(), &QTabBar::tabBarClicked, this,
                             [this, token](int index) {
                                 if (index < 0)
                                     return;
                                 BMessage message(kMsgTabSelected);
                                 message.AddInt32("index", index);
                                 Post(token, message);
                             });
        }
        widget = panel;
        break;
    }
    }
    node->widget = widget;
    node->input = input != nullptr ? input : widget;
    fTokens[widget] = token;
    if (input != nullptr)
        fTokens[input] = token;
    _Watch(*node, node->input);

    Node* raw = node.get();
    fNodes[token] = std::move(node);
    std::vector<int32>* siblings = parent != nullptr ? &parent->children : nullptr;
    if (siblings != nullptr) {
        auto before = std::find(siblings->begin(), siblings->end(), add.before);
        siblings->insert(add.before != 0 ? before : siblings->end(), token);
    }
    if (Node* before = _Find(add.before); before != nullptr && before->widget)
        widget->stackUnder(before->widget);
    _Place(*raw);
    widget->setVisible(!raw->hidden && !raw->absorbed);
}

void QtWindow::_Remove(int32 token)
{
    Node* node = _Find(token);
    if (node == nullptr)
        return;
    std::vector<int32> children = node->children;
    for (int32 child : children)
        _Remove(child);
    if (Node* parent = _Find(node->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), token), siblings.end());
    }
    QWidget* widget = node->widget.data();
    bool owned = widget != nullptr && !(node->kind == ViewKind::TextView &&
                                        qobject_cast<EditorLineEdit*>(widget) != nullptr);
    for (auto it = fTokens.begin(); it != fTokens.end();) {
        if (it->second == token)
            it = fTokens.erase(it);
        else
            ++it;
    }
    fNodes.erase(token);
    if (owned)
        delete widget;
}

void QtWindow::_Place(Node& node)
{
    if (!node.widget)
        return;
    Node* parent = _Find(node.parent);
    if (parent != nullptr && parent->kind == ViewKind::TextControl)
        return; // laid out by the control
    BRect frame = node.frame;
    if (parent != nullptr && parent->kind == ViewKind::ScrollView &&
        parent->parts.target == node.token &&
        (node.kind == ViewKind::TextView || node.kind == ViewKind::ListView)) {
        // The target's own scroll bars take the place of the scroll view's.
        float inset = BorderSize(parent->border);
        if (parent->parts.vertical != 0)
            frame.right = parent->frame.Width() - inset;
        if (parent->parts.horizontal != 0)
            frame.bottom = parent->frame.Height() - inset;
        if (auto* area = qobject_cast<QAbstractScrollArea*>(node.widget.data())) {
            area->setVerticalScrollBarPolicy(parent->parts.vertical != 0 ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
            if (node.kind == ViewKind::ListView)
                area->setHorizontalScrollBarPolicy(
                    parent->parts.horizontal != 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        }
    } else if (node.kind == ViewKind::TextView || node.kind == ViewKind::ListView) {
        // Outside a scroll view a text or list view has no scroll bars of its own.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(node.widget.data())) {
            area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
    }
    node.widget->setGeometry(QtRect(frame));
}

void QtWindow::_PlaceChildren(Node& node)
{
    for (int32 child : node.children) {
        if (Node* found = _Find(child))
            _Place(*found);
    }
}

// Posting

status_t QtWindow::Post(int32 token, const BMessage& message)
{
    return post_to(fStream->LooperId(), token, message);
}

void QtWindow::PostMouse(int32 token, uint32 what, BPoint where, QPoint global,
                         Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int32 clicks)
{
    uint32 kitButtons = 0;
    if (buttons & Qt::LeftButton)
        kitButtons |= B_PRIMARY_MOUSE_BUTTON;
    if (buttons & Qt::RightButton)
        kitButtons |= B_SECONDARY_MOUSE_BUTTON;
    if (buttons & Qt::MiddleButton)
        kitButtons |= B_TERTIARY_MOUSE_BUTTON;
    uint32 kitModifiers = kit_modifiers(modifiers);
    set_modifiers_snapshot(kitModifiers);
    if (what == B_MOUSE_MOVED && fStream->mouseMovedPending.exchange(true))
        return; // the window has not handled the last one yet
    BMessage message =
        make_mouse(what, where, BPoint(global.x(), global.y()), kitButtons, clicks, kitModifiers);
    if (what == B_MOUSE_MOVED)
        message.AddInt32(kFieldTransit, B_INSIDE_VIEW);
    Post(token, message);
}

void QtWindow::PostKey(int32 token, const std::string& bytes, uint32 modifiers, bool native)
{
    set_modifiers_snapshot(modifiers);
    Post(token, make_key_down(bytes.c_str(), modifiers, 0, native));
}

void QtWindow::WindowResized(QSize size)
{
    if (fApplying || fQuit)
        return;
    BMessage message(B_WINDOW_RESIZED);
    message.AddFloat("width", static_cast<float>(size.width() - 1));
    message.AddFloat("height", static_cast<float>(size.height() - 1));
    Post(-1, message);
}

void QtWindow::WindowMoved(QPoint where)
{
    if (fApplying || fQuit)
        return;
    BMessage message(B_WINDOW_MOVED);
    message.AddPoint("where", BPoint(where.x(), where.y()));
    Post(-1, message);
}

void QtWindow::WindowActivated(bool active)
{
    if (fQuit)
        return;
    // Switching between our own windows reports only the new one; the kit deactivates the
    // other itself.
    if (!active && QApplication::activeWindow() != nullptr)
        return;
    BMessage message(B_WINDOW_ACTIVATED);
    message.AddBool("active", active);
    Post(-1, message);
}

void QtWindow::WindowMinimized(bool minimized)
{
    if (fApplying || fQuit)
        return;
    BMessage message(B_MINIMIZE);
    message.AddBool("minimize", minimized);
    Post(-1, message);
}

void QtWindow::CloseRequested()
{
    if (!fQuit)
        Post(-1, BMessage(B_QUIT_REQUESTED));
}

void QtWindow::KeyToFocus(QKeyEvent* event)
{
    std::string bytes = kit_key_bytes(event);
    if (!bytes.empty())
        PostKey(fFocus != 0 ? fFocus : -2, bytes, kit_modifiers(event->modifiers()), false);
}

} // namespace kit_private
