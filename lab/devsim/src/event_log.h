// The request log: one JSON object per line, appended with a single write() each so that
// readers polling the file never see half a line.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "net.h"

namespace devsim {

class EventLog {
public:
    bool Open(const std::string& path, std::string* error);
    bool IsOpen() const { return static_cast<bool>(fd_); }
    void Write(const nlohmann::ordered_json& line);

private:
    UniqueFd fd_;
};

}  // namespace devsim
