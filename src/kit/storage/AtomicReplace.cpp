#include "AtomicReplace.h"

#include "../private/PathUtil.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

status_t write_all(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno_to_status(errno);
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return B_OK;
}

} // namespace

status_t replace_file_atomically(const char* path, const void* data, size_t size)
{
    if (path == nullptr || *path == '\0' || (data == nullptr && size > 0))
        return B_BAD_VALUE;
    std::string target = kit_private::normalized_path(path);
    std::string directory = kit_private::parent_of(target);
    if (target.empty() || directory.empty())
        return B_BAD_VALUE;

    mode_t mode = 0644;
    struct stat info;
    if (stat(target.c_str(), &info) == 0)
        mode = info.st_mode & 07777;

    // A hidden temporary beside the target, so the rename stays within one file system.
    std::string pattern = directory + "/." + kit_private::leaf_of(target) + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return errno_to_status(errno);

    status_t status = write_all(fd, static_cast<const char*>(data), size);
    if (status == B_OK && fchmod(fd, mode) != 0)
        status = errno_to_status(errno);
    if (status == B_OK && fsync(fd) != 0)
        status = errno_to_status(errno);
    if (close(fd) != 0 && status == B_OK)
        status = errno_to_status(errno);
    if (status == B_OK && rename(name.data(), target.c_str()) != 0)
        status = errno_to_status(errno);
    if (status != B_OK) {
        unlink(name.data());
        return status;
    }
    // Make the rename itself durable.
    int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return B_OK;
}
