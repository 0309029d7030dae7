// What the Language and BitTorrent flows ask a device before an installation, and the
// verdict with its message, without window code: the utility shows the message in a
// message box, kavronctl writes it to stderr.
#pragma once

// Where a check's message goes.
using MessageSink = void (*)(const char* text);

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

// The BitTorrent flow's disk and firmware checks: kBtReady when both allow it;
// otherwise why not, after telling it. kBtSilent: no disk state came at all (the
// message is the unsupported device's).
enum class BtVerdict { kReady, kNoDisks, kUnformatted, kUnsupported, kSilent };
BtVerdict CheckBitTorrentDevice(MessageSink tell);
// The same in two halves, for a caller that waits on one thread and tells on another:
// the queries and pauses (up to about a minute), then the message for a verdict other
// than kReady.
BtVerdict AskBitTorrentDevice();
const char* BitTorrentRefusal(BtVerdict verdict);
