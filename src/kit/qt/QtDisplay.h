#pragma once

// The Qt display server: runs the application's event loop on the main thread, mirrors
// every window from its change stream (QtWindow), answers alerts and popup menus for the
// window threads that wait on them, and carries drags between views.
//
// Threads. CreateLink, ShowAlert and Beep are called on any thread; they only register a
// stream or queue work for the GUI thread. Everything else runs on the GUI thread, which
// never takes a window lock: it drains streams (their own small mutex) and posts messages.

#include <ChangeStream.h>
#include <WindowDisplayLink.h>

#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class QApplication;
class QWidget;

namespace kit_private {

class QtWindow;

class QtDisplay : public QObject, public WindowDisplayFactory
{
    Q_OBJECT

public:
    // Makes the QApplication when there is none (then owns it), installs Qt's fonts, the
    // picture reader and itself as the window display factory. On the main thread.
    QtDisplay(int& argc, char** argv);
    ~QtDisplay() override;

    // WindowDisplayFactory
    std::unique_ptr<WindowDisplayLink> CreateLink(BWindow* window) override;
    void RunMainLoop() override;
    void QuitMainLoop() override;
    bool ShowAlert(const alert_request& request, std::shared_ptr<AlertReply> reply) override;
    void Beep() override;

    // GUI thread
    // Applies everything pending in every stream now.
    void Flush();
    QtWindow* Mirror(const BWindow* window) const;
    QWidget* Widget(const BWindow* window, const char* view) const;
    QWidget* InputWidget(const BWindow* window, const char* view) const;
    QWidget* TopLevel(const BWindow* window) const;
    // Waits (handling GUI events meanwhile) until the window has handled everything posted
    // before; false when it is gone or does not answer within the time.
    bool Sync(BWindow* window, int timeoutMs = 20000);
    QMessageBox* ActiveAlert() const { return fAlert.data(); }
    QMenu* ActivePopup() const { return fPopup.data(); }
    int32 Beeps() const { return fBeeps.load(); }

    // For the mirrors
    void BeginDrag(QtWindow* source, int32 token, const BMessage& message, const QImage& image,
                   QPoint offset);
    bool Dragging() const { return fDrag != nullptr; }
    void PopupShown(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Drag;
    std::shared_ptr<ChangeStream> _Stream(int32 looperId) const;
    void _Drain(int32 looperId, bool keepWake = false);
    void _PacedDrain(int32 looperId, bool fromTimer);
    QtWindow* _MirrorAt(QPoint global, int32* token, QWidget** widget) const;
    void _DragMoved(QPoint global, Qt::MouseButtons buttons);
    void _Drop(QPoint global);
    void _EndDrag();

    std::unique_ptr<QApplication> fOwnedApplication;
    mutable std::mutex fLock;
    std::map<int32, std::weak_ptr<ChangeStream>> fStreams; // guarded by fLock
    std::map<int32, std::unique_ptr<QtWindow>> fMirrors;   // GUI thread
    std::set<int32> fPaced; // GUI thread: streams with a drain timer set, their wake kept
    std::atomic<bool> fQuitRequested{false};
    std::atomic<int32> fBeeps{0};
    QPointer<QMessageBox> fAlert;
    QPointer<QMenu> fPopup;
    std::unique_ptr<Drag> fDrag;
};

} // namespace kit_private
