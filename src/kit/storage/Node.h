#pragma once

// A file or directory, with typed attributes.
//
// Attributes are named values with a type code, kept in an SQLite database stored in the
// node's own file (the file's contents are otherwise unused): one row per attribute with its
// type and exact bytes. An empty file becomes an attribute database on the first attribute
// call. Each write is one transaction, so a crash or a concurrent writer never loses or tears
// a value, and every handle on the same file sees the others' committed writes. A file that
// is not an attribute database is never modified: attribute calls on it fail with
// B_BAD_DATA. Directories have no attributes (B_UNSUPPORTED).
//
// A node is used by one thread at a time; several nodes on the same file may be used by
// several threads or processes at once.

#include <StorageDefs.h>
#include <SupportDefs.h>

#include <memory>
#include <string>

class BDirectory;
class BEntry;

struct attr_info
{
    uint32 type;
    off_t size;
};

namespace kit_private {
class AttributeStore;
}

class BNode
{
public:
    BNode();
    explicit BNode(const char* path);
    BNode(const BEntry* entry);
    BNode(const BDirectory* dir, const char* path);
    BNode(const BNode& other);
    BNode& operator=(const BNode& other);
    virtual ~BNode();

    // B_OK when the node exists; B_ENTRY_NOT_FOUND or B_NO_INIT otherwise.
    status_t InitCheck() const;
    status_t SetTo(const char* path);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const BDirectory* dir, const char* path);
    virtual void Unset();

    // Attributes. The type must match the stored one on reading (B_BAD_TYPE otherwise);
    // a missing attribute gives B_ENTRY_NOT_FOUND.
    // Copies up to length bytes from offset; returns the count (0 past the end) or an error.
    ssize_t ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
                     size_t length) const;
    // Writing at offset 0 replaces the whole value (and its type); at a larger offset it
    // overwrites or extends the stored bytes (zero-filling a gap). Returns length or an
    // error.
    ssize_t WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
                      size_t length);
    status_t RemoveAttr(const char* name);
    status_t GetAttrInfo(const char* name, attr_info* info) const;

    // The node's path ("" when not initialised).
    const char* NodePath() const;

protected:
    status_t SetNodePath(const std::string& path, status_t status);

private:
    kit_private::AttributeStore* Store() const; // opened on first use; nullptr on failure

    std::string fPath;
    status_t fStatus;
    mutable std::unique_ptr<kit_private::AttributeStore> fStore;
    mutable status_t fStoreStatus;
};
