// The port-table query a selection makes, behind a seam: tests with the network
// closed play an answered or an unanswered query around the table they set.
#pragma once

struct PortQuery {
    int (*queryPortConfig)();  // 1 answered (the table filled), 0 no answer
};

// Puts query in place; returns the one it replaces.
PortQuery SetPortQuery(const PortQuery& query);
