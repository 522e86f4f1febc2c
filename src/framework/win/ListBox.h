#pragma once
// TCustomListBox: the system's list box, owner-drawn with one fixed item
// height; derived controls draw the items. The items are kept here and
// mirrored into the window, so a re-created window (the control moved to
// another parent) shows them again.

#include "framework/StringList.h"
#include "framework/win/ControlItems.h"
#include "framework/win/Controls.h"

#include <string>
#include <vector>

namespace qrv {

class TCustomListBox;

class TListBoxStrings : public TControlItems {
public:
    explicit TListBoxStrings(TCustomListBox& listBox) : listBox_(listBox) {}

    void Put(int index, const std::wstring& s) override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::wstring& s) override;
    void Delete(int index) override;
    void Clear() override;

private:
    friend class TCustomListBox;
    void FillWindow(HWND window) const;

    TCustomListBox& listBox_;
};

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* owner);

    TStrings& Items() { return items_; }
    const TStrings& Items() const { return items_; }
    int ItemIndex();
    void SetItemIndex(int index);
    virtual int ItemHeight() { return itemHeight_; }
    void SetItemHeight(int height);
    bool BorderVisible() const { return border_; }
    void SetBorderVisible(bool visible);
    // The rectangle of an item in client coordinates.
    RECT ItemRect(int index);

    // An item was chosen with a double click.
    TNotifyEvent OnDblClick;
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // Draws one item; state holds the system's ODS_ flags.
    virtual void DrawItem(HDC dc, int index, const RECT& rect, UINT state);
    // Sends the current item height to the window.
    void ItemHeightChanged();

private:
    friend class TListBoxStrings;
    TListBoxStrings items_;
    int itemIndex_ = -1;
    int itemHeight_ = 16;
    bool border_ = true;
};

}  // namespace qrv
