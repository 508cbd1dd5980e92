#pragma once

#include <cstddef>

// printf into a fixed buffer; a text that does not fit is cut before the first character
// that would not fit whole. Returns the length written.
size_t Compose(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// As Compose, for a line: a cut line keeps its final line end.
size_t ComposeLine(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
