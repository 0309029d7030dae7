#include "shares.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace devsim {

namespace {

constexpr uint8_t kVolumes = 3;
constexpr uint8_t kSystemVolume = 12;

std::string Text(const Bytes* value)
{
    return value ? std::string(value->begin(), value->end()) : std::string();
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

const std::string* FindVolume(const std::vector<std::string>& volumes, std::string_view name)
{
    for (const std::string& volume : volumes) {
        if (SameName(volume, name))
            return &volume;
    }
    return nullptr;
}

bool AtOrBelow(const std::string& path, const std::string& folder)
{
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string Quoted(const std::string& name)
{
    return "\"" + Printable(ToBytes(name)) + "\"";
}

std::string ReadLink(const std::string& path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length >= 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

// A folder that is already there, or a link to one, is fine as it is.
void MakeFolder(const std::string& path, std::vector<std::string>* problems)
{
    if (::mkdir(path.c_str(), 0755) == 0)
        return;
    const int error = errno;
    struct stat status {};
    if (error == EEXIST && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return;
    problems->push_back("cannot make the folder " + path + ": " +
                        (error == EEXIST ? std::string("something else is there") : std::strerror(error)));
}

// Link targets must not depend on the folder a link is in.
std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char current[PATH_MAX];
    return ::getcwd(current, sizeof current) ? std::string(current) + "/" + path : path;
}

}  // namespace

SharePlan PlanShares(const std::vector<Device>& devices)
{
    SharePlan plan;
    std::set<std::string> addresses;
    std::set<std::string> disks;
    for (const Device& device : devices) {
        if (!addresses.insert(device.AddressText()).second)
            continue;
        const DeviceConfig& cfg = device.config();
        DeviceShares shares;
        shares.address = device.AddressText();
        // The configured address, not the current one: a setting that moves the device
        // must not give it another disk.
        const std::string disk = ToHex(cfg.identity.data(), cfg.identity.size()) + "-" + FormatIpv4(cfg.address);
        shares.disk = disk;
        for (int n = 2; !disks.insert(shares.disk).second; ++n)
            shares.disk = disk + "-" + std::to_string(n);
        const std::string who = shares.address + ": ";

        const std::string system = Text(device.Value(kSystemVolume));
        std::vector<std::string> names;
        if (!system.empty())
            names.push_back(system);
        const std::string list = Text(device.Value(kVolumes));
        for (size_t start = 0; start < list.size();) {
            const size_t end = std::min(list.find(':', start), list.size());
            if (end > start)
                names.push_back(list.substr(start, end - start));
            start = end + 1;
        }
        for (const std::string& name : names) {
            if (const std::string* volume = FindVolume(shares.volumes, name)) {
                const std::pair<std::string, std::string> alias{name, *volume};
                if (name != *volume &&
                    std::find(shares.aliases.begin(), shares.aliases.end(), alias) == shares.aliases.end()) {
                    shares.aliases.push_back(alias);
                }
                continue;
            }
            if (const std::string problem = FolderNameProblem(name); !problem.empty()) {
                plan.problems.push_back(who + "volume " + Quoted(name) + " not played: " + problem);
                continue;
            }
            if (shares.volumes.size() == kMaxVolumes) {
                plan.problems.push_back(who + "only the first " + std::to_string(kMaxVolumes) + " volumes are played");
                break;
            }
            shares.volumes.push_back(name);
        }
        const bool systemPlayed = !system.empty() && !shares.volumes.empty() && shares.volumes[0] == system;

        std::vector<std::string> wanted;
        if (cfg.addonFolders && systemPlayed) {
            wanted.push_back(system + (SameName(system, "HDD_1") ? "/.systemfile/.codepages" : "/.codepages"));
            wanted.push_back(system + "/Nas_Prog/BT");
        }
        // A configured path may spell its volume in another case; it is put in the volume
        // as spelled here. Parsing made sure it has a '/'.
        auto inVolume = [&](const std::string& path, std::vector<std::string>* out) {
            const size_t slash = path.find('/');
            const std::string* volume = FindVolume(shares.volumes, std::string_view(path).substr(0, slash));
            if (!volume) {
                plan.problems.push_back(who + Quoted(path) + " is in none of its volumes");
                return;
            }
            const std::string inside = *volume + path.substr(slash);
            if (std::find(out->begin(), out->end(), inside) == out->end())
                out->push_back(inside);
        };
        for (const std::string& path : cfg.extraFolders)
            inVolume(path, &wanted);
        std::vector<std::string> unwritable;
        for (const std::string& path : cfg.unwritablePaths)
            inVolume(path, &unwritable);
        // The link that makes a path unwritable is a file: nothing can be below it.
        for (const std::string& path : unwritable) {
            bool below = false;
            for (const std::string& other : unwritable)
                below = below || (other != path && AtOrBelow(path, other));
            if (!below)
                shares.unwritable.push_back(path);
        }
        auto blocked = [&shares](const std::string& folder) {
            for (const std::string& path : shares.unwritable) {
                if (AtOrBelow(folder, path))
                    return true;
            }
            return false;
        };
        // Every folder from the first one below the volume down to the path itself.
        std::set<std::string> seen;
        auto add = [&](const std::string& path) {
            for (size_t end = path.find('/', path.find('/') + 1);; end = path.find('/', end + 1)) {
                const std::string folder = path.substr(0, end);
                if (!blocked(folder) && seen.insert(folder).second)
                    shares.folders.push_back(folder);
                if (end == std::string::npos)
                    break;
            }
        };
        for (const std::string& path : wanted)
            add(path);
        for (const std::string& path : shares.unwritable) {
            const size_t slash = path.rfind('/');
            if (slash != path.find('/'))
                add(path.substr(0, slash));
        }
        plan.devices.push_back(std::move(shares));
    }
    return plan;
}

ShareFolders::ShareFolders(const std::string& root, const std::string& uncRoot)
    : root_(Absolute(root)), uncRoot_(Absolute(uncRoot))
{}

bool ShareFolders::Ours(const std::string& target) const
{
    return target == kUnwritableTarget || target.rfind(".disks/", 0) == 0 || target.rfind(root_ + "/", 0) == 0;
}

std::vector<std::string> ShareFolders::Sync(const SharePlan& plan)
{
    std::vector<std::string> problems = plan.problems;
    const std::string disks = root_ + "/.disks";
    std::vector<std::string> folders{root_, disks};
    if (!uncRoot_.empty())
        folders.push_back(uncRoot_);
    std::set<std::string> made;
    std::map<std::string, std::string> links;
    for (const DeviceShares& device : plan.devices) {
        const std::string disk = disks + "/" + device.disk;
        folders.push_back(disk);
        for (const std::string& volume : device.volumes)
            folders.push_back(disk + "/" + volume);
        for (const std::string& folder : device.folders) {
            folders.push_back(disk + "/" + folder);
            made.insert(disk + "/" + folder);
        }
        for (const std::string& path : device.unwritable)
            links[disk + "/" + path] = kUnwritableTarget;
        for (const auto& [alias, volume] : device.aliases)
            links[disk + "/" + alias] = disk + "/" + volume;
        links[root_ + "/" + device.address] = ".disks/" + device.disk;
        if (!uncRoot_.empty()) {
            const std::string unc = uncRoot_ + "/" + device.address + "/";
            folders.push_back(uncRoot_ + "/" + device.address);
            for (const std::string& volume : device.volumes)
                links[unc + volume] = disk + "/" + volume;
            for (const auto& [alias, volume] : device.aliases)
                links[unc + alias] = disk + "/" + volume;
        }
    }

    // What is no longer wanted goes first: a path may turn from a link into a folder. A link
    // that still leads elsewhere is replaced in one step below, never left missing.
    for (const auto& [path, target] : links_) {
        if (links.count(path) == 0 && ReadLink(path) == target)
            ::unlink(path.c_str());
    }
    // Children before their parents (a path sorts before every path below it). A folder with
    // files in it stays: they are the device's now.
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        if (made.count(*it) == 0)
            ::rmdir(it->c_str());
    }
    folders_ = std::move(made);

    for (const std::string& folder : folders)
        MakeFolder(folder, &problems);
    links_.clear();
    for (const auto& [path, target] : links) {
        if (PlaceLink(path, target, &problems))
            links_.emplace(path, target);
    }
    return problems;
}

bool ShareFolders::PlaceLink(const std::string& path, const std::string& target,
                             std::vector<std::string>* problems) const
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT && ::symlink(target.c_str(), path.c_str()) == 0)
            return true;
        problems->push_back("cannot link " + path + ": " + std::strerror(errno));
        return false;
    }
    if (S_ISLNK(status.st_mode)) {
        const std::string current = ReadLink(path);
        if (current == target)
            return true;
        if (!Ours(current)) {
            problems->push_back(path + " is left alone: it is a link to " + current + " that was not made here");
            return false;
        }
    } else if (S_ISDIR(status.st_mode)) {
        // The lab's network provider plays a share that nobody plays with an empty folder;
        // the device plays it from now on. A folder with files in it is somebody's data.
        if (::rmdir(path.c_str()) != 0 || ::symlink(target.c_str(), path.c_str()) != 0) {
            problems->push_back("cannot link " + path + " in place of a folder: " + std::strerror(errno));
            return false;
        }
        return true;
    }
    // One of our links to elsewhere, or a file written before its path became unwritable:
    // replaced in one step, so that a reader finds the old entry or the new one.
    const std::string fresh = path + ".kavron-new";
    ::unlink(fresh.c_str());
    if (::symlink(target.c_str(), fresh.c_str()) != 0 || ::rename(fresh.c_str(), path.c_str()) != 0) {
        problems->push_back("cannot link " + path + ": " + std::strerror(errno));
        ::unlink(fresh.c_str());
        return false;
    }
    return true;
}

}  // namespace devsim
