#include "framework/thread.h"

#include <process.h>

#include <new>

namespace {

struct StartBlock {
    ThreadFunction function;
    void* param;
};

unsigned __stdcall Trampoline(void* p)
{
    StartBlock block = *static_cast<StartBlock*>(p);
    delete static_cast<StartBlock*>(p);
    // An exception that left the thread's function would end the whole process.
    try {
        return block.function(block.param);
    } catch (...) {
        return kThreadThrew;
    }
}

}  // namespace

Thread StartThread(ThreadFunction function, void* param)
{
    if (!function)
        return Thread();
    auto* block = new (std::nothrow) StartBlock{function, param};
    if (!block)
        return Thread();
    // _beginthreadex rather than CreateThread: the C runtime of the thread is set up.
    uintptr_t h = _beginthreadex(nullptr, 0, &Trampoline, block, 0, nullptr);
    if (!h) {
        delete block;
        return Thread();
    }
    return Thread(reinterpret_cast<HANDLE>(h));
}
