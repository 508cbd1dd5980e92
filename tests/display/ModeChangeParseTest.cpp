// Reading the operator and voice changes out of a mode text.

#include <UserModes.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "+o alice", "-v bob", joined by commas.
std::string Described(const std::vector<UserModeChange>& changes)
{
    std::string text;
    for (const UserModeChange& change : changes) {
        if (!text.empty())
            text += ", ";
        text += std::string(change.add ? "+" : "-") + change.letter + " " + change.nick;
    }
    return text;
}

TEST(ModeChangeParseTest, LettersTakeTheirArgumentsInOrder)
{
    struct Case
    {
        const char* change;
        const char* changes;
    };
    const Case cases[] = {
        {"+ov alice bob", "+o alice, +v bob"},
        {"-o+v alice bob", "-o alice, +v bob"},
        {"+v-o+o a b c", "+v a, -o b, +o c"},
        {"+bov *!*@x alice bob", "+o alice, +v bob"},
        {"+eI a!*@* b!*@* ", ""},
        {"+kh-l key half alice", ""},
        {"-l+o alice", "+o alice"},
        {"+l+o 5 alice", "+o alice"},
        {"+nt-s alice", ""},
        {"+oo alice", "+o alice"},
        {"+o", ""},
        {"o alice", "+o alice"},
        {"+o   alice  ", "+o alice"},
        {"+o :alice", "+o alice"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Described(ParseUserModes(c.change)), c.changes) << c.change;
    EXPECT_TRUE(ParseUserModes(nullptr).empty());
}

TEST(ModeChangeParseTest, LongArgumentsAreCutWithoutSplittingACharacter)
{
    const std::string nick = std::string(253, 'n') + "\xe2\x82\xac" + "tail"; // a 3-byte euro
    std::vector<UserModeChange> changes = ParseUserModes(("+o " + nick).c_str());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].nick, std::string(253, 'n'));
}

} // namespace
