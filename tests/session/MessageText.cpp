#include "MessageText.h"

#include <cstdio>

std::string MessageText(const BMessage& message, const void* session, const void* window)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += static_cast<char>((message.what >> shift) & 0xFF);
    const char* name = nullptr;
    type_code type = 0;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type) == B_OK; i++) {
        text += " ";
        text += name;
        switch (type) {
        case B_INT32_TYPE: {
            int32 value = 0;
            message.FindInt32(name, &value);
            text += ":i=" + std::to_string(value);
            break;
        }
        case B_STRING_TYPE: {
            const char* value = nullptr;
            message.FindString(name, &value);
            text += ":s=" + std::string(value ? value : "(null)");
            break;
        }
        case B_BOOL_TYPE: {
            bool value = false;
            message.FindBool(name, &value);
            text += value ? ":b=1" : ":b=0";
            break;
        }
        case B_POINTER_TYPE: {
            void* value = nullptr;
            message.FindPointer(name, &value);
            text += value == session ? ":p=S" : value == window ? ":p=W" : value ? ":p=?" : ":p=0";
            break;
        }
        default: {
            char code[16];
            snprintf(code, sizeof(code), ":%08x", static_cast<unsigned>(type));
            text += code;
        }
        }
    }
    return text;
}

bool MatchesText(const std::string& text, const std::string& pattern)
{
    // Glob match where '*' stands for any run of characters.
    size_t t = 0, p = 0, star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            p++;
            t++;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        p++;
    return p == pattern.size();
}
