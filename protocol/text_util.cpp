#include "text_util.h"

#include <string.h>

size_t CopyTextN(char* dst, size_t capacity, const char* src, size_t srcLength)
{
    if (dst == nullptr || capacity == 0)
        return 0;
    size_t n = 0;
    if (src != nullptr) {
        while (n + 1 < capacity && n < srcLength && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
    return n;
}

size_t CopyText(char* dst, size_t capacity, const char* src)
{
    return CopyTextN(dst, capacity, src, static_cast<size_t>(-1));
}

void WriteTextField(unsigned char* field, size_t size, const char* text)
{
    if (size == 0)
        return;
    memset(field, 0, size);
    CopyText(reinterpret_cast<char*>(field), size, text);
}
