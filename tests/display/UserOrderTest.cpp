// The user list's order beside the list: every place it gives must be where a plain sorted
// insert would put the row, through chunk splits, equal keys and long shared prefixes.

#include <IrcDisplayWindow.h>
#include <IrcItem.h>
#include <UserOrder.h>
#include <irc_user.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

int Compare(IrcItem* a, IrcItem* b)
{
    BListItem* first = a;
    BListItem* second = b;
    return IrcDisplayWindow::sort_func(&first, &second);
}

TEST(UserOrderTest, PlacesAndFindsRowsWhereASortedListHasThem)
{
    // Nicks that differ only in case sort equal; the long ones share their first sixteen
    // bytes, so only the full comparison orders them.
    std::vector<std::string> nicks;
    for (int i = 0; i < 700; i++) {
        nicks.push_back("user" + std::to_string(i));
        nicks.push_back("User" + std::to_string(i));
        nicks.push_back("averyveryverylongnick" + std::to_string(i % 40));
    }
    std::mt19937 random(11);
    std::vector<std::unique_ptr<IrcItem>> rows;
    for (const std::string& nick : nicks) {
        auto* user = new irc_user;
        user->SetNick(nick.c_str());
        user->op = random() % 10 == 0;
        user->voice = user->op || random() % 10 == 0;
        rows.emplace_back(new IrcItem(user->nick, IrcItem::kNormalColor, user));
    }

    UserOrder order(IrcDisplayWindow::sort_func);
    std::vector<IrcItem*> model; // kept by upper-bound inserts with the full comparison
    std::vector<IrcItem*> placed;
    std::vector<IrcItem*> waiting;
    for (auto& row : rows)
        waiting.push_back(row.get());
    for (int step = 0; step < 12000; step++) {
        const bool add = !waiting.empty() && (placed.empty() || random() % 5 < 3);
        if (add) {
            const size_t pick = random() % waiting.size();
            IrcItem* row = waiting[pick];
            waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(pick));
            auto at = std::upper_bound(model.begin(), model.end(), row,
                                       [](IrcItem* a, IrcItem* b) { return Compare(a, b) < 0; });
            const int32 expected = static_cast<int32>(at - model.begin());
            model.insert(at, row);
            ASSERT_EQ(order.Insert(row), expected) << row->IrcUser()->nick;
            placed.push_back(row);
        } else {
            const size_t pick = random() % placed.size();
            IrcItem* row = placed[pick];
            placed.erase(placed.begin() + static_cast<std::ptrdiff_t>(pick));
            auto at = std::find(model.begin(), model.end(), row);
            const int32 expected = static_cast<int32>(at - model.begin());
            model.erase(at);
            ASSERT_EQ(order.Remove(row), expected) << row->IrcUser()->nick;
            EXPECT_EQ(order.IndexOf(row), -1);
            EXPECT_EQ(order.Remove(row), -1);
            if (random() % 2 == 0) {
                // Marks changed while out of the list, as a mode change does.
                irc_user* user = row->IrcUser();
                user->op = !user->op;
                user->voice = user->op;
                row->UpdateSortKey();
            }
            waiting.push_back(row);
        }
        ASSERT_EQ(order.Count(), static_cast<int32>(model.size()));
        if (step % 500 == 0 || step > 11900) {
            for (size_t i = 0; i < model.size(); i++)
                ASSERT_EQ(order.IndexOf(model[i]), static_cast<int32>(i)) << step;
        }
    }
}

} // namespace
