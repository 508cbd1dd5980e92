#include "Peer.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point end)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

Peer::~Peer()
{
    Stop();
}

bool Peer::Start(uint16_t port, const std::string& nick, const std::string& channels, int timeoutMs)
{
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::string script = std::string(VELMOR_TEST_SUPPORT_DIR) + "/irc_peer.py";
    std::string portText = std::to_string(port);
    std::vector<std::string> args = {"/usr/bin/python3", script, "--port", portText,
                                     "--nick",           nick,   "--join", channels};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&fPid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    fIn = in[1];
    fOut = out[0];
    if (spawned != 0) {
        fPid = -1;
        return false;
    }
    return WaitFor("READY", timeoutMs);
}

void Peer::Stop()
{
    if (fIn >= 0)
        close(fIn);
    fIn = -1;
    if (fPid > 0) {
        // End of input makes it quit; it is killed if it does not.
        for (int i = 0; i < 100; i++) {
            if (waitpid(fPid, nullptr, WNOHANG) == fPid) {
                fPid = -1;
                break;
            }
            usleep(10000);
        }
        if (fPid > 0) {
            kill(fPid, SIGKILL);
            waitpid(fPid, nullptr, 0);
        }
    }
    fPid = -1;
    if (fOut >= 0)
        close(fOut);
    fOut = -1;
}

bool Peer::Send(const std::string& line)
{
    if (fIn < 0)
        return false;
    const std::string bytes = line + "\n";
    return write(fIn, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool Peer::WaitFor(const std::string& text, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (; fSearched < fLines.size(); fSearched++) {
            if (fLines[fSearched].find(text) != std::string::npos) {
                fSearched++;
                return true;
            }
        }
        if (!ReadLines(Remaining(end)))
            return false;
    }
}

bool Peer::ReadLines(int timeoutMs)
{
    if (fOut < 0)
        return false;
    pollfd p{fOut, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = read(fOut, buffer, sizeof(buffer));
    if (n <= 0)
        return false;
    fBuffer.append(buffer, static_cast<size_t>(n));
    for (size_t at; (at = fBuffer.find('\n')) != std::string::npos;) {
        fLines.push_back(fBuffer.substr(0, at));
        fBuffer.erase(0, at + 1);
    }
    return true;
}

} // namespace testsupport
