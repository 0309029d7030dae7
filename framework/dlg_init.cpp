#include "framework/dlg_init.h"

#include <cstring>

namespace {

constexpr WORD kResourceTypeDlgInit = 240;
// The records keep the message numbers of 16-bit Windows.
constexpr WORD kOldListBoxAddString = 0x0401;
constexpr WORD kOldComboBoxAddString = 0x0403;

}  // namespace

bool ExecuteDlgInit(HWND dialog, HINSTANCE module, int templateId)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(kResourceTypeDlgInit));
    if (!info)
        return true;
    HGLOBAL handle = LoadResource(module, info);
    const auto* data = static_cast<const BYTE*>(handle ? LockResource(handle) : nullptr);
    const DWORD size = SizeofResource(module, info);
    if (!data)
        return false;

    // Records: WORD control id, WORD message, DWORD byte count, the bytes; a zero
    // control id ends the list. Never read past the resource.
    DWORD offset = 0;
    while (offset + sizeof(WORD) <= size) {
        WORD id;
        std::memcpy(&id, data + offset, sizeof id);
        if (id == 0)
            return true;
        if (offset + 8 > size)
            return false;
        WORD message;
        DWORD length;
        std::memcpy(&message, data + offset + 2, sizeof message);
        std::memcpy(&length, data + offset + 4, sizeof length);
        offset += 8;
        if (length > size - offset)
            return false;
        const char* text = reinterpret_cast<const char*>(data + offset);
        // The string must end inside its record.
        if (length == 0 || text[length - 1] != '\0')
            return false;
        UINT msg = 0;
        if (message == kOldComboBoxAddString)
            msg = CB_ADDSTRING;
        else if (message == kOldListBoxAddString)
            msg = LB_ADDSTRING;
        if (msg)
            SendDlgItemMessageA(dialog, id, msg, 0, reinterpret_cast<LPARAM>(text));
        offset += length;
    }
    return true;
}
