#pragma once
// TKyListView: the report list under the directory list and the archive
// list. It sorts by a clicked column (the second click reverses) with the
// mark in the header, keeps a mask text, formats dates with a four-digit
// year, shows the system's icon lists, and can refuse one rubber-band
// selection. The rules without a window are in panels/KyListView.h.

#include "framework/win/ComCtrls.h"
#include "panels/KyListView.h"

#include <memory>
#include <string>

namespace qrv {

class TForm;
class TImageList;
class TSortMarkBitmaps;

class TKyListView : public TCustomListView {
public:
    explicit TKyListView(TComponent* owner);
    ~TKyListView() override;

    // Set before a message box: the next rubber-band selection that starts
    // is refused, and the flag clears.
    bool SuppressMarquee = false;

    // Setting either sorts the items again (SortItems) when it changed and
    // there are items, and always updates the header mark.
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int column);
    bool SortAscending() const { return sortAscending_; }
    void SetSortAscending(bool ascending);
    // The sort mark is shown in the header.
    bool ShowColumnIcon() const { return showColumnIcon_; }
    void SetShowColumnIcon(bool show);
    // The marks were applied to the header (cleared after the user sized a column).
    bool MarksPainted() const { return marksPainted_; }
    // The header draws the sort arrow itself: the window was made by common
    // controls version 6 or later.
    bool Themed() const { return themed_; }

    void SetViewStyle(TViewStyle style) override;

    // The mask text, normalised ("*.*" when empty).
    const std::wstring& Mask() const { return mask_; }
    virtual void SetMask(const std::wstring& value);
    virtual std::wstring NormalizeMask(const std::wstring& S) const;
    virtual std::wstring NextMaskPart(std::wstring& S) const;

    // How the date column shows a time; changing it repaints the list.
    TDateTimeDisplay DateTimeDisplay() const { return dateTimeDisplay_; }
    void SetDateTimeDisplay(TDateTimeDisplay display);
    // The system's pictures with a four-digit year (see panels/KyListView.h).
    const std::wstring& DateFormat() const { return pictures_.DateFormat; }
    const std::wstring& TimeFormat() const { return pictures_.TimeFormat; }
    const std::wstring& DateTimeFormat() const { return pictures_.DateTimeFormat; }
    // A time as the date column shows it, in the user's locale.
    std::wstring FormatDateTime(const SYSTEMTIME& time) const;

    // The form the list is on, or the application's main form when it is on
    // none; set when the window is made.
    TForm* OwnerForm() const { return ownerForm_; }
    // Own image lists of 16x16 and 32x32 pixels, the drag image list, and
    // the system's small and large icon lists (shared, never destroyed here).
    TImageList* Images16() const { return images16_; }
    TImageList* Images32() const { return images32_; }
    TImageList* DragImages() const { return dragImages_; }
    TImageList* SysSmallImages() const { return sysSmallImages_; }
    TImageList* SysLargeImages() const { return sysLargeImages_; }

    // Info tips and tips for cut-off labels.
    void EnableInfoTips();
    void InvalidateHeader();
    virtual void UpdateSortMarks();

    TNotifyEvent OnHeaderEndDrag;
    TNotifyEvent OnHeaderEndTrack;

protected:
    // Sorts the items by SortColumn and SortAscending.
    virtual void SortItems() = 0;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    void DoNotify(NMHDR& header, LRESULT& result) override;
    void HeaderNotify(NMHDR& header, TMessage& message) override;

private:
    void ColumnClick(int column);
    void BuildDateFormats();
    void AttachSystemImages();

    int sortColumn_ = 0;
    bool sortAscending_ = true;
    bool showColumnIcon_ = true;
    bool marksPainted_ = false;
    bool themed_ = false;
    std::wstring mask_ = L"*.*";
    TDateTimeDisplay dateTimeDisplay_ = TDateTimeDisplay::dtdDateTimeSec;
    TDateTimePictures pictures_;
    TForm* ownerForm_ = nullptr;
    TImageList* images16_ = nullptr;
    TImageList* images32_ = nullptr;
    TImageList* dragImages_ = nullptr;
    TImageList* sysSmallImages_ = nullptr;
    TImageList* sysLargeImages_ = nullptr;
    // Held while this list's header may show them.
    std::shared_ptr<TSortMarkBitmaps> markBitmaps_;
};

// The first drag image list any list made; nullptr when that list is gone.
TImageList* GlobalDragImages();

// True when the common controls that make windows now (under the active
// activation context) are version 6 or later, by their DllGetVersion.
bool CommonControlsThemed();

}  // namespace qrv
