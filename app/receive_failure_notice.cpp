#include "app/receive_failure_notice.h"

#include "framework/message_box.h"

std::string ReceiveFailureMessage(const ReceiveFailure* failures, int count)
{
    if (count <= 0)
        return std::string();
    const bool several = count > 1;
    std::string text = std::string("The utility cannot receive the devices' answers at ") +
                       (several ? "these addresses" : "this address") + " of the PC:\n";
    for (int i = 0; i < count; ++i) {
        text += "\n";
        text += failures[i].address;
        text += ", UDP port " + std::to_string(kProtocolPort) + "\n";
        text += failures[i].reason;
        text += "\n";
    }
    text += std::string("\nDevices that answer only through ") + (several ? "those addresses" : "that address") +
            " are not listed. If another program uses UDP port " + std::to_string(kProtocolPort) +
            ", close it and start the utility again.";
    return text;
}

void ReportReceiveFailures(HWND owner)
{
    ReceiveFailure failures[kMaxInterfaces];
    const int count = FindReceiveFailures(failures, kMaxInterfaces);
    if (count == 0)
        return;
    // A modal dialog is shown once its queue is first empty, which may be after the
    // start-up's report: show it now, so that the message stands in front of it.
    if (!IsWindowVisible(owner)) {
        ShowWindow(owner, SW_SHOWNORMAL);
        UpdateWindow(owner);
    }
    ShowMessageBox(owner, ReceiveFailureMessage(failures, count).c_str(), "Error", MB_OK | MB_ICONHAND);
}
