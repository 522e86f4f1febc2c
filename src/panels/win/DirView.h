#pragma once
// TDirView: a file list of the main window. An owner-data report list on
// the sortable list view: the control holds only a count and asks for what
// it draws, answered from the records of TDirViewCore (panels/DirViewCore.h),
// which reads and re-reads the folder. Selection and focus live in the
// records, so they follow the items through sorts and re-reads; the control
// is told again whenever the records change.

#include "panels/DirViewCells.h"
#include "panels/DirViewColumns.h"
#include "panels/DirViewCore.h"
#include "panels/win/KyListView.h"

#include <cstdint>
#include <string>
#include <vector>

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

    // ---- Sorting and display options ------------------------------------------

    bool DirsOnTop() const { return dirsOnTop_; }
    // Re-sorts when directories are shown and a folder is loaded.
    void SetDirsOnTop(bool Value);
    bool SortByExtension() const { return sortByExtension_; }
    // Re-sorts when sorted by type, else repaints (the type column changes).
    void SetSortByExtension(bool Value);
    bool SortDirTime() const { return sortDirTime_; }
    // Re-sorts when sorted by date.
    void SetSortDirTime(bool Value);
    bool AbbreviatedSize() const { return cells_.AbbreviatedSize; }
    void SetAbbreviatedSize(bool Value);
    bool ShowSubDirSize() const { return cells_.ShowSubDirSize; }
    void SetShowSubDirSize(bool Value);
    const std::wstring& AttrSpace() const { return cells_.AttrSpace; }
    void SetAttrSpace(const std::wstring& Value);
    // Text colours (0x00BBGGRR) of compressed and of hidden items.
    uint32_t CompressedColor() const { return compressedColor_; }
    void SetCompressedColor(uint32_t Value);
    uint32_t HiddenColor() const { return hiddenColor_; }
    void SetHiddenColor(uint32_t Value);
    bool ShowInfoTips() const { return showInfoTips_; }
    // Sets the tool tip's delays.
    void SetShowInfoTips(bool Value);
    bool ShowMaskInHeader() const { return showMaskInHeader_; }
    void SetShowMaskInHeader(bool Value);
    // The language of the column captions (a primary language id); the
    // system's unless set.
    int CaptionLanguage() const { return captionLanguage_; }
    void SetCaptionLanguage(int Value);

    // Captions by language with the mask and filter notes, then the sort marks.
    void SetColumnCaptions();
    // Captions, widths and alignments of the five columns.
    void ApplyColumnLayout();
    // Reads the widths the user dragged back into ColWidth.
    void StoreColumnWidths();
    int ColWidth(int Column) const { return colWidths_.at(static_cast<size_t>(Column)); }
    void SetColWidth(int Column, int Width);
    std::vector<int> GetColumnOrder() { return ColumnOrder(); }
    void SetColumnOrderAndRepaint(const std::vector<int>& Order);

    TViewStyleEx ViewStyleEx() const { return viewStyleEx_; }
    // Report, icons, small icons, list, tiles (icons where the control has
    // none); thumbnails show as icons until they are built.
    void SetViewStyleEx(TViewStyleEx Value);

    // The info tip of an item: the shell's, else type, size and date; empty
    // for ".." and without ShowInfoTips.
    std::wstring InfoTipText(int Index);
    // Takes the columns, filters, sort order and display options of Other
    // (loading its path) with loading held off meanwhile.
    void AssignFrom(TDirView& Other);

    // The text of one cell as shown (empty while the items are not ready).
    std::wstring ItemCellText(int Index, int Column);

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

    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) override;
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
    void GetInfoTip(NMLVGETINFOTIPW& tip);
    void ApplyToolTipDelays();
    void Repaint();

    bool dirsOnTop_ = false;
    bool sortByExtension_ = false;
    bool sortDirTime_ = false;
    bool showInfoTips_ = false;
    bool showMaskInHeader_ = false;
    uint32_t compressedColor_ = 0xFF0000;
    uint32_t hiddenColor_ = 0;
    int captionLanguage_ = 0;
    TDirCellOptions cells_;
    std::vector<int> colWidths_;
    TDirColumnTexts shownCaptions_;
    TViewStyleEx viewStyleEx_ = TViewStyleEx::vsxReport;

    bool pushing_ = false;  // the control is being told the records' states
    int busy_ = 0;
    HCURSOR savedCursor_ = nullptr;
    uint64_t busySince_ = 0;
    HWND animation_ = nullptr;
};

}  // namespace qrv
