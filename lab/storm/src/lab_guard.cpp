#include "lab_guard.h"

#include "lab_netns.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace storm {

std::optional<Ipv4> ParseIpv4(const std::string& text)
{
    Ipv4 address{};
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        const size_t start = at;
        unsigned value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3)
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
        if (at == start || value > 255)
            return std::nullopt;
        address[part] = static_cast<uint8_t>(value);
    }
    if (at != text.size())
        return std::nullopt;
    return address;
}

std::string FormatIpv4(const Ipv4& a)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
    return text;
}

bool IsGroup(const Ipv4& a)
{
    return a == Ipv4{224, 0, 0, 1};
}

bool IsLabAddress(const Ipv4& a)
{
    return lab::IsLabRange(a);
}

bool IsAllowedDestination(const Ipv4& a)
{
    return IsGroup(a) || IsLabAddress(a);
}

bool IsLabDeviceNamespaceName(const std::string& name)
{
    if (name.size() < 4 || name.compare(0, 2, "kv") != 0 || name.back() != 'd')
        return false;
    for (size_t i = 2; i + 1 < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

bool ResolveLabInterface(const std::string& nameOrAddress, Ipv4* address, std::string* name, std::string* error)
{
    const std::optional<Ipv4> wanted = ParseIpv4(nameOrAddress);
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        *error = "cannot list the interfaces";
        return false;
    }
    std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owner(list, ::freeifaddrs);
    for (const ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET)
            continue;
        Ipv4 found;
        std::memcpy(found.data(), &reinterpret_cast<const sockaddr_in*>(it->ifa_addr)->sin_addr, 4);
        if (wanted ? found != *wanted : nameOrAddress != it->ifa_name)
            continue;
        if (!IsLabAddress(found)) {
            *error = nameOrAddress + " has " + FormatIpv4(found) + ", outside the lab's ranges";
            return false;
        }
        *address = found;
        *name = it->ifa_name;
        return true;
    }
    *error = "no interface " + nameOrAddress + " with an IPv4 address in this namespace";
    return false;
}

}  // namespace storm
