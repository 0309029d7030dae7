#include "device_values.h"

#include <stdlib.h>
#include <string.h>

#include "text_util.h"

void ClearVolumes(VolumeList* list)
{
    VolumeEntry* entry = list->head;
    while (entry != nullptr) {
        VolumeEntry* next = entry->next;
        free(entry);
        entry = next;
    }
    list->count = 0;
    list->head = nullptr;
    list->tail = nullptr;
}

namespace {

bool HoldsVolume(const VolumeList& list, const char* name)
{
    for (const VolumeEntry* entry = list.head; entry != nullptr; entry = entry->next) {
        if (strcmp(entry->name, name) == 0)
            return true;
    }
    return false;
}

}  // namespace

int SplitVolumeNames(const char* value, VolumeList* list)
{
    if (value == nullptr)
        return 0;
    int added = 0;
    const char* piece = value;
    for (;;) {
        const char* end = strchr(piece, ':');
        size_t length = end != nullptr ? static_cast<size_t>(end - piece) : strlen(piece);
        if (length > 0) {
            char name[256];
            CopyTextN(name, sizeof name, piece, length);
            if (!HoldsVolume(*list, name)) {
                VolumeEntry* entry = static_cast<VolumeEntry*>(calloc(1, sizeof(VolumeEntry)));
                if (entry != nullptr) {
                    CopyTextTo(entry->name, name);
                    if (list->tail != nullptr) {
                        list->tail->next = entry;
                    } else {
                        list->head = entry;
                    }
                    list->tail = entry;
                    ++list->count;
                    ++added;
                }
            }
        }
        if (end == nullptr)
            break;
        piece = end + 1;
    }
    return added;
}

namespace {

enum { kWorkingTextSize = 512, kPortFields = 5 };

const char kEmptyMark[] = "NULL";

// Copies value into the working text and marks every empty field between two
// separators with "NULL". The working text never grows past its 511 characters: what
// an insertion pushes beyond that is cut off the end.
void MarkEmptyFields(const char* value, char (&text)[kWorkingTextSize])
{
    CopyText(text, sizeof text, value);
    size_t length = strlen(text);
    const size_t mark = sizeof kEmptyMark - 1;
    for (size_t i = 0; i + 1 < length; ++i) {
        if (text[i] != ':' || text[i + 1] != ':')
            continue;
        size_t room = sizeof text - 1 - (i + 1);  // characters that fit from i + 1 on
        size_t tail = length - (i + 1);
        if (tail + mark > room)
            tail = room > mark ? room - mark : 0;
        size_t inserted = mark < room ? mark : room;
        memmove(text + i + 1 + inserted, text + i + 1, tail);
        memcpy(text + i + 1, kEmptyMark, inserted);
        length = i + 1 + inserted + tail;
        text[length] = '\0';
        i += inserted;  // continue after the mark, at the second separator
    }
}

// Cuts text at every ":" into at most maxPieces pieces (pointers into text).
int CutPieces(char* text, char** pieces, int maxPieces)
{
    int count = 0;
    char* piece = text;
    for (;;) {
        char* end = strchr(piece, ':');
        if (end != nullptr)
            *end = '\0';
        pieces[count++] = piece;
        if (end == nullptr || count == maxPieces)
            break;
        piece = end + 1;
    }
    return count;
}

void FillPort(PortConfig* port, char** pieces, int available)
{
    const char* field[kPortFields] = {"", "", "", "", ""};
    for (int i = 0; i < kPortFields && i < available; ++i)
        field[i] = pieces[i];
    CopyTextTo(port->portName, field[0]);
    CopyTextTo(port->address, field[1]);
    CopyTextTo(port->netmask, field[2]);
    CopyTextTo(port->gateway, strcmp(field[3], kEmptyMark) == 0 ? "" : field[3]);
    CopyTextTo(port->dhcpFlag, field[4]);
}

}  // namespace

void ParsePortConfig(const char* value, PortConfigTable* table)
{
    char text[kWorkingTextSize];
    MarkEmptyFields(value != nullptr ? value : "", text);
    char* pieces[2 * kPortFields];
    int count = CutPieces(text, pieces, 2 * kPortFields);
    FillPort(&table->lan1, pieces, count);
    if (strcmp(table->lan1.portName, "LAN1") != 0)
        return;
    FillPort(&table->lan2, pieces + kPortFields, count - kPortFields);
}

std::string DeviceUrl(const char* address, const char* sslValue)
{
    const bool ssl = sslValue != nullptr && strchr(sslValue, '1') != nullptr;
    return std::string(ssl ? "https://" : "http://") + address;
}

bool IsTwoPortModel(const char* model)
{
    return strcmp(model, "ZKM-150") == 0;
}
