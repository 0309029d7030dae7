// The skinned buttons of one window, made from the skin table: one SkinButton per
// row of the window, subclassing the template's button of that id and showing the
// row's faces. The set owns the buttons for as long as the window lives.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "res/skin_table.h"
#include "skin/skin_button.h"

class SkinButtonSet {
public:
    SkinButtonSet() = default;
    SkinButtonSet(const SkinButtonSet&) = delete;
    SkinButtonSet& operator=(const SkinButtonSet&) = delete;

    // The button bound to control id, or nullptr.
    SkinButton* Find(int control) const;
    size_t size() const { return buttons_.size(); }

    // Adds one bound button; the set keeps it (and so its window's messages) alive.
    SkinButton* Add(std::unique_ptr<SkinButton> button);

private:
    std::vector<std::unique_ptr<SkinButton>> buttons_;
};

// Binds every button that `rows` give the dialog template `dialogId` to a new
// SkinButton in `buttons` and sets its faces (copied at their own size, no border,
// no margin) and its name as its window text (the name a screen reader reads; a
// button with faces does not draw it). Returns false when a control is missing or a face cannot be loaded;
// the other buttons are bound all the same.
bool BindSkinButtons(HWND dialog, int dialogId, const ButtonSkin* rows, size_t count, SkinButtonSet* buttons);

// The same from the utility's own table.
inline bool BindSkinButtons(HWND dialog, int dialogId, SkinButtonSet* buttons)
{
    return BindSkinButtons(dialog, dialogId, kButtonSkins, sizeof kButtonSkins / sizeof kButtonSkins[0], buttons);
}
