// BMessage flattening. Layout, all integers little-endian 32-bit:
//   magic 'VMF1', what, field count,
//   per field: type, fixed-size flag (1 byte), name length, name bytes, value count,
//              per value: size, bytes.
// Value bytes are stored as the fields hold them.

#include "Message.h"

#include <cstring>

namespace {

constexpr uint32 kMagic = 'VMF1';
constexpr uint32 kMaxNameLength = 255;

void put32(std::string& out, uint32 value)
{
    char bytes[4] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
                     static_cast<char>((value >> 16) & 0xff),
                     static_cast<char>((value >> 24) & 0xff)};
    out.append(bytes, 4);
}

class Reader
{
public:
    Reader(const char* data, size_t size) : fData(data), fSize(size) {}

    bool Get32(uint32* value)
    {
        if (fSize - fOffset < 4)
            return false;
        const unsigned char* p = reinterpret_cast<const unsigned char*>(fData + fOffset);
        *value = static_cast<uint32>(p[0]) | static_cast<uint32>(p[1]) << 8 |
                 static_cast<uint32>(p[2]) << 16 | static_cast<uint32>(p[3]) << 24;
        fOffset += 4;
        return true;
    }
    bool Get8(uint8* value)
    {
        if (fSize - fOffset < 1)
            return false;
        *value = static_cast<uint8>(fData[fOffset++]);
        return true;
    }
    bool GetBytes(size_t count, const char** bytes)
    {
        if (fSize - fOffset < count)
            return false;
        *bytes = fData + fOffset;
        fOffset += count;
        return true;
    }
    bool AtEnd() const { return fOffset == fSize; }
    size_t Left() const { return fSize - fOffset; }

private:
    const char* fData;
    size_t fSize;
    size_t fOffset = 0;
};

} // namespace

ssize_t BMessage::FlattenedSize() const
{
    size_t size = 12;
    for (const Field& field : fFields) {
        size += 4 + 1 + 4 + field.name.size() + 4;
        for (const std::string& value : field.values)
            size += 4 + value.size();
    }
    return static_cast<ssize_t>(size);
}

status_t BMessage::Flatten(std::string* bytes) const
{
    if (bytes == nullptr)
        return B_BAD_VALUE;
    std::string out;
    out.reserve(static_cast<size_t>(FlattenedSize()));
    put32(out, kMagic);
    put32(out, what);
    put32(out, static_cast<uint32>(fFields.size()));
    for (const Field& field : fFields) {
        put32(out, field.type);
        out.push_back(field.fixedSize ? 1 : 0);
        put32(out, static_cast<uint32>(field.name.size()));
        out.append(field.name);
        put32(out, static_cast<uint32>(field.values.size()));
        for (const std::string& value : field.values) {
            put32(out, static_cast<uint32>(value.size()));
            out.append(value);
        }
    }
    *bytes = std::move(out);
    return B_OK;
}

status_t BMessage::Flatten(char* buffer, ssize_t size) const
{
    if (buffer == nullptr || size < FlattenedSize())
        return B_BAD_VALUE;
    std::string bytes;
    Flatten(&bytes);
    memcpy(buffer, bytes.data(), bytes.size());
    return B_OK;
}

status_t BMessage::Unflatten(const char* buffer, ssize_t size)
{
    what = 0;
    fFields.clear();
    fDropped = false;
    if (buffer == nullptr || size < 12)
        return B_BAD_VALUE;

    Reader in(buffer, static_cast<size_t>(size));
    uint32 magic, code, fieldCount;
    in.Get32(&magic);
    in.Get32(&code);
    in.Get32(&fieldCount);
    if (magic != kMagic)
        return B_NOT_A_MESSAGE;
    // Each field takes at least 17 bytes, so a count beyond that is a lie; checking it first
    // keeps a forged count from reserving memory.
    if (fieldCount > in.Left() / 17)
        return B_BAD_DATA;

    std::vector<Field> fields;
    fields.reserve(fieldCount);
    for (uint32 i = 0; i < fieldCount; i++) {
        Field field;
        uint8 fixed;
        uint32 nameLength, valueCount;
        const char* name;
        if (!in.Get32(&field.type) || !in.Get8(&fixed) || !in.Get32(&nameLength) ||
            nameLength == 0 || nameLength > kMaxNameLength || !in.GetBytes(nameLength, &name) ||
            !in.Get32(&valueCount) || valueCount == 0 || valueCount > in.Left() / 4 ||
            field.type == B_ANY_TYPE || fixed > 1)
            return B_BAD_DATA;
        field.name.assign(name, nameLength);
        if (field.name.find('\0') != std::string::npos)
            return B_BAD_DATA;
        for (const Field& earlier : fields) {
            if (earlier.name == field.name)
                return B_BAD_DATA;
        }
        field.fixedSize = fixed == 1;
        field.values.reserve(valueCount);
        for (uint32 v = 0; v < valueCount; v++) {
            uint32 valueSize;
            const char* bytes;
            if (!in.Get32(&valueSize) || !in.GetBytes(valueSize, &bytes))
                return B_BAD_DATA;
            if (field.fixedSize && v > 0 && valueSize != field.values.front().size())
                return B_BAD_DATA;
            field.values.emplace_back(bytes, valueSize);
        }
        fields.push_back(std::move(field));
    }
    if (!in.AtEnd())
        return B_BAD_DATA;
    what = code;
    fFields = std::move(fields);
    return B_OK;
}
