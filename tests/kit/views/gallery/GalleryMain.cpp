// The gallery program: shows the gallery window in the Qt display server.
//   kit_gallery                      until the window is closed
//   kit_gallery --shot file.png      saves a picture of the screen once drawn, then quits
//   --platform NAME                  fails unless Qt runs on that platform (xcb, offscreen)

#include "GalleryWindow.h"

#include <QtDisplay.h>
#include <QtWindow.h>

#include <Messenger.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const char* shot = nullptr;
    const char* platform = nullptr;
    for (int i = 1; i + 1 < argc; i++) {
        if (strcmp(argv[i], "--shot") == 0)
            shot = argv[i + 1];
        if (strcmp(argv[i], "--platform") == 0)
            platform = argv[i + 1];
    }
    kit_private::QtDisplay display(argc, argv);
    fprintf(stderr, "platform: %s\n", qPrintable(QGuiApplication::platformName()));
    if (platform != nullptr && QGuiApplication::platformName() != QLatin1String(platform)) {
        fprintf(stderr, "expected the %s platform\n", platform);
        return 1;
    }
    auto* window = new gallery::GalleryWindow();
    BMessenger messenger(nullptr, window);
    window->Show();

    // Closing the window quits the window; the program follows it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&messenger] {
        if (!messenger.IsValid())
            QApplication::quit();
    });
    watch.start(200);

    int status = 0;
    if (shot != nullptr) {
        QTimer::singleShot(1500, [&] {
            display.Sync(window);
            QWidget* top = display.TopLevel(window);
            QPixmap picture;
            if (QScreen* screen = QGuiApplication::primaryScreen();
                screen != nullptr && top != nullptr)
                picture = screen->grabWindow(0, top->x(), top->y(), top->width(), top->height());
            if (picture.isNull() || !picture.save(QString::fromUtf8(shot))) {
                fprintf(stderr, "could not save %s\n", shot);
                status = 1;
            }
            QApplication::quit();
        });
    }
    QApplication::exec();
    if (messenger.LockTarget()) {
        BLooper* looper = nullptr;
        messenger.Target(&looper);
        looper->Quit();
    }
    display.Flush();
    return status;
}
