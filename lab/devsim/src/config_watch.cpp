#include "config_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace devsim {

bool ConfigWatch::Signature::operator==(const Signature& o) const
{
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
}

ConfigWatch::Signature ConfigWatch::Stat() const
{
    Signature s;
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtime = st.st_mtim;
        s.ctime = st.st_ctim;
    }
    return s;
}

bool ConfigWatch::Start(const std::string& path, std::string* error)
{
    path_ = path;
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    name_ = slash == std::string::npos ? path : path.substr(slash + 1);
    last_ = Stat();
    inotify_ = UniqueFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (inotify_ && ::inotify_add_watch(inotify_.get(), dir.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        inotify_ = UniqueFd();
    }
    if (!inotify_ && last_.size < 0) {
        *error = path + ": cannot watch: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool ConfigWatch::Changed()
{
    if (!inotify_) {
        const Signature now = Stat();
        if (now == last_ || now.size < 0)
            return false;
        last_ = now;
        return true;
    }
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(inotify_.get(), buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && name_ == event->name)
                changed = true;
            if (event->mask & IN_Q_OVERFLOW)
                changed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (changed)
        last_ = Stat();
    return changed;
}

}  // namespace devsim
