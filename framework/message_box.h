// Every message box of the program goes through ShowMessageBox, so that a test can
// read each message (owner, caption, text, type and icon) and answer it without a
// modal box on screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Called instead of MessageBoxA while set. Gets the owner and caption after the
// defaults are filled in; returns the button the "user" pressed.
using MessageBoxHook = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;

// Shows a message box. owner nullptr: the application's main window. caption
// nullptr: the application's name.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Installs a hook (an empty function removes it); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// One message as ShowMessageBox saw it.
struct RecordedMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    UINT icon() const { return type & MB_ICONMASK; }
    UINT buttons() const { return type & MB_TYPEMASK; }
};

// For tests: records every message box while it lives and answers each with
// `answer`; the previous hook comes back on destruction.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedMessageBox> messages;
    int answer;

private:
    MessageBoxHook previous_;
};
