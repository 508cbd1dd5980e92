// Settings and the server list when their writer dies half-way (SIGKILL) or the disk is full:
// every setting reads back as its old or its new value, never a mix, the list is one whole
// list, and the client starts from them showing those values.

#include "FaultFixture.h"

#include <IrcSettingsFile.h>
#include <ServerSettings.h>

#include <Rect.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using apptest::FaultTest;

constexpr const char* kStrings[] = {"Nick", "RealString", "UserString", "ServerString",
                                    "QuitMessage"};

// The value of a setting in generation gen: its name, the generation and a filler whose length
// and letter change with it, so a value made of two writes cannot pass for either.
std::string Value(const std::string& name, int gen, size_t longest = 200)
{
    const std::string head = name + "-" + std::to_string(gen) + "-";
    const size_t fill = (gen % 2 == 0 ? 10 : longest) - std::min(head.size(), size_t{10});
    return head + std::string(fill, static_cast<char>('a' + gen % 26));
}

// The generation a stored value is whole for, or -1.
int WholeGeneration(const std::string& name, const std::string& value, size_t longest = 200)
{
    const std::string prefix = name + "-";
    if (value.rfind(prefix, 0) != 0)
        return -1;
    const int gen = std::atoi(value.c_str() + prefix.size());
    return Value(name, gen, longest) == value ? gen : -1;
}

BRect Frame(int gen)
{
    return BRect(gen % 500, 20, gen % 500 + 300, 220);
}

std::string SettingsPath(const testsupport::TempDir& config)
{
    return config / "Velmor/IRCSettings";
}

status_t WriteGeneration(IrcSettingsFile& file, int gen, size_t longest = 200)
{
    status_t result = B_OK;
    for (const char* name : kStrings) {
        status_t written = file.WriteString(name, Value(name, gen, longest).c_str());
        if (written != B_OK)
            result = written;
    }
    status_t written = file.WriteRect("MainViewFrame", Frame(gen));
    return written != B_OK ? written : result;
}

// Every string setting is whole, of some generation; the frame is one of the frames
// written. Each setting is its own write, so a writer killed between two of them leaves
// neighbours one generation apart. Returns the generation of each setting.
std::map<std::string, int> ExpectWholeSettings(const std::string& path, int newest,
                                               size_t longest = 200)
{
    IrcSettingsFile file;
    EXPECT_EQ(file.SetTo(path.c_str()), B_OK);
    std::map<std::string, int> generations;
    for (const char* name : kStrings) {
        char value[1024];
        EXPECT_TRUE(file.ReadString(name, value, sizeof(value))) << name;
        const int gen = WholeGeneration(name, value, longest);
        EXPECT_GE(gen, 0) << name << " is torn: " << value;
        EXPECT_LE(gen, newest) << name;
        generations[name] = gen;
    }
    BRect frame;
    EXPECT_TRUE(file.ReadRect("MainViewFrame", &frame));
    EXPECT_EQ(frame.Width(), 300);
    EXPECT_EQ(frame.top, 20);
    return generations;
}

class StorageFault : public FaultTest
{
protected:
    // The client, started on what the faults left, shows the stored identity.
    void ExpectTheClientShowsStoredValues(size_t longest = 200)
    {
        const auto shown = [&](const char* name) {
            return Value(name, fStored[name], longest).substr(0, 255);
        };
        EXPECT_EQ(FieldText("fNickName"), shown("Nick"));
        EXPECT_EQ(FieldText("fRealName"), shown("RealString"));
        EXPECT_EQ(FieldText("fUserName"), shown("UserString"));
        EXPECT_TRUE(QuitAndWait());
    }

    bool AllWhole() const
    {
        for (const auto& [name, gen] : fStored)
            if (gen < 0)
                return false;
        return !fStored.empty();
    }

    std::map<std::string, int> fStored;
};

// A writer that saves all settings over and over is killed at random moments.
class KilledSettingsWriter : public StorageFault
{
protected:
    void BeforeStart() override
    {
        const std::string path = SettingsPath(fConfig);
        {
            IrcSettingsFile file;
            ASSERT_EQ(file.OpenWithMigration(), B_OK);
            ASSERT_EQ(WriteGeneration(file, 0), B_OK);
        }
        std::mt19937 random(424242);
        int gen = 1;
        for (int round = 0; round < 12; round++) {
            int report[2];
            ASSERT_EQ(pipe(report), 0);
            pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                close(report[0]);
                IrcSettingsFile file;
                if (file.OpenWithMigration() != B_OK)
                    _exit(2);
                for (int next = gen;; next++) {
                    if (WriteGeneration(file, next) != B_OK)
                        _exit(3);
                    if (write(report[1], &next, sizeof(next)) != sizeof(next))
                        _exit(4);
                }
            }
            close(report[1]);
            // Killed after a random number of whole generations, mid-way through the next.
            const int rounds = 1 + static_cast<int>(random() % 12);
            int done = gen - 1;
            for (int i = 0; i < rounds && read(report[0], &done, sizeof(done)) == sizeof(done);
                 i++) {
            }
            usleep(static_cast<useconds_t>(random() % 3000));
            kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed: " << WEXITSTATUS(status);
            close(report[0]);
            // At most one generation after the last one reported can have begun.
            fStored = ExpectWholeSettings(path, done + 1);
            ASSERT_TRUE(AllWhole());
            gen = done + 2;
        }
    }
};

TEST_F(KilledSettingsWriter, EverySettingIsOldOrNewAndTheClientStartsWithThem)
{
    ExpectTheClientShowsStoredValues();
}

// A writer whose files may not grow (a full disk) saves much longer values: the failures are
// reported, the old values stay whole, and nothing written is half there.
class FullDiskSettingsWriter : public StorageFault
{
protected:
    static constexpr size_t kLong = 1000;

    void BeforeStart() override
    {
        const std::string path = SettingsPath(fConfig);
        {
            IrcSettingsFile file;
            ASSERT_EQ(file.OpenWithMigration(), B_OK);
            ASSERT_EQ(WriteGeneration(file, 0, kLong), B_OK);
        }
        struct stat info;
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        // Each generation has to grow the file; there is room for at most a little.
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = static_cast<rlim_t>(info.st_size) + 4096;
            rlimit cap{limit, limit};
            setrlimit(RLIMIT_FSIZE, &cap);
            IrcSettingsFile file;
            if (file.OpenWithMigration() != B_OK)
                _exit(2);
            // Many long values: more than the room left, in any page layout.
            for (int gen = 1; gen < 200; gen += 2) {
                for (int copy = 0; copy < 20; copy++) {
                    const std::string name = "Filler" + std::to_string(gen * 20 + copy);
                    if (file.WriteString(name.c_str(), std::string(kLong, 'z').c_str()) != B_OK)
                        _exit(WriteGeneration(file, gen, kLong) == B_OK ? 4 : 3);
                }
            }
            _exit(5);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        // 3: the writes that did not fit said so. 4 would be a write reported done while the
        // disk was full; 5 would mean the limit never bit.
        ASSERT_EQ(WEXITSTATUS(status), 3);
        fStored = ExpectWholeSettings(path, 1, kLong);
        ASSERT_TRUE(AllWhole());
    }
};

TEST_F(FullDiskSettingsWriter, OldValuesStayWholeAndTheClientStartsWithThem)
{
    ExpectTheClientShowsStoredValues(kLong);
}

// The server list: saves killed half-way, then a save on a full disk; the client's server
// menu then offers one whole list.
server_line Line(const std::string& tag, int i)
{
    server_line line{};
    snprintf(line.host, sizeof(line.host), "%s%d.example.org", tag.c_str(), i);
    snprintf(line.portText, sizeof(line.portText), "%d", 6000 + i);
    snprintf(line.label, sizeof(line.label), "%s server %d %s", tag.c_str(), i,
             std::string(100, 'x').c_str());
    line.port = 6000 + i;
    return line;
}

std::vector<server_line> List(const std::string& tag, int count)
{
    std::vector<server_line> lines;
    for (int i = 0; i < count; i++)
        lines.push_back(Line(tag, i));
    return lines;
}

std::vector<std::string> MenuTexts(const std::vector<server_line>& lines)
{
    std::vector<std::string> texts;
    for (const server_line& line : lines) {
        char text[1024];
        ServerSettings::DisplayText(line, text, sizeof(text));
        texts.push_back(text);
    }
    return texts;
}

void CollectLabels(const kit_private::MenuNode& node, std::vector<std::string>* labels)
{
    for (const kit_private::MenuNode& item : node.items) {
        if (!item.separator && item.label.rfind("Configure Servers", 0) != 0 && !item.hasSubmenu)
            labels->push_back(item.label);
        CollectLabels(item, labels);
    }
}

class BrokenServerListSaves : public StorageFault
{
protected:
    void BeforeStart() override
    {
        ASSERT_EQ(ServerSettings::Write(fFirst), B_OK);
        std::mt19937 random(8080);
        for (int round = 0; round < 8; round++) {
            pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (;;) {
                    ServerSettings::Write(fSecond);
                    ServerSettings::Write(fFirst);
                }
            }
            usleep(1000 + static_cast<useconds_t>(random() % 15000));
            kill(child, SIGKILL);
            ASSERT_EQ(waitpid(child, nullptr, 0), child);
        }
        std::vector<server_line> now;
        ASSERT_EQ(ServerSettings::Read(&now), B_OK);
        const std::vector<std::string> texts = MenuTexts(now);
        ASSERT_TRUE(texts == MenuTexts(fFirst) || texts == MenuTexts(fSecond))
            << now.size() << " lines";

        // Then a save that does not fit on the disk.
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit cap{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &cap);
            _exit(ServerSettings::Write(List("huge", 300)) == B_OK ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 3);
        fExpected = texts;
    }

    const std::vector<server_line> fFirst = List("first", 150);
    const std::vector<server_line> fSecond = List("second", 220);
    std::vector<std::string> fExpected;
};

TEST_F(BrokenServerListSaves, TheServerMenuOffersOneWholeList)
{
    auto field = fDisplay.View(fWindow, "fServer");
    ASSERT_TRUE(field.has_value());
    std::vector<std::string> labels;
    CollectLabels(field->menu, &labels);
    EXPECT_EQ(labels, fExpected);
    EXPECT_TRUE(QuitAndWait());
}

} // namespace
