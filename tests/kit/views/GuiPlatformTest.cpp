// What the Qt display server provides beyond the views: fonts from fontconfig measured on
// any thread, pictures read from files, cursors from one-bit data, the screen's frame.

#include "gallery/GalleryWindow.h"

#include <MenuFieldWidget.h>
#include <QtDisplay.h>

#include <Bitmap.h>
#include <Font.h>
#include <Messenger.h>
#include <Screen.h>
#include <TabView.h>
#include <TranslationUtils.h>
#include <Window.h>

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

extern kit_private::QtDisplay* gDisplay;

namespace {

TEST(QtMenuField, ALongItemLabelLosesItsEndAndShowsWholeAsATip)
{
    kit_private::MenuFieldWidget field(nullptr);
    field.SetLabel(QStringLiteral("Server"));
    field.SetDivider(60);
    field.resize(200, 24);
    field.show(); // so that resizing lays it out at once
    const QString label = QStringLiteral("Local ngircd [127.0.0.1:16667] & more");
    field.SetItemLabel(label);
    const QString shown = field.Button()->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Local"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_EQ(field.Button()->toolTip(), label);
    // Wide enough: shown whole (with the ampersand kept), no tip.
    field.resize(600, 24);
    EXPECT_EQ(field.Button()->text(), QStringLiteral("Local ngircd [127.0.0.1:16667] && more"));
    EXPECT_EQ(field.Button()->toolTip(), QString());
}

TEST(QtFonts, InstalledFamiliesComeFromTheSystem)
{
    bool dejaVu = false;
    for (int32 i = 0; i < count_font_families(); i++) {
        font_family family;
        ASSERT_EQ(get_font_family(i, &family), B_OK);
        if (strcmp(family, "DejaVu Sans") == 0)
            dejaVu = true;
    }
    // The scripts install fonts-dejavu-core; without fonts every glyph is an empty box.
    EXPECT_TRUE(dejaVu);
    font_family family;
    be_fixed_font->GetFamilyAndStyle(&family, nullptr);
    EXPECT_GT(strlen(family), 0u);
}

TEST(QtFonts, OtherThreadsMeasureLikeTheGuiThread)
{
    BFont font(be_plain_font);
    font.SetSize(14);
    float here = font.StringWidth("The quick brown fox");
    font_height height;
    font.GetHeight(&height);
    EXPECT_GT(here, 50);
    EXPECT_GT(height.ascent, 5);
    float there = 0;
    font_height thereHeight{};
    std::thread measure([&] {
        there = font.StringWidth("The quick brown fox");
        font.GetHeight(&thereHeight);
    });
    measure.join();
    EXPECT_FLOAT_EQ(there, here);
    EXPECT_FLOAT_EQ(thereHeight.ascent, height.ascent);
    // A wider string is wider; a bigger font too.
    EXPECT_GT(font.StringWidth("The quick brown fox jumps"), here);
    BFont bigger(font);
    bigger.SetSize(28);
    EXPECT_GT(bigger.StringWidth("The quick brown fox"), here * 1.5f);
}

TEST(QtPictures, APictureFileBecomesABitmap)
{
    QTemporaryDir dir;
    QImage image(8, 4, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(7, 3, QColor(200, 100, 50));
    QString path = dir.filePath(QStringLiteral("VelmorGraphic.png"));
    ASSERT_TRUE(image.save(path));
    BBitmap* bitmap = BTranslationUtils::GetBitmap(path.toUtf8().constData());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 7, 3));
    EXPECT_EQ(bitmap->ColorAt(0, 0), make_color(10, 20, 30));
    EXPECT_EQ(bitmap->ColorAt(7, 3), make_color(200, 100, 50));
    delete bitmap;
    EXPECT_EQ(
        BTranslationUtils::GetBitmap(dir.filePath(QStringLiteral("missing")).toUtf8().constData()),
        nullptr);
}

TEST(QtScreen, TheScreensFrameIsThePrimaryScreens)
{
    QRect area = QGuiApplication::primaryScreen()->geometry();
    BScreen screen;
    EXPECT_EQ(screen.Frame(), BRect(area.left(), area.top(), area.right(), area.bottom()));
}

TEST(QtCursor, AViewsCursorIsItsOneBitPicture)
{
    auto* window = new gallery::GalleryWindow();
    BMessenger messenger(nullptr, window);
    ASSERT_TRUE(window->Lock());
    window->Tabs()->Select(1);
    window->Unlock();
    window->Show();
    ASSERT_TRUE(gDisplay->Sync(window));
    QWidget* picture = gDisplay->Widget(window, "BitmapView");
    ASSERT_NE(picture, nullptr);
    QCursor cursor = picture->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(7, 7));
    QImage bits = cursor.bitmap().toImage();
    ASSERT_EQ(bits.size(), QSize(16, 16));
    // Row 7 of the resize cursor is 0xFE7F: set but for the two middle pixels.
    EXPECT_NE(bits.pixel(0, 7), bits.pixel(7, 7));
    EXPECT_EQ(bits.pixel(0, 7), bits.pixel(15, 7));
    if (messenger.LockTarget())
        window->Quit();
    gDisplay->Flush();
}

} // namespace

TEST(QtWindows, TheProgramResizesWhatTheUserMayNot)
{
    const struct
    {
        uint32 flags;
    } cases[] = {{B_NOT_V_RESIZABLE}, {B_NOT_H_RESIZABLE}, {B_NOT_RESIZABLE}, {0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        auto* window = new BWindow(BRect(50, 50, 250, 150), "fixed", B_TITLED_WINDOW_LOOK,
                                   B_NORMAL_WINDOW_FEEL, c.flags);
        BMessenger messenger(nullptr, window);
        window->ResizeTo(300, 40); // before it is shown, as windows lay themselves out
        window->Show();
        ASSERT_TRUE(gDisplay->Sync(window));
        gDisplay->Flush();
        QWidget* top = gDisplay->TopLevel(window);
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->size(), QSize(301, 41));
        ASSERT_TRUE(window->Lock());
        window->ResizeTo(250, 60); // and once shown
        window->Unlock();
        ASSERT_TRUE(gDisplay->Sync(window));
        gDisplay->Flush();
        EXPECT_EQ(top->size(), QSize(251, 61));
        if (messenger.LockTarget())
            window->Quit();
        gDisplay->Flush();
    }
}
