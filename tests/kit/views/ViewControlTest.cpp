// Controls with injected input: the entry field's Enter and filters, withheld keys, default
// buttons, check boxes, tabs, colour drops, scroll snapshots and alerts.

#include "ViewTestUtil.h"

#include <Alert.h>
#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <MessageFilter.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>
#include <Tab.h>
#include <TabView.h>
#include <TextControl.h>
#include <TextView.h>
#include <ViewMessages.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using viewtest::Fixture;

namespace {

// What the entry line's key filter records: the key byte and whether Command was held.
struct FilterLog
{
    std::vector<std::pair<int8, bool>> keys;
};
FilterLog* sLog = nullptr;

filter_result EntryFilter(BMessage* message, BHandler**, BMessageFilter*)
{
    int8 byte;
    if (message->what != B_KEY_DOWN || message->FindInt8("byte", &byte) != B_OK)
        return B_DISPATCH_MESSAGE;
    bool command = (modifiers() & B_COMMAND_KEY) != 0;
    sLog->keys.push_back({byte, command});
    if (byte == B_TAB || byte == B_UP_ARROW || ((byte == 'b' || byte == 'i') && command))
        return B_SKIP_MESSAGE;
    return B_DISPATCH_MESSAGE;
}

class EntryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sLog = &log;
        window = fixture.NewWindow();
        entry = new BTextControl(BRect(5, 5, 300, 25), "TextControl", nullptr, "",
                                 new BMessage('Aret'));
        window->AddChild(entry);
        BTextView* text = entry->TextView();
        text->AddFilter(new BMessageFilter(B_PROGRAMMED_DELIVERY, B_ANY_SOURCE, EntryFilter));
        text->AddFilteredKey(B_TAB);
        text->AddFilteredKey(B_UP_ARROW);
        text->AddFilteredKey('b', B_COMMAND_KEY);
        text->AddFilteredKey('i', B_COMMAND_KEY);
        entry->MakeFocus();
        fixture.Start(window);
    }
    void TearDown() override { sLog = nullptr; }

    FilterLog log;
    Fixture fixture;
    viewtest::RecordingWindow* window = nullptr;
    BTextControl* entry = nullptr;
};

TEST_F(EntryTest, EnterInvokesWithTheTypedText)
{
    fixture.Display().Type(window, "TextControl", "hello");
    fixture.Display().PressKey(window, "\n");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    auto returned = window->Received('Aret');
    ASSERT_EQ(returned.size(), 1u);
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(entry->Text(), "hello");
    window->Unlock();
    // Every key passed the filter first, in order.
    ASSERT_EQ(log.keys.size(), 6u);
    EXPECT_EQ(log.keys[0].first, 'h');
    EXPECT_EQ(log.keys[5].first, B_ENTER);
}

TEST_F(EntryTest, FilteredKeysReachTheFilterWithTheirModifiersAndNotTheEditor)
{
    fixture.Display().Type(window, "TextControl", "ab");
    fixture.Display().PressKey(window, "\x1e");                             // Up
    fixture.Display().PressKey(window, "\t");                               // Tab
    fixture.Display().PressKey(window, "b", B_COMMAND_KEY | B_CONTROL_KEY); // Command+B
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_EQ(log.keys.size(), 5u);
    EXPECT_EQ(log.keys[2], std::make_pair(static_cast<int8>(B_UP_ARROW), false));
    EXPECT_EQ(log.keys[3], std::make_pair(static_cast<int8>(B_TAB), false));
    EXPECT_EQ(log.keys[4], std::make_pair(static_cast<int8>('b'), true));
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(entry->Text(), "ab"); // no tab, no b
    window->Unlock();
    // The display knows which keys to withhold from the native editor.
    auto shown = fixture.Display().View(window, "_input_");
    EXPECT_EQ(shown->filteredKeys.size(), 4u);
}

TEST_F(EntryTest, KeysTypedElsewhereCanBeInsertedAtTheCaret)
{
    fixture.Display().Type(window, "TextControl", "ac");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    entry->TextView()->Select(1, 1);
    entry->TextView()->Insert("b");
    EXPECT_STREQ(entry->Text(), "abc");
    window->Unlock();
    EXPECT_EQ(fixture.Display().View(window, "_input_")->text, "abc");
}

TEST_F(EntryTest, DisallowedCharactersCannotBeTypedButTheProgramMaySetThem)
{
    ASSERT_TRUE(window->Lock());
    for (uint32 c = 0; c < 256; c++) {
        if (c < '0' || c > '9')
            entry->TextView()->DisallowChar(c);
    }
    entry->TextView()->DisallowChar(0x20AC); // €
    entry->TextView()->AllowChar('x');
    window->Unlock();
    fixture.Display().Type(window, "TextControl",
                           "6a6\xc3\xa9"
                           "67\xe2\x82\xac"
                           "x");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(entry->Text(), "6667x");
    entry->SetText("abc");
    EXPECT_STREQ(entry->Text(), "abc");
    window->Unlock();
    EXPECT_EQ(fixture.Display().View(window, "_input_")->text, "abc");

    // An editor that lets a refused character through is overruled: the view keeps its
    // text and shows it again.
    BMessage edited(kit_private::kMsgTextEdited);
    edited.AddString(kit_private::kFieldText, "abcq");
    edited.AddInt64(kit_private::kFieldBase,
                    fixture.Display().View(window, "_input_")->textVersion);
    edited.AddInt32(kit_private::kFieldSelectionStart, 4);
    edited.AddInt32(kit_private::kFieldSelectionEnd, 4);
    ASSERT_TRUE(window->Lock());
    BMessenger(entry->TextView(), window).SendMessage(&edited);
    window->Unlock();
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(entry->Text(), "abc");
    window->Unlock();
    EXPECT_EQ(fixture.Display().View(window, "_input_")->text, "abc");
}

TEST(Buttons, EnterWithoutAFieldMessagePressesTheDefaultButton)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* nick = new BTextControl(BRect(5, 5, 200, 25), "fNickName", "Nick Name", "", nullptr);
    auto* button = new BButton(BRect(5, 40, 80, 60), "fOkay", "Connect", new BMessage('Adah'));
    window->AddChild(nick);
    window->AddChild(button);
    button->MakeDefault(true);
    nick->MakeFocus();
    fixture.Start(window);
    EXPECT_TRUE(fixture.Display().View(window, "fOkay")->isDefault);

    fixture.Display().PressKey(window, "\n");
    fixture.Display().PressButton(window, "fOkay");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_EQ(window->Received('Adah').size(), 2u);

    ASSERT_TRUE(window->Lock());
    button->SetEnabled(false);
    window->Unlock();
    fixture.Display().PressButton(window, "fOkay");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_EQ(window->Received('Adah').size(), 2u);
    EXPECT_FALSE(fixture.Display().View(window, "fOkay")->enabled);
}

TEST(Buttons, ACheckBoxTakesTheShownValueAndInvokes)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* box =
        new BCheckBox(BRect(5, 5, 200, 25), "fConnect", "Connect at Startup", new BMessage('Adaf'));
    window->AddChild(box);
    fixture.Start(window);
    fixture.Display().PressButton(window, "fConnect");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(box->Value(), B_CONTROL_ON);
    window->Unlock();
    EXPECT_EQ(window->Received('Adaf').size(), 1u);
    EXPECT_EQ(fixture.Display().View(window, "fConnect")->value, B_CONTROL_ON);
}

class RecordingTab : public BTab
{
public:
    explicit RecordingTab(BView* view) : BTab(view) {}
    void Select(BView* owner) override
    {
        selectedOn.push_back(find_thread(nullptr));
        BTab::Select(owner);
    }
    std::vector<thread_id> selectedOn;
};

TEST(Tabs, SelectingATabCallsItsSelectOnTheWindowThread)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* tabs = new BTabView(BRect(0, 0, 300, 200), "fTabView");
    auto* first = new RecordingTab(new BView(BRect(0, 0, 1, 1), "#a", 0, 0));
    auto* second = new RecordingTab(new BView(BRect(0, 0, 1, 1), "#b", 0, 0));
    tabs->AddTab(nullptr, first);
    tabs->AddTab(nullptr, second);
    window->AddChild(tabs);
    fixture.Start(window);

    fixture.Display().SelectTab(window, "fTabView", 1);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(second->selectedOn.size(), 1u);
    EXPECT_EQ(second->selectedOn[0], window->Thread());
    EXPECT_EQ(tabs->Selection(), 1);
    second->SetLabel("#b (*)");
    window->Unlock();
    auto shown = fixture.Display().View(window, "fTabView");
    EXPECT_EQ(shown->tabs.selected, 1);
    EXPECT_EQ(shown->tabs.labels, (std::vector<std::string>{"#a", "#b (*)"}));
    // The selected tab's view is shown in the container.
    EXPECT_TRUE(fixture.Display().View(window, "#b"));
    EXPECT_FALSE(fixture.Display().View(window, "#a"));
}

TEST(Drops, AColourArrivesAtTheViewItWasDroppedOn)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* box = new BBox(BRect(0, 0, 100, 100), "panel");
    auto* inner = new viewtest::RecordingView(BRect(10, 10, 50, 50), "inner");
    box->AddChild(inner);
    window->AddChild(box);
    fixture.Start(window);
    fixture.Display().DropColor(window, "inner", make_color(10, 20, 30), BPoint(5, 6));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(inner->messages.size(), 1u);
    const BMessage& dropped = inner->messages[0];
    EXPECT_TRUE(dropped.WasDropped());
    rgb_color color{};
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(dropped.FindData("RGBColor", B_RGB_COLOR_TYPE, &data, &size), B_OK);
    ASSERT_EQ(size, 4);
    memcpy(&color, data, 4);
    EXPECT_EQ(color, make_color(10, 20, 30));
    EXPECT_EQ(inner->ConvertFromScreen(dropped.DropPoint()), BPoint(5, 6));
    window->Unlock();
}

TEST(ScrollViews, TheTargetsBarReportsWhatTheDisplaySaw)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* text = new BTextView(BRect(0, 0, 200, 100), "fDisplay", BRect(0, 0, 200, 100),
                               B_FOLLOW_ALL, B_WILL_DRAW);
    auto* scroll = new BScrollView("fBgrnd", text, B_FOLLOW_ALL, 0, false, true);
    window->AddChild(scroll);
    EXPECT_EQ(scroll->Frame(), BRect(-2, -2, 216, 102));
    EXPECT_EQ(text->Frame().LeftTop(), BPoint(2, 2));
    BScrollBar* bar = scroll->ScrollBar(B_VERTICAL);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(scroll->ScrollBar(B_HORIZONTAL), nullptr);
    fixture.Start(window);

    auto shown = fixture.Display().View(window, "fBgrnd");
    EXPECT_EQ(shown->scrollParts.target, fixture.Display().View(window, "fDisplay")->token);
    fixture.Display().ReportScroll(window, "_VSB_", 40, 90);
    ASSERT_TRUE(window->Lock());
    float min, max;
    bar->GetRange(&min, &max);
    EXPECT_EQ(bar->Value(), 40);
    EXPECT_EQ(max, 90);
    window->Unlock();
}

TEST(Alerts, AnAlertBlocksOnlyItsWindowThread)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    fixture.Start(window);
    std::atomic<int32> answer{-2};
    // The alert is shown from the window's thread, as a kick alert is.
    class AlertHandler : public BHandler
    {
    public:
        explicit AlertHandler(std::atomic<int32>* answer) : fAnswer(answer) {}
        void MessageReceived(BMessage*) override
        {
            *fAnswer = (new BAlert("", "You have been kicked", "Okay", "Re-join"))->Go();
        }
        std::atomic<int32>* fAnswer;
    };
    auto* handler = new AlertHandler(&answer);
    ASSERT_TRUE(window->Lock());
    window->AddHandler(handler);
    window->PostMessage('kick', handler);
    window->Unlock();
    ASSERT_TRUE(fixture.Display().WaitForAlert());
    auto alerts = fixture.Display().Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].buttons, (std::vector<std::string>{"Okay", "Re-join"}));
    EXPECT_EQ(answer.load(), -2);
    // The window is blocked; the display and other windows are not.
    auto* other = fixture.NewWindow("other");
    auto* label = new BStringView(BRect(0, 0, 50, 10), "label", "x");
    other->AddChild(label);
    fixture.Start(other);
    ASSERT_TRUE(other->Lock());
    label->SetText("still drawn");
    other->Unlock();
    EXPECT_EQ(fixture.Display().View(other, "label")->label, "still drawn");

    ASSERT_TRUE(fixture.Display().AnswerAlert(1));
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_EQ(answer.load(), 1);
    ASSERT_TRUE(window->Lock());
    window->RemoveHandler(handler);
    delete handler;
    window->Unlock();
}

} // namespace
