#pragma once

// The GUI thread's mirror of one window: a top-level widget and one widget per view, built
// and changed only from the window's change stream (never from the models), and the source
// of the input messages posted back to the window.
//
// GUI thread only. Nothing here locks a window: input is posted through messengers, and
// pointer and scroll positions are written to the stream's snapshots.

#include <ChangeStream.h>
#include <ViewChange.h>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QMenu;
class QMouseEvent;
class QKeyEvent;

namespace kit_private {

class QtDisplay;
class QtWindow;

// The window's top-level widget: reports resizing, moving, activation, minimizing and the
// close box as messages.
class WindowWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WindowWidget(QtWindow* owner);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QtWindow* fOwner;
};

class QtWindow : public QObject
{
    Q_OBJECT

public:
    QtWindow(QtDisplay* display, std::shared_ptr<ChangeStream> stream);
    ~QtWindow() override;

    void Apply(std::vector<Change>& changes);
    bool HasQuit() const { return fQuit; }
    int32 LooperId() const { return fStream->LooperId(); }
    ChangeStream* Stream() const { return fStream.get(); }

    // What shows a view (for tests and drags): its widget, and the widget taking its input.
    QWidget* TopLevel() const;
    QWidget* Widget(const char* name) const;
    QWidget* InputWidget(const char* name) const;
    int32 TokenAt(QWidget* widget) const; // the view a widget (or its ancestor) shows; 0: none
    // A point of a widget in the coordinates of the view it shows.
    BPoint ViewPoint(int32 token, QWidget* widget, QPoint point) const;

    // Posting to the window
    status_t Post(int32 token, const BMessage& message);
    void PostMouse(int32 token, uint32 what, BPoint where, QPoint global, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers, int32 clicks);
    void PostKey(int32 token, const std::string& bytes, uint32 modifiers, bool native);
    // From the top-level widget
    void WindowResized(QSize size);
    void WindowMoved(QPoint where);
    void WindowActivated(bool active);
    void WindowMinimized(bool minimized);
    void CloseRequested();
    void KeyToFocus(QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Node;

    void _ApplyWindow(Change& change);
    void _ApplyView(Node& node, Change& change);
    void _Add(int32 token, const change::ViewAdd& add);
    void _Remove(int32 token);
    void _Place(Node& node);
    void _PlaceChildren(Node& node);
    void _ApplyText(Node& node, Change& change);
    void _ApplyList(Node& node, Change& change);
    void _Popup(change::MenuPopup& popup);
    void _UpdateShortcuts();
    bool _EditorKey(Node& node, QKeyEvent* event);
    bool _IsWithheld(const Node& node, uint32 byte, uint32 modifiers) const;
    void _PostEdit(Node& node);
    // Gives the editor the keys held while the window had not answered, once the changes
    // being applied are in place.
    void _ReleaseHeldKeys(int32 token);
    void _Watch(Node& node, QWidget* widget);
    bool _HandleMouse(int32 token, QWidget* widget, QMouseEvent* event, int32 clicks);
    bool _HandleDrop(int32 token, QWidget* widget, QEvent* event);
    uint32 _Style(Node& node, const StyleRun& run);
    Node* _Find(int32 token);
    const Node* _Find(const char* name) const;

    QtDisplay* fDisplay;
    std::shared_ptr<ChangeStream> fStream;
    QPointer<WindowWidget> fTop;
    std::unordered_map<int32, std::unique_ptr<Node>> fNodes;
    std::unordered_map<QObject*, int32> fTokens;
    std::vector<FilteredKey> fShortcuts;
    std::unordered_map<int32, MenuNode> fMenuTrees;
    bool fApplying = false;
    bool fQuit = false;
    BRect fFrame;
    int32 fFocus = 0;
};

} // namespace kit_private
