#include "framework/registry.h"

#include <cstring>
#include <vector>

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

LONG RegKey::Open(HKEY parent, const char* subKey, REGSAM access)
{
    Close();
    return RegOpenKeyExA(parent, subKey, 0, access, &key_);
}

LONG RegKey::Create(HKEY parent, const char* subKey, REGSAM access)
{
    Close();
    return RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_, nullptr);
}

void RegKey::Close()
{
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

LONG RegKey::QueryString(const char* name, std::string* value) const
{
    value->clear();
    if (!key_)
        return ERROR_INVALID_HANDLE;
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    // The value may change between the two calls; retry a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> data(size + 1, '\0');
        DWORD got = size;
        rc = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (rc != ERROR_SUCCESS)
            return rc;
        data[got < data.size() ? got : data.size() - 1] = '\0';
        value->assign(data.data(), strnlen(data.data(), got));
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

LONG RegKey::QueryString(const char* name, char* buffer, DWORD capacity) const
{
    if (!buffer || capacity == 0)
        return ERROR_INVALID_PARAMETER;
    buffer[0] = '\0';
    std::string value;
    LONG rc = QueryString(name, &value);
    if (rc != ERROR_SUCCESS)
        return rc;
    size_t n = value.size();
    if (n >= capacity) {
        n = capacity - 1;
        rc = ERROR_MORE_DATA;
    }
    memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return rc;
}

LONG RegKey::QueryDword(const char* name, DWORD* value) const
{
    if (!key_)
        return ERROR_INVALID_HANDLE;
    DWORD type = 0, data = 0, size = sizeof data;
    LONG rc = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_DWORD || size != sizeof data)
        return ERROR_INVALID_DATA;
    *value = data;
    return ERROR_SUCCESS;
}

LONG RegKey::SetString(const char* name, const char* value)
{
    if (!key_)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(strlen(value) + 1));
}

LONG RegKey::SetDword(const char* name, DWORD value)
{
    if (!key_)
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG RegKey::DeleteValue(const char* name)
{
    if (!key_)
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(key_, name);
}
