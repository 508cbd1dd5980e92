#pragma once

// A directory, and making entries in it. Relative paths are taken from the directory.

#include <Node.h>
#include <SupportDefs.h>

class BEntry;
class BFile;

class BDirectory : public BNode
{
public:
    BDirectory();
    explicit BDirectory(const char* path);
    BDirectory(const BEntry* entry);
    BDirectory(const BDirectory* dir, const char* path);
    virtual ~BDirectory();

    // B_OK; B_ENTRY_NOT_FOUND; B_NOT_A_DIRECTORY when the path names something else.
    status_t SetTo(const char* path);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const BDirectory* dir, const char* path);

    status_t GetEntry(BEntry* entry) const;
    status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
    bool Contains(const char* path) const;

    // Creates a directory (mode 0755); B_FILE_EXISTS when the name exists. *dir (optional)
    // is set to it.
    status_t CreateDirectory(const char* path, BDirectory* dir);
    // Creates or opens a file for reading and writing; with failIfExists an existing file
    // gives B_FILE_EXISTS. *file (optional) is opened on it.
    status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);

    // Absolute path of a name inside this directory.
    std::string PathOf(const char* path) const;
};
