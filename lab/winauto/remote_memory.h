// A block of memory inside another process, for the control messages whose
// parameters are pointers (list-view items, IP address values).
#pragma once
#include <windows.h>

#include <cstddef>

namespace winauto {

class RemoteMemory {
public:
    RemoteMemory(HWND ownerWindow, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool valid() const { return address_ != nullptr; }
    void* address() const { return address_; }
    LPARAM param() const { return reinterpret_cast<LPARAM>(address_); }
    bool Write(const void* data, size_t size, size_t offset = 0);
    bool Read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

}  // namespace winauto
