// Fakes of the utility's system seams and builders of the protocol records its
// windows read, shared by the app suites (header-only: link kavron_app).
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "app/mapping/drive_table.h"
#include "protocol.h"

// Plays the PC's drive letters through the drive table's seam while it lives.
// A letter with a connection is a network drive unless `types` says otherwise; a
// letter with neither is free (no root directory). A connection whose letter is in
// `unavailable` is remembered but not connected now.
class FakeDrives {
public:
    FakeDrives() : previous_(SetDriveSystem({GetConnection, GetDriveType}))
    {
        current_ = this;
        RefreshDriveTable();  // the table is process-wide: start every case empty
    }
    ~FakeDrives()
    {
        SetDriveSystem(previous_);
        current_ = nullptr;
    }
    FakeDrives(const FakeDrives&) = delete;
    FakeDrives& operator=(const FakeDrives&) = delete;

    // The system's own calls, for a case that wants them back.
    const DriveSystem& System() const { return previous_; }

    std::map<char, UINT> types;
    std::map<char, std::string> connections;  // letter -> "\\server\share"
    std::string unavailable;                  // letters of remembered connections

private:
    static DWORD GetConnection(const char* local, char* remote, DWORD* length)
    {
        auto it = current_->connections.find(local[0]);
        if (it == current_->connections.end())
            return ERROR_NOT_CONNECTED;
        if (it->second.size() + 1 > *length)
            return ERROR_MORE_DATA;
        lstrcpynA(remote, it->second.c_str(), static_cast<int>(*length));
        return current_->unavailable.find(local[0]) != std::string::npos ? ERROR_CONNECTION_UNAVAIL : NO_ERROR;
    }
    static UINT GetDriveType(const char* root)
    {
        auto type = current_->types.find(root[0]);
        if (type != current_->types.end())
            return type->second;
        return current_->connections.count(root[0]) ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
    }

    static inline FakeDrives* current_ = nullptr;
    DriveSystem previous_;
};

// A device record as a discovery would have made it (appended to deviceList).
inline void AddDeviceRecord(const char* name, const char* address, const char* netmask, const char* gateway,
                            const char* dhcpFlag, const char* model)
{
    DeviceRecord record{};
    CopyTextTo(record.name, name);
    CopyTextTo(record.address, address);
    CopyTextTo(record.netmask, netmask);
    CopyTextTo(record.gateway, gateway);
    CopyTextTo(record.dhcpFlag, dhcpFlag);
    CopyTextTo(record.model, model);
    AddDevice(record);
}

// A volume as QueryVolumes would have listed it (appended to volumeList).
inline void AppendVolume(const char* name)
{
    auto* entry = new VolumeEntry{};
    CopyTextTo(entry->name, name);
    if (volumeList.tail)
        volumeList.tail->next = entry;
    else
        volumeList.head = entry;
    volumeList.tail = entry;
    ++volumeList.count;
}
