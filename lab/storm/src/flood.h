// Sends the bounded flood: count datagrams, the kinds taken in turn, each kind to the
// destinations in turn, at a steady rate or as fast as the system takes them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "datagrams.h"

namespace storm {

struct FloodOptions {
    uint64_t count = 100000;
    double rate = 0;  // datagrams per second; 0 as fast as possible
    std::vector<Ipv4> to;
    Ipv4 via{};  // the local address it is sent from, and the group's interface
    std::vector<Kind> kinds;
};

struct FloodResult {
    std::map<Kind, uint64_t> sent;
    uint64_t errors = 0;  // datagrams the system refused
    double seconds = 0;
    bool stopped = false;  // ended early by SIGINT or SIGTERM
};

// From now on SIGINT and SIGTERM end a flood early, with its counts kept.
void StopOnSignals();

// False (with the reason) when the socket cannot be set up; datagrams the system refuses
// afterwards are counted, not fatal.
bool Flood(const FloodOptions& options, DatagramMaker* maker, FloodResult* result, std::string* error);

}  // namespace storm
