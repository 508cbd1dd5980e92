// BMessage: fields, adding, finding, replacing.

#include "Message.h"

#include "../private/Tokens.h"

#include <Messenger.h>

#include <cstdio>
#include <cstring>

BMessage::BMessage() : what(0), fTargetToken(kit_private::kPreferredToken) {}

BMessage::BMessage(uint32 code) : what(code), fTargetToken(kit_private::kPreferredToken) {}

BMessage::BMessage(const BMessage& other) = default;

BMessage::BMessage(BMessage&& other) noexcept = default;

BMessage& BMessage::operator=(const BMessage& other) = default;

BMessage& BMessage::operator=(BMessage&& other) noexcept = default;

BMessage::~BMessage() = default;

BMessage::Field* BMessage::FindField(const char* name)
{
    if (name == nullptr)
        return nullptr;
    // Every message a window handles is asked for a few names: the name is measured once,
    // and a field of another length is passed over without comparing.
    const size_t length = strlen(name);
    for (Field& field : fFields) {
        if (field.name.size() == length && memcmp(field.name.data(), name, length) == 0)
            return &field;
    }
    return nullptr;
}

const BMessage::Field* BMessage::FindField(const char* name) const
{
    return const_cast<BMessage*>(this)->FindField(name);
}

status_t BMessage::FindValue(const char* name, type_code type, int32 index,
                             const std::string** value) const
{
    if (name == nullptr)
        return B_BAD_VALUE;
    const Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (type != B_ANY_TYPE && field->type != type)
        return B_BAD_TYPE;
    if (index < 0 || index >= static_cast<int32>(field->values.size()))
        return B_BAD_INDEX;
    *value = &field->values[static_cast<size_t>(index)];
    return B_OK;
}

// Information

status_t BMessage::GetInfo(const char* name, type_code* type, int32* count) const
{
    const Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (type != nullptr)
        *type = field->type;
    if (count != nullptr)
        *count = static_cast<int32>(field->values.size());
    return B_OK;
}

status_t BMessage::GetInfo(const char* name, type_code* type, bool* fixedSize) const
{
    const Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (type != nullptr)
        *type = field->type;
    if (fixedSize != nullptr)
        *fixedSize = field->fixedSize;
    return B_OK;
}

status_t BMessage::GetInfo(type_code type, int32 index, const char** name, type_code* typeFound,
                           int32* count) const
{
    if (index < 0)
        return B_BAD_INDEX;
    int32 seen = 0;
    for (const Field& field : fFields) {
        if (type != B_ANY_TYPE && field.type != type)
            continue;
        if (seen++ < index)
            continue;
        if (name != nullptr)
            *name = field.name.c_str();
        if (typeFound != nullptr)
            *typeFound = field.type;
        if (count != nullptr)
            *count = static_cast<int32>(field.values.size());
        return B_OK;
    }
    return seen == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

int32 BMessage::CountNames(type_code type) const
{
    int32 count = 0;
    for (const Field& field : fFields) {
        if (type == B_ANY_TYPE || field.type == type)
            count++;
    }
    return count;
}

bool BMessage::IsEmpty() const
{
    return fFields.empty();
}

bool BMessage::IsSystem() const
{
    return ((what >> 24) & 0xff) == '_';
}

void BMessage::PrintToStream() const
{
    char code[5];
    printf("BMessage('%s') {\n", type_code_text(what, code));
    for (const Field& field : fFields) {
        char type[5];
        type_code_text(field.type, type);
        for (size_t i = 0; i < field.values.size(); i++) {
            const std::string& v = field.values[i];
            printf("        %s[%zu], type = '%s', ", field.name.c_str(), i, type);
            if (field.type == B_STRING_TYPE && !v.empty() && v.back() == '\0')
                printf("string(\"%.*s\")\n", static_cast<int>(v.size() - 1), v.data());
            else if (field.type == B_INT32_TYPE && v.size() == 4) {
                int32 n;
                memcpy(&n, v.data(), 4);
                printf("int32(%d)\n", n);
            } else if (field.type == B_BOOL_TYPE && v.size() == 1)
                printf("bool(%s)\n", v[0] ? "true" : "false");
            else
                printf("%zu bytes\n", v.size());
        }
    }
    printf("}\n");
}

// Removing

status_t BMessage::RemoveName(const char* name)
{
    for (auto it = fFields.begin(); it != fFields.end(); ++it) {
        if (name != nullptr && it->name == name) {
            fFields.erase(it);
            return B_OK;
        }
    }
    return name == nullptr ? B_BAD_VALUE : B_NAME_NOT_FOUND;
}

status_t BMessage::RemoveData(const char* name, int32 index)
{
    Field* field = FindField(name);
    if (field == nullptr)
        return name == nullptr ? B_BAD_VALUE : B_NAME_NOT_FOUND;
    if (index < 0 || index >= static_cast<int32>(field->values.size()))
        return B_BAD_INDEX;
    field->values.erase(static_cast<size_t>(index));
    if (field->values.empty())
        return RemoveName(name);
    return B_OK;
}

status_t BMessage::MakeEmpty()
{
    fFields.clear();
    fDropped = false;
    return B_OK;
}

// Drops

bool BMessage::WasDropped() const
{
    return fDropped;
}

BPoint BMessage::DropPoint(BPoint* offset) const
{
    if (offset != nullptr)
        *offset = fDropped ? fDropOffset : B_ORIGIN;
    return fDropped ? fDropPoint : B_ORIGIN;
}

void BMessage::SetDropped(BPoint dropPoint, BPoint offset)
{
    fDropped = true;
    fDropPoint = dropPoint;
    fDropOffset = offset;
}

// Adding

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                           bool isFixedSize, int32 /*numItems*/)
{
    if (name == nullptr || *name == '\0' || numBytes < 0 || (data == nullptr && numBytes > 0) ||
        type == B_ANY_TYPE)
        return B_BAD_VALUE;
    Field* field = FindField(name);
    if (field == nullptr) {
        // Event messages carry about five fields: one block, not one per doubling.
        if (fFields.empty())
            fFields.reserve(6);
        fFields.push_back(Field{name, type, isFixedSize, {}});
        field = &fFields.back();
    } else if (field->type != type) {
        return B_BAD_TYPE;
    } else if (field->fixedSize && !field->values.empty() &&
               field->values.front().size() != static_cast<size_t>(numBytes)) {
        return B_BAD_VALUE;
    }
    field->values.emplace_back(static_cast<const char*>(data), static_cast<size_t>(numBytes));
    return B_OK;
}

template <typename T> status_t BMessage::AddFixed(const char* name, type_code type, const T& value)
{
    return AddData(name, type, &value, sizeof value, true);
}

status_t BMessage::AddString(const char* name, const char* string)
{
    if (string == nullptr)
        return B_BAD_VALUE;
    return AddData(name, B_STRING_TYPE, string, static_cast<ssize_t>(strlen(string) + 1), false);
}

status_t BMessage::AddString(const char* name, const std::string& string)
{
    return AddString(name, string.c_str());
}

status_t BMessage::AddInt8(const char* name, int8 value)
{
    return AddFixed(name, B_INT8_TYPE, value);
}

status_t BMessage::AddInt16(const char* name, int16 value)
{
    return AddFixed(name, B_INT16_TYPE, value);
}

status_t BMessage::AddInt32(const char* name, int32 value)
{
    return AddFixed(name, B_INT32_TYPE, value);
}

status_t BMessage::AddInt64(const char* name, int64 value)
{
    return AddFixed(name, B_INT64_TYPE, value);
}

status_t BMessage::AddBool(const char* name, bool value)
{
    uint8 byte = value ? 1 : 0;
    return AddFixed(name, B_BOOL_TYPE, byte);
}

status_t BMessage::AddFloat(const char* name, float value)
{
    return AddFixed(name, B_FLOAT_TYPE, value);
}

status_t BMessage::AddDouble(const char* name, double value)
{
    return AddFixed(name, B_DOUBLE_TYPE, value);
}

status_t BMessage::AddPointer(const char* name, const void* pointer)
{
    return AddFixed(name, B_POINTER_TYPE, pointer);
}

status_t BMessage::AddPoint(const char* name, BPoint point)
{
    float xy[2] = {point.x, point.y};
    return AddFixed(name, B_POINT_TYPE, xy);
}

status_t BMessage::AddRect(const char* name, BRect rect)
{
    float edges[4] = {rect.left, rect.top, rect.right, rect.bottom};
    return AddFixed(name, B_RECT_TYPE, edges);
}

status_t BMessage::AddColor(const char* name, rgb_color color)
{
    return AddFixed(name, B_RGB_COLOR_TYPE, color);
}

status_t BMessage::AddMessage(const char* name, const BMessage* message)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    std::string bytes;
    message->Flatten(&bytes);
    return AddData(name, B_MESSAGE_TYPE, bytes.data(), static_cast<ssize_t>(bytes.size()), false);
}

status_t BMessage::AddMessenger(const char* name, const BMessenger& messenger)
{
    int32 ids[2];
    messenger.GetIds(&ids[0], &ids[1]);
    return AddFixed(name, B_MESSENGER_TYPE, ids);
}

// Finding

status_t BMessage::FindData(const char* name, type_code type, const void** data,
                            ssize_t* numBytes) const
{
    return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                            ssize_t* numBytes) const
{
    const std::string* value;
    status_t status = FindValue(name, type, index, &value);
    if (status != B_OK)
        return status;
    if (data != nullptr)
        *data = value->data();
    if (numBytes != nullptr)
        *numBytes = static_cast<ssize_t>(value->size());
    return B_OK;
}

template <typename T>
status_t BMessage::FindFixed(const char* name, type_code type, int32 index, T* value) const
{
    const std::string* bytes;
    status_t status = FindValue(name, type, index, &bytes);
    if (status != B_OK)
        return status;
    if (bytes->size() != sizeof(T))
        return B_BAD_DATA;
    if (value != nullptr)
        memcpy(value, bytes->data(), sizeof(T));
    return B_OK;
}

status_t BMessage::FindString(const char* name, const char** string) const
{
    return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const
{
    const std::string* bytes;
    status_t status = FindValue(name, B_STRING_TYPE, index, &bytes);
    if (status != B_OK)
        return status;
    if (bytes->empty() || bytes->back() != '\0')
        return B_BAD_DATA;
    if (string != nullptr)
        *string = bytes->data();
    return B_OK;
}

status_t BMessage::FindString(const char* name, std::string* string) const
{
    return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, std::string* string) const
{
    const char* text;
    status_t status = FindString(name, index, &text);
    if (status == B_OK && string != nullptr)
        *string = text;
    return status;
}

#define FIND_FIXED(Name, Type, Code)                                                               \
    status_t BMessage::Find##Name(const char* name, Type* value) const                             \
    {                                                                                              \
        return FindFixed(name, Code, 0, value);                                                    \
    }                                                                                              \
    status_t BMessage::Find##Name(const char* name, int32 index, Type* value) const                \
    {                                                                                              \
        return FindFixed(name, Code, index, value);                                                \
    }

FIND_FIXED(Int8, int8, B_INT8_TYPE)
FIND_FIXED(Int16, int16, B_INT16_TYPE)
FIND_FIXED(Int32, int32, B_INT32_TYPE)
FIND_FIXED(Int64, int64, B_INT64_TYPE)
FIND_FIXED(Float, float, B_FLOAT_TYPE)
FIND_FIXED(Double, double, B_DOUBLE_TYPE)
FIND_FIXED(Pointer, void*, B_POINTER_TYPE)
FIND_FIXED(Color, rgb_color, B_RGB_COLOR_TYPE)
#undef FIND_FIXED

status_t BMessage::FindBool(const char* name, bool* value) const
{
    return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const
{
    uint8 byte;
    status_t status = FindFixed(name, B_BOOL_TYPE, index, &byte);
    if (status == B_OK && value != nullptr)
        *value = byte != 0;
    return status;
}

status_t BMessage::FindPoint(const char* name, BPoint* point) const
{
    return FindPoint(name, 0, point);
}

status_t BMessage::FindPoint(const char* name, int32 index, BPoint* point) const
{
    float xy[2];
    status_t status = FindFixed(name, B_POINT_TYPE, index, &xy);
    if (status == B_OK && point != nullptr)
        point->Set(xy[0], xy[1]);
    return status;
}

status_t BMessage::FindRect(const char* name, BRect* rect) const
{
    return FindRect(name, 0, rect);
}

status_t BMessage::FindRect(const char* name, int32 index, BRect* rect) const
{
    float edges[4];
    status_t status = FindFixed(name, B_RECT_TYPE, index, &edges);
    if (status == B_OK && rect != nullptr)
        rect->Set(edges[0], edges[1], edges[2], edges[3]);
    return status;
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const
{
    return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
    const std::string* bytes;
    status_t status = FindValue(name, B_MESSAGE_TYPE, index, &bytes);
    if (status != B_OK || message == nullptr)
        return status;
    BMessage found;
    status = found.Unflatten(bytes->data(), static_cast<ssize_t>(bytes->size()));
    if (status == B_OK)
        *message = found;
    return status;
}

status_t BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
    return FindMessenger(name, 0, messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
    int32 ids[2];
    status_t status = FindFixed(name, B_MESSENGER_TYPE, index, &ids);
    if (status == B_OK && messenger != nullptr)
        *messenger = BMessenger::FromIds(ids[0], ids[1]);
    return status;
}

// Replacing

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
    return ReplaceData(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
                               ssize_t numBytes)
{
    if (numBytes < 0 || (data == nullptr && numBytes > 0))
        return B_BAD_VALUE;
    const std::string* value;
    status_t status = FindValue(name, type, index, &value);
    if (status != B_OK)
        return status;
    Field* field = FindField(name);
    if (field->fixedSize && value->size() != static_cast<size_t>(numBytes))
        return B_BAD_VALUE;
    field->values[static_cast<size_t>(index)].assign(static_cast<const char*>(data),
                                                     static_cast<size_t>(numBytes));
    return B_OK;
}

template <typename T>
status_t BMessage::ReplaceFixed(const char* name, type_code type, int32 index, const T& value)
{
    return ReplaceData(name, type, index, &value, sizeof value);
}

status_t BMessage::ReplaceString(const char* name, const char* string)
{
    return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
    if (string == nullptr)
        return B_BAD_VALUE;
    return ReplaceData(name, B_STRING_TYPE, index, string,
                       static_cast<ssize_t>(strlen(string) + 1));
}

status_t BMessage::ReplaceInt8(const char* name, int8 value)
{
    return ReplaceFixed(name, B_INT8_TYPE, 0, value);
}

status_t BMessage::ReplaceInt16(const char* name, int16 value)
{
    return ReplaceFixed(name, B_INT16_TYPE, 0, value);
}

status_t BMessage::ReplaceInt32(const char* name, int32 value)
{
    return ReplaceFixed(name, B_INT32_TYPE, 0, value);
}

status_t BMessage::ReplaceInt32(const char* name, int32 index, int32 value)
{
    return ReplaceFixed(name, B_INT32_TYPE, index, value);
}

status_t BMessage::ReplaceInt64(const char* name, int64 value)
{
    return ReplaceFixed(name, B_INT64_TYPE, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, bool value)
{
    return ReplaceBool(name, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
    uint8 byte = value ? 1 : 0;
    return ReplaceFixed(name, B_BOOL_TYPE, index, byte);
}

status_t BMessage::ReplaceFloat(const char* name, float value)
{
    return ReplaceFixed(name, B_FLOAT_TYPE, 0, value);
}

status_t BMessage::ReplaceDouble(const char* name, double value)
{
    return ReplaceFixed(name, B_DOUBLE_TYPE, 0, value);
}

status_t BMessage::ReplacePointer(const char* name, const void* pointer)
{
    return ReplaceFixed(name, B_POINTER_TYPE, 0, pointer);
}

status_t BMessage::ReplacePoint(const char* name, BPoint point)
{
    float xy[2] = {point.x, point.y};
    return ReplaceFixed(name, B_POINT_TYPE, 0, xy);
}

status_t BMessage::ReplaceRect(const char* name, BRect rect)
{
    float edges[4] = {rect.left, rect.top, rect.right, rect.bottom};
    return ReplaceFixed(name, B_RECT_TYPE, 0, edges);
}

status_t BMessage::ReplaceColor(const char* name, rgb_color color)
{
    return ReplaceFixed(name, B_RGB_COLOR_TYPE, 0, color);
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    std::string bytes;
    message->Flatten(&bytes);
    return ReplaceData(name, B_MESSAGE_TYPE, 0, bytes.data(), static_cast<ssize_t>(bytes.size()));
}

// Presence

bool BMessage::HasData(const char* name, type_code type, int32 index) const
{
    const std::string* value;
    return FindValue(name, type, index, &value) == B_OK;
}

#define HAS(Name, Code)                                                                            \
    bool BMessage::Has##Name(const char* name, int32 index) const                                  \
    {                                                                                              \
        return HasData(name, Code, index);                                                         \
    }

HAS(String, B_STRING_TYPE)
HAS(Int8, B_INT8_TYPE)
HAS(Int16, B_INT16_TYPE)
HAS(Int32, B_INT32_TYPE)
HAS(Int64, B_INT64_TYPE)
HAS(Bool, B_BOOL_TYPE)
HAS(Float, B_FLOAT_TYPE)
HAS(Double, B_DOUBLE_TYPE)
HAS(Pointer, B_POINTER_TYPE)
HAS(Point, B_POINT_TYPE)
HAS(Rect, B_RECT_TYPE)
HAS(Color, B_RGB_COLOR_TYPE)
HAS(Message, B_MESSAGE_TYPE)
HAS(Messenger, B_MESSENGER_TYPE)
#undef HAS
