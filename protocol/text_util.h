// Bounded text copies into the fixed, zero-terminated fields of the protocol records.
// Every copy into such a field goes through these.
#pragma once

#include <stddef.h>

// Copies src into dst (capacity bytes), cut to capacity - 1 bytes, always terminated.
// A null src gives an empty text. Returns the number of bytes copied.
size_t CopyText(char* dst, size_t capacity, const char* src);

// Like CopyText, but reads at most srcLength bytes of src (stopping at a zero byte).
size_t CopyTextN(char* dst, size_t capacity, const char* src, size_t srcLength);

// Fills a fixed-width field of size bytes with text, zero-padded, text cut to size - 1.
void WriteTextField(unsigned char* field, size_t size, const char* text);

// Convenience for arrays: CopyTextTo(record.name, src).
template <size_t N>
inline size_t CopyTextTo(char (&dst)[N], const char* src)
{
    return CopyText(dst, N, src);
}
