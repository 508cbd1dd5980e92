// Menus as models: trees shown to the display, radio marking, labels from the marked item,
// Command-key shortcuts, choosing items, popups answered for a blocked window thread.

#include "ViewTestUtil.h"

#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <SeparatorItem.h>

#include <gtest/gtest.h>

using viewtest::Fixture;

namespace {

class MenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = fixture.NewWindow();
        bar = new BMenuBar(BRect(0, 0, 10, 10), "fMenuBar");
        windows = new BMenu("Windows");
        windows->AddItem(new BMenuItem("server", new BMessage('Aisn'), '0'));
        windows->AddItem(new BMenuItem("#a", new BMessage('Aisq'), '1'));
        windows->AddSeparatorItem();
        windows->AddItem(new BMenuItem("#b", new BMessage('Aisq'), '3', B_SHIFT_KEY));
        bar->AddItem(windows);
        options = new BMenu("Options");
        size = new BMenu("Size");
        size->SetRadioMode(true);
        for (const char* label : {"10", "12", "14"}) {
            auto* message = new BMessage('Aiso');
            message->AddInt32("size", atoi(label));
            size->AddItem(new BMenuItem(label, message));
        }
        options->AddItem(size);
        bar->AddItem(options);
        window->AddChild(bar);
        fixture.Start(window);
    }

    Fixture fixture;
    viewtest::RecordingWindow* window = nullptr;
    BMenuBar* bar = nullptr;
    BMenu* windows = nullptr;
    BMenu* options = nullptr;
    BMenu* size = nullptr;
};

TEST_F(MenuTest, TheDisplayGetsTheWholeTree)
{
    auto shown = fixture.Display().View(window, "fMenuBar");
    ASSERT_TRUE(shown);
    const kit_private::MenuNode& root = shown->menu;
    ASSERT_EQ(root.items.size(), 2u);
    EXPECT_EQ(root.items[0].label, "Windows");
    ASSERT_EQ(root.items[0].items.size(), 4u);
    EXPECT_TRUE(root.items[0].items[2].separator);
    EXPECT_EQ(root.items[0].items[3].shortcut, static_cast<uint32>('3'));
    EXPECT_EQ(root.items[0].items[3].modifiers, static_cast<uint32>(B_COMMAND_KEY | B_SHIFT_KEY));
    EXPECT_TRUE(root.items[1].items[0].radioMode);
    EXPECT_GT(shown->frame.Width(), 10); // sized to its titles
    EXPECT_EQ(window->KeyMenuBar(), bar);
}

TEST_F(MenuTest, ChoosingARadioItemMarksItAndSendsItsMessage)
{
    fixture.Display().ChooseMenuItem(window, {"Options", "Size", "12"});
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    auto chosen = window->Received('Aiso');
    ASSERT_EQ(chosen.size(), 1u);
    int32 value = 0;
    chosen[0].FindInt32("size", &value);
    EXPECT_EQ(value, 12);
    int32 index = -1;
    chosen[0].FindInt32("index", &index);
    EXPECT_EQ(index, 1);

    fixture.Display().ChooseMenuItem(window, {"Options", "Size", "14"});
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(size->FindMarked(), size->ItemAt(2));
    EXPECT_FALSE(size->ItemAt(1)->IsMarked());
    window->Unlock();
    auto shown = fixture.Display().View(window, "fMenuBar");
    const auto& items = shown->menu.items[1].items[0].items;
    EXPECT_FALSE(items[1].marked);
    EXPECT_TRUE(items[2].marked);
}

TEST_F(MenuTest, CommandKeysInvokeTheirItems)
{
    auto& display = fixture.Display();
    display.PressKey(window, "1", B_COMMAND_KEY | B_CONTROL_KEY);
    display.PressKey(window, "3", B_COMMAND_KEY | B_CONTROL_KEY); // needs Shift as well
    display.PressKey(window, "3", B_COMMAND_KEY | B_CONTROL_KEY | B_SHIFT_KEY);
    display.PressKey(window, "1"); // without Command: an ordinary key
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    auto chosen = window->Received('Aisq');
    ASSERT_EQ(chosen.size(), 2u);
    int32 index;
    chosen[0].FindInt32("index", &index);
    EXPECT_EQ(index, 1);
    chosen[1].FindInt32("index", &index);
    EXPECT_EQ(index, 3);
}

TEST_F(MenuTest, DisabledItemsAndMenusAreNotChosen)
{
    ASSERT_TRUE(window->Lock());
    windows->ItemAt(1)->SetEnabled(false);
    size->SetEnabled(false);
    window->Unlock();
    fixture.Display().PressKey(window, "1", B_COMMAND_KEY);
    fixture.Display().ChooseMenuItem(window, {"Options", "Size", "10"});
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_TRUE(window->Received('Aisq').empty());
    EXPECT_TRUE(window->Received('Aiso').empty());
    auto shown = fixture.Display().View(window, "fMenuBar");
    EXPECT_FALSE(shown->menu.items[0].items[1].enabled);
    EXPECT_FALSE(shown->menu.items[1].items[0].enabled);
}

TEST_F(MenuTest, RebuildingAMenuIsShown)
{
    ASSERT_TRUE(window->Lock());
    while (BMenuItem* item = windows->RemoveItem(static_cast<int32>(0)))
        delete item;
    windows->AddItem(new BMenuItem("#c", new BMessage('Aisq'), '2'));
    window->Unlock();
    auto shown = fixture.Display().View(window, "fMenuBar");
    ASSERT_EQ(shown->menu.items[0].items.size(), 1u);
    EXPECT_EQ(shown->menu.items[0].items[0].label, "#c");
}

TEST(MenuField, TheButtonShowsTheMarkedLabelAndItemsTargetTheirHandler)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* menu = new BPopUpMenu("Please select a server");
    auto* target = new viewtest::RecordingView(BRect(0, 0, 1, 1), "target");
    menu->AddItem(new BMenuItem("one [a:6667]", new BMessage('Adak')));
    menu->AddItem(new BMenuItem("two [b:6667]", new BMessage('Adak')));
    menu->AddSeparatorItem();
    menu->AddItem(new BMenuItem("Configure Servers\xe2\x80\xa6", new BMessage('Adaj'), 'C'));
    auto* field = new BMenuField(BRect(0, 0, 200, 20), "fServer", "Server", menu);
    window->AddChild(target);
    window->AddChild(field);
    menu->SetTargetForItems(target);
    fixture.Start(window);

    auto shown = fixture.Display().View(window, "fServer");
    EXPECT_EQ(shown->label, "Server");
    EXPECT_EQ(shown->menu.label, "Please select a server");

    fixture.Display().ChooseMenuItem(window, {"fServer", "two [b:6667]"});
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_EQ(fixture.Display().View(window, "fServer")->menu.label, "two [b:6667]");
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(target->messages.size(), 1u);
    EXPECT_EQ(target->messages[0].what, static_cast<uint32>('Adak'));
    // The program may relabel the field's own item.
    field->MenuItem()->SetLabel("two");
    window->Unlock();
    EXPECT_EQ(fixture.Display().View(window, "fServer")->menu.label, "two");
}

// A view whose mouse-down opens a popup, as a user list does, and records the answer.
class PopupView : public BView
{
public:
    PopupView() : BView(BRect(0, 0, 99, 99), "popup", B_FOLLOW_NONE, B_WILL_DRAW)
    {
        fMenu = new BPopUpMenu("options", false, false);
        fMenu->AddItem(new BMenuItem("Whois user", new BMessage('Apr}')));
        fBan = new BMenu("Ban");
        fMenu->AddItem(fBan);
    }
    ~PopupView() override { delete fMenu; }
    void MouseDown(BPoint where) override
    {
        // Rebuilt before each popup.
        while (BMenuItem* item = fBan->RemoveItem(static_cast<int32>(0)))
            delete item;
        fBan->AddItem(new BMenuItem("bob!*@*.*", new BMessage('Apry')));
        BMenuItem* item = fMenu->Go(ConvertToScreen(where), true, false,
                                    ConvertToScreen(BRect(where, where + BPoint(10, 10))));
        chosen.push_back(item != nullptr ? item->Label() : "");
    }
    std::vector<std::string> chosen;

private:
    BPopUpMenu* fMenu;
    BMenu* fBan;
};

TEST(PopUpMenu, GoWaitsForTheAnswerAndDeliversTheMessageToTheWindow)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* view = new PopupView();
    window->AddChild(view);
    fixture.Start(window);
    std::vector<BPoint> where;
    fixture.Display().SetPopupResponder([&where](const kit_private::MenuNode& tree, BPoint at) {
        where.push_back(at);
        return kit_private::HeadlessDisplay::FindToken(tree, {"Ban", "bob!*@*.*"});
    });

    fixture.Display().Click(window, "popup", BPoint(20, 30), B_SECONDARY_MOUSE_BUTTON);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(view->chosen.size(), 1u);
    EXPECT_EQ(view->chosen[0], "bob!*@*.*");
    window->Unlock();
    ASSERT_EQ(where.size(), 1u);
    EXPECT_EQ(where[0], BPoint(120, 130)); // screen coordinates
    EXPECT_EQ(window->Received('Apry').size(), 1u);

    // Nothing chosen: nothing delivered.
    fixture.Display().SetPopupResponder(nullptr);
    fixture.Display().Click(window, "popup", BPoint(20, 30), B_SECONDARY_MOUSE_BUTTON);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(view->chosen.back(), "");
    window->Unlock();
    EXPECT_EQ(fixture.Display().Popups().size(), 2u);
}

} // namespace
