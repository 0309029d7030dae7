#include "devices.h"

#include <stdlib.h>
#include <string.h>

DeviceList deviceList;
VolumeList volumeList;
ProtocolSession protocolSession;
InterfaceTable interfaceTable;
ClientId clientId;

void ClearDevices()
{
    DeviceRecord* record = deviceList.head;
    while (record != nullptr) {
        DeviceRecord* next = record->next;
        free(record);
        record = next;
    }
    deviceList.count = 0;
    deviceList.head = nullptr;
    deviceList.tail = nullptr;
}

DeviceRecord* FindDevice(const char* address)
{
    for (DeviceRecord* record = deviceList.head; record != nullptr; record = record->next) {
        if (strcmp(record->address, address) == 0)
            return record;
    }
    return nullptr;
}

DeviceRecord* FindSelectedDevice()
{
    return FindDevice(protocolSession.selectedAddress);
}

DeviceRecord* AddDevice(const DeviceRecord& record)
{
    if (FindDevice(record.address) != nullptr)
        return nullptr;
    DeviceRecord* copy = static_cast<DeviceRecord*>(calloc(1, sizeof(DeviceRecord)));
    if (copy == nullptr)
        return nullptr;
    *copy = record;
    copy->next = nullptr;
    if (deviceList.tail != nullptr) {
        deviceList.tail->next = copy;
    } else {
        deviceList.head = copy;
    }
    deviceList.tail = copy;
    ++deviceList.count;
    return copy;
}
