#include "FindDirectory.h"

#include <Path.h>

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string home_directory()
{
    const char* home = getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    struct passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

status_t make_directories(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        status_t status = make_directories(path.substr(0, slash));
        if (status != B_OK)
            return status;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno_to_status(errno);
    return B_OK;
}

} // namespace

status_t find_directory(directory_which which, BPath* path, bool createIt, BVolume*)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    std::string home = home_directory();
    std::string result;
    switch (which) {
    case B_USER_DIRECTORY:
        result = home;
        break;
    case B_USER_CONFIG_DIRECTORY:
    case B_USER_SETTINGS_DIRECTORY: {
        const char* config = getenv("XDG_CONFIG_HOME");
        if (config != nullptr && config[0] == '/')
            result = config;
        else if (!home.empty())
            result = home + "/.config";
        break;
    }
    default:
        return B_BAD_VALUE;
    }
    if (result.empty())
        return B_ENTRY_NOT_FOUND;
    status_t status = path->SetTo(result.c_str());
    if (status != B_OK)
        return status;
    if (createIt)
        return make_directories(path->Path());
    return B_OK;
}
