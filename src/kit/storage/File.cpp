#include "File.h"

#include "../private/PathUtil.h"

#include <Directory.h>
#include <Entry.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uint32 kAccessMask = O_ACCMODE;
}

BFile::BFile() : fFd(-1), fMode(0) {}

BFile::BFile(const char* path, uint32 openMode) : BFile()
{
    SetTo(path, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) : BFile()
{
    SetTo(entry, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) : BFile()
{
    SetTo(dir, path, openMode);
}

BFile::BFile(const BFile& other) : BFile()
{
    *this = other;
}

BFile& BFile::operator=(const BFile& other)
{
    if (this == &other)
        return *this;
    if (other.InitCheck() == B_OK)
        SetTo(other.NodePath(), other.fMode & ~(B_CREATE_FILE | B_FAIL_IF_EXISTS | B_ERASE_FILE));
    else
        Unset();
    return *this;
}

BFile::~BFile()
{
    if (fFd >= 0)
        close(fFd);
}

status_t BFile::SetTo(const char* path, uint32 openMode)
{
    Unset();
    if (path == nullptr || *path == '\0')
        return SetNodePath("", B_BAD_VALUE);
    std::string full = kit_private::normalized_path(path);
    int fd = open(full.c_str(), static_cast<int>(openMode) | O_CLOEXEC, 0644);
    if (fd < 0)
        return SetNodePath("", errno_to_status(errno));
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        return SetNodePath("", B_IS_A_DIRECTORY);
    }
    fFd = fd;
    fMode = openMode;
    return SetNodePath(full, B_OK);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode)
{
    BPath path;
    if (entry == nullptr || entry->GetPath(&path) != B_OK) {
        Unset();
        return SetNodePath("", B_BAD_VALUE);
    }
    return SetTo(path.Path(), openMode);
}

status_t BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
        Unset();
        return SetNodePath("", B_BAD_VALUE);
    }
    return SetTo(dir->PathOf(path).c_str(), openMode);
}

void BFile::Unset()
{
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
    fMode = 0;
    BNode::Unset();
}

bool BFile::IsReadable() const
{
    return fFd >= 0 && (fMode & kAccessMask) != B_WRITE_ONLY;
}

bool BFile::IsWritable() const
{
    return fFd >= 0 && (fMode & kAccessMask) != B_READ_ONLY;
}

static ssize_t result_of(ssize_t result)
{
    return result >= 0 ? result : errno_to_status(errno);
}

ssize_t BFile::Read(void* buffer, size_t size)
{
    if (fFd < 0)
        return B_NO_INIT;
    return result_of(read(fFd, buffer, size));
}

ssize_t BFile::ReadAt(off_t location, void* buffer, size_t size)
{
    if (fFd < 0)
        return B_NO_INIT;
    return result_of(pread(fFd, buffer, size, location));
}

ssize_t BFile::Write(const void* buffer, size_t size)
{
    if (fFd < 0)
        return B_NO_INIT;
    return result_of(write(fFd, buffer, size));
}

ssize_t BFile::WriteAt(off_t location, const void* buffer, size_t size)
{
    if (fFd < 0)
        return B_NO_INIT;
    return result_of(pwrite(fFd, buffer, size, location));
}

off_t BFile::Seek(off_t position, uint32 seekMode)
{
    if (fFd < 0)
        return B_NO_INIT;
    off_t result = lseek(fFd, position, static_cast<int>(seekMode));
    return result >= 0 ? result : errno_to_status(errno);
}

off_t BFile::Position() const
{
    if (fFd < 0)
        return B_NO_INIT;
    off_t result = lseek(fFd, 0, SEEK_CUR);
    return result >= 0 ? result : errno_to_status(errno);
}

status_t BFile::GetSize(off_t* size) const
{
    struct stat info;
    if (fFd < 0 || size == nullptr)
        return fFd < 0 ? B_NO_INIT : B_BAD_VALUE;
    if (fstat(fFd, &info) != 0)
        return errno_to_status(errno);
    *size = info.st_size;
    return B_OK;
}

status_t BFile::SetSize(off_t size)
{
    if (fFd < 0)
        return B_NO_INIT;
    return ftruncate(fFd, size) == 0 ? B_OK : errno_to_status(errno);
}

status_t BFile::Sync()
{
    if (fFd < 0)
        return B_NO_INIT;
    return fsync(fFd) == 0 ? B_OK : errno_to_status(errno);
}
