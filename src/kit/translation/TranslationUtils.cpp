#include "TranslationUtils.h"

#include <Bitmap.h>

#include <cctype>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

std::mutex sDecoderLock;
kit_private::image_decoder sDecoder;

// Binary PPM: "P6", width, height, maximum (at most 255), one whitespace, then RGB bytes.
std::unique_ptr<BBitmap> ReadPpm(const char* path)
{
    FILE* file = fopen(path, "rb");
    if (file == nullptr)
        return nullptr;
    std::unique_ptr<FILE, int (*)(FILE*)> closer(file, fclose);
    auto readNumber = [file](long* value) {
        int c = fgetc(file);
        while (c != EOF && (std::isspace(c) || c == '#')) {
            if (c == '#') {
                while (c != EOF && c != '\n')
                    c = fgetc(file);
            }
            c = fgetc(file);
        }
        if (c == EOF || !std::isdigit(c))
            return false;
        long number = 0;
        while (c != EOF && std::isdigit(c)) {
            number = number * 10 + (c - '0');
            if (number > 1000000)
                return false;
            c = fgetc(file);
        }
        *value = number;
        return c != EOF && std::isspace(c);
    };
    if (fgetc(file) != 'P' || fgetc(file) != '6')
        return nullptr;
    long width = 0;
    long height = 0;
    long maximum = 0;
    if (!readNumber(&width) || !readNumber(&height) || !readNumber(&maximum))
        return nullptr;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || maximum <= 0 ||
        maximum > 255)
        return nullptr;
    auto bitmap = std::make_unique<BBitmap>(BRect(0, 0, width - 1, height - 1), B_RGBA32);
    if (!bitmap->IsValid())
        return nullptr;
    auto* bits = static_cast<uint8*>(bitmap->Bits());
    for (long y = 0; y < height; y++) {
        uint8* row = bits + y * bitmap->BytesPerRow();
        for (long x = 0; x < width; x++) {
            uint8 rgb[3];
            if (fread(rgb, 1, 3, file) != 3)
                return nullptr;
            row[x * 4 + 0] = static_cast<uint8>(rgb[2] * 255 / maximum);
            row[x * 4 + 1] = static_cast<uint8>(rgb[1] * 255 / maximum);
            row[x * 4 + 2] = static_cast<uint8>(rgb[0] * 255 / maximum);
            row[x * 4 + 3] = 255;
        }
    }
    return bitmap;
}

} // namespace

namespace kit_private {

void set_image_decoder(image_decoder decoder)
{
    std::lock_guard<std::mutex> lock(sDecoderLock);
    sDecoder = std::move(decoder);
}

} // namespace kit_private

BBitmap* BTranslationUtils::GetBitmap(const char* path)
{
    if (path == nullptr)
        return nullptr;
    kit_private::image_decoder decoder;
    {
        std::lock_guard<std::mutex> lock(sDecoderLock);
        decoder = sDecoder;
    }
    std::unique_ptr<BBitmap> bitmap = decoder ? decoder(path) : ReadPpm(path);
    return bitmap.release();
}
