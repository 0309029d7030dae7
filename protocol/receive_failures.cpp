#include "receive_failures.h"

#include <stdio.h>
#include <string.h>

#include "socket_layer.h"
#include "text_util.h"

namespace {

void DescribeError(int error, char* text, int capacity)
{
    text[0] = '\0';
    if (PlatformErrorText(error, text, capacity)) {
        // The system's texts end in a line end, some in a blank as well.
        size_t length = strlen(text);
        while (length > 0 && strchr("\r\n ", text[length - 1]) != nullptr)
            text[--length] = '\0';
    }
    if (text[0] == '\0')
        snprintf(text, static_cast<size_t>(capacity), "Error %d.", error);
}

}  // namespace

int FindReceiveFailures(ReceiveFailure* failures, int capacity)
{
    if (!interfaceTable.open)
        return 0;
    int count = 0;
    for (int i = 0; i < interfaceTable.interfaceCount && count < capacity; ++i) {
        const InterfaceEntry& entry = interfaceTable.entries[i];
        if (entry.receiveError == 0)
            continue;
        ReceiveFailure& failure = failures[count++];
        CopyTextTo(failure.address, entry.addressText);
        failure.error = entry.receiveError;
        DescribeError(entry.receiveError, failure.reason, static_cast<int>(sizeof failure.reason));
    }
    return count;
}
