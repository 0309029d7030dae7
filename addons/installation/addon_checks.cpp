#include "addons/installation/addon_checks.h"

#include <string>

#include "addons/installation/addon_state.h"
#include "addons/installation/device_checks.h"
#include "protocol.h"
#include "res/codepages.h"

const char kUnsupportedChoice[] =
    "This codepage does not supported in this firmware.\nPlease download the latest firmware from the support link.";

namespace {

constexpr int kCodepageRounds = 10;
constexpr DWORD kCodepagePauseMs = 1000;
constexpr int kBtRounds = 15;
constexpr DWORD kBtPauseMs = 2000;
constexpr DWORD kFirstFirmwarePauseMs = 1000;

enum Firmware { kRunsBitTorrent = 1, kNoBitTorrent = 2 };

// The refusals both add-ons give for the disks.
const char kNoDisksFound[] =
    "No hard drives were detected.\nPlease verify that the hard drives are properly connected before continuing.";
const char kFormatDisks[] = "Please format hard drive.";

// The list index of the codepage the device reports; any other is Western European.
int ChoiceOf(int codepage)
{
    const int index = CodepageIndex(std::to_string(codepage));
    return index >= 0 ? index : kWesternEuropean;
}

bool IsKnownCodepage(int codepage)
{
    return CodepageIndex(std::to_string(codepage)) >= 0;
}

int AskBtDiskState()
{
    int state = AskUntil(Checks().queryDiskState, protocolSession.diskStateValue, kBtRounds, kBtPauseMs,
                         [](int n) { return n >= 1 && n <= 5; });
    // 4 and 5 are disks with more to offer: ready as far as BitTorrent goes.
    if (state >= kReady && state <= 5) {
        CopyTextTo(protocolSession.diskStateValue, "3");
        state = kReady;
    }
    return state;
}

int AskFirmware()
{
    protocolSession.btFirmwareValue[0] = '\0';
    Checks().queryBtFirmware();
    Checks().sleep(kFirstFirmwarePauseMs);
    // A first "no" is final; anything else is asked again until a "yes".
    if (LeadingNumber(protocolSession.btFirmwareValue) == kNoBitTorrent)
        return kNoBitTorrent;
    return AskUntil(Checks().queryBtFirmware, protocolSession.btFirmwareValue, kBtRounds, kBtPauseMs,
                    [](int n) { return n == kRunsBitTorrent; });
}

}  // namespace

int AskCodepageDiskState()
{
    int state = AskUntil(Checks().queryDiskState, protocolSession.diskStateValue, kCodepageRounds, kCodepagePauseMs,
                         [](int n) { return n >= kNoDisks && n <= kExtendedFirmware; });
    extendedCodepages = 0;
    if (state == kExtendedFirmware) {
        extendedCodepages = 1;
        CopyTextTo(protocolSession.diskStateValue, "3");
        state = kReady;
    }
    return state;
}

const char* CodepageRefusal(int diskState)
{
    switch (diskState) {
    case kReady:
        return nullptr;
    case kNoDisks:
        return kNoDisksFound;
    case kUnformatted:
        return kFormatDisks;
    case kUnicode:
        return "This device supports Unicode.";
    default:
        return "Multi-language options are not supported on this device.";
    }
}

bool IsChoiceUnsupported(int choice)
{
    return extendedCodepages == 0 && choice >= 0 && choice < kCodepageCount && kCodepages[choice].extended;
}

int AskCodepageChoice()
{
    return ChoiceOf(AskUntil(Checks().queryCodepage, protocolSession.codepageValue, kCodepageRounds, kCodepagePauseMs,
                             IsKnownCodepage));
}

BtVerdict AskBitTorrentDevice()
{
    const int disks = AskBtDiskState();
    const int firmware = AskFirmware();  // asked whatever the disks said
    if (disks == kReady && firmware == kRunsBitTorrent)
        return BtVerdict::kReady;
    if (disks == kNoDisks)
        return BtVerdict::kNoDisks;
    if (disks == kUnformatted)
        return BtVerdict::kUnformatted;
    return disks == 0 ? BtVerdict::kSilent : BtVerdict::kUnsupported;
}

const char* BitTorrentRefusal(BtVerdict verdict)
{
    switch (verdict) {
    case BtVerdict::kReady:
        return nullptr;
    case BtVerdict::kNoDisks:
        return kNoDisksFound;
    case BtVerdict::kUnformatted:
        return kFormatDisks;
    default:
        return "BitTorrent does not supported on this device now.";
    }
}

int CheckCodepageDisks(const char* host, AddonCheckReport& report)
{
    const int disks = report.Wait(AskCodepageDiskState, 0);
    if (const char* refusal = CodepageRefusal(disks)) {
        report.Refuse(refusal);
        if (disks == kUnformatted)
            report.ShowPagesToFormat(host);
        restartState = -1;
    }
    return disks;
}

BtVerdict CheckBitTorrentDevice(const char* host, AddonCheckReport& report)
{
    // A wait that failed counts as a device that never answered.
    const BtVerdict verdict = static_cast<BtVerdict>(
        report.Wait([] { return static_cast<int>(AskBitTorrentDevice()); }, static_cast<int>(BtVerdict::kSilent)));
    if (verdict == BtVerdict::kReady)
        return verdict;
    report.Refuse(BitTorrentRefusal(verdict));
    if (verdict == BtVerdict::kUnformatted)
        report.ShowPagesToFormat(host);
    restartState = -1;
    return verdict;
}
