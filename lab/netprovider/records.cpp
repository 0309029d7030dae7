#include "records.h"

#include <cstdio>
#include <cwchar>
#include <cwctype>

#include "lab_files.h"

namespace {

std::string JsonString(const std::wstring& text)
{
    std::string out = "\"";
    for (const char c : ToUtf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

struct Word {
    size_t start;
    std::wstring text;
};

// The words of a rule, up to a comment.
std::vector<Word> Words(const std::wstring& line)
{
    std::vector<Word> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::iswspace(line[i]))
            ++i;
        size_t end = i;
        while (end < line.size() && !std::iswspace(line[end]))
            ++end;
        if (end == i || line[i] == L'#')
            break;
        words.push_back({i, line.substr(i, end - i)});
        i = end;
    }
    return words;
}

bool ParseNumber(const std::wstring& word, unsigned long* value)
{
    wchar_t* end = nullptr;
    *value = std::wcstoul(word.c_str(), &end, 0);
    return !word.empty() && end && *end == L'\0';
}

}  // namespace

void JsonLine::Name(const char* name)
{
    if (!body_.empty())
        body_ += ",";
    body_ += "\"";
    body_ += name;
    body_ += "\":";
}

JsonLine& JsonLine::Text(const char* name, const wchar_t* value)
{
    Name(name);
    body_ += value ? JsonString(value) : "null";
    return *this;
}

JsonLine& JsonLine::Number(const char* name, unsigned long value)
{
    Name(name);
    body_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Flag(const char* name, bool value)
{
    Name(name);
    body_ += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::Null(const char* name)
{
    Name(name);
    body_ += "null";
    return *this;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::vector<Connection> ParseConnections(const std::wstring& text)
{
    std::vector<Connection> connections;
    for (const std::wstring& line : SplitLines(text)) {
        const size_t tab = line.find(L'\t');
        if (tab != std::wstring::npos && tab > 0)
            connections.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return connections;
}

std::wstring FormatConnections(const std::vector<Connection>& connections)
{
    std::wstring text;
    for (const Connection& c : connections)
        text += c.local + L"\t" + c.remote + L"\n";
    return text;
}

Refusal TakeRefusal(std::wstring* control, const wchar_t* call, const std::wstring& localName,
                    const std::wstring& remoteName, bool* changed)
{
    *changed = false;
    std::vector<std::wstring> lines = SplitLines(*control);
    for (std::wstring& line : lines) {
        const std::vector<Word> words = Words(line);
        if (words.size() < 3 || words.size() > 4 || !SameName(words[0].text, call))
            continue;
        const std::wstring& name = words[1].text;
        if (name != L"*" && !(!localName.empty() && SameName(name, localName)) &&
            !(!remoteName.empty() && SameName(name, remoteName)))
            continue;
        unsigned long code = 0;
        unsigned long times = 0;
        if (!ParseNumber(words[2].text, &code) || code == 0)
            continue;
        const bool counted = words.size() == 4;
        if (counted && (!ParseNumber(words[3].text, &times) || times == 0))
            continue;

        Refusal refusal{static_cast<DWORD>(code), line};
        if (counted) {
            // Only the count changes: the rest of the line, comment and line end
            // included, stays as the test wrote it.
            line.replace(words[3].start, words[3].text.size(), std::to_wstring(times - 1));
            std::wstring text;
            for (const std::wstring& l : lines)
                text += l + L"\n";
            *control = text;
            *changed = true;
        }
        // The log shows the rule without the line end it may have had.
        if (!refusal.rule.empty() && refusal.rule.back() == L'\r')
            refusal.rule.pop_back();
        return refusal;
    }
    return {};
}
