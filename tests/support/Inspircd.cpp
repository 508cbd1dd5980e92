#include "Inspircd.h"

#include <fstream>
#include <sys/stat.h>

namespace testsupport {

Inspircd::Inspircd() : Inspircd(Options{}) {}

Inspircd::Inspircd(Options options) : TestServer("inspircd"), fOptions(options) {}

bool Inspircd::WriteConfig()
{
    const std::string dir = Dir().Path();
    mkdir((dir + "/data").c_str(), 0755);
    mkdir((dir + "/logs").c_str(), 0755);
    std::ofstream config(Dir() / "inspircd.conf");
    config << "<server name=\"" << kServerName
           << "\" description=\"loopback test server\" network=\"TestNet\">\n"
           << "<admin name=\"test\" nick=\"test\" email=\"test@localhost\">\n"
           << "<path configdir=\"" << dir << "\" datadir=\"" << dir << "/data\" logdir=\"" << dir
           << "/logs\">\n"
           << "<bind address=\"127.0.0.1\" port=\"" << Port() << "\" type=\"clients\">\n"
           << "<connect name=\"main\" allow=\"*\" timeout=\"60\" pingfreq=\""
           << fOptions.pingSeconds << "\"\n"
           << "  resolvehostnames=\"no\" useident=\"no\" usednsbl=\"no\"\n"
           << "  maxchans=\"1000\" localmax=\"10000\" globalmax=\"10000\" limit=\"100000\""
           << " maxconnwarn=\"no\"\n"
           << "  threshold=\"1000000\" commandrate=\"4000000000\" fakelag=\"no\"\n"
           << "  recvq=\"8M\" softsendq=\"8M\" hardsendq=\"256M\">\n"
           << "<dns server=\"127.0.0.1\" timeout=\"1\">\n"
           << "<options prefixquit=\"Quit: \" syntaxhints=\"no\" announcets=\"yes\""
           << " hostintopic=\"yes\" splitwhois=\"no\">\n"
           // Its network buffer must stay below 64 KiB.
           << "<performance quietbursts=\"yes\" softlimit=\"12800\" somaxconn=\"128\""
           << " netbuffersize=\"65534\">\n"
           << "<channels users=\"1000\" opers=\"1000\">\n"
           << "<limits maxnick=\"30\" maxchan=\"64\" maxmodes=\"20\" maxquit=\"255\""
           << " maxtopic=\"307\" maxkick=\"255\">\n"
           << "<class name=\"All\" commands=\"*\" privs=\"*\" usermodes=\"*\" chanmodes=\"*\">\n"
           << "<type name=\"Admin\" classes=\"All\">\n"
           << "<oper name=\"oper\" password=\"operpass\" host=\"*@*\" type=\"Admin\">\n"
           << "<log method=\"file\" type=\"* -USERINPUT -USEROUTPUT\" level=\"default\""
           << " target=\"inspircd.log\">\n";
    config.close();
    if (!config)
        return Fail("cannot write " + (Dir() / "inspircd.conf"));
    return true;
}

std::vector<std::string> Inspircd::Arguments() const
{
    return {"--config=" + (Dir() / "inspircd.conf"), "--nofork", "--nopid", "--runasroot"};
}

std::string Inspircd::Log() const
{
    return TestServer::Log() + ReadFile("logs/inspircd.log");
}

} // namespace testsupport
