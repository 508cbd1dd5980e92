#pragma once

// Bounded copies into fixed buffers that never cut a UTF-8 sequence.

#include <cstddef>
#include <cstdint>

// Copies at most size - 1 bytes of source into dest and terminates it (nothing is written
// when size is 0). When source does not fit, the copy ends before the first byte of the
// sequence that would not fit completely. Returns the number of bytes copied.
size_t copy_utf8(char* dest, size_t size, const char* source);
size_t copy_utf8(char* dest, size_t size, const char* source, size_t length);

// The largest n <= length such that source[0, n) does not end inside a UTF-8 sequence.
size_t utf8_prefix_length(const char* source, size_t length);

// The character at the start of source (length > 0) into *character; returns the bytes it
// takes. A byte that does not start a complete, shortest-form sequence stands for itself.
size_t decode_utf8(const char* source, size_t length, uint32_t* character);
