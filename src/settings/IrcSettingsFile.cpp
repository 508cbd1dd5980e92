#include "IrcSettingsFile.h"

#include "IrcSettingsDirectory.h"

#include <StringCopy.h>
#include <TypeConstants.h>
#include <Window.h>

#include <cstring>
#include <vector>

namespace {

// Larger stored strings are not settings this program wrote; they read as missing.
constexpr off_t kMaxStringSize = 64 * 1024;

} // namespace

IrcSettingsFile::IrcSettingsFile() = default;
IrcSettingsFile::~IrcSettingsFile() = default;

status_t IrcSettingsFile::OpenWithMigration()
{
    return IrcSettingsDirectory::OpenWithMigration(&fFile);
}

status_t IrcSettingsFile::OpenProgramFile()
{
    return IrcSettingsDirectory::OpenProgramFile(&fFile);
}

status_t IrcSettingsFile::OpenColourFile()
{
    return IrcSettingsDirectory::OpenColourFile(&fFile);
}

status_t IrcSettingsFile::SetTo(const char* path)
{
    return fFile.SetTo(path, B_READ_WRITE);
}

bool IrcSettingsFile::IsOpen() const
{
    return fFile.InitCheck() == B_OK;
}

BFile* IrcSettingsFile::File()
{
    return &fFile;
}

bool IrcSettingsFile::ReadString(const char* name, char* dest, size_t destSize) const
{
    if (dest == nullptr || destSize == 0)
        return false;
    dest[0] = '\0';
    attr_info info;
    if (fFile.GetAttrInfo(name, &info) != B_OK || info.size < 0 || info.size > kMaxStringSize)
        return false;
    std::vector<char> bytes(static_cast<size_t>(info.size) + 1);
    ssize_t read =
        fFile.ReadAttr(name, B_STRING_TYPE, 0, bytes.data(), static_cast<size_t>(info.size));
    if (read != info.size)
        return false;
    bytes[static_cast<size_t>(read)] = '\0';
    copy_utf8(dest, destSize, bytes.data());
    return true;
}

bool IrcSettingsFile::ReadFixed(const char* name, type_code type, void* value, size_t size) const
{
    // One byte more than expected tells a longer value from an exact one.
    char bytes[32];
    ssize_t read = fFile.ReadAttr(name, type, 0, bytes, size + 1);
    if (read != static_cast<ssize_t>(size))
        return false;
    memcpy(value, bytes, size);
    return true;
}

bool IrcSettingsFile::ReadRect(const char* name, BRect* rect) const
{
    float edges[4];
    if (rect == nullptr || !ReadFixed(name, B_RECT_TYPE, edges, sizeof edges))
        return false;
    rect->Set(edges[0], edges[1], edges[2], edges[3]);
    return true;
}

bool IrcSettingsFile::ReadBool(const char* name, bool* value) const
{
    uint8 byte;
    if (value == nullptr || !ReadFixed(name, B_BOOL_TYPE, &byte, 1))
        return false;
    *value = byte != 0;
    return true;
}

bool IrcSettingsFile::ReadFloat(const char* name, float* value) const
{
    return value != nullptr && ReadFixed(name, B_FLOAT_TYPE, value, sizeof *value);
}

bool IrcSettingsFile::ReadInt32(const char* name, int32* value) const
{
    return value != nullptr && ReadFixed(name, B_INT32_TYPE, value, sizeof *value);
}

bool IrcSettingsFile::ReadColor(const char* name, rgb_color* color) const
{
    return color != nullptr && ReadFixed(name, B_ANY_TYPE, color, sizeof *color);
}

bool IrcSettingsFile::ReadFrame(const char* name, BWindow* window) const
{
    BRect frame;
    if (window == nullptr || !ReadRect(name, &frame))
        return false;
    window->ResizeTo(frame.Width(), frame.Height());
    window->MoveTo(frame.LeftTop());
    return true;
}

status_t IrcSettingsFile::WriteFixed(const char* name, type_code type, const void* value,
                                     size_t size)
{
    ssize_t written = fFile.WriteAttr(name, type, 0, value, size);
    return written == static_cast<ssize_t>(size) ? B_OK : (written < 0 ? written : B_IO_ERROR);
}

status_t IrcSettingsFile::WriteString(const char* name, const char* value)
{
    if (value == nullptr)
        return B_BAD_VALUE;
    return WriteFixed(name, B_STRING_TYPE, value, strlen(value));
}

status_t IrcSettingsFile::WriteRect(const char* name, BRect rect)
{
    float edges[4] = {rect.left, rect.top, rect.right, rect.bottom};
    return WriteFixed(name, B_RECT_TYPE, edges, sizeof edges);
}

status_t IrcSettingsFile::WriteBool(const char* name, bool value)
{
    uint8 byte = value ? 1 : 0;
    return WriteFixed(name, B_BOOL_TYPE, &byte, 1);
}

status_t IrcSettingsFile::WriteFloat(const char* name, float value)
{
    return WriteFixed(name, B_FLOAT_TYPE, &value, sizeof value);
}

status_t IrcSettingsFile::WriteInt32(const char* name, int32 value)
{
    return WriteFixed(name, B_INT32_TYPE, &value, sizeof value);
}

status_t IrcSettingsFile::WriteColor(const char* name, rgb_color color)
{
    return WriteFixed(name, B_ANY_TYPE, &color, sizeof color);
}
