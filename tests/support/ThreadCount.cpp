#include "ThreadCount.h"

#include <dirent.h>
#include <fstream>

namespace testsupport {

int CountThreads(const std::string& name)
{
    int count = 0;
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* entry = tasks != nullptr ? readdir(tasks) : nullptr) {
        std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
        std::string line;
        if (std::getline(comm, line) && line == name)
            count++;
    }
    if (tasks != nullptr)
        closedir(tasks);
    return count;
}

} // namespace testsupport
