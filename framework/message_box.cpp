#include "framework/message_box.h"

#include <utility>

#include "framework/application.h"

namespace {
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (!owner)
        owner = GetMainWindowHandle();
    if (!caption)
        caption = ApplicationName();
    if (!text)
        text = "";
    if (Hook())
        return Hook()(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
