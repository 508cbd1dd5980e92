#include "Ngircd.h"

#include <fstream>
#include <sys/stat.h>

namespace testsupport {

Ngircd::Ngircd() : Ngircd(Options{}) {}

Ngircd::Ngircd(Options options) : TestServer("ngircd"), fOptions(std::move(options)) {}

bool Ngircd::WriteConfig()
{
    const std::string dir = Dir().Path();
    // The server drops root for "nobody", which must still reach its pid file folder.
    chmod(dir.c_str(), 0755);
    mkdir((dir + "/run").c_str(), 0777);
    chmod((dir + "/run").c_str(), 0777);
    mkdir((dir + "/conf.d").c_str(), 0755);
    std::ofstream config(Dir() / "ngircd.conf");
    config << "[Global]\n"
           << "\tName = " << kServerName << "\n"
           << "\tInfo = loopback test server\n"
           << "\tListen = 127.0.0.1\n"
           << "\tPorts = " << Port() << "\n"
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
    chmod((Dir() / "ngircd.conf").c_str(), 0644);
    if (!config)
        return Fail("cannot write " + (Dir() / "ngircd.conf"));
    return true;
}

std::vector<std::string> Ngircd::Arguments() const
{
    return {"-n", "-f", Dir() / "ngircd.conf"};
}

} // namespace testsupport
