// What the Language and BitTorrent flows ask the device before an installation (its
// disk state, codepage, BitTorrent firmware), with the pauses between the rounds,
// and the command that opens the device's web pages when its disks need formatting.
#pragma once

#include <windows.h>

// The calls the checks make. The program uses the device queries, Sleep and WinExec;
// tests play a device and take the pauses away.
struct DeviceChecks {
    int (*queryDiskState)();   // fills protocolSession.diskStateValue
    int (*queryCodepage)();    // fills protocolSession.codepageValue
    int (*queryBtFirmware)();  // fills protocolSession.btFirmwareValue
    void (*sleep)(DWORD ms);
    UINT (*run)(const char* commandLine, UINT show);
};
DeviceChecks SetDeviceChecks(const DeviceChecks& checks);  // returns the previous ones
const DeviceChecks& Checks();

// A device's answer read as a number by its leading digits: "3" and "3x" are 3,
// "" and "x" are 0.
int LeadingNumber(const char* text);

// Asks the device up to `rounds` times, `pauseMs` after each answer, until the value
// the query leaves in `value` (emptied before each round) reads a number `wanted`
// takes. Returns the last number read.
int AskUntil(int (*query)(), char* value, int rounds, DWORD pauseMs, bool (*wanted)(int number));

// Opens the device's web pages with explorer (the Windows folder's), for a user who
// must format its disks.
void OpenDevicePages(const char* host);
