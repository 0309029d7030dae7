// kavron-browser-recorder: the lab's stand-in for a web browser. `lab/lab run --wine
// --browser` registers it as the machine's default browser. Every start appends one JSON
// line to browser.log beside the program:
//
//   {"commandLine": "...", "arguments": [...], "url": "...", "status": 200, "body": "...",
//    "elapsedMs": 12}
//
// commandLine is GetCommandLineA() as it is, url the last argument (a browser is started
// as "COMMAND URL"), then the page fetched from there with WinINet, the errors of a
// self-signed certificate ignored: status and body, or error instead when nothing came.
// Then it exits (status 0 with a page, 1 without). A GUI program, so that starting it
// hidden opens no console.
#include <windows.h>
#include <wininet.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

// Long enough for a device that answers late, short enough that a test waiting for the
// line never waits long for a device that does not answer at all.
constexpr DWORD kTimeoutMs = 10000;
constexpr size_t kMaxBody = 1 << 20;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle()
    {
        if (handle_)
            InternetCloseHandle(handle_);
    }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

struct Page {
    DWORD status = 0;
    std::string body;
    std::string error;  // empty when a response came
};

std::string Failed(const char* call)
{
    return std::string(call) + " failed: error " + std::to_string(GetLastError());
}

Page Fetch(const std::string& url)
{
    Page page;
    char host[256] = {};
    char path[2048] = {};
    char extra[2048] = {};
    URL_COMPONENTSA parts = {sizeof parts};
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    if (url.empty() || !InternetCrackUrlA(url.c_str(), 0, 0, &parts)) {
        page.error = url.empty() ? "no URL" : Failed("InternetCrackUrlA");
        return page;
    }
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    InternetHandle session(InternetOpenA("Kavron lab browser", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) {
        page.error = Failed("InternetOpenA");
        return page;
    }
    DWORD timeout = kTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(session.get(), option, &timeout, sizeof timeout);
    InternetHandle connection(
        InternetConnectA(session.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        page.error = Failed("InternetConnectA");
        return page;
    }
    // Every start fetches from the device itself: no cache, no cookies, no dialog.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    if (secure)
        flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
    const std::string target = std::string(*path ? path : "/") + extra;
    InternetHandle request(
        HttpOpenRequestA(connection.get(), "GET", target.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request) {
        page.error = Failed("HttpOpenRequestA");
        return page;
    }
    if (secure) {
        // The lab's devices present a self-signed certificate made for the run.
        DWORD security = 0;
        DWORD size = sizeof security;
        InternetQueryOptionA(request.get(), INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                    SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_REVOCATION |
                    SECURITY_FLAG_IGNORE_WRONG_USAGE;
        InternetSetOptionA(request.get(), INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);
    }
    if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) {
        page.error = Failed("HttpSendRequestA");
        return page;
    }
    DWORD size = sizeof page.status;
    HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &page.status, &size, nullptr);
    char chunk[4096];
    DWORD read = 0;
    while (page.body.size() < kMaxBody && InternetReadFile(request.get(), chunk, sizeof chunk, &read) && read > 0)
        page.body.append(chunk, read);
    return page;
}

// browser.log in the program's own folder.
std::string LogPath()
{
    char module[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path(module, n);
    const size_t slash = path.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "browser.log";
}

bool AppendLine(const std::string& line)
{
    FileHandle file(CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    // One write per line: a reader polling the file never sees half of one.
    return file && WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const DWORD started = GetTickCount();
    nlohmann::ordered_json line;
    line["commandLine"] = GetCommandLineA();
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.emplace_back(__argv[i]);
    line["arguments"] = arguments;
    const std::string url = arguments.empty() ? std::string() : arguments.back();
    line["url"] = url;
    const Page page = Fetch(url);
    if (page.error.empty()) {
        line["status"] = page.status;
        line["body"] = page.body;
    } else {
        line["error"] = page.error;
    }
    line["elapsedMs"] = GetTickCount() - started;
    const std::string text = line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    return AppendLine(text) && page.error.empty() ? 0 : 1;
}
