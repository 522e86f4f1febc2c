#pragma once
// The program's combo boxes. TKyCustomComboBox widens its open list to the
// longest entry, opens a closed list on the arrow keys and reports whether
// a closing list accepted a choice; TKyComboBox is the one the dialogs use;
// TKyDriveComboBox lists the drives with their shell icons and, linked to a
// folder tree, switches the tree's drive. What they decide without a window
// is panels/DriveComboRules.h.

#include "framework/win/StdCtrls.h"
#include "panels/DriveComboRules.h"

#include <functional>

namespace qrv {

class TDriveView;

using TKyCloseUpEvent = std::function<void(TComponent* Sender, bool SelectionOK)>;

class TKyCustomComboBox : public TComboBox {
public:
    explicit TKyCustomComboBox(TComponent* owner);

    // The open list's width: 0 fits it to the widest item.
    int DropDownFixedWidth = 0;
    // The width the list was last opened with.
    int DroppedWidth() const { return droppedWidth_; }
    // The widest item text in the control's font (its scroll bar included
    // when the list holds more items than it shows).
    virtual int GetMaxItemWidth();
    int GetTextWidth(const std::wstring& Text);
    // The last key pressed in the box.
    WORD LastKey() const { return lastKey_; }
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    // The list closed: SelectionOK when a choice was accepted.
    TKyCloseUpEvent OnCloseUp;

protected:
    // Just before the list opens.
    virtual void DropDown();
    virtual void CloseUp(bool Accepted);
    // The text an item shows; the drive box hides its key letter.
    virtual std::wstring ItemText(int Index);
    // A key went down in the box (the edit part included); true swallows it.
    virtual bool KeyDown(WORD Key);
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    static LRESULT CALLBACK EditProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id, DWORD_PTR Data);
    bool ArrowOpensList(WORD Key);
    HWND edit_ = nullptr;
    int droppedWidth_ = 0;
    bool selectionOK_ = false;
    WORD lastKey_ = 0;
};

// Gives a combo box's closed part the edit height and the control the
// window's resulting height.
void SetComboEditHeight(TComboBox& Box, int EditHeight);

class TKyComboBox : public TKyCustomComboBox {
public:
    using TKyCustomComboBox::TKyCustomComboBox;
};

class TKyDriveComboBox : public TKyCustomComboBox {
public:
    explicit TKyDriveComboBox(TComponent* owner);
    ~TKyDriveComboBox() override;

    wchar_t Drive() const { return state_.Drive(); }
    wchar_t PreviousDrive() const { return state_.PreviousDrive(); }
    // Shows the drive when it is valid and of a listed type; a refused one
    // changes nothing.
    void SetDrive(wchar_t Value);
    TVolumeDisplayStyle DisplayStyle() const { return displayStyle_; }
    void SetDisplayStyle(TVolumeDisplayStyle Value);
    TDriveTypes DriveTypes() const { return driveTypes_; }
    void SetDriveTypes(TDriveTypes Value);
    bool ShowNetwork() const { return showNetwork_; }
    // Only where the system has a network.
    void SetShowNetwork(bool Value);
    // The tree a choice switches; the tree moves the box when its drive changes.
    TDriveView* DriveView() const { return driveView_; }
    void SetDriveView(TDriveView* Value);
    // Lists the drives again (only once the window exists).
    void FillDriveItems();
    std::wstring GetItemText(wchar_t Drive);
    int IndexOfDrive(wchar_t Drive);
    // The item height from the font; the box takes it.
    void ResetItemHeight();
    // The height of the closed part's edit.
    int EditHeight() const { return DriveEditHeight(itemHeight_); }
    // The user chose the selected item.
    void Change();
    int GetMaxItemWidth() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void FontChanged() override;
    void CloseUp(bool Accepted) override;
    std::wstring ItemText(int Index) override;
    bool KeyDown(WORD Key) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& Item);
    // The linked tree shows the drive; the box follows where the tree ends.
    void SwitchTree();
    bool Accepts(wchar_t Drive);
    void SelectDriveItem();

    TDriveComboState state_;
    TVolumeDisplayStyle displayStyle_ = TVolumeDisplayStyle::doPrettyName;
    TDriveTypes driveTypes_ = kDefaultDriveTypes;
    bool showNetwork_ = false;
    TDriveView* driveView_ = nullptr;
    HIMAGELIST images_ = nullptr;
    int itemHeight_ = 0;
};

}  // namespace qrv
