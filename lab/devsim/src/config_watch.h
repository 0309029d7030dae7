// Notices when the configuration file is rewritten in place or replaced by a rename.
// Watches the file's directory with inotify (a rename replaces the inode, so a watch on
// the file itself would go stale); falls back to comparing stat() every 50 ms.
#pragma once

#include <sys/stat.h>

#include <string>

#include "net.h"

namespace devsim {

class ConfigWatch {
public:
    bool Start(const std::string& path, std::string* error);

    int fd() const { return inotify_.get(); }  // -1 when polling
    int PollIntervalMs() const { return inotify_ ? -1 : 50; }
    // Consumes pending notifications; true when the file has been written or replaced.
    bool Changed();

private:
    struct Signature {
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = -1;
        timespec mtime{};
        timespec ctime{};
        bool operator==(const Signature& o) const;
    };
    Signature Stat() const;

    std::string path_;
    std::string name_;  // the file's name inside its directory
    UniqueFd inotify_;
    Signature last_;
};

}  // namespace devsim
