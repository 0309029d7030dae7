// Each device's volumes as folders of the lab, so that a Windows program there reads and
// writes \\ADDRESS\VOLUME\... and a test reads back what it wrote. Below the shares root:
//
//   .disks/IDENTITY-ADDRESS/VOLUME/...  a device's volumes (its configured address)
//   ADDRESS -> .disks/IDENTITY-ADDRESS  the address the device has now
//
// and, given a Wine prefix's dosdevices/unc folder, UNC/ADDRESS/VOLUME -> the volume's
// folder, the link Wine follows for \\ADDRESS\VOLUME. Files stay with the device's disk:
// applying the configuration again keeps them, a device given another address takes them
// there. Links follow the devices; folders are never deleted, except the add-on, extra
// and parent folders a configuration made, once they are empty and no longer wanted.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "device.h"

namespace devsim {

// What one device plays.
struct DeviceShares {
    std::string address;               // its current address: the name of its link
    std::string disk;                  // its folder in .disks
    std::vector<std::string> volumes;  // as reported, the system volume first
    // Other spellings the device reports for a volume, and the volume: each is a name of it
    // too, for Linux and for Wine's drive letters, which follow links as Linux does.
    std::vector<std::pair<std::string, std::string>> aliases;
    std::vector<std::string> folders;     // "VOLUME/NAME/...", each parent before its children
    std::vector<std::string> unwritable;  // "VOLUME/.../NAME"
};

struct SharePlan {
    std::vector<DeviceShares> devices;
    std::vector<std::string> problems;  // names that cannot be folders, paths in no volume
};

// A device plays a volume for every name of its volume list (sub-code 3) and its system
// volume (sub-code 12). Names that differ only in case are one volume, a folder spelled as
// the system volume or else the first listing spells it, and every spelling reported is a
// name of it (an alias). Other spellings reach it through Wine only, whose file lookups
// take names without regard to case as the device's shares do. The system volume gets the
// device's add-on folders, by its name: .systemfile/.codepages and Nas_Prog/BT for HDD_1
// in any case, .codepages and Nas_Prog/BT for any other name. Two devices on one address:
// the first one plays there.
SharePlan PlanShares(const std::vector<Device>& devices);

// More volumes than this per device are left out: each is a folder and a link.
constexpr size_t kMaxVolumes = 64;

// Where an unwritable path leads: below a device file, where nothing can ever be created,
// even by root (which permissions would not stop). Opening the path for writing fails,
// and the path does not exist for anyone who follows links.
constexpr const char* kUnwritableTarget = "/dev/null/kavron-unwritable";

class ShareFolders {
public:
    // root: the shares root; uncRoot: a Wine prefix's dosdevices/unc folder, or empty.
    // Relative paths are taken from the current folder.
    ShareFolders(const std::string& root, const std::string& uncRoot);

    // Makes the plan's folders and links and takes away those no longer wanted. Returns
    // what could not be done, one text each.
    std::vector<std::string> Sync(const SharePlan& plan);

private:
    bool PlaceLink(const std::string& path, const std::string& target, std::vector<std::string>* problems) const;
    // Whether a link leading there was made here, so that it may be replaced.
    bool Ours(const std::string& target) const;

    std::string root_;
    std::string uncRoot_;
    std::map<std::string, std::string> links_;  // path -> target, of the links made here
    std::set<std::string> folders_;             // add-on, extra and parent folders made here
};

}  // namespace devsim
