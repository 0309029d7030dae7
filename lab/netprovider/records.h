// The provider's three records, as text: the call log (one JSON object a line), the
// connections it has made, and the refusals a test asks for in the control file.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One line of the call log, built field by field.
class JsonLine {
public:
    JsonLine& Text(const char* name, const wchar_t* value);  // nullptr writes null
    JsonLine& Text(const char* name, const std::wstring& value) { return Text(name, value.c_str()); }
    JsonLine& Number(const char* name, unsigned long value);
    JsonLine& Flag(const char* name, bool value);
    JsonLine& Null(const char* name);
    std::string Finish() const { return "{" + body_ + "}"; }

private:
    void Name(const char* name);
    std::string body_;
};

struct Connection {
    std::wstring local;   // "Y:"
    std::wstring remote;  // "\\server\share"
};

// One connection a line: the local name, a tab, the remote name.
std::vector<Connection> ParseConnections(const std::wstring& text);
std::wstring FormatConnections(const std::vector<Connection>& connections);

bool SameName(const std::wstring& a, const std::wstring& b);  // without regard to case

// Control file, one rule a line ('#' starts a comment, on a line of its own or after
// a rule):
//     CALL NAME CODE [TIMES]
// CALL is add (both add entry points), cancel or get; NAME is the local name or the
// remote name the call carries (without regard to case), or * for any; CODE is the
// error the call returns (decimal, or hex with 0x). Without TIMES the rule refuses
// every matching call; with it, only that many more: each refusal writes the line
// back with TIMES one lower, so the file always shows what is left. The first rule
// that matches and has refusals left decides.
struct Refusal {
    DWORD code = 0;     // 0: the call goes ahead
    std::wstring rule;  // the refusing line as it read before the call
};
// *changed tells whether *control was rewritten (a counted refusal used up).
Refusal TakeRefusal(std::wstring* control, const wchar_t* call, const std::wstring& localName,
                    const std::wstring& remoteName, bool* changed);
