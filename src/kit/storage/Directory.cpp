#include "Directory.h"

#include "../private/PathUtil.h"

#include <Entry.h>
#include <File.h>

#include <cerrno>
#include <sys/stat.h>

BDirectory::BDirectory() = default;

BDirectory::BDirectory(const char* path)
{
    SetTo(path);
}

BDirectory::BDirectory(const BEntry* entry)
{
    SetTo(entry);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path)
{
    SetTo(dir, path);
}

BDirectory::~BDirectory() = default;

status_t BDirectory::SetTo(const char* path)
{
    if (path == nullptr || *path == '\0')
        return SetNodePath("", B_BAD_VALUE);
    std::string full = kit_private::normalized_path(path);
    struct stat info;
    if (full.empty())
        return SetNodePath("", B_BAD_VALUE);
    if (stat(full.c_str(), &info) != 0)
        return SetNodePath("", errno_to_status(errno));
    if (!S_ISDIR(info.st_mode))
        return SetNodePath("", B_NOT_A_DIRECTORY);
    return SetNodePath(full, B_OK);
}

status_t BDirectory::SetTo(const BEntry* entry)
{
    BPath path;
    if (entry == nullptr || entry->GetPath(&path) != B_OK)
        return SetNodePath("", B_BAD_VALUE);
    return SetTo(path.Path());
}

status_t BDirectory::SetTo(const BDirectory* dir, const char* path)
{
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr)
        return SetNodePath("", B_BAD_VALUE);
    return SetTo(dir->PathOf(path).c_str());
}

std::string BDirectory::PathOf(const char* path) const
{
    return kit_private::joined_path(NodePath(), path ? path : "");
}

status_t BDirectory::GetEntry(BEntry* entry) const
{
    if (entry == nullptr)
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return InitCheck();
    return entry->SetTo(NodePath());
}

status_t BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
    if (path == nullptr || entry == nullptr)
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return InitCheck();
    BEntry found(this, path, traverse);
    if (!found.Exists())
        return B_ENTRY_NOT_FOUND;
    *entry = found;
    return B_OK;
}

bool BDirectory::Contains(const char* path) const
{
    BEntry entry;
    return FindEntry(path, &entry) == B_OK;
}

status_t BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return InitCheck();
    std::string full = PathOf(path);
    if (mkdir(full.c_str(), 0755) != 0)
        return errno == EEXIST ? B_FILE_EXISTS : errno_to_status(errno);
    return dir != nullptr ? dir->SetTo(full.c_str()) : B_OK;
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return InitCheck();
    uint32 mode = B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : 0);
    BFile created;
    BFile* target = file != nullptr ? file : &created;
    status_t status = target->SetTo(PathOf(path).c_str(), mode);
    return status;
}
