#include "Entry.h"

#include "../private/PathUtil.h"

#include <Directory.h>
#include <StringCopy.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool is_directory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string traversed(const std::string& path)
{
    char resolved[4096];
    if (realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

} // namespace

BEntry::BEntry() : fStatus(B_NO_INIT) {}

BEntry::BEntry(const char* path, bool traverse) : fStatus(B_NO_INIT)
{
    SetTo(path, traverse);
}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse) : fStatus(B_NO_INIT)
{
    SetTo(dir, path, traverse);
}

BEntry::BEntry(const BEntry& other) = default;
BEntry& BEntry::operator=(const BEntry& other) = default;
BEntry::~BEntry() = default;

status_t BEntry::InitCheck() const
{
    return fStatus;
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
    Unset();
    if (path == nullptr || *path == '\0')
        return fStatus = B_BAD_VALUE;
    std::string full = kit_private::normalized_path(path);
    if (full.empty())
        return fStatus = B_BAD_VALUE;
    if (traverse)
        full = traversed(full);
    std::string parent = kit_private::parent_of(full);
    if (!parent.empty() && !is_directory(parent))
        return fStatus = B_ENTRY_NOT_FOUND;
    fPath = full;
    return fStatus = B_OK;
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return SetTo(dir->PathOf(path).c_str(), traverse);
}

void BEntry::Unset()
{
    fPath.clear();
    fStatus = B_NO_INIT;
}

bool BEntry::Exists() const
{
    struct stat info;
    return fStatus == B_OK && lstat(fPath.c_str(), &info) == 0;
}

bool BEntry::IsFile() const
{
    struct stat info;
    return fStatus == B_OK && stat(fPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool BEntry::IsDirectory() const
{
    return fStatus == B_OK && is_directory(fPath);
}

status_t BEntry::GetPath(BPath* path) const
{
    if (path == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    return path->SetTo(fPath.c_str());
}

status_t BEntry::GetName(char* buffer) const
{
    if (buffer == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    copy_utf8(buffer, B_FILE_NAME_LENGTH, kit_private::leaf_of(fPath).c_str());
    return B_OK;
}

status_t BEntry::GetParent(BEntry* parent) const
{
    if (parent == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    std::string path = kit_private::parent_of(fPath);
    if (path.empty())
        return B_ENTRY_NOT_FOUND;
    return parent->SetTo(path.c_str());
}

status_t BEntry::GetParent(BDirectory* parent) const
{
    if (parent == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    std::string path = kit_private::parent_of(fPath);
    if (path.empty())
        return B_ENTRY_NOT_FOUND;
    return parent->SetTo(path.c_str());
}

status_t BEntry::Rename(const char* path, bool clobber)
{
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    std::string target = kit_private::joined_path(kit_private::parent_of(fPath), path);
    if (target == fPath)
        return B_OK;
    int result =
        clobber ? rename(fPath.c_str(), target.c_str())
                : renameat2(AT_FDCWD, fPath.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (result != 0)
        return errno == EEXIST ? B_FILE_EXISTS : errno_to_status(errno);
    fPath = target;
    return B_OK;
}

status_t BEntry::MoveTo(BDirectory* dir, const char* path, bool clobber)
{
    if (dir == nullptr || dir->InitCheck() != B_OK)
        return B_BAD_VALUE;
    std::string leaf = path ? path : kit_private::leaf_of(fPath);
    return Rename(dir->PathOf(leaf.c_str()).c_str(), clobber);
}

status_t BEntry::Remove()
{
    if (fStatus != B_OK)
        return fStatus;
    int result = is_directory(fPath) ? rmdir(fPath.c_str()) : unlink(fPath.c_str());
    return result == 0 ? B_OK : errno_to_status(errno);
}

bool BEntry::operator==(const BEntry& other) const
{
    return fStatus == other.fStatus && fPath == other.fPath;
}
