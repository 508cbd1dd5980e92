#pragma once

// An absolute path. Relative paths given to it are taken from the current directory.
// Normalizing removes ".", "..", repeated and trailing slashes without touching the disk.

#include <StorageDefs.h>
#include <SupportDefs.h>

#include <string>

class BDirectory;
class BEntry;

class BPath
{
public:
    BPath();
    BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
    BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
    BPath(const BEntry* entry);
    BPath(const BPath& other);
    BPath& operator=(const BPath& other);
    virtual ~BPath();

    // B_OK, B_NO_INIT when unset, B_BAD_VALUE for an empty or too long path.
    status_t InitCheck() const;
    status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
    status_t SetTo(const BDirectory* dir, const char* leaf, bool normalize = false);
    status_t SetTo(const BEntry* entry);
    void Unset();

    // Appends a relative path; B_BAD_VALUE for an absolute one.
    status_t Append(const char* path, bool normalize = false);
    // The parent directory's path; B_ENTRY_NOT_FOUND for "/".
    status_t GetParent(BPath* path) const;

    const char* Path() const; // nullptr when not initialised
    const char* Leaf() const; // the last component ("" for "/")

    bool operator==(const BPath& other) const;
    bool operator!=(const BPath& other) const { return !(*this == other); }

private:
    std::string fPath;
    status_t fStatus;
};
