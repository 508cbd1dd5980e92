#pragma once

// A message: a 32-bit code (`what`) and named fields. Each field has one type and holds one
// or more values in the order they were added.
//
// Reading never changes the destination on failure: Find*() returns B_NAME_NOT_FOUND when
// the name is absent, B_BAD_TYPE when it holds another type, B_BAD_INDEX when the index is
// past its values (and B_BAD_DATA for a string field that is not NUL-terminated), so a
// caller that sets its default first keeps it.
//
// Posting a message copies it; the sender keeps ownership of its own. A message is not
// thread-safe: one thread at a time uses it.
//
// Flattening turns a message (and its nested messages) into bytes and back, for archives and
// drags; Unflatten checks every length against the buffer and never reads past it.

#include <AppDefs.h>
#include <GraphicsDefs.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

#include "../private/FieldValues.h"

#include <memory>
#include <string>
#include <vector>

class BHandler;
class BLooper;
class BMessenger;

class BMessage
{
public:
    BMessage();
    explicit BMessage(uint32 what);
    BMessage(const BMessage& other);
    BMessage(BMessage&& other) noexcept;
    BMessage& operator=(const BMessage& other);
    BMessage& operator=(BMessage&& other) noexcept;
    virtual ~BMessage();

    uint32 what;

    // Information about the fields
    // Type and value count of a field; B_NAME_NOT_FOUND when absent.
    status_t GetInfo(const char* name, type_code* type, int32* count = nullptr) const;
    status_t GetInfo(const char* name, type_code* type, bool* fixedSize) const;
    // The index-th field of the given type (B_ANY_TYPE: any field), in order of addition.
    status_t GetInfo(type_code type, int32 index, const char** name, type_code* typeFound,
                     int32* count = nullptr) const;
    int32 CountNames(type_code type) const;
    bool IsEmpty() const;
    bool IsSystem() const; // what begins with '_'
    void PrintToStream() const;

    // Removing fields
    status_t RemoveName(const char* name);
    status_t RemoveData(const char* name, int32 index = 0);
    status_t MakeEmpty(); // removes every field; keeps `what`

    // Drops: set by the view kit when the message arrives by drag and drop.
    bool WasDropped() const;
    // The drop point in screen coordinates; *offset (when given) receives the grab offset
    // inside the dragged image. B_ORIGIN when not dropped.
    BPoint DropPoint(BPoint* offset = nullptr) const;
    // For the view kit: marks the message as dropped at the given screen point.
    void SetDropped(BPoint dropPoint, BPoint offset = B_ORIGIN);

    // Adding values (each appends one value; B_BAD_TYPE when the name holds another type)
    status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                     bool isFixedSize = true, int32 numItems = 1);
    status_t AddString(const char* name, const char* string);
    status_t AddString(const char* name, const std::string& string);
    status_t AddInt8(const char* name, int8 value);
    status_t AddInt16(const char* name, int16 value);
    status_t AddInt32(const char* name, int32 value);
    status_t AddInt64(const char* name, int64 value);
    status_t AddBool(const char* name, bool value);
    status_t AddFloat(const char* name, float value);
    status_t AddDouble(const char* name, double value);
    status_t AddPointer(const char* name, const void* pointer);
    status_t AddPoint(const char* name, BPoint point);
    status_t AddRect(const char* name, BRect rect);
    status_t AddColor(const char* name, rgb_color color);           // stored as B_RGB_COLOR_TYPE
    status_t AddMessage(const char* name, const BMessage* message); // stored flattened
    status_t AddMessenger(const char* name, const BMessenger& messenger);

    // Finding values (see the top of this file for failures)
    status_t FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const;
    status_t FindData(const char* name, type_code type, int32 index, const void** data,
                      ssize_t* numBytes) const;
    // The returned text lives in the message until the field is changed or the message dies.
    status_t FindString(const char* name, const char** string) const;
    status_t FindString(const char* name, int32 index, const char** string) const;
    status_t FindString(const char* name, std::string* string) const;
    status_t FindString(const char* name, int32 index, std::string* string) const;
    status_t FindInt8(const char* name, int8* value) const;
    status_t FindInt8(const char* name, int32 index, int8* value) const;
    status_t FindInt16(const char* name, int16* value) const;
    status_t FindInt16(const char* name, int32 index, int16* value) const;
    status_t FindInt32(const char* name, int32* value) const;
    status_t FindInt32(const char* name, int32 index, int32* value) const;
    status_t FindInt64(const char* name, int64* value) const;
    status_t FindInt64(const char* name, int32 index, int64* value) const;
    status_t FindBool(const char* name, bool* value) const;
    status_t FindBool(const char* name, int32 index, bool* value) const;
    status_t FindFloat(const char* name, float* value) const;
    status_t FindFloat(const char* name, int32 index, float* value) const;
    status_t FindDouble(const char* name, double* value) const;
    status_t FindDouble(const char* name, int32 index, double* value) const;
    status_t FindPointer(const char* name, void** pointer) const;
    status_t FindPointer(const char* name, int32 index, void** pointer) const;
    status_t FindPoint(const char* name, BPoint* point) const;
    status_t FindPoint(const char* name, int32 index, BPoint* point) const;
    status_t FindRect(const char* name, BRect* rect) const;
    status_t FindRect(const char* name, int32 index, BRect* rect) const;
    status_t FindColor(const char* name, rgb_color* color) const;
    status_t FindColor(const char* name, int32 index, rgb_color* color) const;
    status_t FindMessage(const char* name, BMessage* message) const;
    status_t FindMessage(const char* name, int32 index, BMessage* message) const;
    status_t FindMessenger(const char* name, BMessenger* messenger) const;
    status_t FindMessenger(const char* name, int32 index, BMessenger* messenger) const;

    // Replacing the index-th value (it must exist, with the same type)
    status_t ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes);
    status_t ReplaceData(const char* name, type_code type, int32 index, const void* data,
                         ssize_t numBytes);
    status_t ReplaceString(const char* name, const char* string);
    status_t ReplaceString(const char* name, int32 index, const char* string);
    status_t ReplaceInt8(const char* name, int8 value);
    status_t ReplaceInt16(const char* name, int16 value);
    status_t ReplaceInt32(const char* name, int32 value);
    status_t ReplaceInt32(const char* name, int32 index, int32 value);
    status_t ReplaceInt64(const char* name, int64 value);
    status_t ReplaceBool(const char* name, bool value);
    status_t ReplaceBool(const char* name, int32 index, bool value);
    status_t ReplaceFloat(const char* name, float value);
    status_t ReplaceDouble(const char* name, double value);
    status_t ReplacePointer(const char* name, const void* pointer);
    status_t ReplacePoint(const char* name, BPoint point);
    status_t ReplaceRect(const char* name, BRect rect);
    status_t ReplaceColor(const char* name, rgb_color color);
    status_t ReplaceMessage(const char* name, const BMessage* message);

    // Presence of the index-th value of that type
    bool HasData(const char* name, type_code type, int32 index = 0) const;
    bool HasString(const char* name, int32 index = 0) const;
    bool HasInt8(const char* name, int32 index = 0) const;
    bool HasInt16(const char* name, int32 index = 0) const;
    bool HasInt32(const char* name, int32 index = 0) const;
    bool HasInt64(const char* name, int32 index = 0) const;
    bool HasBool(const char* name, int32 index = 0) const;
    bool HasFloat(const char* name, int32 index = 0) const;
    bool HasDouble(const char* name, int32 index = 0) const;
    bool HasPointer(const char* name, int32 index = 0) const;
    bool HasPoint(const char* name, int32 index = 0) const;
    bool HasRect(const char* name, int32 index = 0) const;
    bool HasColor(const char* name, int32 index = 0) const;
    bool HasMessage(const char* name, int32 index = 0) const;
    bool HasMessenger(const char* name, int32 index = 0) const;

    // Flattening (little-endian; pointer fields keep their value, which only means something
    // inside this process)
    ssize_t FlattenedSize() const;
    // B_BAD_VALUE when size is smaller than FlattenedSize().
    status_t Flatten(char* buffer, ssize_t size) const;
    status_t Flatten(std::string* bytes) const;
    // Replaces this message with the one in the bytes; B_BAD_VALUE / B_NOT_A_MESSAGE /
    // B_BAD_DATA when they are not a whole, well-formed flattened message (the message is
    // then left empty with what = 0).
    status_t Unflatten(const char* buffer, ssize_t size);

private:
    friend class BLooper;
    friend class BMessenger;

    struct Field
    {
        std::string name;
        type_code type;
        bool fixedSize;
        kit_private::FieldValues values;
    };

    Field* FindField(const char* name);
    const Field* FindField(const char* name) const;
    status_t FindValue(const char* name, type_code type, int32 index,
                       const std::string** value) const;
    template <typename T> status_t AddFixed(const char* name, type_code type, const T& value);
    template <typename T>
    status_t FindFixed(const char* name, type_code type, int32 index, T* value) const;
    template <typename T>
    status_t ReplaceFixed(const char* name, type_code type, int32 index, const T& value);

    std::vector<Field> fFields;
    bool fDropped = false;
    BPoint fDropPoint;
    BPoint fDropOffset;
    // Target chosen at posting: a handler token, or one of the kit's special tokens.
    int32 fTargetToken;
};
