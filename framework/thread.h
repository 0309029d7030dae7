// StartThread: runs a function on a new thread (normal priority, default stack,
// started at once). A function that throws (std::bad_alloc in a worker) ends its
// thread with kThreadThrew rather than the process through std::terminate.
#pragma once

#include <windows.h>

using ThreadFunction = unsigned (*)(void* param);

// The exit code of a thread whose function threw.
constexpr unsigned kThreadThrew = 0xE0000001u;

// The started thread's handle; closing it (destruction) does not stop the thread.
class Thread {
public:
    Thread() = default;
    explicit Thread(HANDLE h) : h_(h) {}
    ~Thread() { Close(); }
    Thread(Thread&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    Thread& operator=(Thread&& other) noexcept
    {
        if (this != &other) {
            Close();
            h_ = other.h_;
            other.h_ = nullptr;
        }
        return *this;
    }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    explicit operator bool() const { return h_ != nullptr; }
    HANDLE handle() const { return h_; }
    // True when the thread has ended within `ms`.
    bool Wait(DWORD ms = INFINITE) const { return h_ && WaitForSingleObject(h_, ms) == WAIT_OBJECT_0; }
    void Close()
    {
        if (h_) {
            CloseHandle(h_);
            h_ = nullptr;
        }
    }

private:
    HANDLE h_ = nullptr;
};

// An empty Thread when the thread could not be started.
Thread StartThread(ThreadFunction function, void* param);
