// The user list's popup menu and clicks: the ban masks offered, the exact lines each command
// sends for the selected users, private chats without a JOIN, and typing into the list.

#include "UserListFixture.h"

#include <IRC.h>
#include <IrcListView.h>
#include <TextControl.h>

#include <gtest/gtest.h>

namespace displaytest {
namespace {

using kit_private::HeadlessDisplay;
using kit_private::MenuNode;

class UserPopupTest : public UserListFixture
{
protected:
    void SetUp() override
    {
        UserListFixture::SetUp();
        fWindow = Join("#chan", "@zed +amy bob Carl");
        ASSERT_NE(fWindow, nullptr);
        Feed(":dave!d@host.example JOIN :#chan"); // rows: zed amy bob Carl dave
        Wire();
    }

    BPoint Row(int32 index)
    {
        EXPECT_TRUE(fWindow->Lock());
        BRect frame = fWindow->UserListView()->ItemFrame(index);
        fWindow->Unlock();
        return BPoint(frame.left + 5, frame.top + 2);
    }
    void Click(int32 row, uint32 buttons = B_PRIMARY_MOUSE_BUTTON, int32 clicks = 1,
               uint32 modifiers = 0)
    {
        fDisplay->Click(fWindow, "fUsers", Row(row), buttons, clicks, modifiers);
        Settle();
    }
    // Opens the popup over a row and chooses the item at path (nothing when empty).
    void Choose(int32 row, const std::vector<std::string>& path)
    {
        fDisplay->SetPopupResponder([path](const MenuNode& tree, BPoint) {
            return path.empty() ? 0 : HeadlessDisplay::FindToken(tree, path);
        });
        Click(row, B_SECONDARY_MOUSE_BUTTON);
    }
    std::vector<std::string> Labels(const MenuNode& menu)
    {
        std::vector<std::string> labels;
        for (const MenuNode& item : menu.items)
            labels.push_back(item.separator ? "-" : item.label);
        return labels;
    }
    const MenuNode* Submenu(const MenuNode& tree, const char* label)
    {
        for (const MenuNode& item : tree.items) {
            if (item.label == label)
                return &item;
        }
        return nullptr;
    }

    IrcDisplayWindow* fWindow = nullptr;
};

TEST_F(UserPopupTest, TheBanMenusOfferMasksForEverySelectedUser)
{
    Click(2);      // bob, known from the name list only
    Choose(4, {}); // dave, who joined with his address
    EXPECT_EQ(View(fWindow, "fUsers").selectedRows, (std::vector<int32>{2, 4}));

    std::vector<MenuNode> popups = fDisplay->Popups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(Labels(popups[0]),
              (std::vector<std::string>{"Private Chat with User", "Whois user", "-", "Op User(s)",
                                        "Deop User(s)", "Ban", "Kick-ban", "Set +v (voice) mode",
                                        "Set -v (no voice) mode"}));
    const std::vector<std::string> masks = {
        "bob!*@*.*", "-", "dave!*@*.*", "dave!d@host.example", "*!d@host.example", "-"};
    for (const char* submenu : {"Ban", "Kick-ban"}) {
        const MenuNode* menu = Submenu(popups[0], submenu);
        ASSERT_NE(menu, nullptr) << submenu;
        EXPECT_EQ(Labels(*menu), masks) << submenu;
    }

    // Rebuilt for each popup, from the selection of the moment.
    Click(1);
    Choose(1, {});
    popups = fDisplay->Popups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(Labels(*Submenu(popups[1], "Ban")), (std::vector<std::string>{"amy!*@*.*", "-"}));
}

TEST_F(UserPopupTest, CommandsSendExactLinesForTheSelectedUsers)
{
    struct Case
    {
        std::vector<std::string> path;
        std::string wire;
    };
    const Case cases[] = {
        {{"Op User(s)"}, "MODE #chan +oo amy bob \r\n"},
        {{"Deop User(s)"}, "MODE #chan -oo amy bob \r\n"},
        {{"Set +v (voice) mode"}, "MODE #chan +vv amy bob \r\n"},
        {{"Set -v (no voice) mode"}, "MODE #chan -vv amy bob \r\n"},
        {{"Whois user"}, "WHOIS amy\r\nWHOIS bob\r\n"},
        {{"Ban", "bob!*@*.*"}, "MODE #chan +b bob!*@*.*\r\n"},
        {{"Kick-ban", "amy!*@*.*"}, "KICK #chan amy :me\r\nMODE #chan +b amy!*@*.*\r\n"},
    };
    Click(1);                                                           // amy
    Click(2, B_PRIMARY_MOUSE_BUTTON, 1, B_CONTROL_KEY | B_COMMAND_KEY); // and bob
    for (const Case& c : cases) {
        Choose(1, c.path);
        EXPECT_EQ(Wire(), c.wire) << c.path.back();
    }
}

TEST_F(UserPopupTest, KickBanNamesTheUserEvenWhenTheUserLeftWhileTheMenuWasOpen)
{
    Click(4); // dave
    fDisplay->SetPopupResponder([this](const MenuNode& tree, BPoint) {
        // The part is queued for the window before the chosen entry is.
        EXPECT_TRUE(fServer.Send(":dave!d@host.example PART #chan\r\nPING :gone\r\n"));
        EXPECT_TRUE(fServer.WaitFor("PONG gone\r\n"));
        fRouterLooper->Sync();
        return HeadlessDisplay::FindToken(tree, {"Kick-ban", "*!d@host.example"});
    });
    Click(4, B_SECONDARY_MOUSE_BUTTON);
    std::string wire = Wire();
    EXPECT_NE(wire.find("KICK #chan dave :me\r\nMODE #chan +b *!d@host.example\r\n"),
              std::string::npos)
        << wire;
    EXPECT_EQ(Rows(fWindow), (std::vector<std::string>{"zed", "amy", "bob", "Carl"}));
}

TEST_F(UserPopupTest, WithoutASelectionModeCommandsSendAnEmptyChange)
{
    Choose(40, {"Op User(s)"}); // below the last row: nothing selected
    EXPECT_TRUE(View(fWindow, "fUsers").selectedRows.empty());
    EXPECT_EQ(Wire(), "MODE #chan + \r\n");
    Choose(40, {"Whois user"});
    Choose(40, {"Private Chat with User"});
    EXPECT_EQ(Wire(), "");
    EXPECT_EQ(fList->CountItems(), 1);
}

TEST_F(UserPopupTest, PrivateChatsOpenWithoutAJoin)
{
    Click(2, B_PRIMARY_MOUSE_BUTTON, 1);
    Click(2, B_PRIMARY_MOUSE_BUTTON, 2); // double click on bob
    IrcDisplayWindow* bob = Conversation("bob");
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(bob->WindowType(), IrcDisplayWindow::kPrivateWindow);

    Click(4);
    Choose(4, {"Private Chat with User"}); // dave
    EXPECT_NE(Conversation("dave"), nullptr);
    EXPECT_EQ(fList->CountItems(), 3); // the channel, bob, dave
    EXPECT_EQ(Wire(), "");
}

TEST_F(UserPopupTest, ControlClickAddsToTheSelectionAndKeysGoToTheEntryLine)
{
    Click(0);
    Click(3, B_PRIMARY_MOUSE_BUTTON, 1, B_CONTROL_KEY | B_COMMAND_KEY);
    EXPECT_EQ(View(fWindow, "fUsers").selectedRows, (std::vector<int32>{0, 3}));
    EXPECT_TRUE(fDisplay->Popups().empty());

    // Each key moves the focus to the entry line, so the list takes it back first.
    for (const char* key : {"h", "\xc3\xa9"}) {
        ASSERT_TRUE(fWindow->Lock());
        fWindow->UserListView()->MakeFocus(true);
        fWindow->Unlock();
        Settle();
        fDisplay->PressKey(fWindow, key);
        Settle();
    }
    ASSERT_TRUE(fWindow->Lock());
    std::string entry = static_cast<BTextControl*>(fWindow->FindView("TextControl"))->Text();
    fWindow->Unlock();
    EXPECT_EQ(entry, "h\xc3\xa9");
}

} // namespace
} // namespace displaytest
