// What the Language and BitTorrent flows ask a device before an installation, the
// verdict with its message, and what follows a refusal (the message, the device's web
// pages for disks to format, the end of the run), without window code: the front end
// says how, the utility in message boxes (addons/check_report.h), kavronctl on stderr.
#pragma once

// What a front end does for the checks.
class AddonCheckReport {
public:
    // Runs one of the checks' rounds of questions and pauses (up to about a minute)
    // and returns its result; `failed` when the wait itself failed.
    virtual int Wait(int (*ask)(), int failed) = 0;
    // Tells the user why the installation does not go on.
    virtual void Refuse(const char* message) = 0;
    // Points the user to the device's web pages at host, where its disks are formatted.
    virtual void ShowPagesToFormat(const char* host) = 0;

protected:
    ~AddonCheckReport() = default;
};

// Disk states as the device reports them.
enum DiskState { kNoDisks = 1, kUnformatted = 2, kReady = 3, kUnicode = 4, kExtendedFirmware = 5 };

// The Language flow's first question: up to ten rounds, a second apart, until the device
// reports a disk state. A device whose firmware takes the extended codepages (5) sets
// extendedCodepages and reads as ready. The state, 0 when it never said.
int AskCodepageDiskState();
// The message for a disk state that is not ready; nullptr for kReady.
const char* CodepageRefusal(int diskState);
// The second: up to ten rounds, a second apart, until the device reports a codepage it
// may have; the list index of that codepage (any other is Western European).
int AskCodepageChoice();
// True when the list's choice is one of the extended codepages (res/codepages.h) and
// the device's firmware does not take them.
bool IsChoiceUnsupported(int choice);
// The message when the choice needs firmware the device does not have.
extern const char kUnsupportedChoice[];

// The BitTorrent flow's disk and firmware checks: kReady when both allow it, otherwise
// why not. kSilent: no disk state came at all (the message is the unsupported
// device's). The queries and pauses (up to about a minute), then the message for a
// verdict other than kReady.
enum class BtVerdict { kReady, kNoDisks, kUnformatted, kUnsupported, kSilent };
BtVerdict AskBitTorrentDevice();
const char* BitTorrentRefusal(BtVerdict verdict);

// The checks in front of each installation, the same for both front ends: the device
// asked (through report's Wait); unless it is ready, the refusal told, for unformatted
// disks the pages shown, and the run ended (restartState -1). The Language flow's
// returns the disk state (kReady: go on; 0: the device never said), the BitTorrent
// flow's the verdict.
int CheckCodepageDisks(const char* host, AddonCheckReport& report);
BtVerdict CheckBitTorrentDevice(const char* host, AddonCheckReport& report);
