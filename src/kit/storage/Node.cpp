#include "Node.h"

#include "../private/AttributeStore.h"
#include "../private/PathUtil.h"

#include <Directory.h>
#include <Entry.h>

#include <cerrno>
#include <sys/stat.h>

using kit_private::AttributeStore;

BNode::BNode() : fStatus(B_NO_INIT), fStoreStatus(B_NO_INIT) {}

BNode::BNode(const char* path) : BNode()
{
    SetTo(path);
}

BNode::BNode(const BEntry* entry) : BNode()
{
    SetTo(entry);
}

BNode::BNode(const BDirectory* dir, const char* path) : BNode()
{
    SetTo(dir, path);
}

BNode::BNode(const BNode& other) : BNode()
{
    *this = other;
}

BNode& BNode::operator=(const BNode& other)
{
    if (this != &other) {
        fPath = other.fPath;
        fStatus = other.fStatus;
        fStore.reset();
        fStoreStatus = B_NO_INIT;
    }
    return *this;
}

BNode::~BNode() = default;

status_t BNode::InitCheck() const
{
    return fStatus;
}

status_t BNode::SetNodePath(const std::string& path, status_t status)
{
    fStore.reset();
    fStoreStatus = B_NO_INIT;
    fPath = status == B_OK ? path : "";
    return fStatus = status;
}

status_t BNode::SetTo(const char* path)
{
    if (path == nullptr || *path == '\0')
        return SetNodePath("", B_BAD_VALUE);
    std::string full = kit_private::normalized_path(path);
    struct stat info;
    if (full.empty() || stat(full.c_str(), &info) != 0)
        return SetNodePath("", full.empty() ? B_BAD_VALUE : errno_to_status(errno));
    return SetNodePath(full, B_OK);
}

status_t BNode::SetTo(const BEntry* entry)
{
    BPath path;
    if (entry == nullptr || entry->GetPath(&path) != B_OK)
        return SetNodePath("", B_BAD_VALUE);
    return SetTo(path.Path());
}

status_t BNode::SetTo(const BDirectory* dir, const char* path)
{
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr)
        return SetNodePath("", B_BAD_VALUE);
    return SetTo(dir->PathOf(path).c_str());
}

void BNode::Unset()
{
    SetNodePath("", B_NO_INIT);
}

const char* BNode::NodePath() const
{
    return fPath.c_str();
}

AttributeStore* BNode::Store() const
{
    if (fStore)
        return fStore.get();
    if (fStatus != B_OK) {
        fStoreStatus = fStatus;
        return nullptr;
    }
    struct stat info;
    if (stat(fPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        fStoreStatus = B_UNSUPPORTED;
        return nullptr;
    }
    AttributeStore* store = nullptr;
    fStoreStatus = AttributeStore::Open(fPath, &store);
    fStore.reset(store);
    return store;
}

static bool valid_name(const char* name)
{
    return name != nullptr && *name != '\0';
}

ssize_t BNode::ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
                        size_t length) const
{
    if (!valid_name(name) || offset < 0 || (buffer == nullptr && length > 0))
        return B_BAD_VALUE;
    AttributeStore* store = Store();
    return store ? store->Read(name, type, offset, buffer, length) : fStoreStatus;
}

ssize_t BNode::WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
                         size_t length)
{
    if (!valid_name(name) || offset < 0 || (buffer == nullptr && length > 0))
        return B_BAD_VALUE;
    static const char kNothing = 0;
    AttributeStore* store = Store();
    return store ? store->Write(name, type, offset, buffer ? buffer : &kNothing, length)
                 : fStoreStatus;
}

status_t BNode::RemoveAttr(const char* name)
{
    if (!valid_name(name))
        return B_BAD_VALUE;
    AttributeStore* store = Store();
    return store ? store->Remove(name) : fStoreStatus;
}

status_t BNode::GetAttrInfo(const char* name, attr_info* info) const
{
    if (!valid_name(name) || info == nullptr)
        return B_BAD_VALUE;
    AttributeStore* store = Store();
    return store ? store->GetInfo(name, info) : fStoreStatus;
}
