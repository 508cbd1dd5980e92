// List views: sorting, selection and invocation messages with "index", the click rules,
// and dragging a row.

#include "ViewTestUtil.h"

#include <Bitmap.h>
#include <ListView.h>
#include <StringItem.h>
#include <ViewMessages.h>

#include <gtest/gtest.h>

#include <strings.h>

using viewtest::Fixture;

namespace {

int ByText(const void* a, const void* b)
{
    auto* first = *static_cast<BStringItem* const*>(a);
    auto* second = *static_cast<BStringItem* const*>(b);
    return strcasecmp(first->Text(), second->Text());
}

std::vector<std::string> Texts(const BListView* list)
{
    std::vector<std::string> texts;
    for (int32 i = 0; i < list->CountItems(); i++)
        texts.push_back(static_cast<BStringItem*>(list->ItemAt(i))->Text());
    return texts;
}

std::vector<int32> Indexes(const BMessage& message)
{
    std::vector<int32> indexes;
    int32 index;
    for (int32 i = 0; message.FindInt32("index", i, &index) == B_OK; i++)
        indexes.push_back(index);
    return indexes;
}

class ListTest : public ::testing::Test
{
protected:
    void Make(list_view_type type)
    {
        window = fixture.NewWindow();
        list = new BListView(BRect(0, 0, 199, 299), "list", type);
        list->SetSelectionMessage(new BMessage('Asel'));
        list->SetInvocationMessage(new BMessage('Ainv'));
        for (const char* name : {"zed", "amy", "Bob", "carl"})
            list->AddItem(new BStringItem(name));
        window->AddChild(list);
        fixture.Start(window);
    }
    void TearDown() override
    {
        if (window != nullptr && window->Lock()) {
            while (BListItem* item = list->RemoveItem(static_cast<int32>(0)))
                delete item;
            window->Unlock();
        }
    }
    BPoint RowPoint(int32 index)
    {
        BRect frame = list->ItemFrame(index);
        return BPoint(frame.left + 5, frame.top + 2);
    }

    Fixture fixture;
    viewtest::RecordingWindow* window = nullptr;
    BListView* list = nullptr;
};

TEST_F(ListTest, SortingOrdersRowsAndTheSelectionFollowsThem)
{
    Make(B_SINGLE_SELECTION_LIST);
    ASSERT_TRUE(window->Lock());
    list->Select(0); // zed
    list->SortItems(ByText);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"amy", "Bob", "carl", "zed"}));
    EXPECT_EQ(list->CurrentSelection(), 3);
    window->Unlock();
    auto shown = fixture.Display().View(window, "list");
    ASSERT_EQ(shown->rows.size(), 4u);
    EXPECT_EQ(shown->rows[1].text, "Bob");
    EXPECT_EQ(shown->selectedRows, std::vector<int32>{3});
}

// A row's width is its text's in the list's font when it joined, whenever it is asked for.
TEST_F(ListTest, ARowIsAsWideAsItsTextWasWhenItJoined)
{
    Make(B_SINGLE_SELECTION_LIST);
    ASSERT_TRUE(window->Lock());
    BFont font;
    list->GetFont(&font);
    auto* row = new BStringItem("a rather long nickname");
    list->AddItem(row);
    const float joined = font.StringWidth("a rather long nickname");
    EXPECT_GT(joined, font.StringWidth("amy"));
    row->SetText("x");
    EXPECT_FLOAT_EQ(row->Width(), joined) << "a new text is measured by the next update";
    row->Update(list, &font);
    EXPECT_FLOAT_EQ(row->Width(), font.StringWidth("x"));
    row->SetWidth(7);
    EXPECT_FLOAT_EQ(row->Width(), 7);
    EXPECT_FLOAT_EQ(list->ItemAt(1)->Width(), font.StringWidth("amy")); // added second
    window->Unlock();
}

TEST_F(ListTest, ClicksSelectAndSendTheSelectionMessage)
{
    Make(B_SINGLE_SELECTION_LIST);
    fixture.Display().Click(window, "list", RowPoint(2));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    auto selections = window->Received('Asel');
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(Indexes(selections[0]), std::vector<int32>{2});

    // A click below the rows selects nothing new and sends nothing.
    fixture.Display().Click(window, "list", BPoint(5, 280));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_EQ(window->Received('Asel').size(), 1u);

    ASSERT_TRUE(window->Lock());
    list->DeselectAll();
    window->Unlock();
    ASSERT_TRUE(fixture.Sync(window));
    selections = window->Received('Asel');
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(Indexes(selections[1]), std::vector<int32>{-1}); // nothing selected
}

TEST_F(ListTest, ADoubleClickInvokes)
{
    Make(B_SINGLE_SELECTION_LIST);
    fixture.Display().Click(window, "list", RowPoint(1), 1, 1);
    fixture.Display().Click(window, "list", RowPoint(1), 1, 2);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    auto invocations = window->Received('Ainv');
    ASSERT_EQ(invocations.size(), 1u);
    EXPECT_EQ(Indexes(invocations[0]), std::vector<int32>{1});
}

TEST_F(ListTest, MultipleSelectionWithCommandAndShift)
{
    Make(B_MULTIPLE_SELECTION_LIST);
    auto& display = fixture.Display();
    display.Click(window, "list", RowPoint(0));
    display.Click(window, "list", RowPoint(2), 1, 1, B_COMMAND_KEY | B_CONTROL_KEY);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(list->CurrentSelection(0), 0);
    EXPECT_EQ(list->CurrentSelection(1), 2);
    EXPECT_EQ(list->CurrentSelection(2), -1);
    window->Unlock();

    display.Click(window, "list", RowPoint(3), 1, 1, B_SHIFT_KEY); // from the anchor (2)
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_FALSE(list->IsItemSelected(0));
    EXPECT_TRUE(list->IsItemSelected(2));
    EXPECT_TRUE(list->IsItemSelected(3));
    window->Unlock();
    EXPECT_EQ(Indexes(window->Received('Asel').back()), (std::vector<int32>{2, 3}));
}

TEST_F(ListTest, RemovingRowsShiftsTheSelection)
{
    Make(B_SINGLE_SELECTION_LIST);
    ASSERT_TRUE(window->Lock());
    list->Select(3);
    delete list->RemoveItem(static_cast<int32>(0));
    EXPECT_EQ(list->CurrentSelection(), 2);
    BListItem* selected = list->ItemAt(2);
    delete selected; // deleting a row in the list removes it
    EXPECT_EQ(list->CountItems(), 2);
    EXPECT_EQ(list->CurrentSelection(), -1);
    window->Unlock();
    EXPECT_EQ(fixture.Display().View(window, "list")->rows.size(), 2u);
}

TEST_F(ListTest, RowPropertiesReachTheDisplay)
{
    Make(B_SINGLE_SELECTION_LIST);
    ASSERT_TRUE(window->Lock());
    auto* item = static_cast<BStringItem*>(list->ItemAt(1));
    item->SetColors(make_color(200, 0, 0), make_color(156, 156, 156));
    item->SetText("amy2");
    window->Unlock();
    auto shown = fixture.Display().View(window, "list");
    EXPECT_EQ(shown->rows[1].text, "amy2");
    EXPECT_TRUE(shown->rows[1].ownColors);
    EXPECT_EQ(shown->rows[1].textColor, make_color(200, 0, 0));
    EXPECT_EQ(shown->rows[1].selectionColor, make_color(156, 156, 156));
    EXPECT_GT(shown->rowHeight, 0);
}

// Refuses to drag a row that was not selected before the press, as a reorderable list does.
class DragList : public BListView
{
public:
    DragList() : BListView(BRect(0, 0, 199, 299), "drag") {}
    bool InitiateDrag(BPoint, int32 index, bool wasSelected) override
    {
        asked++;
        if (!wasSelected)
            return false;
        BMessage message('Aitd');
        message.AddInt32("index", index);
        DragMessage(&message, new BBitmap(BRect(0, 0, 31, 31), B_CMAP8), B_OP_BLEND, BPoint(0, 0));
        return true;
    }
    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'Aitd' && message->WasDropped())
            drops.push_back(*message);
        BListView::MessageReceived(message);
    }
    int asked = 0;
    std::vector<BMessage> drops;
};

TEST(ListDrag, ASelectedRowDragsAndDropsWithItsIndex)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* list = new DragList();
    for (const char* name : {"one", "two", "three"})
        list->AddItem(new BStringItem(name));
    window->AddChild(list);
    fixture.Start(window);
    auto& display = fixture.Display();
    float row = fixture.Display().View(window, "drag")->rowHeight;

    auto press = [&](uint32 what, float y, uint32 buttons) {
        BMessage message = kit_private::make_mouse(what, BPoint(5, y), BPoint(), buttons, 1, 0);
        ASSERT_TRUE(window->Lock());
        window->PostMessage(&message, list);
        window->Unlock();
    };
    // A press on an unselected row selects it; moving on asks, and is refused.
    press(B_MOUSE_DOWN, row + 2, 1);
    display.MoveMouse(window, "drag", BPoint(5, row * 2 + 8), 1);
    press(B_MOUSE_UP, row * 2 + 8, 0);
    ASSERT_TRUE(fixture.Sync(window));
    EXPECT_FALSE(display.Drag());
    // Pressing it again, now selected, and moving starts the drag.
    press(B_MOUSE_DOWN, row + 2, 1);
    display.MoveMouse(window, "drag", BPoint(5, row + 3), 1); // too little to count
    display.MoveMouse(window, "drag", BPoint(5, row * 2 + 8), 1);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(list->asked, 2);
    window->Unlock();
    auto drag = display.Drag();
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->imageWidth, 32);

    ASSERT_TRUE(display.DropDrag(window, "drag", BPoint(5, row * 2 + 3)));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(list->drops.size(), 1u);
    int32 index = -1;
    list->drops[0].FindInt32("index", &index);
    EXPECT_EQ(index, 1);
    BPoint dropped = list->ConvertFromScreen(list->drops[0].DropPoint());
    EXPECT_EQ(list->IndexOf(dropped), 2);
    while (BListItem* item = list->RemoveItem(static_cast<int32>(0)))
        delete item;
    window->Unlock();
}

} // namespace
