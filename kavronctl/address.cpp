#include "address.h"

bool IsCanonicalAddress(const std::string& text)
{
    int parts = 0;
    size_t i = 0;
    for (;;) {
        const size_t start = i;
        int value = 0;
        while (i < text.size() && i - start < 3 && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + (text[i] - '0');
            ++i;
        }
        const size_t digits = i - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0'))
            return false;
        ++parts;
        if (i == text.size())
            return parts == 4;
        if (parts == 4 || text[i] != '.')
            return false;
        ++i;
    }
}
