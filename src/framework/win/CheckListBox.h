#pragma once
// TCheckListBox: a list box whose items carry a check box each. A click on
// the box or the space bar toggles the selected item's check; a disabled
// item is drawn grey and keeps its check.

#include "framework/win/ListBox.h"

#include <vector>

namespace qrv {

class TImageList;

class TCheckListBox : public TCustomListBox {
public:
    explicit TCheckListBox(TComponent* owner);

    // The checks go with the items' positions; an item added at the end
    // starts unchecked and enabled.
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool enabled);

    // A picture of Images between the check box and the caption (-1: none).
    // The list does not own the images; they outlive it.
    void SetImages(TImageList* images);
    int ItemImage(int index) const;
    void SetItemImage(int index, int image);

    // After the user changed a check (not after SetChecked).
    TNotifyEvent OnClickCheck;

protected:
    void WndProc(TMessage& message) override;
    void DrawItem(HDC dc, int index, const RECT& rect, UINT state) override;

private:
    struct TItemState {
        bool Checked = false;
        bool Enabled = true;
        int Image = -1;
    };
    TItemState StateOf(int index) const;
    TItemState& EditState(int index);
    // Toggles the item's check as the user does; false for a disabled item.
    bool ToggleByUser(int index);
    RECT CheckRect(const RECT& item) const;
    std::vector<TItemState> states_;
    TImageList* images_ = nullptr;
};

}  // namespace qrv
