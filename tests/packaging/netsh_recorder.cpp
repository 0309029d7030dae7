// Plays Windows' netsh.exe for the installer test under Wine, which has no firewall:
// msi_lab.sh puts it in the prefix as C:\windows\system32\netsh.exe. It keeps the
// inbound rules that "advfirewall firewall add rule" adds and "delete rule name=..."
// removes in netsh-rules.txt beside itself, one rule a line as its arguments joined by
// tabs, and answers with netsh's exit statuses: 0, or 1 when no rule matches a delete.
// A delete removes every rule that has each of its key=value filters (name, program,
// ...), values compared without regard to case as Windows compares names and paths.
// Every call is appended to netsh-calls.txt. Lab only, never shipped.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Beside(const char* name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The value of "key=value" among the rule's arguments, or "".
std::string ValueOf(const std::vector<std::string>& arguments, const std::string& key)
{
    for (const std::string& argument : arguments) {
        if (argument.compare(0, key.size() + 1, key + "=") == 0)
            return argument.substr(key.size() + 1);
    }
    return std::string();
}

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string call;
    for (const std::string& argument : arguments)
        call += (call.empty() ? "" : "\t") + argument;
    std::ofstream(Beside("netsh-calls.txt"), std::ios::app) << call << "\n";

    const bool rule =
        arguments.size() > 4 && arguments[0] == "advfirewall" && arguments[1] == "firewall" && arguments[3] == "rule";
    if (!rule)
        return 0;
    const std::vector<std::string> details(arguments.begin() + 4, arguments.end());
    const std::string rules = Beside("netsh-rules.txt");
    std::vector<std::string> kept = ReadLines(rules);
    if (arguments[2] == "add") {
        std::string line;
        for (const std::string& detail : details)
            line += (line.empty() ? "" : "\t") + detail;
        kept.push_back(line);
    } else if (arguments[2] == "delete") {
        std::vector<std::string> others;
        for (const std::string& line : kept) {
            const std::vector<std::string> rule = Split(line);
            bool matches = true;
            for (const std::string& filter : details) {
                const std::string key = filter.substr(0, filter.find('='));
                matches = matches && SameText(ValueOf(rule, key), ValueOf(details, key));
            }
            if (!matches)
                others.push_back(line);
        }
        if (others.size() == kept.size()) {
            puts("No rules match the specified criteria.");
            return 1;
        }
        kept = others;
    }
    std::ofstream out(rules, std::ios::trunc);
    for (const std::string& line : kept)
        out << line << "\n";
    puts("Ok.");
    return 0;
}
