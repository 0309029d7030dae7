#include "timer_queue.h"

#include <algorithm>

namespace devsim {

void TimerQueue::Schedule(int64_t dueMs, Task task)
{
    heap_.push_back(Entry{dueMs, nextSeq_++, std::move(task)});
    std::push_heap(heap_.begin(), heap_.end(), Later);
}

std::optional<int64_t> TimerQueue::NextDue() const
{
    if (heap_.empty())
        return std::nullopt;
    return heap_.front().due;
}

void TimerQueue::RunDue(int64_t nowMs)
{
    while (!heap_.empty() && heap_.front().due <= nowMs) {
        std::pop_heap(heap_.begin(), heap_.end(), Later);
        Task task = std::move(heap_.back().task);
        heap_.pop_back();
        task();  // may schedule more, or clear the queue
    }
}

}  // namespace devsim
