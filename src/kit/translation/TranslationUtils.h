#pragma once

// Reading pictures from files. The display server decodes them (Qt's image readers: PNG,
// JPEG, BMP, GIF, PPM…); headless only binary PPM ("P6") is read, which tests use.

#include <SupportDefs.h>

#include <functional>
#include <memory>

class BBitmap;

class BTranslationUtils
{
public:
    // A new B_RGBA32 bitmap (the caller deletes it), or nullptr when the file is missing or
    // not a picture.
    static BBitmap* GetBitmap(const char* path);
};

namespace kit_private {
// For display servers: decodes a file into a bitmap (nullptr when it cannot). Any thread.
using image_decoder = std::function<std::unique_ptr<BBitmap>(const char* path)>;
void set_image_decoder(image_decoder decoder);
} // namespace kit_private
