// The change stream: coalescing a flood into little work, in order, and waking once.

#include <ChangeStream.h>

#include <gtest/gtest.h>

#include <atomic>

using namespace kit_private;

namespace {

StyleRun StyleAt(int32 offset)
{
    return {offset, BFont(), {0, 0, 0, 255}};
}

TEST(ChangeStream, AppendsToOneViewBecomeOneInsert)
{
    ChangeStream stream(1);
    for (int32 i = 0; i < 1000; i++)
        stream.Push(7, change::TextInsert{i * 2, "a\n", {StyleAt(0), StyleAt(1)}, i + 1});
    std::vector<Change> changes = stream.Drain();
    ASSERT_EQ(changes.size(), 1u);
    auto& insert = std::get<change::TextInsert>(changes[0].payload);
    EXPECT_EQ(insert.offset, 0);
    EXPECT_EQ(insert.text.size(), 2000u);
    ASSERT_EQ(insert.runs.size(), 2000u);
    EXPECT_EQ(insert.runs[1999].offset, 1999); // runs stay relative to the joined start
    EXPECT_EQ(insert.version, 1000);
}

TEST(ChangeStream, LinksBetweenAppendsDoNotStopJoiningButAStyleChangeDoes)
{
    ChangeStream stream(1);
    stream.Push(7, change::TextInsert{0, "abc", {StyleAt(0)}, 1});
    stream.Push(7, change::TextLink{0, 3, 0, {0, 0, 255, 255}});
    stream.Push(7, change::TextScrollTo{3, 0});
    stream.Push(7, change::TextInsert{3, "def", {StyleAt(0)}, 2});
    stream.Push(7, change::TextScrollTo{6, 0});
    stream.Push(7, change::TextRestyle{0, 1, {StyleAt(0)}});
    stream.Push(7, change::TextInsert{6, "ghi", {StyleAt(0)}, 3});
    std::vector<Change> changes = stream.Drain();
    ASSERT_EQ(changes.size(), 5u);
    EXPECT_EQ(std::get<change::TextInsert>(changes[0].payload).text, "abcdef");
    EXPECT_TRUE(std::holds_alternative<change::TextLink>(changes[1].payload));
    // The scroll request keeps only its latest value, after the text it names.
    EXPECT_EQ(std::get<change::TextScrollTo>(changes[2].payload).offset, 6);
    EXPECT_TRUE(std::holds_alternative<change::TextRestyle>(changes[3].payload));
    EXPECT_EQ(std::get<change::TextInsert>(changes[4].payload).text, "ghi");
}

TEST(ChangeStream, InsertsElsewhereOrInOtherViewsStaySeparate)
{
    ChangeStream stream(1);
    stream.Push(7, change::TextInsert{0, "abc", {}, 1});
    stream.Push(8, change::TextInsert{0, "xyz", {}, 1});
    stream.Push(7, change::TextInsert{1, "-", {}, 2}); // not at the end of the last insert
    EXPECT_EQ(stream.Drain().size(), 3u);
}

TEST(ChangeStream, ReplacingTheTextDropsWhatWasPendingAndTakesLaterAppends)
{
    ChangeStream stream(1);
    stream.Push(7, change::TextInsert{0, "old", {}, 1});
    stream.Push(7, change::TextLink{0, 3, 0, {}});
    stream.Push(7, change::TextSet{"", {}, 2});
    stream.Push(7, change::TextInsert{0, "new", {}, 3});
    std::vector<Change> changes = stream.Drain();
    ASSERT_EQ(changes.size(), 1u);
    auto& set = std::get<change::TextSet>(changes[0].payload);
    EXPECT_EQ(set.text, "new");
    EXPECT_EQ(set.version, 3);
}

TEST(ChangeStream, AnAppendJoinedToAnEmptyTextBringsItsOwnFirstRun)
{
    rgb_color blue{0, 0, 200, 200};
    ChangeStream stream(1);
    stream.Push(7, change::TextSet{"", {StyleAt(0)}, 1});
    stream.Push(7, change::TextInsert{0, "<amy> hi\n", {{0, BFont(), blue}, StyleAt(5)}, 2});
    std::vector<Change> changes = stream.Drain();
    ASSERT_EQ(changes.size(), 1u);
    auto& set = std::get<change::TextSet>(changes[0].payload);
    EXPECT_EQ(set.text, "<amy> hi\n");
    ASSERT_EQ(set.runs.size(), 2u);
    EXPECT_EQ(set.runs[0].offset, 0);
    EXPECT_EQ(set.runs[0].color, blue);
    EXPECT_EQ(set.runs[1].offset, 5);
}

TEST(ChangeStream, SettersKeepTheLatestValueInOrder)
{
    ChangeStream stream(1);
    stream.Push(7, change::ViewFrame{BRect(0, 0, 1, 1)});
    stream.Push(8, change::ControlLabel{"a"});
    stream.Push(7, change::ViewFrame{BRect(0, 0, 5, 5)});
    stream.Push(8, change::ControlLabel{"b"});
    stream.Push(7, change::ViewHidden{true});
    std::vector<Change> changes = stream.Drain();
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(std::get<change::ViewFrame>(changes[0].payload).frame, BRect(0, 0, 5, 5));
    EXPECT_EQ(std::get<change::ControlLabel>(changes[1].payload).label, "b");
    EXPECT_TRUE(std::holds_alternative<change::ViewHidden>(changes[2].payload));
}

TEST(ChangeStream, AWholeListDropsPendingRowChanges)
{
    ChangeStream stream(1);
    stream.Push(9, change::ListInsert{0, {}});
    stream.Push(9, change::ListRowChanged{0, {}});
    stream.Push(9, change::ListRows{{{}, {}}, 16, false});
    stream.Push(9, change::ListRemove{1});
    std::vector<Change> changes = stream.Drain();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(std::get<change::ListRows>(changes[0].payload).rows.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<change::ListRemove>(changes[1].payload));
}

TEST(ChangeStream, NothingPendingBeforeADrainReachesIntoTheNext)
{
    // Each kind of bookkeeping is left with an entry by the first round; the second round's
    // commands must neither join nor replace nor drop anything on the strength of it.
    ChangeStream stream(1);
    stream.Push(7, change::TextInsert{0, "abc", {StyleAt(0)}, 1});
    stream.Push(8, change::ControlLabel{"a"});
    stream.Push(9, change::ListInsert{0, {}});
    std::vector<Change> first;
    stream.Drain(&first);
    ASSERT_EQ(first.size(), 3u);

    // Placed so that the first round's indexes name this round's commands.
    stream.Push(4, change::TextInsert{0, "xyz", {StyleAt(0)}, 1});
    stream.Push(6, change::ViewInvalidate{});
    stream.Push(8, change::ControlLabel{"b"});
    stream.Push(7, change::TextInsert{3, "def", {StyleAt(0)}, 2});
    stream.Push(9, change::ListRows{{{}}, 16, false});
    std::vector<Change> second;
    stream.Drain(&second);
    ASSERT_EQ(second.size(), 5u);
    EXPECT_EQ(std::get<change::TextInsert>(second[0].payload).text, "xyz");
    EXPECT_TRUE(std::holds_alternative<change::ViewInvalidate>(second[1].payload));
    EXPECT_EQ(std::get<change::ControlLabel>(second[2].payload).label, "b");
    EXPECT_EQ(std::get<change::TextInsert>(second[3].payload).text, "def");
    EXPECT_EQ(std::get<change::ListRows>(second[4].payload).rows.size(), 1u);
    // The first round's changes are still whole after the second round.
    EXPECT_EQ(std::get<change::TextInsert>(first[0].payload).text, "abc");
}

TEST(ChangeStream, WakesOncePerDrain)
{
    ChangeStream stream(1);
    std::atomic<int> wakes{0};
    stream.SetWakeHandler([&wakes] { wakes++; });
    stream.Push(1, change::ViewInvalidate{});
    stream.Push(2, change::ViewInvalidate{});
    EXPECT_EQ(wakes.load(), 1);
    EXPECT_TRUE(stream.HasPending());
    stream.Drain();
    EXPECT_FALSE(stream.HasPending());
    stream.Push(1, change::ViewInvalidate{});
    EXPECT_EQ(wakes.load(), 2);
}

TEST(ChangeStream, AServerKeepingTheWakeIsNotWokenUntilItGivesItBack)
{
    ChangeStream stream(1);
    std::atomic<int> wakes{0};
    stream.SetWakeHandler([&wakes] { wakes++; });
    stream.Push(1, change::ViewInvalidate{});
    ASSERT_EQ(stream.Drain(true).size(), 1u);
    stream.Push(1, change::ViewInvalidate{});
    EXPECT_EQ(wakes.load(), 1) << "woken although the server said it would come back";
    EXPECT_FALSE(stream.ReleaseWake()) << "a change pending was left undrained";
    EXPECT_EQ(stream.Drain(true).size(), 1u);
    EXPECT_TRUE(stream.ReleaseWake());
    stream.Push(1, change::ViewInvalidate{});
    EXPECT_EQ(wakes.load(), 2) << "the wake given back was lost";
}

TEST(ChangeStream, AThresholdWakesForABatchOrForWhatTheWindowAwaits)
{
    ChangeStream stream(1);
    std::atomic<int> wakes{0};
    stream.SetWakeHandler([&wakes] { wakes++; });
    stream.SetWakeThreshold(4);
    for (int32 token = 1; token <= 3; token++)
        stream.Push(token, change::ViewInvalidate{});
    EXPECT_EQ(wakes.load(), 0) << "woken before the batch was full";
    stream.Push(4, change::ViewInvalidate{});
    stream.Push(5, change::ViewInvalidate{});
    EXPECT_EQ(wakes.load(), 1);
    EXPECT_EQ(stream.Drain().size(), 5u);

    // A key answer, a pop-up or the quit is waited on: it wakes the server at once.
    stream.Push(1, change::ViewInvalidate{});
    stream.Push(1, change::KeyAnswered{});
    EXPECT_EQ(wakes.load(), 2);
    EXPECT_EQ(stream.Drain().size(), 2u);
    stream.Push(0, change::WindowQuit{});
    EXPECT_EQ(wakes.load(), 3);
}

TEST(ChangeStream, SnapshotsAreKeptPerScrollBar)
{
    ChangeStream stream(1);
    float value = -1;
    float maximum = -1;
    EXPECT_FALSE(stream.GetScroll(3, &value, &maximum));
    stream.SetScroll(3, 10, 40);
    ASSERT_TRUE(stream.GetScroll(3, &value, &maximum));
    EXPECT_EQ(value, 10);
    EXPECT_EQ(maximum, 40);
}

} // namespace
