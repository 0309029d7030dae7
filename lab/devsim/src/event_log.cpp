#include "event_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace devsim {

bool EventLog::Open(const std::string& path, std::string* error)
{
    fd_ = UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd_) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void EventLog::Write(const nlohmann::ordered_json& line)
{
    if (!fd_)
        return;
    // Replace rather than throw on bytes that are not UTF-8; the log must never stop the loop.
    std::string text = line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    text.push_back('\n');
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::cerr << "kavron-devsim: log write failed: " << std::strerror(errno) << "\n";
            return;
        }
        done += static_cast<size_t>(n);
    }
}

}  // namespace devsim
