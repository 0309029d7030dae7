#include "console_text.h"

#ifdef _WIN32
#include <io.h>
#endif

bool IsUtf8(const std::string& text)
{
    const size_t size = text.size();
    size_t i = 0;
    while (i < size) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length;
        unsigned long value;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2, value = lead & 0x1fu;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3, value = lead & 0x0fu;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4, value = lead & 0x07u;
        } else {
            return false;
        }
        if (size - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0u) != 0x80u)
                return false;
            value = (value << 6) | (next & 0x3fu);
        }
        // Overlong three- and four-byte forms, surrogates, past U+10FFFF.
        if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
            (value >= 0xd800 && value <= 0xdfff) || value > 0x10ffff)
            return false;
        i += length;
    }
    return true;
}

bool PipedLineIsUtf8(std::string* line)
{
    if (line->compare(0, 3, "\xef\xbb\xbf") == 0)
        line->erase(0, 3);
    return IsUtf8(*line);
}

#ifdef _WIN32

bool DecodeCodePage(const std::string& bytes, UINT codePage, std::wstring* wide)
{
    wide->clear();
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    wide->resize(static_cast<size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, &(*wide)[0], length) == length;
}

bool EncodeCodePage(const std::wstring& wide, UINT codePage, std::string* bytes)
{
    bytes->clear();
    if (wide.empty())
        return true;
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes neither flag nor default: every character has a place there.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return false;
    bytes->resize(static_cast<size_t>(length));
    return WideCharToMultiByte(codePage, flags, wide.data(), size, &(*bytes)[0], length, nullptr, usedDefaultOut) ==
               length &&
           !usedDefault;
}

bool CredentialForCodePage(const std::string& utf8, UINT codePage, std::string* system)
{
    std::wstring wide;
    return DecodeCodePage(utf8, CP_UTF8, &wide) && EncodeCodePage(wide, codePage, system);
}

bool CredentialForSystem(const std::string& typed, std::string* system)
{
    return CredentialForCodePage(typed, CP_ACP, system);
}

std::string UnrepresentableCredential(const char* what)
{
    return std::string(what) + " holds a character that Windows' code page " + std::to_string(GetACP()) +
           " cannot represent (the device and the network take only that code page's characters)";
}

std::string PipedLineToUtf8(std::string line, UINT codePage)
{
    if (PipedLineIsUtf8(&line))
        return line;
    std::wstring wide;
    std::string utf8;
    if (!DecodeCodePage(line, codePage, &wide) || !EncodeCodePage(wide, CP_UTF8, &utf8))
        return line;  // undecodable: the conversion to the ANSI code page refuses it
    return utf8;
}

std::string RecodeForDisplay(const std::string& text, UINT from, UINT to)
{
    if (text.empty() || from == to)
        return text;
    const int size = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return text;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), size, &wide[0], wideLength);
    const int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return text;
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, &out[0], length, nullptr, nullptr);
    return out;
}

namespace {

// Whether WriteTextLine writes to handle as to a console: GetConsoleMode succeeds on it.
bool IsConsoleHandle(HANDLE handle)
{
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != FALSE;
}

// UTF-8 as a console shows it: a byte that is not part of UTF-8 (a name in an 8-bit
// character set) becomes U+FFFD.
std::wstring Utf8ForConsole(const std::string& text)
{
    std::wstring wide;
    if (DecodeCodePage(text, CP_UTF8, &wide) || text.empty())
        return wide;
    // Without MB_ERR_INVALID_CHARS each stray byte becomes U+FFFD.
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    wide.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], length);
    return wide;
}

}  // namespace

void WriteTextLine(FILE* stream, const std::string& line)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (!IsConsoleHandle(handle)) {
        fwrite(line.data(), 1, line.size(), stream);
        fputc('\n', stream);
        return;
    }
    // What the C library holds for the stream goes first, to keep the order.
    fflush(stream);
    const std::wstring wide = Utf8ForConsole(line) + L"\n";
    const wchar_t* rest = wide.data();
    DWORD left = static_cast<DWORD>(wide.size());
    while (left > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(handle, rest, left, &written, nullptr) || written == 0)
            return;
        rest += written;
        left -= written;
    }
}

std::string SystemTextForConsole(const std::string& text)
{
    // No console (GetConsoleOutputCP gives 0): whoever reads the output reads it in
    // the ANSI code page, as Windows wrote it.
    const UINT console = GetConsoleOutputCP();
    return console == 0 ? text : RecodeForDisplay(text, GetACP(), console);
}

#else

bool CredentialForSystem(const std::string& typed, std::string* system)
{
    *system = typed;
    return true;
}

std::string UnrepresentableCredential(const char* what)
{
    return std::string(what) + " cannot be represented";  // never said: bytes pass as they are
}

std::string SystemTextForConsole(const std::string& text)
{
    return text;
}

void WriteTextLine(FILE* stream, const std::string& line)
{
    fwrite(line.data(), 1, line.size(), stream);
    fputc('\n', stream);
}

#endif
