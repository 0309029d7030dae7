#include "app/mapping/text_convert.h"

#include <commctrl.h>

#include <cstring>

#include "protocol.h"

void Utf8ToAnsi(const char* utf8, char* out, size_t capacity)
{
    if (capacity == 0)
        return;
    out[0] = '\0';
    // Room for no character at all. Converting into no room would not write but
    // report the size needed, which must never be taken for what was written.
    if (capacity < 2)
        return;
    const int inLength = static_cast<int>(strnlen(utf8, 256));
    if (inLength == 0)
        return;
    wchar_t wide[257];
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, inLength, wide, 256);
    if (wideLength <= 0)
        return;
    const int room = static_cast<int>(capacity - 1 < 256 ? capacity - 1 : 256);
    int written = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, out, room, nullptr, nullptr);
    if (written <= 0) {
        // The text does not fit whole: convert as many characters as fit.
        int characters = wideLength;
        while (characters > 0 && written <= 0) {
            --characters;
            written = WideCharToMultiByte(CP_ACP, 0, wide, characters, out, room, nullptr, nullptr);
        }
        if (written < 0)
            written = 0;
    }
    out[written] = '\0';
}

bool ParseDottedAddress(const char* text, DWORD* hostOrder)
{
    unsigned char bytes[4];
    if (!ParseDottedOctets(text, bytes))
        return false;
    *hostOrder = MAKEIPADDRESS(bytes[0], bytes[1], bytes[2], bytes[3]);
    return true;
}
