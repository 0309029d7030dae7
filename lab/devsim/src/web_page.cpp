#include "web_page.h"

#include <cctype>

namespace devsim {

namespace {

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

RequestHead Bad(int status, std::string why)
{
    RequestHead head;
    head.status = RequestHead::Status::kBad;
    head.errorStatus = status;
    head.error = std::move(why);
    return head;
}

const char* Reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 405:
        return "Method Not Allowed";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

}  // namespace

RequestHead ParseRequestHead(std::string_view received)
{
    // Bare "\n" line ends are taken as well: tolerant of hand-typed requests.
    size_t end = received.find("\r\n\r\n");
    const size_t lf = received.find("\n\n");
    if (lf != std::string_view::npos && (end == std::string_view::npos || lf < end))
        end = lf;
    if (end == std::string_view::npos || end > kMaxRequestHead) {
        if (received.size() > kMaxRequestHead)
            return Bad(431, "request head longer than " + std::to_string(kMaxRequestHead) + " bytes");
        return RequestHead{};
    }

    RequestHead head;
    std::string_view rest = received.substr(0, end);
    bool first = true;
    while (!rest.empty() || first) {
        size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view{} : rest.substr(eol + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        for (char c : line) {
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                return Bad(400, "control character in the request head");
        }
        if (first) {
            first = false;
            const size_t a = line.find(' ');
            const size_t b = a == std::string_view::npos ? a : line.find(' ', a + 1);
            if (b == std::string_view::npos || line.find(' ', b + 1) != std::string_view::npos || a == 0 ||
                b == a + 1) {
                return Bad(400, "not a request line");
            }
            const std::string_view version = line.substr(b + 1);
            if (version != "HTTP/1.0" && version != "HTTP/1.1")
                return Bad(400, "not HTTP/1.0 or HTTP/1.1");
            head.method = std::string(line.substr(0, a));
            head.target = std::string(line.substr(a + 1, b - a - 1));
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0)
            return Bad(400, "header line without a name");
        if (EqualsNoCase(line.substr(0, colon), "User-Agent")) {
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
                value.remove_prefix(1);
            head.userAgent = std::string(value);
        }
    }
    head.status = RequestHead::Status::kComplete;
    return head;
}

std::string RenderPage(const Site& site, const std::string& scheme)
{
    const std::string name = HtmlEscape(std::string(site.name.begin(), site.name.end()));
    std::string page = "<!DOCTYPE html>\n<html>\n<head><meta charset=\"utf-8\"><title>Kavron device " + name +
                       "</title></head>\n<body>\n<h1>" + name + "</h1>\n<pre>\n";
    page += "device-name: " + name + "\n";
    page += "device-address: " + site.address + "\n";
    page += "device-identity: " + site.identity + "\n";
    page += "device-model: " + HtmlEscape(site.model) + "\n";
    page += "device-scheme: " + scheme + "\n";
    page += "</pre>\n</body>\n</html>\n";
    return page;
}

std::string RenderResponse(int status, const std::string& body, bool headOnly)
{
    std::string response = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    response += "Content-Type: text/html; charset=utf-8\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    if (status == 405)
        response += "Allow: GET, HEAD\r\n";
    // Every fetch must reach the device: a browser's cache would hide it from the log.
    response += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (!headOnly)
        response += body;
    return response;
}

}  // namespace devsim
