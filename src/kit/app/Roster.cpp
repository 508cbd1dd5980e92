#include "Roster.h"

#include <cerrno>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {
std::mutex sOpenerMutex;
std::string sOpener = "xdg-open";
const BRoster sRoster;
} // namespace

const BRoster* be_roster = &sRoster;

void set_roster_opener(const char* program)
{
    std::lock_guard lock(sOpenerMutex);
    sOpener = program ? program : "xdg-open";
}

BRoster::BRoster() = default;
BRoster::~BRoster() = default;

status_t BRoster::Launch(const char* mimeType, int argc, char** args, team_id* team) const
{
    return Launch(mimeType, argc, const_cast<const char* const*>(args), team);
}

status_t BRoster::Launch(const char* mimeType, int argc, const char* const* args,
                         team_id* team) const
{
    if (mimeType == nullptr || argc < 0 || (argc > 0 && args == nullptr))
        return B_BAD_VALUE;
    std::string opener;
    {
        std::lock_guard lock(sOpenerMutex);
        opener = sOpener;
    }
    std::vector<char*> argv;
    argv.push_back(opener.data());
    for (int i = 0; i < argc; i++) {
        if (args[i] == nullptr)
            return B_BAD_VALUE;
        argv.push_back(const_cast<char*>(args[i]));
    }
    argv.push_back(nullptr);

    pid_t pid;
    int error = posix_spawnp(&pid, opener.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        return errno_to_status(error);
    // Reap the handler so it does not linger as a zombie.
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    if (team != nullptr)
        *team = pid;
    return B_OK;
}
