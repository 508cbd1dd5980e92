#pragma once

// A file's contents, read and written through a file descriptor (plus the node's
// attributes, see Node.h).

#include <Node.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BEntry;

class BFile : public BNode
{
public:
    BFile();
    BFile(const char* path, uint32 openMode);
    BFile(const BEntry* entry, uint32 openMode);
    BFile(const BDirectory* dir, const char* path, uint32 openMode);
    BFile(const BFile& other); // opens the same file again, same mode
    BFile& operator=(const BFile& other);
    virtual ~BFile();

    // openMode: B_READ_ONLY / B_WRITE_ONLY / B_READ_WRITE, or-ed with B_CREATE_FILE,
    // B_FAIL_IF_EXISTS, B_ERASE_FILE, B_OPEN_AT_END.
    status_t SetTo(const char* path, uint32 openMode);
    status_t SetTo(const BEntry* entry, uint32 openMode);
    status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);
    void Unset() override;

    bool IsReadable() const;
    bool IsWritable() const;

    // Contents: byte counts or negative errors.
    ssize_t Read(void* buffer, size_t size);
    ssize_t ReadAt(off_t location, void* buffer, size_t size);
    ssize_t Write(const void* buffer, size_t size);
    ssize_t WriteAt(off_t location, const void* buffer, size_t size);
    off_t Seek(off_t position, uint32 seekMode); // SEEK_SET / SEEK_CUR / SEEK_END
    off_t Position() const;
    status_t GetSize(off_t* size) const;
    status_t SetSize(off_t size);
    status_t Sync();

private:
    int fFd;
    uint32 fMode;
};
