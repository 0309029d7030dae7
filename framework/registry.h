// RegKey: an open registry key, closed on destruction. Results are the Win32
// error codes (ERROR_SUCCESS on success).
#pragma once

#include <windows.h>

#include <string>

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ);
    void Close();
    HKEY get() const { return key_; }

    // A string value (REG_SZ or REG_EXPAND_SZ, not expanded); name nullptr or ""
    // is the default value. The buffer is always zero-terminated; a longer value
    // is cut to capacity - 1 characters and ERROR_MORE_DATA returned.
    LONG QueryString(const char* name, char* buffer, DWORD capacity) const;
    LONG QueryString(const char* name, std::string* value) const;

    // The program only reads the registry: the rest is for the tests, which write the
    // keys the program reads and check what they wrote.
    LONG Create(HKEY parent, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    bool IsOpen() const { return key_ != nullptr; }
    LONG QueryDword(const char* name, DWORD* value) const;
    LONG SetString(const char* name, const char* value);
    LONG SetDword(const char* name, DWORD value);
    LONG DeleteValue(const char* name);

private:
    HKEY key_ = nullptr;
};
