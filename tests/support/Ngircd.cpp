#include "Ngircd.h"

#include "LoopbackPort.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

constexpr int kStartAttempts = 3;

bool Exited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

Ngircd::Ngircd() : Ngircd(Options{}) {}

Ngircd::Ngircd(Options options) : fOptions(std::move(options)) {}

Ngircd::~Ngircd()
{
    Stop();
}

bool Ngircd::WriteConfig()
{
    const std::string dir = fDir.Path();
    // The server drops root for "nobody", which must still reach its pid file folder.
    chmod(dir.c_str(), 0755);
    mkdir((dir + "/run").c_str(), 0777);
    chmod((dir + "/run").c_str(), 0777);
    mkdir((dir + "/conf.d").c_str(), 0755);
    std::ofstream config(fDir / "ngircd.conf");
    config << "[Global]\n"
           << "\tName = " << kServerName << "\n"
           << "\tInfo = loopback test server\n"
           << "\tListen = 127.0.0.1\n"
           << "\tPorts = " << fPort << "\n"
           << "\tMotdPhrase = \"test server\"\n"
           << "\tPidFile = " << dir << "/run/ngircd.pid\n"
           << "[Limits]\n"
           << "\tMaxConnections = 0\n\tMaxConnectionsIP = 0\n\tMaxJoins = 0\n"
           << "\tMaxNickLength = 30\n\tMaxPenaltyTime = 0\n"
           << "\tPingTimeout = 600\n\tPongTimeout = 600\n"
           << "[Options]\n"
           << "\tDNS = no\n\tIdent = no\n\tPAM = no\n"
           << "\tIncludeDir = " << dir << "/conf.d\n"
           << "\tOperCanUseMode = yes\n"
           << "\tRequireAuthPing = " << (fOptions.authPing ? "yes" : "no") << "\n"
           << fOptions.extraOptions << "\n"
           << "[Operator]\n\tName = oper\n\tPassword = operpass\n";
    config.close();
    chmod((fDir / "ngircd.conf").c_str(), 0644);
    if (!config) {
        fError = "cannot write " + (fDir / "ngircd.conf");
        return false;
    }
    return true;
}

bool Ngircd::Launch()
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string log = fDir / "ngircd.log";
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const std::string config = fDir / "ngircd.conf";
    char* argv[] = {const_cast<char*>("ngircd"), const_cast<char*>("-n"), const_cast<char*>("-f"),
                    const_cast<char*>(config.c_str()), nullptr};
    int failed = posix_spawnp(&fPid, "ngircd", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        fPid = -1;
        fError = std::string("cannot start ngircd: ") + strerror(failed);
        return false;
    }
    return true;
}

bool Ngircd::Start(int timeoutMs)
{
    // A free port can be taken between the probe and the server's bind; try another.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        fPort = FreeLoopbackPort();
        if (fPort == 0 || !WriteConfig() || !Launch())
            return false;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Exited(fPid)) {
                fPid = -1;
                break;
            }
            if (WaitForListener(fPort, 20))
                return true;
        }
        Stop();
    }
    fError = "ngircd did not start listening; its log:\n" + Log();
    return false;
}

void Ngircd::Stop()
{
    if (fPid <= 0)
        return;
    kill(fPid, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!Exited(fPid)) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(fPid, SIGKILL);
            waitpid(fPid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    fPid = -1;
}

std::string Ngircd::Log() const
{
    std::ifstream in(fDir / "ngircd.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace testsupport
