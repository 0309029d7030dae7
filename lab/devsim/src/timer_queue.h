// Delayed work of the event loop: replies that wait for their delay and noise streams.
// Tasks that fall due at the same millisecond run in the order they were scheduled.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace devsim {

class TimerQueue {
public:
    using Task = std::function<void()>;

    void Schedule(int64_t dueMs, Task task);
    std::optional<int64_t> NextDue() const;
    // Runs every task due at or before nowMs, including tasks they schedule for then.
    void RunDue(int64_t nowMs);
    void Clear() { heap_.clear(); }
    size_t size() const { return heap_.size(); }

private:
    struct Entry {
        int64_t due;
        uint64_t seq;
        Task task;
    };
    static bool Later(const Entry& a, const Entry& b) { return a.due != b.due ? a.due > b.due : a.seq > b.seq; }
    std::vector<Entry> heap_;
    uint64_t nextSeq_ = 0;
};

}  // namespace devsim
