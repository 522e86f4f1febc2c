#include "panels/win/KyListView.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/ImgList.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace qrv {

static_assert(hfLeft == HDF_LEFT && hfRight == HDF_RIGHT && hfCenter == HDF_CENTER &&
              hfJustifyMask == HDF_JUSTIFYMASK && hfSortUp == HDF_SORTUP && hfSortDown == HDF_SORTDOWN &&
              hfBitmap == HDF_BITMAP && hfBitmapOnRight == HDF_BITMAP_ON_RIGHT);

// The two 8x8 sort mark bitmaps of unthemed headers. One pair serves every
// list; it lives while some list holds it, so a list that goes never takes
// the bitmaps from a header that still shows them.
class TSortMarkBitmaps {
public:
    TSortMarkBitmaps() : ascending_(Draw(true)), descending_(Draw(false)) {}
    TSortMarkBitmaps(const TSortMarkBitmaps&) = delete;
    TSortMarkBitmaps& operator=(const TSortMarkBitmaps&) = delete;

    HBITMAP For(TSortMarkBitmap mark) const
    {
        return static_cast<HBITMAP>((mark == TSortMarkBitmap::smAscending ? ascending_ : descending_).Get());
    }

    static std::shared_ptr<TSortMarkBitmaps> Acquire()
    {
        static std::mutex mutex;
        static std::weak_ptr<TSortMarkBitmaps> shared;
        std::lock_guard lock(mutex);
        std::shared_ptr<TSortMarkBitmaps> bitmaps = shared.lock();
        if (!bitmaps) {
            bitmaps = std::make_shared<TSortMarkBitmaps>();
            shared = bitmaps;
        }
        return bitmaps;
    }

private:
    // A triangle on the button face: pointing up (ascending, lime) or down
    // (descending, red), its edges in the button's 3-D colours.
    static TGdiObject Draw(bool ascending)
    {
        constexpr int size = 8;
        TGdiObject bitmap;
        TOwnDC memory;
        {
            const TWindowDC screen(nullptr);
            bitmap.Reset(CreateCompatibleBitmap(screen.Get(), size, size));
            memory.Reset(CreateCompatibleDC(screen.Get()));
        }
        const HDC dc = memory.Get();
        const TSelectObject selectBitmap(dc, bitmap.Get());

        const RECT all{0, 0, size, size};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        const COLORREF fill = ascending ? RGB(0, 255, 0) : RGB(255, 0, 0);
        // Corners: two along the base, then the point at x = 4.
        const std::array<POINT, 3> corners =
            ascending ? std::array<POINT, 3>{{{7, 7}, {0, 7}, {4, 0}}} : std::array<POINT, 3>{{{0, 0}, {7, 0}, {4, 7}}};
        const TGdiObject brush(CreateSolidBrush(fill));
        const TGdiObject fillPen(CreatePen(PS_SOLID, 1, fill));
        const TSelectObject selectBrush(dc, brush.Get());
        const TSelectObject selectPen(dc, fillPen.Get());
        Polygon(dc, corners.data(), static_cast<int>(corners.size()));
        // The base, the edge to the point and the edge back, each in its colour.
        const std::array<int, 3> edgeColors =
            ascending ? std::array<int, 3>{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT}
                      : std::array<int, 3>{COLOR_APPWORKSPACE, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
        for (size_t i = 0; i < corners.size(); ++i) {
            const TGdiObject pen(CreatePen(PS_SOLID, 1, GetSysColor(edgeColors[i])));
            const TSelectObject selectEdgePen(dc, pen.Get());
            const POINT from = corners[i];
            const POINT to = corners[(i + 1) % corners.size()];
            MoveToEx(dc, from.x, from.y, nullptr);
            LineTo(dc, to.x, to.y);
            SetPixel(dc, to.x, to.y, GetSysColor(edgeColors[i]));  // LineTo leaves the end point out
        }
        return bitmap;
    }

    TGdiObject ascending_;
    TGdiObject descending_;
};

namespace {

TImageList* g_dragImages = nullptr;

std::wstring LocalePicture(LCTYPE type)
{
    wchar_t buffer[128] = L"";
    if (!GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128))
        return {};
    return buffer;
}

TForm* ParentForm(TControl* control)
{
    for (TWinControl* parent = control->Parent(); parent; parent = parent->Parent())
        if (auto* form = dynamic_cast<TForm*>(parent))
            return form;
    return nullptr;
}

}  // namespace

TImageList* GlobalDragImages()
{
    return g_dragImages;
}

bool CommonControlsThemed()
{
    if (HMODULE module = GetModuleHandleW(L"comctl32.dll")) {
        auto getVersion =
            reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        if (getVersion && SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 6)
            return true;
    }
    // Only the side-by-side assembly of version 6 redirects the common
    // controls; Wine's copy of it still answers DllGetVersion with 5.81.
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data) !=
           FALSE;
}

TKyListView::TKyListView(TComponent* owner) : TCustomListView(owner)
{
    BuildDateFormats();
}

TKyListView::~TKyListView()
{
    if (g_dragImages == dragImages_)
        g_dragImages = nullptr;
    // The image lists are owned components and go with the list; the
    // shared system lists stay, and the mark bitmaps stay while another
    // list holds them.
}

// --- the window

void TKyListView::CreateWindowHandle(const TCreateParams& params)
{
    TCustomListView::CreateWindowHandle(params);
    if (!handle_)
        return;
    themed_ = CommonControlsThemed();
    ownerForm_ = ParentForm(this);
    if (!ownerForm_ && Application)
        ownerForm_ = Application->MainForm();
    if (!dragImages_) {
        dragImages_ = new TImageList(this, 32, 32);
        if (!g_dragImages)
            g_dragImages = dragImages_;
    }
    AttachSystemImages();
    for (TImageList** images : {&images16_, &images32_}) {
        if (*images)
            continue;
        const int size = images == &images16_ ? 16 : 32;
        *images = new TImageList(this, size, size);
        (*images)->SetBkColor(CLR_NONE);
    }
    marksPainted_ = false;
}

void TKyListView::AttachSystemImages()
{
    // Any folder gives the handle of the system's list; the attributes
    // alone decide, so nothing is read from the disk.
    SHFILEINFOW info{};
    const std::wstring anyFolder = L"C:\\";
    if (!sysSmallImages_) {
        if (auto handle = reinterpret_cast<HIMAGELIST>(
                SafeGetFileInfo(anyFolder, FILE_ATTRIBUTE_DIRECTORY,
                                SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES, info))) {
            sysSmallImages_ = new TImageList(this);
            sysSmallImages_->ShareImages(handle);
        }
    }
    if (!sysLargeImages_) {
        if (auto handle = reinterpret_cast<HIMAGELIST>(
                SafeGetFileInfo(anyFolder, FILE_ATTRIBUTE_DIRECTORY,
                                SHGFI_SYSICONINDEX | SHGFI_LARGEICON | SHGFI_USEFILEATTRIBUTES, info))) {
            sysLargeImages_ = new TImageList(this, 32, 32);
            sysLargeImages_->ShareImages(handle);
        }
    }
    // A list given its own images keeps them.
    if (!SmallImages())
        SetSmallImages(sysSmallImages_);
    if (!LargeImages())
        SetLargeImages(sysLargeImages_);
}

void TKyListView::DestroyWnd()
{
    marksPainted_ = false;
    TCustomListView::DestroyWnd();
}

// --- sorting

void TKyListView::SetSortColumn(int column)
{
    if (column != sortColumn_) {
        sortColumn_ = column;
        if (ItemCount() > 0)
            SortItems();
    }
    UpdateSortMarks();
}

void TKyListView::SetSortAscending(bool ascending)
{
    if (ascending != sortAscending_) {
        sortAscending_ = ascending;
        if (ItemCount() > 0)
            SortItems();
    }
    UpdateSortMarks();
}

void TKyListView::SetShowColumnIcon(bool show)
{
    if (show == showColumnIcon_)
        return;
    showColumnIcon_ = show;
    UpdateSortMarks();
}

void TKyListView::SetViewStyle(TViewStyle style)
{
    if (style == ViewStyle())
        return;
    TCustomListView::SetViewStyle(style);
    if (style == TViewStyle::vsReport)
        UpdateSortMarks();
}

void TKyListView::ColumnClick(int column)
{
    const TSortOrder order = ClickColumn({sortColumn_, sortAscending_}, column);
    sortColumn_ = order.Column;
    sortAscending_ = order.Ascending;
    if (ItemCount() > 0)
        SortItems();
    UpdateSortMarks();
}

void TKyListView::UpdateSortMarks()
{
    if (!HandleAllocated() || !ShowColumnHeaders())
        return;
    TListHeader header = Header();
    const int count = header.Count();
    for (int i = 0; i < count; ++i) {
        const int old = header.Format(i);
        const TSortMarkFormat mark =
            SortMarkFormat(static_cast<unsigned>(old), themed_, showColumnIcon_, i == sortColumn_, sortAscending_);
        HBITMAP bitmap = nullptr;
        if (mark.Bitmap != TSortMarkBitmap::smNone) {
            if (!markBitmaps_)
                markBitmaps_ = TSortMarkBitmaps::Acquire();
            bitmap = markBitmaps_->For(mark.Bitmap);
        }
        if (static_cast<int>(mark.Format) != old || (bitmap && header.Bitmap(i) != bitmap))
            header.SetFormat(i, static_cast<int>(mark.Format), bitmap);
    }
    marksPainted_ = true;
}

void TKyListView::InvalidateHeader()
{
    Header().Invalidate();
}

// --- mask

std::wstring TKyListView::NormalizeMask(const std::wstring& S) const
{
    return qrv::NormalizeMask(S);
}

std::wstring TKyListView::NextMaskPart(std::wstring& S) const
{
    return qrv::NextMaskPart(S);
}

void TKyListView::SetMask(const std::wstring& value)
{
    std::wstring normal = NormalizeMask(value);
    if (normal != mask_)
        mask_ = std::move(normal);
}

// --- dates

void TKyListView::BuildDateFormats()
{
    pictures_ = MakeDateTimePictures(LocalePicture(LOCALE_SSHORTDATE), LocalePicture(LOCALE_STIMEFORMAT),
                                     LocalePicture(LOCALE_SSHORTTIME), dateTimeDisplay_);
}

void TKyListView::SetDateTimeDisplay(TDateTimeDisplay display)
{
    if (display == dateTimeDisplay_)
        return;
    dateTimeDisplay_ = display;
    BuildDateFormats();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

std::wstring TKyListView::FormatDateTime(const SYSTEMTIME& time) const
{
    wchar_t buffer[128] = L"";
    std::wstring text;
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, pictures_.DateFormat.c_str(), buffer, 128, nullptr))
        text = buffer;
    if (!pictures_.TimeFormat.empty() &&
        GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, pictures_.TimeFormat.c_str(), buffer, 128))
        text += std::wstring(L"  ") + buffer;
    return text;
}

// --- tips

void TKyListView::EnableInfoTips()
{
    SetExtendedStyles(LVS_EX_INFOTIP | LVS_EX_LABELTIP, true);
}

// --- messages

void TKyListView::DoNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_COLUMNCLICK:
        // The list turns the header's click into this one notification.
        ColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        break;
    case LVN_MARQUEEBEGIN:
        TCustomListView::DoNotify(header, result);
        if (SuppressMarquee) {
            SuppressMarquee = false;
            result = 1;  // refused
        }
        return;
    default:
        break;
    }
    TCustomListView::DoNotify(header, result);
}

void TKyListView::HeaderNotify(NMHDR& header, TMessage& message)
{
    switch (header.code) {
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
        TCustomListView::HeaderNotify(header, message);
        UpdateSortMarks();
        marksPainted_ = false;
        if (OnHeaderEndTrack)
            OnHeaderEndTrack(this);
        return;
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
        TCustomListView::HeaderNotify(header, message);
        // The list has sized the column to its contents.
        const int column = reinterpret_cast<NMHEADERW&>(header).iItem;
        if (column >= 0 && column < ColumnCount())
            ReadColumnWidth(column);
        if (OnHeaderEndTrack)
            OnHeaderEndTrack(this);
        UpdateSortMarks();
        marksPainted_ = false;
        return;
    }
    case HDN_ENDDRAG:
        // The list must see it too: it keeps the column positions.
        TCustomListView::HeaderNotify(header, message);
        if (OnHeaderEndDrag)
            OnHeaderEndDrag(this);
        if (HandleAllocated())
            InvalidateRect(handle_, nullptr, TRUE);
        return;
    default:
        TCustomListView::HeaderNotify(header, message);
        return;
    }
}

void TKyListView::WndProc(TMessage& message)
{
    TCustomListView::WndProc(message);
    if (message.Msg == WM_PAINT && ViewStyle() == TViewStyle::vsReport && ShowColumnHeaders() && !marksPainted_)
        UpdateSortMarks();
}

}  // namespace qrv
