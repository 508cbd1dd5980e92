#pragma once

// One owner's handle on a settings attribute file, with the reading and writing rules every
// owner follows:
//   - a string is stored as its characters without a NUL; it is read by asking its size,
//     reading exactly that many bytes as 'CSTR' and appending a NUL; anything else (missing,
//     another type, a short read) reads as the empty string. A value longer than the
//     destination is cut to fit without splitting a UTF-8 sequence.
//   - a fixed-size value (RECT 16, BOOL 1, FLOT 4, LONG 4, colour 'ANYT' 4 bytes) is taken
//     only when exactly its size came back with its type; otherwise the output is left
//     alone, so the owner's default stands.
// All values are read and written whole at offset 0. Nothing here reports to the user: the
// results are for the caller to ignore or log.
//
// One thread at a time uses a handle (the owner's window thread); owners on other threads
// keep their own handles on the same file.

#include <File.h>
#include <GraphicsDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

class BWindow;

class IrcSettingsFile
{
public:
    IrcSettingsFile();
    ~IrcSettingsFile();

    // Opening (IrcSettingsDirectory does the locating)
    status_t OpenWithMigration(); // the main view
    status_t OpenProgramFile();   // conversation windows
    status_t OpenColourFile();    // colour boxes
    status_t SetTo(const char* path);
    bool IsOpen() const;
    BFile* File();

    // Reading: true when the stored value was taken.
    // Strings always produce a terminated string in dest (the empty string on failure).
    bool ReadString(const char* name, char* dest, size_t destSize) const;
    bool ReadRect(const char* name, BRect* rect) const;
    bool ReadBool(const char* name, bool* value) const;
    bool ReadFloat(const char* name, float* value) const;
    bool ReadInt32(const char* name, int32* value) const;
    bool ReadColor(const char* name, rgb_color* color) const;
    // A frame that is taken is applied by resizing the window to its width and height, then
    // moving it to its left-top corner.
    bool ReadFrame(const char* name, BWindow* window) const;

    // Writing (exact encodings; B_OK or the storage error)
    status_t WriteString(const char* name, const char* value);
    status_t WriteRect(const char* name, BRect rect);
    status_t WriteBool(const char* name, bool value);
    status_t WriteFloat(const char* name, float value);
    status_t WriteInt32(const char* name, int32 value);
    status_t WriteColor(const char* name, rgb_color color);

private:
    bool ReadFixed(const char* name, type_code type, void* value, size_t size) const;
    status_t WriteFixed(const char* name, type_code type, const void* value, size_t size);

    BFile fFile;
};
