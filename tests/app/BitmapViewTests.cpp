// The about picture: found beside the program (or where VELMOR_DATA_DIR says), and shown by
// a view that sizes itself and its window to it.

#include <BitmapView.h>

#include <HeadlessDisplay.h>
#include <TempDir.h>

#include <Bitmap.h>
#include <Messenger.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// A binary PPM of width x height: red rising to the right, green downwards, blue 200.
void WritePicture(const std::string& path, int width, int height)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned char rgb[3] = {static_cast<unsigned char>(x * 10),
                                    static_cast<unsigned char>(y * 10), 200};
            fwrite(rgb, 1, 3, file);
        }
    }
    fclose(file);
}

class AboutPictureTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("VELMOR_DATA_DIR", fData.Path().c_str(), 1); }
    void TearDown() override { unsetenv("VELMOR_DATA_DIR"); }

    testsupport::TempDir fData;
};

TEST_F(AboutPictureTest, ThePictureIsReadFromTheDataFolder)
{
    WritePicture(fData / "VelmorGraphic", 12, 7);
    std::unique_ptr<BBitmap> picture(LoadAboutPicture());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Bounds(), BRect(0, 0, 11, 6));
    EXPECT_EQ(picture->ColorAt(11, 6), make_color(110, 60, 200));
}

TEST_F(AboutPictureTest, NoPictureWhenTheFileIsMissingOrNotAPicture)
{
    EXPECT_EQ(LoadAboutPicture(), nullptr);
    FILE* file = fopen((fData / "VelmorGraphic").c_str(), "w");
    ASSERT_NE(file, nullptr);
    fputs("not a picture\n", file);
    fclose(file);
    EXPECT_EQ(LoadAboutPicture(), nullptr);
    // Only that name counts.
    WritePicture(fData / "VelmorGraphic.ppm", 4, 4);
    EXPECT_EQ(LoadAboutPicture(), nullptr);
}

TEST(BitmapViewTest, AttachingSizesTheViewAndItsWindowToThePicture)
{
    kit_private::HeadlessDisplay display;
    BBitmap picture(BRect(0, 0, 319, 199), B_RGBA32);
    ASSERT_TRUE(picture.IsValid());
    auto* window = new BWindow(BRect(100, 100, 200, 200), "", B_MODAL_WINDOW_LOOK,
                               B_FLOATING_APP_WINDOW_FEEL, B_NOT_RESIZABLE);
    auto* view = new BitmapView(&picture);
    EXPECT_EQ(view->Frame(), BRect(0, 0, 100, 100));
    EXPECT_EQ(view->ResizingMode(), static_cast<uint32>(B_FOLLOW_NONE));
    window->AddChild(view);
    window->Show();
    ASSERT_TRUE(display.Sync(window));

    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(view->Frame(), BRect(0, 0, 319, 199));
    EXPECT_FLOAT_EQ(window->Frame().Width(), 319);
    EXPECT_FLOAT_EQ(window->Frame().Height(), 199);
    window->Unlock();

    auto shown = display.View(window, "BitmapView");
    ASSERT_TRUE(shown.has_value());
    EXPECT_TRUE(shown->hasBitmap);
    EXPECT_EQ(shown->bitmapWidth, 320);
    EXPECT_EQ(shown->bitmapHeight, 200);
    EXPECT_EQ(shown->frame, BRect(0, 0, 319, 199));
    EXPECT_FLOAT_EQ(display.Window(window)->frame.Width(), 319);

    BMessenger messenger(nullptr, window);
    if (messenger.LockTarget())
        window->Quit();
}

} // namespace
