// Binding a dialog's controls to their objects from one table.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/dlg_items.h"
#include "test_ids.h"

namespace {

class CountingList : public ListCtrl {
public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == LVM_GETITEMCOUNT)
            ++counted;
        return ListCtrl::WindowProc(msg, wParam, lParam);
    }
    int counted = 0;
};

TEST(BindDlgItems, ViewsLearnTheirHandleSubclassedControlsTheirMessagesAndMissingIdsFail)
{
    Dialog dialog(IDD_TEST_FRAMEWORK);
    ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
    ComboBox combo;
    Edit edit;
    CountingList list;
    EXPECT_TRUE(BindDlgItems(
        dialog.hwnd,
        {{IDC_TEST_COMBO, &combo}, {IDC_TEST_EDIT, &edit}, {IDC_TEST_LIST, &list, DlgItemBinding::kSubclass}}));
    EXPECT_EQ(dialog.GetItem(IDC_TEST_COMBO), combo.hwnd);
    EXPECT_EQ(2, combo.GetCount()) << "the template's strings, read through the view";
    EXPECT_EQ(nullptr, Window::FromHandle(combo.hwnd)) << "a view does not subclass";
    EXPECT_EQ(&list, Window::FromHandle(list.hwnd));
    ListCtrl(list.hwnd).GetItemCount();  // sent from outside, seen by the object
    EXPECT_EQ(1, list.counted);

    Window missing;
    ComboBox again;
    EXPECT_FALSE(BindDlgItems(dialog.hwnd, {{9999, &missing}, {IDC_TEST_COMBO, &again}}));
    EXPECT_EQ(nullptr, missing.hwnd);
    EXPECT_EQ(combo.hwnd, again.hwnd) << "the rows after a missing one are bound all the same";
    list.UnsubclassWindow();
    DestroyWindow(dialog.hwnd);
}

}  // namespace
