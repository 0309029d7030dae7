// Answers the modal dialogs a call opens on this thread, in order: each step waits
// for an active, shown window that holds a given control and runs its action on that
// window (inside the dialog's own modal loop, from a thread timer).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class ModalScript {
public:
    ModalScript() { current_ = this; }
    ~ModalScript()
    {
        if (timer_)
            KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The next dialog to answer: the first active window holding control id.
    ModalScript& Then(int id, std::function<void(HWND)> action)
    {
        steps_.push_back({id, std::move(action)});
        if (!timer_)
            timer_ = SetTimer(nullptr, 0, 10, Tick);
        return *this;
    }
    // How many steps have run.
    size_t Done() const { return done_; }

    // Actions that answer a dialog the way a user would.
    static void Press(HWND dialog, int button) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

private:
    struct Step {
        int id;
        std::function<void(HWND)> action;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* self = current_;
        if (!self || self->done_ >= self->steps_.size())
            return;
        HWND active = GetActiveWindow();
        // As a user would: only a dialog on screen is answered.
        if (!active || active == self->last_ || !IsWindowVisible(active) ||
            !GetDlgItem(active, self->steps_[self->done_].id))
            return;
        self->last_ = active;
        self->steps_[self->done_++].action(active);
    }

    static inline ModalScript* current_ = nullptr;
    std::vector<Step> steps_;
    size_t done_ = 0;
    HWND last_ = nullptr;
    UINT_PTR timer_ = 0;
};
