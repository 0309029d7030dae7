#include "config.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include <nlohmann/json.hpp>

namespace devsim {

namespace {

using nlohmann::json;

// Reads typed values out of the parsed document. Only the first error is kept, as
// "path: what is wrong"; every reader returns false once something failed.
class Reader {
public:
    const std::string& error() const { return error_; }

    bool Fail(const std::string& path, const std::string& what)
    {
        if (error_.empty())
            error_ = path + ": " + what;
        return false;
    }

    bool OnlyKeys(const json& object, const std::string& path, std::initializer_list<const char*> allowed)
    {
        if (!object.is_object())
            return Fail(path, "expected an object");
        for (const auto& item : object.items()) {
            bool known = false;
            for (const char* key : allowed)
                known = known || item.key() == key;
            if (!known)
                return Fail(path, "unknown key \"" + item.key() + "\"");
        }
        return true;
    }

    bool Int(const json& v, const std::string& path, int64_t lo, int64_t hi, int64_t* out)
    {
        if (!v.is_number_integer())
            return Fail(path, "expected an integer");
        if (v.is_number_unsigned()) {
            const uint64_t u = v.get<uint64_t>();
            if (u > static_cast<uint64_t>(hi))
                return Fail(path, "must be at most " + std::to_string(hi));
            *out = static_cast<int64_t>(u);
        } else {
            *out = v.get<int64_t>();
        }
        if (*out < lo || *out > hi) {
            return Fail(path, "must be between " + std::to_string(lo) + " and " + std::to_string(hi));
        }
        return true;
    }

    template <typename T>
    bool Number(const json& v, const std::string& path, int64_t lo, int64_t hi, T* out)
    {
        int64_t value = 0;
        if (!Int(v, path, lo, hi, &value))
            return false;
        *out = static_cast<T>(value);
        return true;
    }

    bool String(const json& v, const std::string& path, std::string* out)
    {
        if (!v.is_string())
            return Fail(path, "expected a string");
        *out = v.get_ref<const std::string&>();
        return true;
    }

    bool Bool(const json& v, const std::string& path, bool* out)
    {
        if (!v.is_boolean())
            return Fail(path, "expected true or false");
        *out = v.get<bool>();
        return true;
    }

    bool Address(const json& v, const std::string& path, Ipv4* out)
    {
        std::string text;
        if (!String(v, path, &text))
            return false;
        auto parsed = ParseIpv4(text);
        if (!parsed)
            return Fail(path, "\"" + text + "\" is not a dotted IPv4 address");
        *out = *parsed;
        return true;
    }

    bool Hex(const json& v, const std::string& path, Bytes* out)
    {
        std::string text;
        if (!String(v, path, &text))
            return false;
        auto parsed = FromHex(text);
        if (!parsed)
            return Fail(path, "expected an even number of hex digits");
        *out = std::move(*parsed);
        return true;
    }

    bool Payload(const Bytes& bytes, const std::string& path)
    {
        if (bytes.size() > kMaxPayloadBytes) {
            return Fail(path, "longer than " + std::to_string(kMaxPayloadBytes) + " bytes");
        }
        return true;
    }

    // Object keys that name a sub-code: "0" to "255", written without leading zeros.
    bool Subcode(const std::string& key, const std::string& path, uint8_t* out)
    {
        int64_t value = -1;
        if (!key.empty() && key.size() <= 3 && key.find_first_not_of("0123456789") == std::string::npos) {
            value = std::stoll(key);
        }
        if (value < 0 || value > 255 || std::to_string(value) != key) {
            return Fail(path, "\"" + key + "\" is not a sub-code (0 to 255)");
        }
        *out = static_cast<uint8_t>(value);
        return true;
    }

private:
    std::string error_;
};

bool ReadAdmin(Reader& r, const json& v, const std::string& path, AdminConfig* admin)
{
    if (!r.OnlyKeys(v, path, {"user", "password", "verdict"}))
        return false;
    std::string text;
    if (v.contains("user")) {
        if (!r.String(v["user"], path + ".user", &text))
            return false;
        admin->user = ToBytes(text);
    }
    if (v.contains("password")) {
        if (!r.String(v["password"], path + ".password", &text))
            return false;
        admin->password = ToBytes(text);
    }
    // A verdict is one byte on the wire; negative numbers give its signed reading.
    if (v.contains("verdict") && !r.Number(v["verdict"], path + ".verdict", -128, 255, &admin->verdict)) {
        return false;
    }
    return true;
}

bool ReadNoise(Reader& r, const json& v, const std::string& path, NoiseConfig* noise)
{
    if (!r.OnlyKeys(v, path, {"opcode", "count", "intervalMs"}))
        return false;
    for (const char* key : {"opcode", "count", "intervalMs"}) {
        if (!v.contains(key))
            return r.Fail(path, "missing \"" + std::string(key) + "\"");
    }
    return r.Number(v["opcode"], path + ".opcode", 0, 255, &noise->opcode) &&
           r.Number(v["count"], path + ".count", 0, kMaxNoiseCount, &noise->count) &&
           r.Number(v["intervalMs"], path + ".intervalMs", 0, kMaxDelayMs, &noise->intervalMs);
}

bool ReadSubcodeList(Reader& r, const json& v, const std::string& path, std::set<uint8_t>* out)
{
    if (!v.is_array())
        return r.Fail(path, "expected an array of sub-codes");
    for (size_t i = 0; i < v.size(); ++i) {
        uint8_t code = 0;
        if (!r.Number(v[i], path + "[" + std::to_string(i) + "]", 0, 255, &code))
            return false;
        out->insert(code);
    }
    return true;
}

// Paths below a device's volumes: "VOLUME/NAME[/NAME...]", every name a possible folder.
bool ReadSharePaths(Reader& r, const json& v, const std::string& path, std::vector<std::string>* out)
{
    if (!v.is_array())
        return r.Fail(path, "expected an array of paths such as \"HDD_1/Nas_Prog/BT\"");
    if (v.size() > kMaxSharePaths)
        return r.Fail(path, "more than " + std::to_string(kMaxSharePaths) + " paths");
    for (size_t i = 0; i < v.size(); ++i) {
        const std::string at = path + "[" + std::to_string(i) + "]";
        std::string text;
        if (!r.String(v[i], at, &text))
            return false;
        if (text.find('/') == std::string::npos)
            return r.Fail(at, "\"" + text + "\" names no folder below a volume (VOLUME/NAME)");
        for (size_t start = 0; start <= text.size();) {
            const size_t end = std::min(text.find('/', start), text.size());
            const std::string problem = FolderNameProblem(std::string_view(text).substr(start, end - start));
            if (!problem.empty())
                return r.Fail(at, "\"" + text + "\": " + problem);
            start = end + 1;
        }
        out->push_back(text);
    }
    return true;
}

bool ReadDevice(Reader& r, const json& v, const std::string& path, const std::vector<std::string>& interfaces,
                DeviceConfig* d)
{
    if (!r.OnlyKeys(v, path,
                    {"identity",     "address",      "netmask",        "gateway",         "dhcp",        "name",
                     "nameHex",      "nameLength",   "layout",         "selectors",       "model",       "on",
                     "reply",        "delayMs",      "answerTwice",    "foreignClientId", "answerAll",   "values",
                     "valuesHex",    "unanswered",   "subcodeDelayMs", "admin",           "dhcpAddress", "noise",
                     "addonFolders", "extraFolders", "unwritablePaths"})) {
        return false;
    }
    if (!v.contains("identity"))
        return r.Fail(path, "missing \"identity\"");
    if (!v.contains("address"))
        return r.Fail(path, "missing \"address\"");

    Bytes identity;
    if (!r.Hex(v["identity"], path + ".identity", &identity))
        return false;
    if (identity.size() != d->identity.size())
        return r.Fail(path + ".identity", "expected 12 hex digits");
    std::copy(identity.begin(), identity.end(), d->identity.begin());
    if (!r.Address(v["address"], path + ".address", &d->address))
        return false;

    if (v.contains("netmask") && !r.String(v["netmask"], path + ".netmask", &d->netmask))
        return false;
    if (v.contains("gateway") && !r.String(v["gateway"], path + ".gateway", &d->gateway))
        return false;
    if (v.contains("dhcp")) {
        std::string flag;
        if (!r.String(v["dhcp"], path + ".dhcp", &flag))
            return false;
        if (flag.size() != 1)
            return r.Fail(path + ".dhcp", "expected one character, such as \"0\" or \"1\"");
        d->dhcpFlag = static_cast<uint8_t>(flag[0]);
    }

    if (v.contains("name")) {
        std::string name;
        if (!r.String(v["name"], path + ".name", &name))
            return false;
        d->name = ToBytes(name);
    }
    if (v.contains("nameHex") && !r.Hex(v["nameHex"], path + ".nameHex", &d->name))
        return false;
    if (!r.Payload(d->name, path + ".name"))
        return false;
    if (v.contains("nameLength")) {
        uint32_t length = 0;
        if (!r.Number(v["nameLength"], path + ".nameLength", 0, UINT32_MAX, &length))
            return false;
        d->nameLength = length;
    }

    if (v.contains("layout")) {
        if (!r.Number(v["layout"], path + ".layout", 0, 255, &d->layout))
            return false;
        if (d->layout != 2 && d->layout != 7 && d->layout != 8)
            return r.Fail(path + ".layout", "must be 2, 7 or 8");
    }
    if (v.contains("selectors")) {
        const json& s = v["selectors"];
        if (!s.is_array() || s.size() != 2)
            return r.Fail(path + ".selectors", "expected two numbers");
        if (!r.Number(s[0], path + ".selectors[0]", 0, 255, &d->selector1) ||
            !r.Number(s[1], path + ".selectors[1]", 0, 255, &d->selector2)) {
            return false;
        }
    }
    if (v.contains("model") && !r.String(v["model"], path + ".model", &d->model))
        return false;

    if (v.contains("on")) {
        const json& on = v["on"];
        if (!on.is_array() || on.empty())
            return r.Fail(path + ".on", "expected a non-empty array of interface addresses");
        for (size_t i = 0; i < on.size(); ++i) {
            std::string iface;
            const std::string at = path + ".on[" + std::to_string(i) + "]";
            if (!r.String(on[i], at, &iface))
                return false;
            bool known = false;
            for (const auto& candidate : interfaces)
                known = known || candidate == iface;
            if (!known)
                return r.Fail(at, "\"" + iface + "\" is not one of \"interfaces\"");
            bool duplicate = false;
            for (const auto& seen : d->on)
                duplicate = duplicate || seen == iface;
            if (!duplicate)
                d->on.push_back(iface);
        }
    } else {
        d->on = interfaces;
    }

    if (v.contains("reply")) {
        std::string mode;
        if (!r.String(v["reply"], path + ".reply", &mode))
            return false;
        if (mode == "multicast") {
            d->reply = ReplyMode::kMulticast;
        } else if (mode == "unicast") {
            d->reply = ReplyMode::kUnicast;
        } else {
            return r.Fail(path + ".reply", "must be \"multicast\" or \"unicast\"");
        }
    }
    if (v.contains("delayMs") && !r.Number(v["delayMs"], path + ".delayMs", 0, kMaxDelayMs, &d->delayMs))
        return false;
    if (v.contains("answerTwice") && !r.Bool(v["answerTwice"], path + ".answerTwice", &d->answerTwice))
        return false;
    if (v.contains("foreignClientId") &&
        !r.Bool(v["foreignClientId"], path + ".foreignClientId", &d->foreignClientId)) {
        return false;
    }
    if (v.contains("answerAll") && !r.Bool(v["answerAll"], path + ".answerAll", &d->answerAll))
        return false;

    // Text values first, so that raw bytes for the same sub-code win.
    for (const char* key : {"values", "valuesHex"}) {
        if (!v.contains(key))
            continue;
        const std::string at = path + "." + key;
        const json& values = v[key];
        if (!values.is_object())
            return r.Fail(at, "expected an object of sub-code: value");
        const bool hex = std::strcmp(key, "valuesHex") == 0;
        for (const auto& item : values.items()) {
            const std::string itemPath = at + "." + item.key();
            uint8_t code = 0;
            if (!r.Subcode(item.key(), at, &code))
                return false;
            Bytes bytes;
            if (hex) {
                if (!r.Hex(item.value(), itemPath, &bytes))
                    return false;
            } else {
                std::string text;
                if (!r.String(item.value(), itemPath, &text))
                    return false;
                bytes = ToBytes(text);
            }
            if (!r.Payload(bytes, itemPath))
                return false;
            d->values[code] = std::move(bytes);
        }
    }
    if (v.contains("unanswered") && !ReadSubcodeList(r, v["unanswered"], path + ".unanswered", &d->unanswered)) {
        return false;
    }
    if (v.contains("subcodeDelayMs")) {
        const std::string at = path + ".subcodeDelayMs";
        const json& delays = v["subcodeDelayMs"];
        if (!delays.is_object())
            return r.Fail(at, "expected an object of sub-code: milliseconds");
        for (const auto& item : delays.items()) {
            uint8_t code = 0;
            uint32_t ms = 0;
            if (!r.Subcode(item.key(), at, &code) ||
                !r.Number(item.value(), at + "." + item.key(), 0, kMaxDelayMs, &ms)) {
                return false;
            }
            d->subcodeDelayMs[code] = ms;
        }
    }
    if (v.contains("admin") && !ReadAdmin(r, v["admin"], path + ".admin", &d->admin))
        return false;
    if (v.contains("dhcpAddress")) {
        Ipv4 address{};
        if (!r.Address(v["dhcpAddress"], path + ".dhcpAddress", &address))
            return false;
        d->dhcpAddress = address;
    }
    if (v.contains("noise")) {
        NoiseConfig noise;
        if (!ReadNoise(r, v["noise"], path + ".noise", &noise))
            return false;
        d->noise = noise;
    }
    if (v.contains("addonFolders") && !r.Bool(v["addonFolders"], path + ".addonFolders", &d->addonFolders))
        return false;
    if (v.contains("extraFolders") && !ReadSharePaths(r, v["extraFolders"], path + ".extraFolders", &d->extraFolders))
        return false;
    if (v.contains("unwritablePaths") &&
        !ReadSharePaths(r, v["unwritablePaths"], path + ".unwritablePaths", &d->unwritablePaths)) {
        return false;
    }
    return true;
}

}  // namespace

std::string FolderNameProblem(std::string_view name)
{
    if (name.empty())
        return "an empty name";
    if (name == "." || name == "..")
        return "\"" + std::string(name) + "\" is no folder name";
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
        return "a name may hold no '/', '\\' or NUL";
    if (name.size() > 255)
        return "a name longer than 255 bytes";
    return "";
}

ConfigResult ParseConfig(const std::string& text)
{
    ConfigResult result;
    // The JSON library reports syntax errors (with line and column) only by exception;
    // it is caught right here and never reaches the rest of the program.
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::exception& e) {
        result.error = std::string("not valid JSON: ") + e.what();
        return result;
    }
    Reader r;
    SimConfig& c = result.config;
    if (r.OnlyKeys(doc, "configuration", {"generation", "interfaces", "devices"})) {
        if (!doc.contains("generation")) {
            r.Fail("configuration", "missing \"generation\"");
        } else {
            r.Number(doc["generation"], "generation", 0, INT64_MAX, &c.generation);
        }
    }
    if (r.error().empty()) {
        const json* ifaces = doc.contains("interfaces") ? &doc["interfaces"] : nullptr;
        if (!ifaces || !ifaces->is_array() || ifaces->empty()) {
            r.Fail("interfaces", "expected a non-empty array of the simulator's own addresses");
        } else {
            for (size_t i = 0; i < ifaces->size() && r.error().empty(); ++i) {
                const std::string at = "interfaces[" + std::to_string(i) + "]";
                Ipv4 address{};
                if (!r.Address((*ifaces)[i], at, &address))
                    break;
                const std::string dotted = FormatIpv4(address);
                for (const auto& seen : c.interfaces) {
                    if (seen == dotted)
                        r.Fail(at, dotted + " is listed twice");
                }
                c.interfaces.push_back(dotted);
            }
        }
    }
    if (r.error().empty() && doc.contains("devices")) {
        const json& devices = doc["devices"];
        if (!devices.is_array()) {
            r.Fail("devices", "expected an array");
        } else {
            for (size_t i = 0; i < devices.size(); ++i) {
                DeviceConfig device;
                if (!ReadDevice(r, devices[i], "devices[" + std::to_string(i) + "]", c.interfaces, &device))
                    break;
                c.devices.push_back(std::move(device));
            }
        }
    }
    result.ok = r.error().empty();
    result.error = r.error();
    return result;
}

ConfigResult LoadConfigFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ConfigResult result;
        result.error = path + ": cannot open: " + std::strerror(errno);
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    ConfigResult result = ParseConfig(text.str());
    if (!result.ok)
        result.error = path + ": " + result.error;
    return result;
}

}  // namespace devsim
