// Storage kit: locations, paths, entries, files and typed attributes, including concurrent
// handles, a writer killed mid-stream and atomic replacement.

#include "KitTestUtil.h"

#include <AtomicReplace.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Node.h>
#include <Path.h>
#include <TypeConstants.h>

#include <TempDir.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using testsupport::TempDir;

namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteWhole(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Empty file, the way CreateFile(..., false) leaves a new settings file.
std::string NewAttributeFile(const TempDir& dir, const char* name = "IRCSettings")
{
    std::string path = dir / name;
    BDirectory directory(dir.Path().c_str());
    BFile file;
    EXPECT_EQ(directory.CreateFile(name, &file, false), B_OK);
    return path;
}

TEST(FindDirectory, SettingsFollowXdgConfigHome)
{
    TempDir dir;
    std::string config = dir / "config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    BPath path;
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, false), B_OK);
    EXPECT_STREQ(path.Path(), config.c_str());
    EXPECT_FALSE(BEntry(config.c_str()).Exists());
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, true), B_OK);
    EXPECT_TRUE(BEntry(config.c_str()).IsDirectory());

    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    setenv("HOME", dir.Path().c_str(), 1);
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, false), B_OK);
    EXPECT_EQ(std::string(path.Path()), dir / ".config");
    unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, false), B_OK);
    EXPECT_EQ(std::string(path.Path()), dir / ".config");
}

TEST(Path, AppendParentAndLeaf)
{
    struct Case
    {
        const char* base;
        const char* append;
        const char* path;
        const char* leaf;
        const char* parent;
    } cases[] = {
        {"/home/u/.config", "Velmor", "/home/u/.config/Velmor", "Velmor", "/home/u/.config"},
        {"/home/u/.config/", "Velmor/IRCSettings", "/home/u/.config/Velmor/IRCSettings",
         "IRCSettings", "/home/u/.config/Velmor"},
        {"/a//b/./c", "../d", "/a/b/d", "d", "/a/b"},
        {"/a", "", "/a", "a", "/"},
    };
    for (const Case& c : cases) {
        BPath path(c.base);
        ASSERT_EQ(path.Append(c.append), B_OK) << c.base;
        EXPECT_STREQ(path.Path(), c.path);
        EXPECT_STREQ(path.Leaf(), c.leaf);
        BPath parent;
        ASSERT_EQ(path.GetParent(&parent), B_OK);
        EXPECT_STREQ(parent.Path(), c.parent);
    }
    BPath root("/");
    BPath parent;
    EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(root.Append("/abs"), B_BAD_VALUE);
    EXPECT_EQ(BPath().InitCheck(), B_NO_INIT);
    EXPECT_EQ(BPath("").InitCheck(), B_BAD_VALUE);
}

TEST(Entry, RenameWithAndWithoutClobber)
{
    TempDir dir;
    mkdir((dir / "IRC").c_str(), 0755);
    WriteWhole(dir / "IRC/IRCSettings", "x");
    mkdir((dir / "Velmor").c_str(), 0755);

    BEntry old((dir / "IRC").c_str());
    ASSERT_EQ(old.InitCheck(), B_OK);
    EXPECT_TRUE(old.Exists());
    EXPECT_EQ(old.Rename((dir / "Velmor").c_str(), false), B_FILE_EXISTS);
    EXPECT_TRUE(old.Exists());
    ASSERT_EQ(old.Rename((dir / "Velmor").c_str(), true), B_OK); // over the empty directory
    EXPECT_FALSE(BEntry((dir / "IRC").c_str()).Exists());
    EXPECT_EQ(ReadWhole(dir / "Velmor/IRCSettings"), "x");
    BPath now;
    old.GetPath(&now);
    EXPECT_EQ(std::string(now.Path()), dir / "Velmor");

    mkdir((dir / "Other").c_str(), 0755);
    BEntry other((dir / "Other").c_str());
    EXPECT_NE(other.Rename("Velmor", true), B_OK) << "a non-empty directory is not replaced";
    EXPECT_TRUE(other.Exists());

    BEntry missing((dir / "nothing").c_str());
    EXPECT_EQ(missing.InitCheck(), B_OK);
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(BEntry((dir / "no/such").c_str()).InitCheck(), B_ENTRY_NOT_FOUND);
}

TEST(Directory, CreateDirectoryAndFile)
{
    TempDir dir;
    BDirectory base(dir.Path().c_str());
    ASSERT_EQ(base.InitCheck(), B_OK);
    BDirectory velmor;
    EXPECT_EQ(base.CreateDirectory("Velmor", &velmor), B_OK);
    EXPECT_EQ(velmor.InitCheck(), B_OK);
    EXPECT_EQ(base.CreateDirectory("Velmor", &velmor), B_FILE_EXISTS);

    BFile file;
    ASSERT_EQ(velmor.CreateFile("ServerSettings", &file, false), B_OK);
    EXPECT_EQ(file.Write("abc", 3), 3);
    file.Unset();
    // Opening an existing file again keeps what it holds (the attributes live there).
    ASSERT_EQ(velmor.CreateFile("ServerSettings", &file, false), B_OK);
    off_t size = -1;
    EXPECT_EQ(file.GetSize(&size), B_OK);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(velmor.CreateFile("ServerSettings", &file, true), B_FILE_EXISTS);
    EXPECT_TRUE(velmor.Contains("ServerSettings"));
    EXPECT_FALSE(velmor.Contains("nothing"));
    EXPECT_EQ(BDirectory((dir / "Velmor/ServerSettings").c_str()).InitCheck(), B_NOT_A_DIRECTORY);
    EXPECT_EQ(BDirectory((dir / "missing").c_str()).InitCheck(), B_ENTRY_NOT_FOUND);
}

TEST(File, ContentsReadAndWrite)
{
    TempDir dir;
    BFile file((dir / "f").c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
    ASSERT_EQ(file.InitCheck(), B_OK);
    EXPECT_TRUE(file.IsReadable());
    EXPECT_TRUE(file.IsWritable());
    EXPECT_EQ(file.Write("hello world", 11), 11);
    char buffer[6] = {};
    EXPECT_EQ(file.ReadAt(6, buffer, 5), 5);
    EXPECT_STREQ(buffer, "world");
    EXPECT_EQ(file.Seek(0, SEEK_SET), 0);
    EXPECT_EQ(file.SetSize(5), B_OK);
    EXPECT_EQ(file.Read(buffer, 5), 5);
    EXPECT_EQ(file.Read(buffer, 5), 0);
    BFile readOnly((dir / "f").c_str(), B_READ_ONLY);
    EXPECT_FALSE(readOnly.IsWritable());
    EXPECT_LT(readOnly.Write("x", 1), 0);
    EXPECT_EQ(BFile((dir / "none").c_str(), B_READ_ONLY).InitCheck(), B_ENTRY_NOT_FOUND);
}

// Every type the settings use, stored with its exact bytes.
TEST(Attributes, EachTypeRoundTrips)
{
    TempDir dir;
    BNode node(NewAttributeFile(dir).c_str());
    ASSERT_EQ(node.InitCheck(), B_OK);
    float rect[4] = {10, 20, 310, 220};
    uint8 flag = 1;
    float size = 12;
    int32 code = -123456;
    uint8 color[4] = {1, 2, 3, 255};
    struct Case
    {
        const char* name;
        type_code type;
        const void* bytes;
        size_t size;
    } cases[] = {
        {"Nick", B_STRING_TYPE, "bob", 3},
        {"QuitMessage", B_STRING_TYPE, "", 0},
        {"MainViewFrame", B_RECT_TYPE, rect, 16},
        {"ConnectAtStartup", B_BOOL_TYPE, &flag, 1},
        {"#chanircfTextFontSize", B_FLOAT_TYPE, &size, 4},
        {"#chanircfTextFontCode", B_INT32_TYPE, &code, 4},
        {"fTabView", B_ANY_TYPE, color, 4},
    };
    for (const Case& c : cases)
        ASSERT_EQ(node.WriteAttr(c.name, c.type, 0, c.bytes, c.size), static_cast<ssize_t>(c.size))
            << c.name;
    BNode reopened(NewAttributeFile(dir).c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        attr_info info;
        ASSERT_EQ(reopened.GetAttrInfo(c.name, &info), B_OK);
        EXPECT_EQ(info.type, c.type);
        EXPECT_EQ(info.size, static_cast<off_t>(c.size));
        char buffer[32];
        ASSERT_EQ(reopened.ReadAttr(c.name, c.type, 0, buffer, sizeof buffer),
                  static_cast<ssize_t>(c.size));
        EXPECT_EQ(memcmp(buffer, c.bytes, c.size), 0);
    }
}

TEST(Attributes, MissingWrongTypeOffsetsAndRemoval)
{
    TempDir dir;
    BNode node(NewAttributeFile(dir).c_str());
    char buffer[16];
    attr_info info;
    EXPECT_EQ(node.ReadAttr("Nick", B_STRING_TYPE, 0, buffer, sizeof buffer), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(node.GetAttrInfo("Nick", &info), B_ENTRY_NOT_FOUND);
    ASSERT_EQ(node.WriteAttr("Nick", B_STRING_TYPE, 0, "robert", 6), 6);
    EXPECT_EQ(node.ReadAttr("Nick", B_INT32_TYPE, 0, buffer, 4), B_BAD_TYPE);
    EXPECT_EQ(node.ReadAttr("Nick", B_STRING_TYPE, 2, buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "ber");
    EXPECT_EQ(node.ReadAttr("Nick", B_STRING_TYPE, 10, buffer, 3), 0);
    // Offset 0 rewrites the whole value; a later offset patches and extends it.
    ASSERT_EQ(node.WriteAttr("Nick", B_STRING_TYPE, 0, "bo", 2), 2);
    ASSERT_EQ(node.GetAttrInfo("Nick", &info), B_OK);
    EXPECT_EQ(info.size, 2);
    ASSERT_EQ(node.WriteAttr("Nick", B_STRING_TYPE, 4, "zz", 2), 2);
    EXPECT_EQ(node.ReadAttr("Nick", B_STRING_TYPE, 0, buffer, sizeof buffer), 6);
    EXPECT_EQ(std::string(buffer, 6), std::string("bo\0\0zz", 6));
    EXPECT_EQ(node.RemoveAttr("Nick"), B_OK);
    EXPECT_EQ(node.RemoveAttr("Nick"), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(node.WriteAttr("", B_STRING_TYPE, 0, "x", 1), B_BAD_VALUE);
    EXPECT_EQ(node.WriteAttr("x", B_STRING_TYPE, -1, "x", 1), B_BAD_VALUE);
}

TEST(Attributes, EveryHandleSeesTheOthersWrites)
{
    TempDir dir;
    std::string path = NewAttributeFile(dir);
    BFile first(path.c_str(), B_READ_WRITE);
    BFile second(path.c_str(), B_READ_WRITE);
    int32 value = 0;
    ASSERT_EQ(first.WriteAttr("a", B_INT32_TYPE, 0, &(value = 1), 4), 4);
    EXPECT_EQ(second.ReadAttr("a", B_INT32_TYPE, 0, &value, 4), 4);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(second.WriteAttr("a", B_INT32_TYPE, 0, &(value = 2), 4), 4);
    EXPECT_EQ(first.ReadAttr("a", B_INT32_TYPE, 0, &value, 4), 4);
    EXPECT_EQ(value, 2);
}

// Another program's file keeps its bytes; the attribute calls just fail.
TEST(Attributes, AFileThatIsNotAnAttributeDatabaseIsLeftAlone)
{
    TempDir dir;
    std::string text = dir / "ServerSettings";
    WriteWhole(text, "irc.efnet.org, 6667, EFNet\n");
    std::string foreign = dir / "foreign.db";
    {
        sqlite3* db;
        ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    std::string foreignBytes = ReadWhole(foreign);
    for (const std::string& path : {text, foreign}) {
        SCOPED_TRACE(path);
        std::string before = ReadWhole(path);
        BNode node(path.c_str());
        ASSERT_EQ(node.InitCheck(), B_OK);
        char buffer[8];
        attr_info info;
        EXPECT_EQ(node.WriteAttr("Nick", B_STRING_TYPE, 0, "bob", 3), B_BAD_DATA);
        EXPECT_EQ(node.ReadAttr("Nick", B_STRING_TYPE, 0, buffer, 8), B_BAD_DATA);
        EXPECT_EQ(node.GetAttrInfo("Nick", &info), B_BAD_DATA);
        EXPECT_EQ(node.RemoveAttr("Nick"), B_BAD_DATA);
        EXPECT_EQ(ReadWhole(path), before);
    }
    BNode directory(dir.Path().c_str());
    EXPECT_EQ(directory.WriteAttr("x", B_STRING_TYPE, 0, "x", 1), B_UNSUPPORTED);
    BNode missing((dir / "missing").c_str());
    EXPECT_NE(missing.InitCheck(), B_OK);
    EXPECT_LT(missing.WriteAttr("x", B_STRING_TYPE, 0, "x", 1), 0);
}

TEST(Attributes, ConcurrentHandlesLoseNothing)
{
    constexpr int kThreads = 4;
    constexpr int kEach = 60;
    TempDir dir;
    std::string path = NewAttributeFile(dir);
    std::vector<std::thread> writers;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; t++) {
        writers.emplace_back([&, t] {
            BFile own(path.c_str(), B_READ_WRITE); // one handle per owner
            for (int i = 0; i < kEach; i++) {
                std::string name = "w" + std::to_string(t) + "Frame" + std::to_string(i);
                int32 value = t * 1000 + i;
                if (own.WriteAttr(name.c_str(), B_INT32_TYPE, 0, &value, 4) != 4)
                    failures[t]++;
            }
        });
    }
    for (auto& w : writers)
        w.join();
    BNode check(path.c_str());
    for (int t = 0; t < kThreads; t++) {
        EXPECT_EQ(failures[t], 0);
        for (int i = 0; i < kEach; i++) {
            std::string name = "w" + std::to_string(t) + "Frame" + std::to_string(i);
            int32 value = -1;
            ASSERT_EQ(check.ReadAttr(name.c_str(), B_INT32_TYPE, 0, &value, 4), 4) << name;
            EXPECT_EQ(value, t * 1000 + i);
        }
    }
}

bool IntegrityOk(const std::string& path)
{
    sqlite3* db;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return false;
    sqlite3_stmt* check;
    bool ok = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
              sqlite3_step(check) == SQLITE_ROW &&
              strcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
    sqlite3_finalize(check);
    sqlite3_close(db);
    return ok;
}

// A child writes thousands of values and reports each one after WriteAttr returned; it is
// killed at a random point. Everything it reported must be there, the database intact.
TEST(Attributes, SurviveAWriterKilledMidStream)
{
    constexpr int kWrites = 5000;
    std::mt19937 random(12345);
    for (int round = 0; round < 3; round++) {
        TempDir dir;
        std::string path = NewAttributeFile(dir);
        int pipes[2];
        ASSERT_EQ(pipe(pipes), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipes[0]);
            BFile file(path.c_str(), B_READ_WRITE);
            for (int32 i = 0; i < kWrites; i++) {
                std::string name = "k" + std::to_string(i % 500);
                if (file.WriteAttr(name.c_str(), B_INT32_TYPE, 0, &i, 4) != 4)
                    _exit(2);
                if (write(pipes[1], &i, sizeof i) != sizeof i)
                    _exit(3);
            }
            _exit(0);
        }
        close(pipes[1]);
        int killAfter = 50 + static_cast<int>(random() % 400);
        std::vector<int32> committed;
        int32 index;
        while (read(pipes[0], &index, sizeof index) == sizeof index) {
            committed.push_back(index);
            if (static_cast<int>(committed.size()) == killAfter)
                kill(child, SIGKILL);
        }
        close(pipes[0]);
        int status;
        waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "child failed to write";
        ASSERT_GE(committed.size(), static_cast<size_t>(killAfter));

        BNode node(path.c_str());
        std::vector<int32> latest(500, -1);
        for (int32 i : committed)
            latest[static_cast<size_t>(i % 500)] = i;
        for (int slot = 0; slot < 500; slot++) {
            if (latest[static_cast<size_t>(slot)] < 0)
                continue;
            int32 value = -1;
            std::string name = "k" + std::to_string(slot);
            ASSERT_EQ(node.ReadAttr(name.c_str(), B_INT32_TYPE, 0, &value, 4), 4) << name;
            // The value reported last, or one written after it and not yet reported.
            EXPECT_GE(value, latest[static_cast<size_t>(slot)]);
            EXPECT_EQ(value % 500, slot);
        }
        EXPECT_TRUE(IntegrityOk(path));
    }
}

TEST(AtomicReplace, WritesAndKeepsPermissions)
{
    TempDir dir;
    std::string path = dir / "ServerSettings";
    ASSERT_EQ(replace_file_atomically(path.c_str(), "one\n", 4), B_OK);
    EXPECT_EQ(ReadWhole(path), "one\n");
    chmod(path.c_str(), 0600);
    ASSERT_EQ(replace_file_atomically(path.c_str(), "two\n", 4), B_OK);
    EXPECT_EQ(ReadWhole(path), "two\n");
    struct stat info;
    stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(replace_file_atomically(path.c_str(), "", 0), B_OK);
    EXPECT_EQ(ReadWhole(path), "");
    EXPECT_EQ(replace_file_atomically((dir / "no/dir/file").c_str(), "x", 1), B_ENTRY_NOT_FOUND);
    // No temporaries are left behind.
    int entries = 0;
    BDirectory listing(dir.Path().c_str());
    for (const char* name : {"ServerSettings"})
        entries += listing.Contains(name) ? 1 : 0;
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path() + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(AtomicReplace, ReadersNeverSeeAPartialOrMissingFile)
{
    TempDir dir;
    std::string path = dir / "ServerSettings";
    const std::string a(200000, 'a');
    const std::string b(150000, 'b');
    ASSERT_EQ(replace_file_atomically(path.c_str(), a.data(), a.size()), B_OK);
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        while (!done) {
            std::string seen = ReadWhole(path);
            if (seen != a && seen != b)
                bad++;
        }
    });
    for (int i = 0; i < 100; i++) {
        const std::string& next = i % 2 ? a : b;
        ASSERT_EQ(replace_file_atomically(path.c_str(), next.data(), next.size()), B_OK);
    }
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
}

TEST(AtomicReplace, AKilledWriterLeavesTheOldOrTheNewFile)
{
    TempDir dir;
    std::string path = dir / "ServerSettings";
    const std::string a(300000, 'a');
    const std::string b(200000, 'b');
    ASSERT_EQ(replace_file_atomically(path.c_str(), a.data(), a.size()), B_OK);
    std::mt19937 random(777);
    for (int round = 0; round < 10; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; i++) {
                const std::string& next = i % 2 ? a : b;
                replace_file_atomically(path.c_str(), next.data(), next.size());
            }
        }
        usleep(1000 + random() % 20000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string seen = ReadWhole(path);
        EXPECT_TRUE(seen == a || seen == b) << "size " << seen.size();
    }
}

} // namespace
