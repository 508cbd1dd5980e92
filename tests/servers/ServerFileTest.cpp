// "ServerSettings" on disk: created when missing, written whole and read back, and never
// torn or lost by a save that fails (full disk) or is killed half-way.

#include <ServerSettings.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

server_line Line(const std::string& host, int32 port, const std::string& label)
{
    server_line line{};
    snprintf(line.host, sizeof(line.host), "%s", host.c_str());
    snprintf(line.portText, sizeof(line.portText), "%d", static_cast<int>(port));
    snprintf(line.label, sizeof(line.label), "%s", label.c_str());
    line.port = port;
    return line;
}

// count lines, each naming the list (tag) and its place, long enough that a save takes a
// while.
std::vector<server_line> List(const std::string& tag, int count)
{
    std::vector<server_line> lines;
    for (int i = 0; i < count; i++)
        lines.push_back(Line(tag + std::to_string(i) + ".example.org", 6000 + i,
                             tag + " server " + std::to_string(i) + ", " + std::string(120, 'x')));
    return lines;
}

bool Same(const std::vector<server_line>& a, const std::vector<server_line>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (strcmp(a[i].host, b[i].host) != 0 || strcmp(a[i].label, b[i].label) != 0 ||
            a[i].port != b[i].port)
            return false;
    }
    return true;
}

class ServerFileTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    std::string FilePath() const { return fHome / "Velmor/ServerSettings"; }
    std::string Contents() const
    {
        std::ifstream in(FilePath(), std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    std::vector<server_line> ReadBack() const
    {
        std::vector<server_line> lines;
        EXPECT_EQ(ServerSettings::Read(&lines), B_OK);
        return lines;
    }
    // Files in "Velmor" other than the list itself (leftover temporaries).
    int OtherFiles() const
    {
        int count = 0;
        DIR* dir = opendir((fHome / "Velmor").c_str());
        while (dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
            std::string name = entry->d_name;
            if (name != "." && name != ".." && name != "ServerSettings")
                count++;
        }
        if (dir != nullptr)
            closedir(dir);
        return count;
    }

    testsupport::TempDir fHome;
};

TEST_F(ServerFileTest, AMissingFileIsCreatedEmptyAndReadsAsNoServers)
{
    std::vector<server_line> lines = {Line("stale", 1, "x")};
    bool created = false;
    ASSERT_EQ(ServerSettings::Read(&lines, &created), B_OK);
    EXPECT_TRUE(created);
    EXPECT_TRUE(lines.empty());
    struct stat info;
    ASSERT_EQ(stat(FilePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 0);

    ASSERT_EQ(ServerSettings::Read(&lines, &created), B_OK);
    EXPECT_FALSE(created); // it exists now
}

TEST_F(ServerFileTest, WrittenRowsAreTheFileAndReadBackInOrder)
{
    std::vector<server_line> rows = {Line("irc.example.org", 6667, "Example"),
                                     Line("h", 7000, "Home, sweet home"), Line("e", 1, "")};
    rows[0].port = 6667;
    snprintf(rows[0].portText, sizeof(rows[0].portText), "06667"); // typed with a zero
    ASSERT_EQ(ServerSettings::Write(rows), B_OK);
    EXPECT_EQ(Contents(), "irc.example.org , 6667 , Example\nh , 7000 , Home, sweet home\n"
                          "e , 1 , \n");
    EXPECT_TRUE(Same(ReadBack(), rows));
    EXPECT_EQ(OtherFiles(), 0);

    ASSERT_EQ(ServerSettings::Write({}), B_OK);
    EXPECT_EQ(Contents(), "");
}

TEST_F(ServerFileTest, AnEntryTooLongForALineIsWrittenCutToFit)
{
    // Only a hand-edited file holds such lines; reading takes up to 1023 bytes.
    std::string euros;
    while (euros.size() < 600)
        euros += "\xe2\x82\xac";
    std::string data = "h , 6667 , " + euros + "\n" + std::string(250, 'H') + " , 1 , L\n";
    std::vector<server_line> rows;
    ServerSettings::Parse(data.data(), data.size(), &rows);
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(ServerSettings::Write(rows), B_OK);

    std::vector<server_line> back = ReadBack();
    ASSERT_EQ(back.size(), 2u);
    std::string label = back[0].label;
    EXPECT_EQ(label.size() % 3, 0u); // whole euros
    EXPECT_EQ(euros.compare(0, label.size(), label), 0);
    EXPECT_GE(strlen("h , 6667 , \n") + label.size(), ServerSettings::kLineLimit - 3);
    EXPECT_EQ(back[1].port, 1);
    EXPECT_EQ(back[1].label, std::string());
    const size_t hostRoom = ServerSettings::kLineLimit - strlen(" , 1 , \n") - 1;
    EXPECT_EQ(std::string(back[1].host), std::string(hostRoom, 'H'));
    std::istringstream lines(Contents());
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size() + 2, ServerSettings::kLineLimit) << line; // with LF and NUL
}

// A child that saves big while it may not write more than limit bytes to any file (a full
// disk): the save fails, says so, and the old list is still all there.
TEST_F(ServerFileTest, AFullDiskLeavesTheOldListWhole)
{
    const std::vector<server_line> old = List("old", 20);
    ASSERT_EQ(ServerSettings::Write(old), B_OK);
    const std::string before = Contents();
    ASSERT_GT(before.size(), 2000u);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{2048, 2048};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ServerSettings::Write(List("new", 200)) == B_OK ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3); // the failure is reported
    EXPECT_EQ(Contents(), before);
    EXPECT_TRUE(Same(ReadBack(), old));
    EXPECT_EQ(OtherFiles(), 0); // the temporary is gone
}

// Children that save two lists in turn are killed at random moments: the file is always
// one list or the other, complete.
TEST_F(ServerFileTest, ASaveKilledHalfWayLeavesOneWholeList)
{
    const std::vector<server_line> first = List("first", 300);
    const std::vector<server_line> second = List("second", 450);
    ASSERT_EQ(ServerSettings::Write(first), B_OK);
    std::mt19937 random(20240601);
    int seenFirst = 0;
    int seenSecond = 0;
    for (int round = 0; round < 40; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                ServerSettings::Write(second);
                ServerSettings::Write(first);
            }
        }
        usleep(1000 + random() % 20000);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        std::vector<server_line> now = ReadBack();
        bool isFirst = Same(now, first);
        bool isSecond = Same(now, second);
        ASSERT_TRUE(isFirst || isSecond) << "round " << round << ": " << now.size() << " lines";
        seenFirst += isFirst;
        seenSecond += isSecond;
    }
    // The kills did land during saves of both lists.
    EXPECT_GT(seenFirst, 0);
    EXPECT_GT(seenSecond, 0);
}

} // namespace
