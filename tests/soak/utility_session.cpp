#include "utility_session.h"

#include <algorithm>
#include <vector>

#include "res/resource.h"
#include "winauto.h"

namespace soak {
namespace {

constexpr int kHandlerTimeoutMs = 30000;

// A step's effect is polled every 10 ms: a thousand iterations add up every wasted tick.
template <class Condition>
bool WaitFor(Condition condition)
{
    return winauto::WaitFor(condition, 20000, 10);
}

// Waits until the handler has returned. Called once its effect has been read through
// a sent message, so the handler is running or done: the window answers sent messages
// while a step of its flow waits on a worker, and then says so through its busy query,
// so the handler is done when that query answers 0. (winauto::WaitIdle first gives
// the thread 250 ms to fetch a posted click, which would add half a second to every
// iteration here.)
bool WaitHandled(HWND window)
{
    static const UINT busyQuery = RegisterWindowMessageA("KavronBusyQuery");
    return winauto::WaitFor(
        [&] {
            DWORD_PTR busy = 1;
            return SendMessageTimeoutA(window, busyQuery, 0, 0, SMTO_NORMAL, kHandlerTimeoutMs, &busy) && busy == 0;
        },
        kHandlerTimeoutMs, 10);
}

}  // namespace

UtilitySession::UtilitySession(const std::string& windowsPath) : process_(windowsPath)
{
    if (process_.handle())
        window_ = winauto::WaitForWindow("Kavron Storage Utility", process_.id(), 60000);
    // The window shows before its first discovery has ended.
    if (window_ && !winauto::WaitIdle(window_, 60000))
        window_ = nullptr;
}

std::string UtilitySession::Refresh(size_t devices)
{
    const HWND address = GetDlgItem(window_, IDC_IP_ADDRESS);
    // Refresh empties the address fields first: a blank address after a selection
    // shows that the click was taken. With none shown yet, only time tells.
    const bool shown = !winauto::IsBlankAddress(address);
    winauto::ClickCentre(GetDlgItem(window_, IDC_REFRESH));
    if (shown && !WaitFor([&] { return winauto::IsBlankAddress(address); }))
        return "Refresh left the address shown";
    if (!(shown ? WaitHandled(window_) : winauto::WaitIdle(window_, kHandlerTimeoutMs)))
        return "Refresh did not return";
    const size_t listed = winauto::ReadListView(GetDlgItem(window_, IDC_DEVICE_LIST)).size();
    if (listed != devices)
        return "Refresh listed " + std::to_string(listed) + " devices";
    return {};
}

std::string UtilitySession::Select(const char* name, size_t volumes)
{
    const HWND list = GetDlgItem(window_, IDC_DEVICE_LIST);
    const std::vector<winauto::ListRow> rows = winauto::ReadListView(list);
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const winauto::ListRow& r) { return !r.cells.empty() && r.cells[0] == name; });
    if (row == rows.end() || row->cells.size() < 2)
        return std::string(name) + " is not listed";
    if (!winauto::ClickListRow(list, static_cast<int>(row - rows.begin())))
        return std::string(name) + ": its row has no rectangle";
    const std::string& address = row->cells[1];
    if (!WaitFor([&] { return winauto::ReadIpAddress(GetDlgItem(window_, IDC_IP_ADDRESS)).Dotted() == address; }))
        return std::string(name) + ": the click was not handled";
    if (!WaitHandled(window_))
        return std::string(name) + ": the selection did not return";
    const size_t shown = winauto::ReadListView(GetDlgItem(window_, IDC_VOLUME_LIST)).size();
    if (shown != volumes)
        return std::string(name) + ": " + std::to_string(shown) + " volumes shown";
    return {};
}

std::string UtilitySession::Exit()
{
    winauto::ClickCentre(GetDlgItem(window_, IDC_EXIT));
    const DWORD code = process_.WaitExit(20000);
    if (code == winauto::StartedProcess::kStillRunning)
        return "Exit did not end the program";
    return code == 0 ? std::string() : "the program ended with status " + std::to_string(code);
}

}  // namespace soak
