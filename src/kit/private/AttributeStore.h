#pragma once

// The SQLite database holding one file's attributes (see Node.h). One store per BNode;
// stores on the same file share nothing but the file, which SQLite's locking arbitrates.

#include <Node.h>
#include <SupportDefs.h>

#include <string>

struct sqlite3;

namespace kit_private {

class AttributeStore
{
public:
    // Opens the file's database, creating the table when the file is empty. B_BAD_DATA when
    // the file holds anything else (it is then left as it is).
    static status_t Open(const std::string& path, AttributeStore** store);
    ~AttributeStore();
    AttributeStore(const AttributeStore&) = delete;
    AttributeStore& operator=(const AttributeStore&) = delete;

    ssize_t Read(const char* name, type_code type, off_t offset, void* buffer, size_t length);
    ssize_t Write(const char* name, type_code type, off_t offset, const void* buffer,
                  size_t length);
    status_t Remove(const char* name);
    status_t GetInfo(const char* name, attr_info* info);

private:
    explicit AttributeStore(sqlite3* db);
    status_t Execute(const char* sql);

    sqlite3* fDb;
};

// 'VLMR' in the database header marks a file as one of ours.
constexpr int32 kAttributeApplicationId = 0x564C4D52;

} // namespace kit_private
