// A query reply as each query reads it: the value text, the volume names split from
// it, the port configuration parsed from it, the administrator verdict, and the
// diagnostic line a text query writes.
//
// Input: the reply datagram (longer ones are cut to a datagram's capacity).
#include <stdint.h>
#include <string.h>

#include <string>

#include "fuzz_check.h"
#include "fuzz_expect.h"
#include "protocol.h"
#include "reply_buffer.h"

namespace {

std::string expectedLine;

void CheckLine(const char* line)
{
    FUZZ_CHECK(expectedLine == line);  // the whole value, never cut
}

// What a port table held before: each field with bytes after its terminator, so that
// a table said to be kept is seen to be kept byte for byte.
PortConfigTable StaleTable()
{
    PortConfigTable table;
    memset(&table, 'x', sizeof table);
    for (PortConfig* port : {&table.lan1, &table.lan2}) {
        memcpy(port->portName, "OLD", 4);
        memcpy(port->address, "10.0.0.1", 9);
        memcpy(port->netmask, "255.0.0.0", 10);
        memcpy(port->gateway, "10.0.0.254", 11);
        memcpy(port->dhcpFlag, "1", 2);
    }
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static PoisonedReply buffer;
    const ReplyBuffer& reply = buffer.Store(data, size);
    const std::string expected = ExpectValue(reply.bytes, reply.length);

    const char* value = ReplyValue(reply);
    FUZZ_CHECK(expected == value);
    FUZZ_CHECK(ReplyVerdict(reply) == static_cast<signed char>(ExpectByte(reply.bytes, reply.length, 28)));

    // Volumes: a second split of the same value adds nothing.
    ClearVolumes(&volumeList);
    const std::vector<std::string> volumes = ExpectVolumes(expected);
    FUZZ_CHECK(SplitVolumeNames(value, &volumeList) == static_cast<int>(volumes.size()));
    CheckVolumeList(volumes);
    FUZZ_CHECK(SplitVolumeNames(value, &volumeList) == 0);
    CheckVolumeList(volumes);
    ClearVolumes(&volumeList);
    FUZZ_CHECK(volumeList.count == 0 && volumeList.head == nullptr && volumeList.tail == nullptr);

    const PortConfigTable stale = StaleTable();
    PortConfigTable table = stale;
    ParsePortConfig(value, &table);
    CheckPortTable(table, ExpectPortConfig(expected, stale));

    expectedLine = "codepage=" + expected + "\n";
    const ConsoleSink previous = SetConsoleSink(CheckLine);
    ConsoleLine("codepage=%s\n", value);
    SetConsoleSink(previous);
    return 0;
}
