// The Qt display server with the gallery, under the offscreen platform: real widgets, real
// (synthesized) input, the window threads answering.

#include "GuiTestMain.h"
#include "gallery/GalleryWindow.h"

#include <ListWidget.h>
#include <PanelWidget.h>
#include <QtDisplay.h>
#include <QtWindow.h>
#include <ScrollbackWidget.h>
#include <TextControlWidget.h>

#include <Font.h>
#include <ListView.h>
#include <Messenger.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringItem.h>
#include <StringView.h>
#include <TabView.h>
#include <TextControl.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>

using gallery::GalleryWindow;
using kit_private::EditorLineEdit;
using kit_private::ListWidget;
using kit_private::PanelWidget;
using kit_private::ScrollbackWidget;
using kit_private::TextControlWidget;

namespace {

using guitest::WaitFor;

class GalleryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = new GalleryWindow();
        messenger = BMessenger(nullptr, window);
        window->Show();
        ASSERT_TRUE(gDisplay->Sync(window));
        top = gDisplay->TopLevel(window);
        ASSERT_NE(top, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
        top->activateWindow();
        auto* control = qobject_cast<TextControlWidget*>(gDisplay->Widget(window, "TextControl"));
        ASSERT_NE(control, nullptr);
        editor = control->Editor();
        ASSERT_TRUE(WaitFor([this] { return editor->hasFocus(); }));
    }
    void TearDown() override
    {
        if (messenger.LockTarget())
            window->Quit();
        gDisplay->Flush();
        QCoreApplication::processEvents();
    }
    bool Sync() { return gDisplay->Sync(window); }
    // A chosen item or an invoked control posts its own message to the window while the
    // window handles the click or key; that message is queued behind the first round trip
    // and ahead of the second.
    bool SyncFollowOns() { return Sync() && Sync(); }
    template <typename T> T* Widget(const char* name)
    {
        return qobject_cast<T*>(gDisplay->Widget(window, name));
    }

    GalleryWindow* window = nullptr;
    BMessenger messenger;
    QWidget* top = nullptr;
    EditorLineEdit* editor = nullptr;
};

TEST_F(GalleryTest, TypingAndEnterReachTheWindowThread)
{
    QTest::keyClicks(editor, "hello there");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(SyncFollowOns());
    ASSERT_EQ(window->Received(gallery::kEnter).size(), 1u);
    ASSERT_TRUE(window->Lock());
    std::string text = window->Display()->Text();
    EXPECT_STREQ(window->Entry()->Text(), "");
    window->Unlock();
    EXPECT_NE(text.find("<gallery> hello there\n"), std::string::npos);
    EXPECT_TRUE(WaitFor([this] { return editor->text().isEmpty(); }));
    // The new line is in the scrollback widget too.
    auto* scrollback = Widget<ScrollbackWidget>("fDisplay");
    EXPECT_EQ(scrollback->Document().Text(), text);
}

TEST_F(GalleryTest, KeysTypedWhileTheWindowIsBusyLandAfterTheLineItTook)
{
    // The window thread is held while the user types two lines and the start of a third.
    ASSERT_TRUE(window->Lock());
    QTest::keyClicks(editor, "one");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "two");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "thr");
    window->Unlock();
    ASSERT_TRUE(WaitFor([this] { return editor->text() == QStringLiteral("thr"); }));
    ASSERT_TRUE(SyncFollowOns());
    ASSERT_TRUE(window->Lock());
    std::string text = window->Display()->Text();
    std::string entry = window->Entry()->Text();
    window->Unlock();
    EXPECT_EQ(window->Received(gallery::kEnter).size(), 2u);
    EXPECT_NE(text.find("<gallery> one\n[12:10] <gallery> two\n"), std::string::npos) << text;
    EXPECT_EQ(entry, "thr");
}

TEST_F(GalleryTest, UpAndTabGoToTheFilterNotTheEditor)
{
    QTest::keyClicks(editor, "ab");
    QTest::keyClick(editor, Qt::Key_Up);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    // Each key left to the window holds the next until the window has answered it.
    ASSERT_TRUE(WaitFor([this] { return Sync() && window->FilteredKeys().size() >= 5; }));
    auto keys = window->FilteredKeys();
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0].first, 'a');
    EXPECT_EQ(keys[2], std::make_pair(static_cast<int8>(B_UP_ARROW), false));
    EXPECT_EQ(keys[3], std::make_pair(static_cast<int8>(B_TAB), false));
    EXPECT_EQ(keys[4], std::make_pair(static_cast<int8>('b'), true));
    EXPECT_EQ(editor->text(), QStringLiteral("ab"));
    EXPECT_TRUE(editor->hasFocus()); // Tab did not move the focus
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(window->Entry()->Text(), "ab");
    window->Unlock();
}

TEST_F(GalleryTest, AMenuItemChosenByClick)
{
    auto* bar = Widget<QMenuBar>("fMenuBar");
    ASSERT_NE(bar, nullptr);
    QAction* windows = bar->actions().value(0);
    ASSERT_NE(windows, nullptr);
    QMenu* menu = windows->menu();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(windows).center());
    ASSERT_TRUE(WaitFor([menu] { return menu->isVisible(); }));
    QAction* item = menu->actions().value(1);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->text().startsWith(QStringLiteral("#gallery")));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    ASSERT_TRUE(SyncFollowOns());
    auto chosen = window->Received(gallery::kWindowItem);
    ASSERT_EQ(chosen.size(), 1u);
    int32 index = -1;
    chosen[0].FindInt32("index", &index);
    EXPECT_EQ(index, 0);
}

TEST_F(GalleryTest, ACtrlShortcutChoosesItsItemOnceAndLeavesTheEditorAlone)
{
    QTest::keyClicks(editor, "x");
    QTest::keyClick(editor, Qt::Key_2, Qt::ControlModifier);
    ASSERT_TRUE(SyncFollowOns());
    auto chosen = window->Received(gallery::kWindowItem);
    ASSERT_EQ(chosen.size(), 1u);
    int32 index = -1;
    chosen[0].FindInt32("index", &index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(editor->text(), QStringLiteral("x"));
}

TEST_F(GalleryTest, ADoubleClickedRowInvokes)
{
    auto* list = Widget<ListWidget>("fUsers");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Rows()->rowCount(), 6);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->RowPoint(2));
    ASSERT_TRUE(SyncFollowOns());
    auto invoked = window->Received(gallery::kInvoke);
    ASSERT_EQ(invoked.size(), 1u);
    int32 index = -1;
    invoked[0].FindInt32("index", &index);
    EXPECT_EQ(index, 2);
    // The selection came back to the native list.
    EXPECT_TRUE(
        WaitFor([list] { return list->selectionModel()->isSelected(list->Rows()->index(2)); }));
}

TEST_F(GalleryTest, TheListModelNamesItsRowsAndNothingElse)
{
    auto* list = Widget<ListWidget>("fUsers");
    ASSERT_NE(list, nullptr);
    auto* rows = list->Rows();
    ASSERT_EQ(rows->rowCount(), 6);
    for (int row = 0; row < 6; row++) {
        const QModelIndex index = rows->index(row);
        ASSERT_TRUE(index.isValid());
        EXPECT_EQ(index.row(), row);
        EXPECT_EQ(rows->data(index, Qt::DisplayRole).toString().toStdString(),
                  rows->Row(row)->text);
    }
    EXPECT_FALSE(rows->index(6).isValid());
    EXPECT_FALSE(rows->index(-1).isValid());
    EXPECT_FALSE(rows->index(0, 1).isValid());
    EXPECT_FALSE(rows->index(0, 0, rows->index(1)).isValid()); // a flat list
}

TEST_F(GalleryTest, ARowDraggedToAnotherPlaceMovesThere)
{
    auto* list = Widget<ListWidget>("fUsers");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowPoint(1)); // amy
    ASSERT_TRUE(Sync());
    QPoint from = list->RowPoint(1);
    QPoint to = list->RowPoint(4);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(list->viewport(), from + QPoint(0, 6));
    // The window thread decides to drag; the server takes over the pointer.
    ASSERT_TRUE(WaitFor([] { return gDisplay->Dragging(); }));
    QTest::mouseMove(list->viewport(), to);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, to);
    ASSERT_TRUE(SyncFollowOns());
    EXPECT_FALSE(gDisplay->Dragging());
    ASSERT_EQ(window->Received(gallery::kDragRow).size(), 1u);
    ASSERT_TRUE(window->Lock());
    std::vector<std::string> order;
    for (int32 i = 0; i < window->Users()->CountItems(); i++)
        order.push_back(static_cast<BStringItem*>(window->Users()->ItemAt(i))->Text());
    window->Unlock();
    EXPECT_EQ(order, (std::vector<std::string>{"zed", "bob", "Carl", "dora", "amy", "eve"}));
    ASSERT_TRUE(WaitFor(
        [list] { return list->Rows()->Row(4) != nullptr && list->Rows()->Row(4)->text == "amy"; }));
}

TEST_F(GalleryTest, AColourDroppedFromAnotherApplicationRecoloursThePanel)
{
    auto* panel = Widget<PanelWidget>("Fake"); // nothing by that name
    EXPECT_EQ(panel, nullptr);
    auto* tabs = Widget<PanelWidget>("fTabView");
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs->TabBar(), Qt::LeftButton, {}, tabs->TabBar()->tabRect(1).center());
    ASSERT_TRUE(Sync());
    ASSERT_TRUE(WaitFor([this] { return Widget<PanelWidget>("Login Options") != nullptr; }));
    auto* box = Widget<PanelWidget>("Login Options");
    ASSERT_TRUE(WaitFor([box] { return box->isVisible(); }));

    QMimeData data;
    data.setColorData(QColor(10, 120, 30));
    QPoint where(40, box->height() - 20);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(where), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    ASSERT_TRUE(SyncFollowOns());
    ASSERT_TRUE(window->Lock());
    BView* view = window->FindView("Login Options");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->ViewColor(), make_color(10, 120, 30));
    window->Unlock();
    ASSERT_TRUE(WaitFor(
        [box, where] { return box->grab().toImage().pixelColor(where) == QColor(10, 120, 30); }));
}

TEST_F(GalleryTest, AClickedLinkReachesTheWindowAndADraggedOffOneDoesNot)
{
    auto* scrollback = Widget<ScrollbackWidget>("fDisplay");
    ASSERT_NE(scrollback, nullptr);
    ASSERT_TRUE(window->Lock());
    int32 start = -1;
    int32 end = -1;
    ASSERT_TRUE(window->Display()->GetLink(0, &start, &end));
    window->Unlock();
    QPoint on = scrollback->PointAt(start + 3);
    ASSERT_GE(on.x(), 0);
    ASSERT_NE(scrollback->LinkAt(on), nullptr);

    QTest::mousePress(scrollback->viewport(), Qt::LeftButton, {}, on);
    QTest::mouseMove(scrollback->viewport(), on + QPoint(0, 200));
    QTest::mouseRelease(scrollback->viewport(), Qt::LeftButton, {}, on + QPoint(0, 200));
    ASSERT_TRUE(SyncFollowOns());
    EXPECT_TRUE(window->Received(gallery::kLink).empty());

    QTest::mouseClick(scrollback->viewport(), Qt::LeftButton, {}, on);
    ASSERT_TRUE(SyncFollowOns());
    auto links = window->Received(gallery::kLink);
    ASSERT_EQ(links.size(), 1u);
    const char* url = nullptr;
    links[0].FindString("url", &url);
    EXPECT_STREQ(url, "http://www.example.org/kit");
}

TEST_F(GalleryTest, AnAlertsButtonIndexReturnsToTheBlockedThreadWhileOthersStillDraw)
{
    // A second window, to show that painting goes on while the gallery's thread waits.
    auto* other = new BWindow(BRect(700, 60, 899, 159), "other", B_TITLED_WINDOW, 0);
    auto* label = new BStringView(BRect(5, 5, 190, 25), "label", "before");
    other->AddChild(label);
    BMessenger otherMessenger(nullptr, other);
    other->Show();
    ASSERT_TRUE(gDisplay->Sync(other));

    window->PostMessage(gallery::kShowAlert);
    ASSERT_TRUE(WaitFor(
        [] { return gDisplay->ActiveAlert() != nullptr && gDisplay->ActiveAlert()->isVisible(); }));
    QMessageBox* alert = gDisplay->ActiveAlert();
    EXPECT_EQ(alert->text(), QStringLiteral("Leave the gallery?"));

    // The gallery's thread is blocked in Go(); the other window is not, and is drawn.
    EXPECT_EQ(window->LockWithTimeout(0), B_TIMED_OUT);
    ASSERT_TRUE(other->Lock());
    label->SetText("after");
    other->Unlock();
    auto* shown = qobject_cast<PanelWidget*>(gDisplay->Widget(other, "label"));
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(WaitFor([shown] { return shown->Label() == QStringLiteral("after"); }));
    EXPECT_FALSE(shown->grab().isNull());
    EXPECT_FALSE(gDisplay->TopLevel(window)->grab().isNull());

    QPushButton* rejoin = nullptr;
    for (QAbstractButton* button : alert->buttons()) {
        if (button->text() == QStringLiteral("Re-join"))
            rejoin = qobject_cast<QPushButton*>(button);
    }
    ASSERT_NE(rejoin, nullptr);
    QTest::mouseClick(rejoin, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return !window->Received(gallery::kAlertAnswered).empty(); }));
    int32 index = -1;
    window->Received(gallery::kAlertAnswered)[0].FindInt32("index", &index);
    EXPECT_EQ(index, 1);
    if (otherMessenger.LockTarget())
        other->Quit();
}

TEST_F(GalleryTest, APopupMenuAnswersTheWindowThread)
{
    auto* list = Widget<ListWidget>("fUsers");
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->RowPoint(0));
    ASSERT_TRUE(WaitFor(
        [] { return gDisplay->ActivePopup() != nullptr && gDisplay->ActivePopup()->isVisible(); }));
    QMenu* popup = gDisplay->ActivePopup();
    QAction* whois = nullptr;
    for (QAction* action : popup->actions()) {
        if (action->text() == QStringLiteral("Whois user"))
            whois = action;
    }
    ASSERT_NE(whois, nullptr);
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(whois).center());
    ASSERT_TRUE(WaitFor([this] { return !window->Received(gallery::kPopupWhois).empty(); }));
}

TEST_F(GalleryTest, TheScrollbackFollowsTheEndOnlyWhenItWasThere)
{
    auto* scrollback = Widget<ScrollbackWidget>("fDisplay");
    auto append = [this](int count) {
        ASSERT_TRUE(window->Lock());
        for (int i = 0; i < count; i++)
            window->AppendLine("[12:30] <amy>", (" line " + std::to_string(i)).c_str());
        window->Unlock();
        ASSERT_TRUE(Sync());
    };
    append(200);
    EXPECT_TRUE(scrollback->AtEnd());
    EXPECT_GT(scrollback->MaxTopLine(), 150);
    auto barAtEnd = [this] {
        EXPECT_TRUE(window->Lock());
        auto* scroll = static_cast<BScrollView*>(window->Display()->Parent());
        float min, max;
        scroll->ScrollBar(B_VERTICAL)->GetRange(&min, &max);
        bool atEnd = scroll->ScrollBar(B_VERTICAL)->Value() >= max;
        window->Unlock();
        return atEnd;
    };
    EXPECT_TRUE(barAtEnd());

    scrollback->ScrollStep(ScrollbackWidget::Step::PageUp);
    scrollback->ScrollStep(ScrollbackWidget::Step::PageUp);
    EXPECT_FALSE(scrollback->AtEnd());
    int32 top = scrollback->TopLine();
    EXPECT_FALSE(barAtEnd());
    append(50);
    EXPECT_EQ(scrollback->TopLine(), top);
    EXPECT_FALSE(scrollback->AtEnd());

    scrollback->ScrollStep(ScrollbackWidget::Step::End);
    append(10);
    EXPECT_TRUE(scrollback->AtEnd());
    // Only what is visible (and a little around it) was laid out.
    EXPECT_LT(scrollback->CachedLayouts(), 600u);
}

TEST_F(GalleryTest, AReaderWhoScrolledBackIsNotPulledToTheEndByALateRequest)
{
    auto* scrollback = Widget<ScrollbackWidget>("fDisplay");
    ASSERT_TRUE(window->Lock());
    for (int i = 0; i < 200; i++)
        window->AppendLine("[12:40] <bob>", " filling");
    window->Unlock();
    ASSERT_TRUE(Sync());
    ASSERT_TRUE(scrollback->AtEnd());

    // The window, still believing the view at its end, appends and asks to follow it; the
    // reader scrolls back before the display gets to that request.
    ASSERT_TRUE(window->Lock());
    window->AppendLine("[12:41] <bob>", " decided before the reader scrolled");
    window->Unlock();
    scrollback->verticalScrollBar()->setValue(10);
    ASSERT_EQ(scrollback->TopLine(), 10);
    gDisplay->Flush();
    EXPECT_EQ(scrollback->TopLine(), 10);
    EXPECT_FALSE(scrollback->AtEnd());

    // Later lines see the reader's position and leave it alone too.
    ASSERT_TRUE(window->Lock());
    window->AppendLine("[12:42] <bob>", " after");
    window->Unlock();
    ASSERT_TRUE(Sync());
    EXPECT_EQ(scrollback->TopLine(), 10);

    // Back at the end, the view follows new lines again.
    scrollback->verticalScrollBar()->setValue(scrollback->verticalScrollBar()->maximum());
    ASSERT_TRUE(window->Lock());
    window->AppendLine("[12:43] <bob>", " followed");
    window->Unlock();
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(scrollback->AtEnd());
}

// A line styled as the conversation windows style theirs: the prefix, then the text.
void AppendStyled(BTextView* view, const char* prefix, const char* text)
{
    std::string line = std::string(prefix) + text + "\n";
    text_run_array* runs = BTextView::AllocRunArray(2);
    runs->runs[0] = {0, *be_bold_font, {0, 0, 200, 200}};
    runs->runs[1] = {static_cast<int32>(strlen(prefix)), *be_fixed_font, {0, 0, 0, 200}};
    view->Insert(view->TextLength(), line.c_str(), static_cast<int32>(line.size()), runs);
    BTextView::FreeRunArray(runs);
}

QColor ColourAt(ScrollbackWidget* scrollback, int32 offset)
{
    return scrollback->StyleColor(scrollback->Document().StyleAt(offset));
}

TEST(GuiScrollback, ALineAppendedBeforeShowKeepsItsFirstRun)
{
    // The view is announced (with its empty text) as soon as it joins the window; the line
    // appended before Show() joins that pending announcement.
    auto* window = new BWindow(BRect(100, 100, 499, 299), "first line", B_TITLED_WINDOW, 0);
    BMessenger messenger(nullptr, window);
    auto* view = new BTextView(BRect(0, 0, 385, 199), "fDisplay", BRect(2, 2, 383, 197),
                               B_FOLLOW_ALL, B_WILL_DRAW);
    view->SetStylable(true);
    view->MakeEditable(false);
    window->AddChild(new BScrollView("fBgrnd", view, B_FOLLOW_ALL, 0, false, true));
    AppendStyled(view, "[12:00] <zed>", " first");
    window->Show();
    ASSERT_TRUE(gDisplay->Sync(window));
    auto* scrollback = qobject_cast<ScrollbackWidget*>(gDisplay->Widget(window, "fDisplay"));
    ASSERT_NE(scrollback, nullptr);
    ASSERT_EQ(scrollback->Document().Text(), "[12:00] <zed> first\n");
    EXPECT_EQ(ColourAt(scrollback, 0), QColor(0, 0, 200));
    EXPECT_EQ(ColourAt(scrollback, static_cast<int32>(strlen("[12:00] <zed>"))), QColor(0, 0, 0));
    if (messenger.LockTarget())
        window->Quit();
    gDisplay->Flush();
}

TEST_F(GalleryTest, TheFirstLineAfterClearingKeepsItsFirstRunOnScreen)
{
    auto* scrollback = Widget<ScrollbackWidget>("fDisplay");
    const QColor eventBlue(0, 0, 200);
    const QColor plain(0, 0, 0);
    auto colourAt = [scrollback](int32 offset) { return ColourAt(scrollback, offset); };
    ASSERT_EQ(colourAt(0), eventBlue);

    // "/clear" and a new line, both before the display drains the window.
    ASSERT_TRUE(window->Lock());
    window->Display()->SetText("");
    window->AppendLine("[12:50] <amy>", " after clearing");
    window->Unlock();
    ASSERT_TRUE(Sync());
    ASSERT_EQ(scrollback->Document().Text(), "[12:50] <amy> after clearing\n");
    EXPECT_EQ(colourAt(0), eventBlue);
    EXPECT_EQ(colourAt(static_cast<int32>(strlen("[12:50] <amy>"))), plain);
}

TEST_F(GalleryTest, ScreenshotsOfBothTabsAreSaved)
{
    QDir().mkpath(QStringLiteral(VELMOR_SHOTS_DIR));
    auto save = [this](const char* name) {
        QImage image = top->grab().toImage();
        QString path = QStringLiteral(VELMOR_SHOTS_DIR "/") + QString::fromLatin1(name);
        EXPECT_TRUE(image.save(path)) << name;
        // A drawn window has many colours; a blank one (no fonts, nothing painted) has few.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        }
        EXPECT_GT(colours.size(), 20) << name;
    };
    save("gallery-conversation.png");
    auto* tabs = Widget<PanelWidget>("fTabView");
    QTest::mouseClick(tabs->TabBar(), Qt::LeftButton, {}, tabs->TabBar()->tabRect(1).center());
    ASSERT_TRUE(Sync());
    ASSERT_TRUE(WaitFor([this] { return Widget<PanelWidget>("Login Options") != nullptr; }));
    QCoreApplication::processEvents();
    save("gallery-login.png");
}

} // namespace
