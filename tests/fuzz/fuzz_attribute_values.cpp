// Any bytes under any type code as attributes of a settings file, read back with every
// reader of IrcSettingsFile: strings are always terminated within their buffer and cut only
// at a character boundary when too long; fixed-size values are taken only when exactly their
// size came back with their type, and otherwise leave the output alone.
//
// Input: records of [name and type selector][size, two bytes][bytes...]; each of the three
// attribute names is written once per input (or removed), so no input depends on another.

#include <IrcSettingsFile.h>
#include <StringCopy.h>
#include <TypeConstants.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

constexpr const char* kNames[] = {"Frame", "Nick", "Colour"};
constexpr type_code kTypes[] = {B_STRING_TYPE, B_RECT_TYPE,  B_BOOL_TYPE,
                                B_FLOAT_TYPE,  B_INT32_TYPE, B_ANY_TYPE};
// Longer stored strings read as missing.
constexpr size_t kStringLimit = 64 * 1024;

IrcSettingsFile* gFile = nullptr;

struct Stored
{
    bool present = false;
    type_code type = 0;
    std::string bytes;
    bool valid = false; // up to its first NUL, valid UTF-8
};

bool ValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        uint32_t character;
        size_t used = decode_utf8(text.data() + i, text.size() - i, &character);
        if (used == 1 && static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
        i += used;
    }
    return true;
}

void CheckString(const char* name, const Stored& stored, size_t size)
{
    // Exactly the destination's size, so a byte written past it is caught.
    std::vector<char> dest(size, '\x7f');
    bool taken = gFile->ReadString(name, dest.data(), size);
    const char* end = static_cast<const char*>(memchr(dest.data(), '\0', size));
    Require(end != nullptr);
    std::string_view got(dest.data(), static_cast<size_t>(end - dest.data()));

    bool expected =
        stored.present && stored.type == B_STRING_TYPE && stored.bytes.size() <= kStringLimit;
    Require(taken == expected);
    if (!taken) {
        Require(got.empty());
        return;
    }
    std::string_view whole(stored.bytes.c_str()); // a stored NUL ends the string
    Require(whole.substr(0, got.size()) == got);
    if (whole.size() < size) {
        Require(got == whole);
        return;
    }
    // Cut: never inside a character, and by less than the character that did not fit.
    Require(got.size() < size && got.size() + 4 > size - 1);
    if (stored.valid) {
        Require(ValidUtf8(got));
        uint32_t character;
        size_t next = decode_utf8(whole.data() + got.size(), whole.size() - got.size(), &character);
        Require(got.size() + next > size - 1);
    }
}

bool Exact(const Stored& stored, type_code type, size_t size)
{
    return stored.present && stored.type == type && stored.bytes.size() == size;
}

void CheckFixed(const char* name, const Stored& stored)
{
    const BRect unset(-7, -7, -7, -7);
    BRect rect = unset;
    bool taken = gFile->ReadRect(name, &rect);
    Require(taken == Exact(stored, B_RECT_TYPE, 16));
    float edges[4] = {rect.left, rect.top, rect.right, rect.bottom};
    if (taken) {
        Require(memcmp(edges, stored.bytes.data(), 16) == 0);
    } else {
        float before[4] = {unset.left, unset.top, unset.right, unset.bottom};
        Require(memcmp(edges, before, 16) == 0);
    }

    // A bool's byte is any value; the stand-in 'unset' must survive a refusal.
    bool flag = true;
    taken = gFile->ReadBool(name, &flag);
    Require(taken == Exact(stored, B_BOOL_TYPE, 1));
    Require(flag == (taken ? stored.bytes[0] != 0 : true));
    flag = false;
    Require(gFile->ReadBool(name, &flag) == taken);
    Require(flag == (taken ? stored.bytes[0] != 0 : false));

    const uint32_t pattern = 0xA5A5A5A5u;
    float number;
    memcpy(&number, &pattern, 4);
    taken = gFile->ReadFloat(name, &number);
    Require(taken == Exact(stored, B_FLOAT_TYPE, 4));
    Require(memcmp(&number, taken ? stored.bytes.data() : reinterpret_cast<const char*>(&pattern),
                   4) == 0);

    int32 integer = -12345;
    taken = gFile->ReadInt32(name, &integer);
    Require(taken == Exact(stored, B_INT32_TYPE, 4));
    if (taken)
        Require(memcmp(&integer, stored.bytes.data(), 4) == 0);
    else
        Require(integer == -12345);

    rgb_color colour = {1, 2, 3, 4};
    taken = gFile->ReadColor(name, &colour);
    Require(taken == Exact(stored, B_ANY_TYPE, 4));
    const rgb_color before = {1, 2, 3, 4};
    Require(memcmp(&colour, taken ? stored.bytes.data() : reinterpret_cast<const char*>(&before),
                   4) == 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // One settings directory for the whole run, in memory when the system has it.
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/velmor-fuzz-XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    Require(mkdtemp(path.data()) != nullptr);
    setenv("XDG_CONFIG_HOME", path.data(), 1);
    gFile = new IrcSettingsFile();
    Require(gFile->OpenColourFile() == B_OK);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Stored stored[std::size(kNames)];
    size_t at = 0;
    for (size_t n = 0; n < std::size(kNames); n++) {
        Stored& value = stored[n];
        uint8_t selector = at < size ? data[at++] : 0;
        size_t length = 0;
        for (int i = 0; i < 2; i++)
            length = length << 8 | (at < size ? data[at++] : 0);
        if (selector == 0xFF) {
            gFile->File()->RemoveAttr(kNames[n]);
            continue;
        }
        // Known codes most of the time, else any four bytes; sizes near the string limit
        // are made by repeating the record's bytes, for one length prefix in sixteen: building
        // 64 KiB values on every run would spend the run on page faults.
        value.present = true;
        if (selector < 0xC0) {
            value.type = kTypes[selector % std::size(kTypes)];
        } else {
            for (int i = 0; i < 4; i++)
                value.type = value.type << 8 | (at < size ? data[at++] : 0);
        }
        bool huge = (length & 0xF000) == 0xF000;
        length &= 0x0FFF;
        size_t available = size - at;
        std::string_view bytes(reinterpret_cast<const char*>(data) + at,
                               std::min(length, available));
        at += bytes.size();
        if (huge) {
            size_t target = kStringLimit - 2 + length % 5;
            value.bytes.reserve(target);
            while (value.bytes.size() < target)
                value.bytes.append(bytes.empty() ? std::string_view("x") : bytes);
            value.bytes.resize(target);
        } else {
            value.bytes.assign(bytes);
        }
        ssize_t written = gFile->File()->WriteAttr(kNames[n], value.type, 0, value.bytes.data(),
                                                   value.bytes.size());
        Require(written == static_cast<ssize_t>(value.bytes.size()));
    }

    for (size_t n = 0; n < std::size(kNames); n++) {
        Stored& value = stored[n];
        value.valid = ValidUtf8(value.bytes.c_str());
        // Small buffers, a common one, and one just larger than the value.
        for (size_t destSize : {size_t(1), size_t(2), size_t(3), size_t(4), size_t(5), size_t(8),
                                size_t(64), size_t(1024), value.bytes.size() + 2})
            CheckString(kNames[n], value, destSize);
        CheckFixed(kNames[n], value);
    }
    return 0;
}
