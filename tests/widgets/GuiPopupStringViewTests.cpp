// A popup label under the Qt display server: a real click on the label shows a frameless
// window that stays above the others, framed in black, over the label, and hides again.
// Saves a picture of the popup in build/shots.

#include <PopupStringView.h>

#include <QtDisplay.h>

#include <Messenger.h>
#include <OS.h>
#include <Window.h>

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

extern kit_private::QtDisplay* gDisplay;

namespace {

constexpr rgb_color kPaper = {250, 240, 200, 255};

TEST(GuiPopupStringView, AClickOnTheLabelShowsItsTextAboveTheWindow)
{
    auto* window = new BWindow(BRect(100, 100, 499, 299), "Login Options", B_TITLED_WINDOW, 0);
    auto* label = new PopupStringView(POPUP_ON_VIEW, BRect(20, 30, 79, 45), "fStats",
                                      "Lag 0.2 s, 41 users, 3 operators, 12 voiced");
    label->SetViewColor(kPaper);
    label->SetLowColor(kPaper);
    label->SetHighColor(make_color(0, 0, 200));
    window->AddChild(label);
    BWindow* popupWindow = label->PopupWindow();
    window->Show();
    ASSERT_TRUE(gDisplay->Sync(window));
    gDisplay->Flush();

    QWidget* labelWidget = gDisplay->Widget(window, "fStats");
    ASSERT_NE(labelWidget, nullptr);
    QTest::mouseClick(labelWidget, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(gDisplay->Sync(window));
    ASSERT_TRUE(gDisplay->Sync(popupWindow));
    gDisplay->Flush();

    QWidget* popup = gDisplay->TopLevel(popupWindow);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    Qt::WindowFlags flags = popup->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(popup->geometry().topLeft(), labelWidget->mapToGlobal(QPoint(0, 0)) - QPoint(2, 2));
    EXPECT_GT(popup->width(), labelWidget->width()); // the whole text

    QImage shot = popup->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(shot.width() - 1, shot.height() - 1)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(250, 240, 200));
    QDir().mkpath(VELMOR_SHOTS_DIR);
    shot.save(QStringLiteral(VELMOR_SHOTS_DIR "/popup-string-view.png"));
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // On a real X server (without a window manager) the popup must still be on top
        // after the label's window was raised again: its frame is what the screen shows.
        QTest::qWait(100);
        gDisplay->Flush();
        const QRect at = popup->geometry();
        QImage screen = QGuiApplication::primaryScreen()
                            ->grabWindow(0, at.x(), at.y(), at.width(), at.height())
                            .toImage();
        EXPECT_EQ(QColor(screen.pixel(0, 0)), QColor(0, 0, 0));
        EXPECT_EQ(QColor(screen.pixel(1, 1)), QColor(250, 240, 200));
        screen.save(QStringLiteral(VELMOR_SHOTS_DIR "/popup-string-view-xcb.png"));
    }

    QElapsedTimer waited;
    waited.start();
    while (popup->isVisible() && waited.elapsed() < 10000) {
        QTest::qWait(50);
        gDisplay->Flush();
    }
    EXPECT_FALSE(popup->isVisible());
    EXPECT_GE(waited.elapsed(), 1000);

    BMessenger messenger(nullptr, window);
    if (messenger.LockTarget())
        window->Quit();
    gDisplay->Flush();
}

} // namespace
