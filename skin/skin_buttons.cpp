#include "skin/skin_buttons.h"

SkinButton* SkinButtonSet::Find(int control) const
{
    for (const auto& button : buttons_) {
        if (button->hwnd && GetDlgCtrlID(button->hwnd) == control)
            return button.get();
    }
    return nullptr;
}

SkinButton* SkinButtonSet::Add(std::unique_ptr<SkinButton> button)
{
    buttons_.push_back(std::move(button));
    return buttons_.back().get();
}

bool BindSkinButtons(HWND dialog, int dialogId, const ButtonSkin* rows, size_t count, SkinButtonSet* buttons)
{
    bool ok = true;
    for (size_t i = 0; i < count; ++i) {
        const ButtonSkin& row = rows[i];
        if (row.dialog != dialogId)
            continue;
        auto button = std::make_unique<SkinButton>();
        if (!button->SubclassDlgItem(row.control, dialog)) {
            ok = false;
            continue;
        }
        SkinButton* bound = buttons->Add(std::move(button));
        // The name is what a screen reader says for the button. A row without faces
        // keeps the button owner-drawn but pictureless, and shows its name as the
        // caption; the faces carry their labels, so the name is not drawn over them.
        if (row.name)
            SetWindowTextA(bound->hwnd, row.name);
        if (row.normal == 0 && row.down == 0 && row.over == 0 && row.disabled == 0)
            continue;
        bound->showCaption = false;
        ButtonFaces faces;
        faces.normal = row.normal;
        faces.down = row.down;
        faces.over = row.over;
        faces.disabled = row.disabled;
        ok = bound->SetSkin(faces) && ok;
    }
    return ok;
}
