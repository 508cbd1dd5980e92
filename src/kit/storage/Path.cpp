#include "Path.h"

#include "../private/PathUtil.h"

#include <Directory.h>
#include <Entry.h>

BPath::BPath() : fStatus(B_NO_INIT) {}

BPath::BPath(const char* dir, const char* leaf, bool normalize) : fStatus(B_NO_INIT)
{
    SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) : fStatus(B_NO_INIT)
{
    SetTo(dir, leaf, normalize);
}

BPath::BPath(const BEntry* entry) : fStatus(B_NO_INIT)
{
    SetTo(entry);
}

BPath::BPath(const BPath& other) = default;
BPath& BPath::operator=(const BPath& other) = default;
BPath::~BPath() = default;

status_t BPath::InitCheck() const
{
    return fStatus;
}

status_t BPath::SetTo(const char* path, const char* leaf, bool)
{
    Unset();
    if (path == nullptr || *path == '\0')
        return fStatus = B_BAD_VALUE;
    if (leaf != nullptr && leaf[0] == '/')
        return fStatus = B_BAD_VALUE;
    std::string full = kit_private::joined_path(path, leaf ? leaf : "");
    if (full.empty())
        return fStatus = B_BAD_VALUE;
    if (full.size() >= B_PATH_NAME_LENGTH)
        return fStatus = B_NAME_TOO_LONG;
    fPath = full;
    return fStatus = B_OK;
}

status_t BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
    if (dir == nullptr || dir->InitCheck() != B_OK) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return SetTo(dir->NodePath(), leaf, normalize);
}

status_t BPath::SetTo(const BEntry* entry)
{
    Unset();
    if (entry == nullptr)
        return fStatus = B_BAD_VALUE;
    BPath path;
    status_t status = entry->GetPath(&path);
    if (status != B_OK)
        return fStatus = status;
    *this = path;
    return fStatus;
}

void BPath::Unset()
{
    fPath.clear();
    fStatus = B_NO_INIT;
}

status_t BPath::Append(const char* path, bool)
{
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || path[0] == '/')
        return B_BAD_VALUE;
    std::string full = kit_private::joined_path(fPath, path);
    if (full.size() >= B_PATH_NAME_LENGTH)
        return B_NAME_TOO_LONG;
    fPath = full;
    return B_OK;
}

status_t BPath::GetParent(BPath* path) const
{
    if (path == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    std::string parent = kit_private::parent_of(fPath);
    if (parent.empty())
        return B_ENTRY_NOT_FOUND;
    return path->SetTo(parent.c_str());
}

const char* BPath::Path() const
{
    return fStatus == B_OK ? fPath.c_str() : nullptr;
}

const char* BPath::Leaf() const
{
    if (fStatus != B_OK)
        return nullptr;
    size_t slash = fPath.rfind('/');
    return fPath.c_str() + slash + 1;
}

bool BPath::operator==(const BPath& other) const
{
    return fStatus == other.fStatus && fPath == other.fPath;
}
