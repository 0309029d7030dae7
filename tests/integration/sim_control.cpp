#include "sim_control.h"

#include <stdlib.h>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "protocol.h"
#include "socket_layer.h"

const char* const kSimLan0 = "198.51.100.2";
const char* const kSimLan1 = "203.0.113.2";
const char* const kClientLan0 = "198.51.100.1";
const char* const kClientLan1 = "203.0.113.1";

namespace {

long long generation = 1000;  // above whatever the starting configuration uses

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string LabPath(const char* variable)
{
    const char* value = getenv(variable);
    std::string path = value != nullptr ? value : "";
#ifdef _WIN32
    // Wine maps the Unix root to drive Z:.
    if (!path.empty() && path[0] == '/') {
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        path = "Z:" + path;
    }
#endif
    return path;
}

json SimDevice(const char* identity, const char* address)
{
    return json{{"identity", identity}, {"address", address}};
}

bool ApplySimDevices(const json& devices)
{
    const std::string path = LabPath("KAVRON_SIM_CONFIG");
    if (path.empty())
        return false;
    ++generation;
    json config = {{"generation", generation}, {"interfaces", json::array({kSimLan0, kSimLan1})}, {"devices", devices}};
    const std::string temporary = path + ".next";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << config.dump(2);
        if (!out)
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error)
        return false;
    const std::string expected = std::to_string(generation);
    for (int i = 0; i < 500; ++i) {
        std::string ack = ReadWhole(path + ".ack");
        while (!ack.empty() && (ack.back() == '\n' || ack.back() == '\r'))
            ack.pop_back();
        if (ack == expected) {
            FlushReceiveSockets();
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

size_t SimLogMark()
{
    return ReadWhole(LabPath("KAVRON_SIM_LOG")).size();
}

std::vector<json> SimLogSince(size_t mark)
{
    std::string text = ReadWhole(LabPath("KAVRON_SIM_LOG"));
    std::vector<json> lines;
    if (mark > text.size())
        return lines;
    std::istringstream in(text.substr(mark));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        json entry = json::parse(line, nullptr, false);
        if (!entry.is_discarded())
            lines.push_back(entry);
    }
    return lines;
}

int InterfaceIndexOf(const char* address)
{
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        if (strcmp(interfaceTable.entries[i].addressText, address) == 0)
            return i;
    }
    return -1;
}

int FlushReceiveSockets(int quietMs)
{
    static ReplyBuffer buffer;
    int thrownAway = 0;
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        QueueReader reader(interfaceTable.entries[i]);
        int quiet = 0;
        while (quiet < quietMs) {
            const int length = reader.Next(&buffer, kSelectTimeoutMs);
            if (length == kQueueEmpty) {
                quiet += kSelectTimeoutMs;
            } else {
                thrownAway += length >= 0;
                quiet = 0;
            }
        }
    }
    return thrownAway;
}

std::string Hex(const unsigned char* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

PortHolder::PortHolder()
{
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
#else
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    setsockopt(s, SOL_SOCKET, SO_BINDTODEVICE, "lan0", 5);
#endif
    socket_ = static_cast<intptr_t>(s);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kProtocolPort);
    local.sin_addr.s_addr = inet_addr(kClientLan0);
    bound_ = bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

PortHolder::~PortHolder()
{
#ifdef _WIN32
    closesocket(static_cast<SOCKET>(socket_));
    WSACleanup();
#else
    close(static_cast<int>(socket_));
#endif
}
