#pragma once
// Standard controls over the system's EDIT and COMBOBOX classes.

#include "framework/StringList.h"
#include "framework/win/ControlItems.h"
#include "framework/win/Controls.h"

#include <string>
#include <vector>

namespace qrv {

// A single-line edit box. The text lives in the window while it exists and in
// the caption otherwise, so it survives a re-created window.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    std::wstring Text();
    void SetText(const std::wstring& text);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // 0: no limit beyond the system's.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    bool readOnly_ = false;
    int maxLength_ = 0;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox;

// The items of a combo box: the list is kept here and mirrored into the
// control, so it can fill a re-created window.
class TComboBoxStrings : public TControlItems {
public:
    explicit TComboBoxStrings(TComboBox& combo) : combo_(combo) {}

    void Put(int index, const std::wstring& s) override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::wstring& s) override;
    void Delete(int index) override;
    void Clear() override;

private:
    friend class TComboBox;
    // Sends every item to the control's new window.
    void FillWindow(HWND window) const;

    TComboBox& combo_;
};

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    TStrings& Items() { return items_; }
    const TStrings& Items() const { return items_; }
    int ItemIndex();
    void SetItemIndex(int index);
    // The edit text; in a drop-down list, the chosen item's text.
    std::wstring Text();
    // In a drop-down list the text chooses the equal item (or none).
    void SetText(const std::wstring& text);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);

    // The text was edited or another item chosen (the latter only when
    // OnSelect is not set).
    TNotifyEvent OnChange;
    // The user chose an item from the list.
    TNotifyEvent OnSelect;
    // The list opens; it closes (chosen or not: ClosedOnChoice tells).
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    // The list last closed on a choice (a click or Enter), not cancelled.
    bool ClosedOnChoice() const { return closedOnChoice_; }
    // Enter and Esc while the box has the focus and its list is closed; a
    // set event takes the key.
    TNotifyEvent OnEnterKey;
    TNotifyEvent OnEscapeKey;
    // OnEnter and OnExit follow the focus of the box as a whole: moving
    // between the box and its edit field raises neither.

    bool DialogKey(WORD key) override;

    // Files dragged from the shell may be dropped on the box; OnDropFiles
    // gets their full names.
    bool AcceptFiles() const { return acceptFiles_; }
    void SetAcceptFiles(bool accept);
    std::function<void(TComponent* Sender, const std::vector<std::wstring>& Names)> OnDropFiles;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    friend class TComboBoxStrings;
    int DroppedHeight() const;
    TGdiObject background_;  // the brush of the edit and list in Color, made on first use
    COLORREF backgroundRgb_ = 0;
    bool acceptFiles_ = false;
    bool closedOnChoice_ = false;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    TComboBoxStrings items_;
    int itemIndex_ = -1;
    int dropDownCount_ = 8;
};

}  // namespace qrv
