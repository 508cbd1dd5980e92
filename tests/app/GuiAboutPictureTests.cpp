// The about picture kept in data/ as the Qt display server reads and shows it. Saves a
// picture of the shown window in build/shots.

#include <BitmapView.h>

#include <QtDisplay.h>

#include <Bitmap.h>
#include <Messenger.h>
#include <Window.h>

#include <QDir>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

extern kit_private::QtDisplay* gDisplay;

namespace {

TEST(GuiAboutPicture, TheKeptPictureIsReadAndShownWhole)
{
    setenv("VELMOR_DATA_DIR", VELMOR_DATA_DIR, 1);
    std::unique_ptr<BBitmap> picture(LoadAboutPicture());
    unsetenv("VELMOR_DATA_DIR");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Bounds(), BRect(0, 0, 319, 199));
    // Deep blue at the top corner, the white bubble in the left half.
    rgb_color corner = picture->ColorAt(2, 2);
    EXPECT_LT(corner.red, 20);
    EXPECT_GT(corner.blue, 180);
    EXPECT_EQ(picture->ColorAt(40, 70), make_color(255, 255, 255));

    auto* window = new BWindow(BRect(100, 100, 200, 200), "", B_MODAL_WINDOW_LOOK,
                               B_FLOATING_APP_WINDOW_FEEL, B_NOT_RESIZABLE);
    window->AddChild(new BitmapView(picture.get()));
    picture.reset(); // the view keeps its own copy
    window->Show();
    ASSERT_TRUE(gDisplay->Sync(window));
    gDisplay->Flush();

    QWidget* view = gDisplay->Widget(window, "BitmapView");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->size(), QSize(320, 200));
    EXPECT_EQ(gDisplay->TopLevel(window)->size(), QSize(320, 200));
    QImage shot = view->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(40, 70)), QColor(255, 255, 255));
    EXPECT_GT(QColor(shot.pixel(2, 2)).blue(), 180);
    QDir().mkpath(VELMOR_SHOTS_DIR);
    shot.save(QStringLiteral(VELMOR_SHOTS_DIR "/about-picture.png"));

    BMessenger messenger(nullptr, window);
    if (messenger.LockTarget())
        window->Quit();
    gDisplay->Flush();
}

} // namespace
