#include "QtDisplay.h"

#include "QtFontProvider.h"
#include "QtWindow.h"

#include <Alert.h>
#include <Bitmap.h>
#include <FontProvider.h>
#include <Messenger.h>
#include <Screen.h>
#include <TranslationUtils.h>
#include <View.h>
#include <ViewDisplayLink.h>
#include <ViewMessages.h>
#include <ViewPrivate.h>
#include <Window.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <future>

namespace kit_private {

namespace {

// How long a busy stream waits for its next drain (see _PacedDrain): a frame at 60 Hz.
constexpr int kPaceMs = 16;

std::unique_ptr<BBitmap> DecodeImage(const char* path)
{
    // QImage reads on any thread.
    QImage image;
    if (!image.load(QString::fromUtf8(path)))
        return nullptr;
    image = image.convertToFormat(QImage::Format_ARGB32);
    auto bitmap =
        std::make_unique<BBitmap>(BRect(0, 0, image.width() - 1, image.height() - 1), B_RGBA32);
    if (!bitmap->IsValid())
        return nullptr;
    auto* bits = static_cast<uint8*>(bitmap->Bits());
    for (int y = 0; y < image.height(); y++) {
        // ARGB32 in memory on a little-endian machine is B, G, R, A: the kit's order.
        memcpy(bits + y * bitmap->BytesPerRow(), image.constScanLine(y),
               static_cast<size_t>(image.width()) * 4);
    }
    return bitmap;
}

QMessageBox::Icon IconFor(alert_type type)
{
    switch (type) {
    case B_INFO_ALERT:
    case B_IDEA_ALERT:
        return QMessageBox::Information;
    case B_WARNING_ALERT:
        return QMessageBox::Warning;
    case B_STOP_ALERT:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

struct QtDisplay::Drag
{
    QPointer<QtWindow> source;
    BMessage message;
    QPoint offset;
};

QtDisplay::QtDisplay(int& argc, char** argv)
{
    if (QApplication::instance() == nullptr)
        fOwnedApplication = std::make_unique<QApplication>(argc, argv);
    qApp->installEventFilter(this);
    set_font_provider(std::make_shared<QtFontProvider>());
    set_image_decoder(DecodeImage);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        set_screen_frame(BRect(area.left(), area.top(), area.right(), area.bottom()));
    }
    set_window_display_factory(this);
}

QtDisplay::~QtDisplay()
{
    if (window_display_factory() == this)
        set_window_display_factory(nullptr);
    set_image_decoder(nullptr);
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
    fMirrors.clear();
}

std::unique_ptr<WindowDisplayLink> QtDisplay::CreateLink(BWindow* window)
{
    int32 id = looper_id_of(window);
    auto stream = std::make_shared<ChangeStream>(id);
    // Any thread: the GUI thread drains the stream as soon as it gets to it.
    stream->SetWakeHandler([this, id] {
        QMetaObject::invokeMethod(
            this, [this, id] { _PacedDrain(id, false); }, Qt::QueuedConnection);
    });
    {
        std::lock_guard<std::mutex> lock(fLock);
        fStreams[id] = stream;
    }
    return std::make_unique<ViewDisplayLink>(window, stream);
}

std::shared_ptr<ChangeStream> QtDisplay::_Stream(int32 looperId) const
{
    std::lock_guard<std::mutex> lock(fLock);
    auto found = fStreams.find(looperId);
    return found != fStreams.end() ? found->second.lock() : nullptr;
}

// A stream that had something is drained again kPaceMs later with its wake kept, and so on
// while changes keep coming: a window under a flood then costs the GUI one drain a frame
// (each followed by one layout of its views, which for a list of thousands walks every row,
// and one paint) instead of a wake, a drain and a paint for every few lines. The first change
// after a quiet spell still wakes the GUI at once, and other windows are not held back.
void QtDisplay::_PacedDrain(int32 looperId, bool fromTimer)
{
    if (fromTimer) {
        fPaced.erase(looperId);
    } else if (fPaced.count(looperId) != 0) {
        // Woken while a timer is set (a flush gave the wake back): the timer goes on.
        _Drain(looperId, true);
        return;
    }
    std::shared_ptr<ChangeStream> stream = _Stream(looperId);
    if (!stream) {
        _Drain(looperId);
        return;
    }
    if (!stream->HasPending() && stream->ReleaseWake())
        return;
    _Drain(looperId, true);
    // Always set while the stream lives: the wake is kept, and only this drain gives it back.
    fPaced.insert(looperId);
    QTimer::singleShot(kPaceMs, this, [this, looperId] { _PacedDrain(looperId, true); });
}

void QtDisplay::_Drain(int32 looperId, bool keepWake)
{
    std::shared_ptr<ChangeStream> stream = _Stream(looperId);
    auto mirror = fMirrors.find(looperId);
    if (!stream) {
        if (mirror != fMirrors.end() && mirror->second->HasQuit())
            fMirrors.erase(mirror);
        return;
    }
    std::vector<Change> changes = stream->Drain(keepWake);
    if (changes.empty())
        return;
    if (mirror == fMirrors.end())
        mirror = fMirrors.emplace(looperId, std::make_unique<QtWindow>(this, stream)).first;
    mirror->second->Apply(changes);
    if (mirror->second->HasQuit()) {
        fMirrors.erase(mirror);
        fPaced.erase(looperId);
        std::lock_guard<std::mutex> lock(fLock);
        fStreams.erase(looperId);
    }
}

void QtDisplay::Flush()
{
    std::vector<int32> ids;
    {
        std::lock_guard<std::mutex> lock(fLock);
        for (const auto& [id, stream] : fStreams)
            ids.push_back(id);
    }
    for (int32 id : ids)
        _Drain(id);
}

void QtDisplay::RunMainLoop()
{
    if (fQuitRequested.load())
        return;
    QApplication::exec();
}

void QtDisplay::QuitMainLoop()
{
    fQuitRequested.store(true);
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void QtDisplay::Beep()
{
    fBeeps++;
    QMetaObject::invokeMethod(
        this, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

bool QtDisplay::ShowAlert(const alert_request& request, std::shared_ptr<AlertReply> reply)
{
    QMetaObject::invokeMethod(
        this,
        [this, request, reply] {
            auto* box =
                new QMessageBox(IconFor(request.type), QString::fromStdString(request.title),
                                QString::fromStdString(request.text));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::ApplicationModal);
            std::vector<QAbstractButton*> buttons;
            for (const std::string& label : request.buttons)
                buttons.push_back(
                    box->addButton(QString::fromStdString(label), QMessageBox::ActionRole));
            if (!buttons.empty())
                box->setDefaultButton(static_cast<QPushButton*>(buttons.back()));
            QObject::connect(box, &QMessageBox::buttonClicked, box,
                             [reply, buttons](QAbstractButton* clicked) {
                                 for (size_t i = 0; i < buttons.size(); i++) {
                                     if (buttons[i] == clicked)
                                         reply->Answer(static_cast<int32>(i));
                                 }
                             });
            // Closed without a button (Escape, the close box): the first button.
            QObject::connect(box, &QDialog::finished, box, [reply] { reply->Answer(0); });
            fAlert = box;
            box->open(); // returns at once: the GUI keeps running
        },
        Qt::QueuedConnection);
    return true;
}

QtWindow* QtDisplay::Mirror(const BWindow* window) const
{
    auto found = fMirrors.find(looper_id_of(window));
    return found == fMirrors.end() ? nullptr : found->second.get();
}

QWidget* QtDisplay::Widget(const BWindow* window, const char* view) const
{
    QtWindow* mirror = Mirror(window);
    return mirror != nullptr ? mirror->Widget(view) : nullptr;
}

QWidget* QtDisplay::InputWidget(const BWindow* window, const char* view) const
{
    QtWindow* mirror = Mirror(window);
    return mirror != nullptr ? mirror->InputWidget(view) : nullptr;
}

QWidget* QtDisplay::TopLevel(const BWindow* window) const
{
    QtWindow* mirror = Mirror(window);
    return mirror != nullptr ? mirror->TopLevel() : nullptr;
}

bool QtDisplay::Sync(BWindow* window, int timeoutMs)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> answer = done->get_future();
    BMessage message(kMsgSync);
    message.AddPointer(kFieldReply, done.get());
    if (BMessenger(nullptr, window).SendMessage(&message) != B_OK)
        return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (answer.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (std::chrono::steady_clock::now() > deadline) {
            // The promise must outlive a late answer.
            static std::vector<std::shared_ptr<std::promise<void>>> abandoned;
            abandoned.push_back(done);
            return false;
        }
    }
    QCoreApplication::processEvents();
    Flush();
    QCoreApplication::processEvents();
    return true;
}

void QtDisplay::PopupShown(QMenu* menu)
{
    fPopup = menu;
}

// Drags between views

QtWindow* QtDisplay::_MirrorAt(QPoint global, int32* token, QWidget** widget) const
{
    QWidget* under = QApplication::widgetAt(global);
    if (under == nullptr)
        return nullptr;
    for (const auto& [id, mirror] : fMirrors) {
        int32 found = mirror->TokenAt(under);
        if (found != 0) {
            *token = found;
            *widget = under;
            return mirror.get();
        }
    }
    return nullptr;
}

void QtDisplay::BeginDrag(QtWindow* source, int32, const BMessage& message, const QImage& image,
                          QPoint offset)
{
    fDrag = std::make_unique<Drag>();
    fDrag->source = source;
    fDrag->message = message;
    fDrag->offset = offset;
    if (!image.isNull())
        QGuiApplication::setOverrideCursor(
            QCursor(QPixmap::fromImage(image), offset.x(), offset.y()));
    else
        QGuiApplication::setOverrideCursor(Qt::DragMoveCursor);
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        _Drop(QCursor::pos()); // released before the drag began: it drops where it is
}

void QtDisplay::_DragMoved(QPoint global, Qt::MouseButtons buttons)
{
    int32 token = 0;
    QWidget* widget = nullptr;
    QtWindow* mirror = _MirrorAt(global, &token, &widget);
    if (mirror == nullptr)
        return;
    BPoint where = mirror->ViewPoint(token, widget, widget->mapFromGlobal(global));
    if (mirror->Stream()->mouseMovedPending.exchange(true))
        return;
    uint32 kitButtons = (buttons & Qt::LeftButton) ? B_PRIMARY_MOUSE_BUTTON : 0;
    BMessage moved =
        make_mouse(B_MOUSE_MOVED, where, BPoint(global.x(), global.y()), kitButtons, 0, 0);
    moved.AddInt32(kFieldTransit, B_INSIDE_VIEW);
    moved.AddMessage(kFieldDragMessage, &fDrag->message);
    mirror->Post(token, moved);
}

void QtDisplay::_Drop(QPoint global)
{
    int32 token = 0;
    QWidget* widget = nullptr;
    QtWindow* mirror = _MirrorAt(global, &token, &widget);
    if (mirror != nullptr) {
        BMessage dropped = fDrag->message;
        dropped.SetDropped(BPoint(global.x(), global.y()),
                           BPoint(fDrag->offset.x(), fDrag->offset.y()));
        mirror->Post(token, dropped);
    }
    _EndDrag();
}

void QtDisplay::_EndDrag()
{
    if (fDrag == nullptr)
        return;
    fDrag.reset();
    QGuiApplication::restoreOverrideCursor();
}

bool QtDisplay::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        // Normally seen first at the native window; events sent straight to a widget
        // (as tests do) are seen there.
        auto* mouse = static_cast<QMouseEvent*>(event);
        QPoint global = mouse->globalPosition().toPoint();
        if (watched->isWindowType() || fDrag == nullptr) {
            for (const auto& [id, mirror] : fMirrors) {
                QWidget* top = mirror->TopLevel();
                if (top == nullptr)
                    continue;
                bool ours = watched->isWindowType()
                                ? static_cast<QObject*>(top->windowHandle()) == watched
                                : (watched->isWidgetType() &&
                                   static_cast<QWidget*>(watched)->window() == top);
                if (!ours)
                    continue;
                MouseSnapshot snapshot;
                QPoint local = top->mapFromGlobal(global);
                snapshot.where = BPoint(local.x(), local.y());
                snapshot.screen = BPoint(global.x(), global.y());
                if (mouse->buttons() & Qt::LeftButton)
                    snapshot.buttons |= B_PRIMARY_MOUSE_BUTTON;
                if (mouse->buttons() & Qt::RightButton)
                    snapshot.buttons |= B_SECONDARY_MOUSE_BUTTON;
                if (mouse->buttons() & Qt::MiddleButton)
                    snapshot.buttons |= B_TERTIARY_MOUSE_BUTTON;
                mirror->Stream()->SetMouse(snapshot);
            }
        }
        if (!watched->isWindowType() && !watched->isWidgetType())
            return false;
        if (fDrag != nullptr) {
            if (event->type() == QEvent::MouseMove)
                _DragMoved(global, mouse->buttons());
            else if (event->type() == QEvent::MouseButtonRelease)
                _Drop(global);
            return true; // a drag owns the pointer
        }
        return false;
    }
    case QEvent::KeyPress:
        if (fDrag != nullptr && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            _EndDrag();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace kit_private
