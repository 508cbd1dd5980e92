#pragma once

// A name in a directory, which may or may not exist.
//
// An entry is initialised (InitCheck() == B_OK) when its parent directory exists; Exists()
// says whether the name itself does. Symbolic links are not followed unless asked.

#include <Path.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <string>

class BDirectory;

class BEntry
{
public:
    BEntry();
    BEntry(const char* path, bool traverse = false);
    BEntry(const BDirectory* dir, const char* path, bool traverse = false);
    BEntry(const BEntry& other);
    BEntry& operator=(const BEntry& other);
    virtual ~BEntry();

    status_t InitCheck() const;
    status_t SetTo(const char* path, bool traverse = false);
    status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
    void Unset();

    bool Exists() const;
    bool IsFile() const;
    bool IsDirectory() const;
    status_t GetPath(BPath* path) const;
    status_t GetName(char* buffer) const; // buffer of B_FILE_NAME_LENGTH bytes
    status_t GetParent(BEntry* parent) const;
    status_t GetParent(BDirectory* parent) const;

    // Renames (and possibly moves) the entry; a relative path is taken from the entry's
    // directory. Without clobber an existing target gives B_FILE_EXISTS; with it the target
    // is replaced atomically (a directory only replaces an empty directory). The entry then
    // refers to the new name.
    status_t Rename(const char* path, bool clobber = false);
    status_t MoveTo(BDirectory* dir, const char* path = nullptr, bool clobber = false);
    // Removes the entry (a directory must be empty).
    status_t Remove();

    bool operator==(const BEntry& other) const;
    bool operator!=(const BEntry& other) const { return !(*this == other); }

private:
    std::string fPath; // normalized absolute path
    status_t fStatus;
};
