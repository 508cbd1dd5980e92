#include "TestServer.h"

#include "Inspircd.h"
#include "LoopbackPort.h"
#include "Ngircd.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

constexpr int kStartAttempts = 3;
constexpr const char* kOutputName = "server-output.log";

bool Exited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

const char* FamilyName(ServerFamily family)
{
    switch (family) {
    case ServerFamily::kNgircd:
        return "Ngircd";
    case ServerFamily::kInspircd:
        return "Inspircd";
    }
    return "Unknown";
}

TestServer::TestServer(std::string program) : fProgram(std::move(program)) {}

TestServer::~TestServer()
{
    Stop();
}

bool TestServer::Fail(std::string error)
{
    fError = std::move(error);
    return false;
}

bool TestServer::Launch()
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string output = fDir / kOutputName;
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> args = Arguments();
    args.insert(args.begin(), fProgram);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int failed = posix_spawnp(&fPid, fProgram.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        fPid = -1;
        return Fail("cannot start " + fProgram + ": " + strerror(failed));
    }
    return true;
}

bool TestServer::Start(int timeoutMs)
{
    // A free port can be taken between the probe and the server's bind; try another.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        fPort = FreeLoopbackPort();
        if (fPort == 0)
            return Fail("no free loopback port");
        if (!WriteConfig() || !Launch())
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
    return Fail(fProgram + " did not start listening; its log:\n" + Log());
}

void TestServer::Stop()
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

std::string TestServer::ReadFile(const std::string& name) const
{
    std::ifstream in(fDir / name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TestServer::Log() const
{
    return ReadFile(kOutputName);
}

std::unique_ptr<TestServer> MakeTestServer(ServerFamily family, const TestServerOptions& options)
{
    switch (family) {
    case ServerFamily::kNgircd: {
        Ngircd::Options ngircd;
        ngircd.authPing = options.pingClients;
        return std::make_unique<Ngircd>(ngircd);
    }
    case ServerFamily::kInspircd: {
        Inspircd::Options inspircd;
        if (options.pingClients)
            inspircd.pingSeconds = 1;
        return std::make_unique<Inspircd>(inspircd);
    }
    }
    return nullptr;
}

} // namespace testsupport
