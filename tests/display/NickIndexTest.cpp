// The user list's nick index against a plain model: exact and case-blind look-ups through
// adds and removals that collide, wrap around the table and grow it.

#include <IrcItem.h>
#include <NickIndex.h>
#include <irc_user.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Folded(std::string nick)
{
    for (char& c : nick)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return nick;
}

IrcItem* NewRow(const std::string& nick)
{
    auto* user = new irc_user;
    user->SetNick(nick.c_str());
    return new IrcItem(user->nick, IrcItem::kNormalColor, user);
}

class Model
{
public:
    ~Model()
    {
        for (IrcItem* row : fRows)
            delete row;
    }
    IrcItem* Find(const std::string& nick) const
    {
        for (IrcItem* row : fRows) {
            if (nick == row->IrcUser()->nick)
                return row;
        }
        return nullptr;
    }
    std::vector<IrcItem*> Folded(const std::string& nick) const
    {
        std::vector<IrcItem*> rows;
        for (IrcItem* row : fRows) {
            if (::Folded(row->IrcUser()->nick) == ::Folded(nick))
                rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::vector<IrcItem*> fRows;
};

void ExpectAgrees(const NickIndex& index, const Model& model, const std::string& nick)
{
    EXPECT_EQ(index.Find(nick.c_str()), model.Find(nick)) << nick;
    std::vector<IrcItem*> rows;
    index.FindFolded(nick.c_str(), &rows);
    std::sort(rows.begin(), rows.end());
    const std::vector<IrcItem*> expected = model.Folded(nick);
    EXPECT_EQ(rows, expected) << nick;
    bool several = false;
    EXPECT_EQ(index.FindOnlyFolded(nick.c_str(), &several),
              expected.size() == 1 ? expected.front() : nullptr)
        << nick;
    EXPECT_EQ(several, expected.size() > 1) << nick;
}

// Random adds, renames and removals over names in three cases each, so rows share hashes
// and runs; the index must agree with the model after every step.
void RunAgainstModel(int distinct, size_t most, int steps)
{
    std::mt19937 random(7);
    std::vector<std::string> names;
    for (int i = 0; i < distinct; i++) {
        std::string name = "Nick" + std::to_string(i);
        names.push_back(name);
        names.push_back(Folded(name));
        names.push_back("NICK" + std::to_string(i));
    }
    NickIndex index;
    Model model;
    for (int step = 0; step < steps; step++) {
        const std::string& name = names[random() % names.size()];
        const unsigned what = random() % 3;
        if (what < 2 && model.fRows.size() < most && model.Find(name) == nullptr) {
            IrcItem* row = NewRow(name);
            index.Add(row);
            model.fRows.push_back(row);
        } else if (!model.fRows.empty()) {
            const size_t at = random() % model.fRows.size();
            IrcItem* row = model.fRows[at];
            ASSERT_TRUE(index.Remove(row));
            EXPECT_FALSE(index.Remove(row));
            if (what == 2 && model.Find(name) == nullptr) {
                // A rename: out under the old nick, in under the new one.
                row->IrcUser()->SetNick(name.c_str());
                index.Add(row);
            } else {
                model.fRows.erase(model.fRows.begin() + static_cast<std::ptrdiff_t>(at));
                delete row;
            }
        }
        ASSERT_EQ(index.size(), model.fRows.size());
        ExpectAgrees(index, model, name);
        ExpectAgrees(index, model, names[random() % names.size()]);
    }
    // Every row is still reachable after all the moves that closed holes.
    for (IrcItem* row : model.fRows)
        EXPECT_EQ(index.Find(row->IrcUser()->nick), row);
    index.Clear();
    EXPECT_EQ(index.size(), 0u);
    EXPECT_EQ(index.Find("nick1"), nullptr);
}

TEST(NickIndexTest, AgreesWithAPlainListThroughAddsRenamesAndRemovals)
{
    // Enough rows that the table grows several times.
    RunAgainstModel(400, 100000, 6000);
}

TEST(NickIndexTest, AgreesWhenRunsWrapAroundTheEndOfASmallTable)
{
    // Many names but at most eleven rows at once, in sixteen slots: runs cross the end often.
    RunAgainstModel(100, 11, 20000);
}

TEST(NickIndexTest, EmptyAndMissingLookUpsFindNothing)
{
    NickIndex index;
    std::vector<IrcItem*> rows;
    bool several = true;
    EXPECT_EQ(index.Find("bob"), nullptr);
    EXPECT_EQ(index.FindOnlyFolded("bob", &several), nullptr);
    EXPECT_FALSE(several);
    index.FindFolded("bob", &rows);
    EXPECT_TRUE(rows.empty());
    std::unique_ptr<IrcItem> bob(NewRow("Bob"));
    EXPECT_FALSE(index.Remove(bob.get()));
    index.Add(bob.get());
    EXPECT_EQ(index.Find("bob"), nullptr); // exact look-ups keep case
    EXPECT_EQ(index.Find("Bob"), bob.get());
    EXPECT_EQ(index.FindOnlyFolded("BOB", &several), bob.get());
    EXPECT_EQ(index.Find(nullptr), nullptr);
    EXPECT_TRUE(index.Remove(bob.get()));
}

} // namespace
