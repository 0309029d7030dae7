// What the provider shares with the lab and with its own copies in other processes:
// where the lab wants its files, one lock for every process of the run, and whole
// files read and written as UTF-8.
#pragma once
#include <windows.h>

#include <string>

// A kernel handle, closed on destruction.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~UniqueHandle()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
};

// Held for the whole of a call: the utility, a test and any other process of the
// run may call the provider at the same time, and each call reads and rewrites the
// connections and the control file.
class LabLock {
public:
    LabLock();
    ~LabLock();
    LabLock(const LabLock&) = delete;
    LabLock& operator=(const LabLock&) = delete;

private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

// Windows paths, from the provider's registry key where `lab/lab run --netprovider`
// writes them; an empty path turns its part off.
struct LabPaths {
    std::wstring log;          // calls.jsonl: one JSON object per call
    std::wstring control;      // control.txt: the refusals a test asks for
    std::wstring connections;  // connections.txt: the connections made so far
    std::wstring shareRoot;    // the prefix's dosdevices\unc, where Wine finds \\server\share
};
LabPaths ReadLabPaths();

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// False when the file cannot be read (a missing file reads as empty text).
bool ReadTextFile(const std::wstring& path, std::wstring* text);
bool WriteTextFile(const std::wstring& path, const std::wstring& text);
// Appends one line and its newline in a single write.
bool AppendLine(const std::wstring& path, const std::string& utf8Line);
