#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/TARGET/.

The seeds are committed; run this again after changing a target's input layout
(the layouts are described at the top of each *_fuzz.cpp and in fuzz_socket_layer.h).
Seeds found by fuzzing (earlier findings) live next to these under other names and
are left alone.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CLIENT_ID = bytes([0x4B, 0x56, 0x21, 0x7E, 0x10, 0xC3, 0, 0, 0, 0])  # fuzz_client_id.h
CLIENT_ID_1_ZERO = CLIENT_ID[:5] + bytes(5)
CLIENT_ID_2_ZEROS = CLIENT_ID[:4] + bytes(6)
IDENTITY = bytes([0x02, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5])


def field(text, size):
    data = text.encode() if isinstance(text, str) else text
    return data[:size].ljust(size, b"\0")


def answer(opcode, address, name, netmask="255.255.255.0", gateway="198.51.100.254", dhcp=b"0",
           selectors=(3, 3), model="KV-2", client_id=CLIENT_ID, name_length=None):
    """A discovery answer of layout 2, 7 or 8."""
    header = bytes([opcode]) + client_id + IDENTITY + bytes(address) + dhcp + b"\0\0"
    header += field(netmask, 16) + field(gateway, 16)
    name_bytes = name.encode() if isinstance(name, str) else name
    length = struct.pack("<I", len(name_bytes) if name_length is None else name_length)
    if opcode == 2:
        return header + length + name_bytes
    body = header + bytes(selectors) + b"\0" * 10  # 56..67
    if opcode == 7:
        return body + length + name_bytes
    return body + field(model, 32) + length + name_bytes


def reply(opcode, value=b"", address=(198, 51, 100, 2)):
    """A query (4) or setting (6) reply with the value from byte 28."""
    data = value.encode() if isinstance(value, str) else value
    return bytes([opcode]) + CLIENT_ID + IDENTITY + bytes(address) + b"\0" * 7 + data


def piece(data):
    return struct.pack("<H", len(data)) + data


# Socket layer script events (fuzz_socket_layer.h).
SILENCE = b"\x00"
ECHOED = 0x01 | 0x04 | 0x08  # readable, ClientId and DeviceId of the last request echoed


def event(data, kind=ECHOED):
    return bytes([kind]) + piece(data)


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def discovery_answer():
    t = "fuzz_discovery_answer"
    a = (198, 51, 100, 2)
    # Each input starts with selector 1, selector 2 and the ClientId's zero bytes.
    write(t, "basic", b"\0\0\0" + piece(answer(2, a, "KAVRON-BASIC")))
    write(t, "extended-selectors", b"\3\3\0" + piece(answer(7, a, "KAVRON-EXT")) +
          piece(answer(7, (198, 51, 100, 3), "OTHER", selectors=(1, 2))))
    write(t, "full-model", b"\3\3\0" + piece(answer(8, a, "KAVRON-FULL", model="KV-2 two ports")))
    write(t, "duplicate-address", b"\0\0\0" + piece(answer(8, a, "FIRST")) + piece(answer(2, a, "SECOND")) +
          piece(answer(7, (203, 0, 113, 2), "THIRD")))
    write(t, "name-longer-than-datagram", b"\0\0\0" + piece(answer(8, a, "SHORT", name_length=0xFFFFFFFF)))
    write(t, "name-300-bytes", b"\0\0\0" + piece(answer(2, a, "N" * 300)))
    write(t, "truncated-and-foreign", b"\0\0\0" + piece(answer(8, a, "X")[:80]) +
          piece(answer(8, a, "FOREIGN", client_id=b"\x99" * 10)) + piece(b"\x02"))
    # A ClientId ending in two zero bytes, and answers cut inside it.
    write(t, "clientid-ending-in-zeros", b"\0\0\2" + piece(bytes([2]) + CLIENT_ID_2_ZEROS[:4]) +
          piece(answer(2, a, "OWN", client_id=CLIENT_ID_2_ZEROS)))
    write(t, "fields-without-terminators", b"\0\0\0" + piece(answer(8, a, "Z", netmask="1" * 16, gateway="2" * 16,
                                                                   model="M" * 32)))


def query_value():
    t = "fuzz_query_value"
    write(t, "volumes", reply(4, "HDD_1:HDD_2:USB_1:HDD_1"))
    write(t, "volumes-empty-pieces", reply(4, "::HDD_1::" + "V" * 300 + ":"))
    write(t, "port-config-two-ports",
          reply(4, "LAN1:198.51.100.2:255.255.255.0::0:LAN2:203.0.113.2:255.255.255.0:NULL:1"))
    write(t, "port-config-single", reply(4, "eth0:198.51.100.2:255.255.255.0:198.51.100.254:1"))
    write(t, "port-config-long", reply(4, "LAN1:" + "::" * 200 + "1.2.3.4" * 40 + "::::"))
    write(t, "verdict-refused", reply(4, b"\x00"))
    write(t, "verdict-negative", reply(4, b"\xff"))
    write(t, "codepage", reply(4, "950"))
    write(t, "header-only", reply(4)[:20])
    write(t, "full-datagram", reply(4, "D" * (4096 - 28)))


def setting_reply():
    t = "fuzz_setting_reply"
    noise = (event(reply(6, address=(9, 9, 9, 9)), 0x01) +   # another instance's reply
             event(reply(6), 0x03) +                          # a receive that fails
             event(reply(4), ECHOED) +                        # another opcode
             SILENCE)
    for kind, name in enumerate(["address", "dhcp", "admin", "codepage", "access-mode", "stop", "addon"]):
        opcode = 4 if name == "admin" else 6
        value = b"\x01" if name == "admin" else b""
        ok = reply(opcode, value)
        # records and selection; kind; pending; credentials; record addresses; ClientId zeros
        write(t, name, bytes([0x00, kind, 0x00, 0x00, 0, 1, 2, 3, 0]) + event(ok))
        write(t, name + "-after-noise", bytes([0x03, kind, 0x15, 0x06, 0, 1, 2, 3, 0]) + noise + event(ok))
    write(t, "address-two-ports", bytes([0x21, 0, 0x00, 0x00, 1, 1, 2, 3, 0]) + noise + event(reply(6)))
    # The same noise queued in one burst with the reply behind it: read without a wait.
    queued = 0x10
    write(t, "address-after-queued-noise", bytes([0x03, 0, 0x15, 0x06, 0, 1, 2, 3, 0]) +
          event(reply(6, address=(9, 9, 9, 9)), 0x01 | queued) + event(reply(6), 0x03 | queued) +
          event(reply(4), ECHOED | queued) + event(reply(6)))
    # The ClientId echoed, the address of another listed record reported.
    write(t, "dhcp-onto-listed-address", bytes([0x01, 1, 0x00, 0x00, 0, 3, 2, 3, 0]) +
          event(reply(6, address=(198, 51, 100, 77)), 0x05))
    write(t, "address-not-listed", bytes([0x10, 0, 0x00, 0x00, 0, 1, 2, 3, 0]) + event(reply(6)))
    # Earlier findings. A reply cut inside a ClientId that ends in a zero byte was taken
    # as this instance's; a DHCP reply cut before the device's address moved the record
    # to 0.0.0.0.
    write(t, "finding-reply-cut-inside-clientid", bytes([0x00, 0, 0x00, 0x00, 0, 1, 2, 3, 1]) +
          event(bytes([6]) + CLIENT_ID_1_ZERO[:5], 0x01) + event(reply(6)))
    write(t, "finding-dhcp-reply-cut-before-address", bytes([0x00, 1, 0x00, 0x00, 0, 1, 2, 3, 0]) +
          event(reply(6)[:11], 0x05) + event(reply(6, address=(198, 51, 100, 9)), 0x05))


def receive_path():
    t = "fuzz_receive_path"

    def listen(answers):
        """One interface's discovery: the answers, then silence to its 32 attempts."""
        return b"".join(event(a, 0x05) for a in answers) + SILENCE * (32 - len(answers))

    def query(value):
        return SILENCE * 11 + event(reply(4, value))  # the drain, then the reply

    two_lans = bytes([0x02, 0x11, 0x21, 0x00])
    found = (listen([answer(8, (198, 51, 100, 2), "KAVRON-A")]) +
             listen([answer(7, (203, 0, 113, 2), "KAVRON-B"), answer(2, (198, 51, 100, 2), "DUPLICATE")]))
    queries = (query("HDD_1:HDD_2") + query("950") + query("1") + query("PUBLIC") + query("1.0") +
               query("WORKGROUP") + query("0") +
               query("LAN1:198.51.100.2:255.255.255.0::0:LAN2:203.0.113.2:255.255.255.0:NULL:1"))
    for kind, name in enumerate(["address", "dhcp", "admin", "codepage", "access-mode", "stop", "addon"]):
        opcode = 4 if name == "admin" else 6
        write(t, "session-" + name, two_lans + bytes([3, 3, 0, kind, 0, 0, 0]) + found + queries +
              event(reply(opcode, b"\x01" if name == "admin" else b"")))
    write(t, "no-interface", bytes(11))
    write(t, "startup-fails", bytes([0xC1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0]))
    write(t, "loopback-only", bytes([0x02, 0x03, 0x13, 0x00, 0, 0, 0, 0, 0, 0, 0]) + found)
    write(t, "sockets-fail", bytes([0x02, 0x15, 0x29, 0x00, 3, 3, 0, 0, 0, 0, 0]) + found + queries)
    write(t, "clientid-ending-in-zeros", two_lans + bytes([3, 3, 0, 0, 0, 0, 3]) + found + queries)
    # Two answers and another instance's in one burst on the first interface.
    burst = (event(answer(8, (198, 51, 100, 2), "KAVRON-A"), 0x15) +
             event(answer(2, (198, 51, 100, 9), "OTHER", client_id=bytes(10)), 0x11) +
             event(answer(7, (198, 51, 100, 3), "KAVRON-C"), 0x05) + SILENCE * 30)
    write(t, "answers-in-one-burst", two_lans + bytes([3, 3, 0, 0, 0, 0, 0]) + burst + listen([]))
    write(t, "selectors-filter", two_lans + bytes([5, 0, 0, 1, 0, 0, 0]) +
          listen([answer(8, (198, 51, 100, 2), "A", selectors=(5, 9)),
                  answer(8, (198, 51, 100, 3), "B", selectors=(6, 9))]))


if __name__ == "__main__":
    discovery_answer()
    query_value()
    setting_reply()
    receive_path()
