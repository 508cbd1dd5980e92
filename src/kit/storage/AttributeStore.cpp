// Typed attributes in an SQLite database at the node's path.

#include "../private/AttributeStore.h"

#include <sqlite3.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kit_private {

namespace {

// How long a handle waits for another one's write to finish before giving up.
constexpr int kBusyTimeoutMs = 10000;

status_t sqlite_status(int code)
{
    switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
        return B_OK;
    case SQLITE_NOMEM:
        return B_NO_MEMORY;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return B_BUSY;
    case SQLITE_READONLY:
        return B_READ_ONLY_DEVICE;
    case SQLITE_IOERR:
        return B_IO_ERROR;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return B_BAD_DATA;
    case SQLITE_FULL:
        return B_DEVICE_FULL;
    case SQLITE_CANTOPEN:
        return B_ENTRY_NOT_FOUND;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return B_PERMISSION_DENIED;
    case SQLITE_TOOBIG:
        return B_BAD_VALUE;
    default:
        return B_ERROR;
    }
}

// What the file holds: nothing yet, an SQLite database, or something else. Looked at before
// SQLite touches it, so a foreign file is never rewritten.
enum class FileKind
{
    kEmpty,
    kSqlite,
    kOther,
    kMissing
};

FileKind file_kind(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileKind::kMissing;
    struct stat info;
    char header[16];
    FileKind kind = FileKind::kOther;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (info.st_size == 0)
            kind = FileKind::kEmpty;
        else if (read(fd, header, sizeof header) == sizeof header &&
                 memcmp(header, "SQLite format 3", 16) == 0)
            kind = FileKind::kSqlite;
    }
    close(fd);
    return kind;
}

class Statement
{
public:
    Statement(sqlite3* db, const char* sql)
    {
        fStatus = sqlite3_prepare_v2(db, sql, -1, &fStatement, nullptr);
    }
    ~Statement() { sqlite3_finalize(fStatement); }
    int Status() const { return fStatus; }
    sqlite3_stmt* operator*() const { return fStatement; }

private:
    sqlite3_stmt* fStatement = nullptr;
    int fStatus;
};

} // namespace

AttributeStore::AttributeStore(sqlite3* db) : fDb(db) {}

AttributeStore::~AttributeStore()
{
    sqlite3_close_v2(fDb);
}

status_t AttributeStore::Execute(const char* sql)
{
    return sqlite_status(sqlite3_exec(fDb, sql, nullptr, nullptr, nullptr));
}

status_t AttributeStore::Open(const std::string& path, AttributeStore** store)
{
    FileKind kind = file_kind(path);
    if (kind == FileKind::kMissing)
        return B_ENTRY_NOT_FOUND;
    if (kind == FileKind::kOther)
        return B_BAD_DATA;

    sqlite3* db = nullptr;
    int code =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (code != SQLITE_OK) {
        sqlite3_close_v2(db);
        return sqlite_status(code);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    auto* opened = new AttributeStore(db);

    status_t status = B_OK;
    if (kind == FileKind::kEmpty) {
        // Two handles may both find the file empty; the immediate transaction lets one make
        // the table and the other see it.
        status = opened->Execute("BEGIN IMMEDIATE");
        if (status == B_OK) {
            status = opened->Execute(
                "CREATE TABLE IF NOT EXISTS attributes ("
                " name TEXT PRIMARY KEY NOT NULL, type INTEGER NOT NULL, value BLOB NOT NULL)");
            std::string mark = "PRAGMA application_id = " + std::to_string(kAttributeApplicationId);
            if (status == B_OK)
                status = opened->Execute(mark.c_str());
            status = status == B_OK ? opened->Execute("COMMIT") : status;
            if (status != B_OK)
                opened->Execute("ROLLBACK");
        }
    }
    if (status == B_OK) {
        Statement check(db, "PRAGMA application_id");
        if (check.Status() != SQLITE_OK || sqlite3_step(*check) != SQLITE_ROW ||
            sqlite3_column_int(*check, 0) != kAttributeApplicationId)
            status = B_BAD_DATA;
    }
    if (status != B_OK) {
        delete opened;
        return status;
    }
    *store = opened;
    return B_OK;
}

ssize_t AttributeStore::Read(const char* name, type_code type, off_t offset, void* buffer,
                             size_t length)
{
    Statement select(fDb, "SELECT type, value FROM attributes WHERE name = ?1");
    if (select.Status() != SQLITE_OK)
        return sqlite_status(select.Status());
    sqlite3_bind_text(*select, 1, name, -1, SQLITE_STATIC);
    int code = sqlite3_step(*select);
    if (code == SQLITE_DONE)
        return B_ENTRY_NOT_FOUND;
    if (code != SQLITE_ROW)
        return sqlite_status(code);
    if (static_cast<type_code>(sqlite3_column_int64(*select, 0)) != type)
        return B_BAD_TYPE;
    const void* value = sqlite3_column_blob(*select, 1);
    size_t size = static_cast<size_t>(sqlite3_column_bytes(*select, 1));
    if (static_cast<uint64>(offset) >= size)
        return 0;
    size_t count = size - static_cast<size_t>(offset);
    if (count > length)
        count = length;
    memcpy(buffer, static_cast<const char*>(value) + offset, count);
    return static_cast<ssize_t>(count);
}

ssize_t AttributeStore::Write(const char* name, type_code type, off_t offset, const void* buffer,
                              size_t length)
{
    if (length > static_cast<size_t>(INT32_MAX) || static_cast<uint64>(offset) > INT32_MAX - length)
        return B_BAD_VALUE;
    status_t status = Execute("BEGIN IMMEDIATE");
    if (status != B_OK)
        return status;

    std::string value;
    if (offset > 0) {
        Statement select(fDb, "SELECT value FROM attributes WHERE name = ?1");
        sqlite3_bind_text(*select, 1, name, -1, SQLITE_STATIC);
        if (select.Status() == SQLITE_OK && sqlite3_step(*select) == SQLITE_ROW) {
            const char* old = static_cast<const char*>(sqlite3_column_blob(*select, 0));
            value.assign(old ? old : "", static_cast<size_t>(sqlite3_column_bytes(*select, 0)));
        }
        if (value.size() < static_cast<size_t>(offset) + length)
            value.resize(static_cast<size_t>(offset) + length, '\0');
        value.replace(static_cast<size_t>(offset), length, static_cast<const char*>(buffer),
                      length);
    } else {
        value.assign(static_cast<const char*>(buffer), length);
    }

    Statement upsert(fDb, "INSERT OR REPLACE INTO attributes (name, type, value)"
                          " VALUES (?1, ?2, ?3)");
    int code = upsert.Status();
    if (code == SQLITE_OK) {
        sqlite3_bind_text(*upsert, 1, name, -1, SQLITE_STATIC);
        sqlite3_bind_int64(*upsert, 2, type);
        sqlite3_bind_blob(*upsert, 3, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
        code = sqlite3_step(*upsert);
    }
    status = sqlite_status(code);
    if (status == B_OK)
        status = Execute("COMMIT");
    if (status != B_OK) {
        Execute("ROLLBACK");
        return status;
    }
    return static_cast<ssize_t>(length);
}

status_t AttributeStore::Remove(const char* name)
{
    Statement remove(fDb, "DELETE FROM attributes WHERE name = ?1");
    if (remove.Status() != SQLITE_OK)
        return sqlite_status(remove.Status());
    sqlite3_bind_text(*remove, 1, name, -1, SQLITE_STATIC);
    int code = sqlite3_step(*remove);
    if (code != SQLITE_DONE)
        return sqlite_status(code);
    return sqlite3_changes(fDb) > 0 ? B_OK : B_ENTRY_NOT_FOUND;
}

status_t AttributeStore::GetInfo(const char* name, attr_info* info)
{
    Statement select(fDb, "SELECT type, length(value) FROM attributes WHERE name = ?1");
    if (select.Status() != SQLITE_OK)
        return sqlite_status(select.Status());
    sqlite3_bind_text(*select, 1, name, -1, SQLITE_STATIC);
    int code = sqlite3_step(*select);
    if (code == SQLITE_DONE)
        return B_ENTRY_NOT_FOUND;
    if (code != SQLITE_ROW)
        return sqlite_status(code);
    info->type = static_cast<uint32>(sqlite3_column_int64(*select, 0));
    info->size = sqlite3_column_int64(*select, 1);
    return B_OK;
}

} // namespace kit_private
