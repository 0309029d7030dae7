// Discovery answers of the three layouts as discovery reads them: the ClientId test,
// the layout test, the selector filters, the record read from the answer and the
// device list it is added to.
//
// Input: selector 1, selector 2 (0 accepts any byte), how many of the ClientId's last
// bytes are zero (modulo 7, fuzz_client_id.h), then datagrams, each two bytes of
// length (little-endian) and its bytes.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_client_id.h"
#include "fuzz_expect.h"
#include "fuzz_input.h"
#include "protocol.h"
#include "reply_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static PoisonedReply buffer;
    ClearDevices();
    FuzzInput input(data, size);
    const unsigned char selector1 = input.Byte();
    const unsigned char selector2 = input.Byte();
    InstallFuzzClientId(input.Byte() % 7);

    std::vector<std::string> listed;  // the addresses the list must hold, in order
    while (!input.Empty()) {
        const FuzzInput::Piece piece = input.Take();
        const ReplyBuffer& reply = buffer.Store(piece.data, piece.length);
        const unsigned char* bytes = reply.bytes;
        const int length = reply.length;
        FUZZ_CHECK(length == static_cast<int>(piece.length < kDatagramCapacity ? piece.length : kDatagramCapacity));

        const bool own = IsOwnReply(reply);
        const bool answer = IsDeviceAnswer(reply);
        const bool match = SelectorsMatch(reply, selector1, selector2);
        FUZZ_CHECK(own == ExpectOwn(bytes, length));
        FUZZ_CHECK(answer == ExpectDeviceAnswer(bytes, length));
        FUZZ_CHECK(match == ExpectSelectorsMatch(bytes, length, selector1, selector2));

        // Every field of the record is written, each text terminated inside its field.
        DeviceRecord dirty;
        memset(&dirty, 0xA5, sizeof dirty);
        FUZZ_CHECK(ReadDeviceAnswer(reply, 0, &dirty) == answer);
        if (!answer)
            continue;
        CheckDeviceRecord(dirty, 1);

        DeviceRecord record;
        memset(&record, 0, sizeof record);
        ReadDeviceAnswer(reply, 0, &record);
        DeviceRecord expected;
        ExpectRecord(bytes, length, &expected);
        CheckSameRecord(record, expected);
        FUZZ_CHECK(record.interfaceIndex == 0 && record.next == nullptr);

        if (!own || !match)
            continue;
        bool known = false;
        for (const std::string& address : listed)
            known = known || address == record.address;
        const DeviceRecord* added = AddDevice(record);
        FUZZ_CHECK((added == nullptr) == known);
        if (!known)
            listed.push_back(record.address);
    }

    CheckDeviceList(1, true);
    size_t i = 0;
    for (const DeviceRecord* r = deviceList.head; r != nullptr; r = r->next, ++i)
        FUZZ_CHECK(i < listed.size() && listed[i] == r->address);
    ClearDevices();
    FUZZ_CHECK(deviceList.count == 0 && deviceList.head == nullptr && deviceList.tail == nullptr);
    return 0;
}
