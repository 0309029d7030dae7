// Records every message box the program shows while it lives, through the hook of
// framework/message_box.h, and answers each with `answer`; the previous hook comes
// back on destruction.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/message_box.h"

// One message as ShowMessageBox saw it.
struct RecordedMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    UINT icon() const { return type & MB_ICONMASK; }
    UINT buttons() const { return type & MB_TYPEMASK; }
};

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer_ = IDOK) : answer(answer_)
    {
        previous_ = SetMessageBoxHook([this](HWND owner, const char* text, const char* caption, UINT type) {
            messages.push_back(RecordedMessageBox{owner, text, caption, type});
            return answer;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxHook(std::move(previous_)); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedMessageBox> messages;
    int answer;

private:
    MessageBoxHook previous_;
};
