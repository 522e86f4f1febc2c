#pragma once
// TDirView: a file list of the main window. An owner-data report list on
// the sortable list view: the control holds only a count and asks for what
// it draws, answered from the records of TDirViewCore (panels/DirViewCore.h),
// which reads and re-reads the folder. Selection and focus live in the
// records, so they follow the items through sorts and re-reads; the control
// is told again whenever the records change.

#include "panels/DirViewCore.h"
#include "panels/win/KyListView.h"

#include <cstdint>
#include <string>

namespace qrv {

class TDirView : public TKyListView, public TDirViewCore {
public:
    explicit TDirView(TComponent* owner);
    ~TDirView() override;

    // The records' names win over the control's item calls of the same name.
    using TDirViewCore::AddItem;
    using TDirViewCore::ClearItems;
    using TDirViewCore::DeleteItem;
    using TDirViewCore::ItemCount;
    using TDirViewCore::ItemFocused;
    using TDirViewCore::SelCount;
    using TDirViewCore::SetItemFocused;

    // A changed mask re-reads the folder in place.
    void SetMask(const std::wstring& value) override;

    // A time in the list's date-time format, local; empty when it has none.
    std::wstring FormatFileTime(uint64_t FileTime) const;
    // The same in the system's long date format.
    std::wstring FormatFileDate(uint64_t FileTime) const;

    // The index of the first item from Start on (wrapping) whose shown name
    // begins with Text (Whole: is Text), ignoring case; -1 when there is
    // none. The control's type-to-find asks it.
    int FindByPrefix(const std::wstring& Text, int Start, bool Whole = false) const;

protected:
    // The text of one cell; empty while the items are not ready.
    virtual std::wstring CellText(TFileRec& Item, int Column);

    void SortItems() override;
    std::wstring LoadMask() const override { return Mask(); }
    void ItemsChanged() override;
    void ViewBeginUpdate() override { BeginUpdate(); }
    void ViewEndUpdate() override { EndUpdate(); }
    void LoadProgress(int Added) override;
    void ShowBusy(bool Busy) override;
    void MakeFocusedVisible() override;

    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void DoNotify(NMHDR& header, LRESULT& result) override;

private:
    void GetDispInfo(NMLVDISPINFOW& info);
    void StateChanged(const NMLISTVIEW& change);
    void RangeChanged(const NMLVODSTATECHANGE& change);
    // Sets the control's state of one item (-1: all) without reporting it back.
    void SetControlState(int index, UINT state, UINT mask);
    void FreeAnimation();

    bool pushing_ = false;  // the control is being told the records' states
    int busy_ = 0;
    HCURSOR savedCursor_ = nullptr;
    uint64_t busySince_ = 0;
    HWND animation_ = nullptr;
};

}  // namespace qrv
