#include "widgets/win/ImpStringGrid.h"

#include "framework/win/ComCtrlsCommon.h"
#include "framework/win/Handles.h"
#include "widgets/win/InputMethod.h"

#include <algorithm>

namespace qrv {

// --- The ellipsis button ---------------------------------------------------
// It never takes the focus: the editor beside it stays open while it is used.

class TImpStringGrid::TEllipsisButton : public TCustomControl {
public:
    TEllipsisButton(TImpStringGrid& grid) : TCustomControl(&grid), grid_(grid) {}

protected:
    void WndProc(TMessage& message) override
    {
        switch (message.Msg) {
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(handle_);
            InvalidateRect(handle_, nullptr, FALSE);
            return;
        case WM_LBUTTONDBLCLK:
            return;  // a double click on the button is ignored
        case WM_LBUTTONUP: {
            if (!pressed_)
                return;
            pressed_ = false;
            ReleaseCapture();
            InvalidateRect(handle_, nullptr, FALSE);
            const POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            const RECT r{0, 0, Width(), Height()};
            if (PtInRect(&r, at))
                grid_.ButtonPressed();
            return;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            break;
        default:
            break;
        }
        TCustomControl::WndProc(message);
    }

    void Paint(HDC dc) override
    {
        RECT r{0, 0, Width(), Height()};
        if (grid_.EditStyle() == TImpColumnButtonStyle::cbsPicklist) {
            DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (pressed_ ? DFCS_PUSHED | DFCS_FLAT : 0));
            return;
        }
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
        const int y = Height() / 2 + (pressed_ ? 1 : 0);
        const int x = Width() / 2 - 5 + (pressed_ ? 1 : 0);
        for (int dot = 0; dot < 3; ++dot) {
            RECT d{x + dot * 4, y, x + dot * 4 + 2, y + 2};
            FillRect(dc, &d, GetSysColorBrush(COLOR_BTNTEXT));
        }
    }

private:
    TImpStringGrid& grid_;
    bool pressed_ = false;
};

// --- TImpGridInplaceEdit -----------------------------------------------------

TImpGridInplaceEdit::TImpGridInplaceEdit(TImpStringGrid& grid) : TEdit(&grid), grid_(grid) {}

void TImpGridInplaceEdit::CreateParams(TCreateParams& params)
{
    TEdit::CreateParams(params);
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_TABSTOP);
    params.Style |= ES_AUTOHSCROLL;
}

void TImpGridInplaceEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (grid_.PickListKey(static_cast<WORD>(message.WParam)) ||
            grid_.HandleKey(static_cast<WORD>(message.WParam), true)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (grid_.PickListVisible()) {
            grid_.PickListChar(static_cast<wchar_t>(message.WParam));
            message.Result = 0;
            return;
        }
        // Their key-down did the work; the edit would only beep.
        if (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE || message.WParam == VK_TAB) {
            message.Result = 0;
            return;
        }
        break;
    case WM_KILLFOCUS:
        TEdit::WndProc(message);
        grid_.CommitEdit();
        return;
    default:
        break;
    }
    TEdit::WndProc(message);
}

// --- TImpStringGrid ----------------------------------------------------------

TImpStringGrid::TImpStringGrid(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    columns_.resize(static_cast<size_t>(cells_->ColCount()));
    editor_ = new TImpGridInplaceEdit(*this);
    editor_->SetVisible(false);
    editor_->SetParent(this);
    ellipsis_ = new TEllipsisButton(*this);
    ellipsis_->SetVisible(false);
    ellipsis_->SetParent(this);
}

TImpStringGrid::~TImpStringGrid()
{
    if (pickList_)
        DestroyWindow(pickList_);
}

TImpGridLook TImpStringGrid::Look() const
{
    const TFont& font = Font();
    return TImpGridLook{Color(), FixedColor, 64, TImpGridFont{font.Name(), font.Height(), font.Style(), font.Color()},
                        ImeMode, ImeName};
}

namespace {
// The screen fonts of one paint, made once per description.
class TPaintFonts {
public:
    HFONT For(const TImpGridFont& description)
    {
        for (const auto& [known, font] : fonts_)
            if (known == description)
                return font->Handle();
        auto font = std::make_unique<TFont>();
        if (!description.Name.empty())
            font->SetName(description.Name);
        font->SetHeight(description.Height);
        font->SetStyle(description.Style);
        font->SetColor(description.Color);
        return fonts_.emplace_back(description, std::move(font)).second->Handle();
    }

private:
    std::vector<std::pair<TImpGridFont, std::unique_ptr<TFont>>> fonts_;
};
}  // namespace

TImpColumnButtonStyle TImpStringGrid::EditStyle() const
{
    if (Col() >= ColCount())
        return TImpColumnButtonStyle::cbsNone;
    return columns_[static_cast<size_t>(Col())].ButtonStyle;
}

void TImpStringGrid::ButtonPressed()
{
    if (EditStyle() == TImpColumnButtonStyle::cbsEllipsis)
        ClickEllipsis();
    else if (EditStyle() == TImpColumnButtonStyle::cbsPicklist) {
        // A second click closes the list without taking its item.
        if (PickListVisible())
            ClosePickList(false);
        else
            OpenPickList();
    }
}

bool TImpStringGrid::PickListVisible() const
{
    return pickList_ && IsWindowVisible(pickList_);
}

LRESULT CALLBACK TImpStringGrid::PickListProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                              DWORD_PTR data)
{
    auto* grid = reinterpret_cast<TImpStringGrid*>(data);
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;  // the editor keeps the focus
    case WM_LBUTTONUP: {
        const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
        RECT client;
        GetClientRect(window, &client);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&client, at))
            grid->ClosePickList(true);
        return result;
    }
    default:
        return DefSubclassProc(window, msg, wParam, lParam);
    }
}

void TImpStringGrid::OpenPickList()
{
    if (!editing_ || EditStyle() != TImpColumnButtonStyle::cbsPicklist || PickListVisible())
        return;
    const TImpColumn& column = columns_[static_cast<size_t>(Col())];
    if (!pickList_) {
        pickList_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"LISTBOX", L"",
                                    WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10,
                                    GetAncestor(Handle(), GA_ROOT), nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!pickList_)
            return;
        SetWindowSubclass(pickList_, PickListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    std::vector<std::wstring> items = column.PickList;
    if (OnPicklistDropdown)
        OnPicklistDropdown(editor_, Col(), Row(), items);
    const HFONT font = editor_->Font().Handle();
    SendMessageW(pickList_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(pickList_, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    {
        const TWindowDC measuring(pickList_, GetDC(pickList_));
        const TSelectObject select(measuring.Get(), font);
        for (const std::wstring& item : items) {
            SendMessageW(pickList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
            SIZE size{};
            GetTextExtentPoint32W(measuring.Get(), item.c_str(), static_cast<int>(item.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    const int current = static_cast<int>(SendMessageW(pickList_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(editor_->Text().c_str())));
    SendMessageW(pickList_, LB_SETCURSEL, current >= 0 ? current : 0, 0);
    const int itemHeight = static_cast<int>(SendMessageW(pickList_, LB_GETITEMHEIGHT, 0, 0));
    const int height = PickListHeight(static_cast<int>(items.size()), column.DropDownRows, itemHeight);
    RECT cell = CellScreenRect(Col(), Row());
    const int width = std::max(static_cast<int>(cell.right - cell.left), widest + 10);
    MONITORINFO info{sizeof info};
    GetMonitorInfoW(MonitorFromRect(&cell, MONITOR_DEFAULTTONEAREST), &info);
    int top = cell.bottom;
    if (top + height > info.rcMonitor.bottom)
        top = cell.top - height;  // above the cell when it would leave the screen
    typeAhead_.Clear();
    SetWindowPos(pickList_, HWND_TOPMOST, cell.left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(ellipsis_->Handle(), nullptr, FALSE);
}

void TImpStringGrid::ClosePickList(bool accept)
{
    if (!PickListVisible())
        return;
    ShowWindow(pickList_, SW_HIDE);
    const int index = static_cast<int>(SendMessageW(pickList_, LB_GETCURSEL, 0, 0));
    if (!accept || index < 0 || !editing_ || columns_[static_cast<size_t>(Col())].ReadOnly)
        return;
    const int length = static_cast<int>(SendMessageW(pickList_, LB_GETTEXTLEN, index, 0));
    std::wstring item(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    SendMessageW(pickList_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(std::max(length, 0)));
    editor_->SetText(item);
    SendMessageW(editor_->Handle(), EM_SETSEL, 0, -1);
}

bool TImpStringGrid::PickListKey(WORD key)
{
    if (!editing_ || EditStyle() != TImpColumnButtonStyle::cbsPicklist)
        return false;
    const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    if (alt && (key == VK_DOWN || key == VK_UP)) {
        if (PickListVisible())
            ClosePickList(true);
        else
            OpenPickList();
        return true;
    }
    if (!PickListVisible())
        return false;
    switch (key) {
    case VK_RETURN:
        ClosePickList(true);
        return true;
    case VK_ESCAPE:
        typeAhead_.Clear();
        ClosePickList(false);
        return true;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        SendMessageW(pickList_, WM_KEYDOWN, key, 0);
        return true;
    default:
        return false;
    }
}

void TImpStringGrid::PickListChar(wchar_t key)
{
    if (key == VK_BACK) {
        typeAhead_.Clear();
        return;
    }
    if (key < 32 || key > 255)
        return;
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(pickList_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageW(pickList_, LB_GETTEXTLEN, i, 0));
        std::wstring item(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
        SendMessageW(pickList_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(std::max(length, 0)));
        items.push_back(std::move(item));
    }
    const int found = typeAhead_.Key(key, GetTickCount(), items);
    if (found >= 0)
        SendMessageW(pickList_, LB_SETCURSEL, found, 0);
}

void TImpStringGrid::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style |= WS_TABSTOP | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TImpStringGrid::SetCells(TStringGridCells* cells)
{
    if (editing_)
        CancelEdit();
    cells_ = cells ? cells : &ownCells_;
    columns_.resize(static_cast<size_t>(cells_->ColCount()));
    topRow_ = cells_->FixedRows();
    Invalidate();
}

void TImpStringGrid::SetColCount(int count)
{
    if (editing_)
        CommitEdit();
    cells_->SetColCount(count);
    columns_.resize(static_cast<size_t>(cells_->ColCount()));
    Invalidate();
}

void TImpStringGrid::SetRowCount(int count)
{
    if (editing_)
        CommitEdit();
    cells_->SetRowCount(count);
    Invalidate();
}

void TImpStringGrid::SetDefaultRowHeight(int height)
{
    rowHeight_ = std::max(height, 4);
    Invalidate();
}

int TImpStringGrid::VisibleRowCount()
{
    const int fixedHeight = cells_->FixedRows() * (rowHeight_ + 1);
    return std::max(1, (ClientHeight() - fixedHeight) / (rowHeight_ + 1));
}

RECT TImpStringGrid::CellRect(int col, int row)
{
    int x = 0;
    for (int c = 0; c < col && c < ColCount(); ++c)
        x += columns_[static_cast<size_t>(c)].Width + 1;
    int y = 0;
    if (row < cells_->FixedRows())
        y = row * (rowHeight_ + 1);
    else
        y = (cells_->FixedRows() + row - topRow_) * (rowHeight_ + 1);
    const int width = col < ColCount() ? columns_[static_cast<size_t>(col)].Width : 0;
    return RECT{x, y, x + width, y + rowHeight_};
}

RECT TImpStringGrid::CellScreenRect(int col, int row)
{
    RECT r = CellRect(col, row);
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool TImpStringGrid::CellAt(int x, int y, int& col, int& row)
{
    col = -1;
    for (int c = 0, left = 0; c < ColCount(); ++c) {
        const int right = left + columns_[static_cast<size_t>(c)].Width + 1;
        if (x >= left && x < right) {
            col = c;
            break;
        }
        left = right;
    }
    const int line = y / (rowHeight_ + 1);
    row = line < cells_->FixedRows() ? line : topRow_ + line - cells_->FixedRows();
    return col >= 0 && row >= 0 && row < RowCount();
}

void TImpStringGrid::Invalidate()
{
    if (!HandleAllocated())
        return;
    topRow_ = std::clamp(topRow_, cells_->FixedRows(), std::max(cells_->FixedRows(), RowCount() - 1));
    UpdateScrollBar();
    if (editing_)
        PlaceEditor();
    InvalidateRect(handle_, nullptr, TRUE);
}

void TImpStringGrid::UpdateScrollBar()
{
    const int scrollable = RowCount() - cells_->FixedRows();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(scrollable - 1, 0);
    info.nPage = static_cast<UINT>(VisibleRowCount());
    info.nPos = topRow_ - cells_->FixedRows();
    SetScrollInfo(handle_, SB_VERT, &info, TRUE);
}

void TImpStringGrid::ScrollIntoView()
{
    const int row = Row();
    if (row < topRow_)
        topRow_ = row;
    else if (row >= topRow_ + VisibleRowCount())
        topRow_ = row - VisibleRowCount() + 1;
    Invalidate();
}

void TImpStringGrid::SetCurrent(int col, int row)
{
    if (editing_)
        CommitEdit();
    cells_->SetCurrent(col, row);
    ScrollIntoView();
    if (OnSelectCell)
        OnSelectCell(this);
}

void TImpStringGrid::ShowEditor()
{
    if (editing_ || Col() >= ColCount() || columns_[static_cast<size_t>(Col())].ReadOnly)
        return;
    if (OnGetEditText)
        OnGetEditText(this, Col(), Row());
    editStartText_ = cells_->Cell(Col(), Row());
    editing_ = true;
    const TImpColumn& column = columns_[static_cast<size_t>(Col())];
    editor_->SetMaxLength(column.MaxLength);
    const TImpGridLook look = Look();
    ApplyInputMethod(editor_->Handle(), column.ImeMode(look), column.ImeName(look));
    editor_->SetText(editStartText_);
    PlaceEditor();
    editor_->SetVisible(true);
    editor_->SetFocus();
    SendMessageW(editor_->Handle(), EM_SETSEL, 0, -1);
}

void TImpStringGrid::PlaceEditor()
{
    RECT r = CellRect(Col(), Row());
    const bool ellipsis = EditStyle() != TImpColumnButtonStyle::cbsNone;  // the ellipsis or the list's arrow
    const int buttonWidth = ellipsis ? GetSystemMetrics(SM_CXVSCROLL) + 2 : 0;
    editor_->SetBounds(r.left + 2, r.top + 2, std::max(static_cast<int>(r.right - r.left) - 2 - buttonWidth, 4),
                       r.bottom - r.top - 3);
    ellipsis_->SetBounds(r.right - buttonWidth, r.top, buttonWidth, r.bottom - r.top);
    ellipsis_->SetVisible(ellipsis);
}

bool TImpStringGrid::EditorModified()
{
    return editing_ && editor_->Text() != editStartText_;
}

void TImpStringGrid::CommitEdit()
{
    if (!editing_)
        return;
    ClosePickList(false);
    editing_ = false;
    const int col = Col();
    const int row = Row();
    cells_->SetCell(col, row, editor_->Text());
    const bool hadFocus = GetFocus() == editor_->Handle();
    if (hadFocus)
        SetFocus();
    editor_->SetVisible(false);
    ellipsis_->SetVisible(false);
    if (OnEndEditText)
        OnEndEditText(this, col, row);
    Invalidate();
}

void TImpStringGrid::CancelEdit()
{
    if (!editing_)
        return;
    editor_->SetText(editStartText_);
    CommitEdit();
}

void TImpStringGrid::ClickEllipsis()
{
    if (OnElippsisClicked)
        OnElippsisClicked(this, Col(), Row());
}

void TImpStringGrid::AppendRow()
{
    if (editing_)
        CommitEdit();
    if (RowsWouldOverflow(RowCount(), rowHeight_, 1, ClientHeight())) {
        if (!tooManyRowsReported_ && OnTooMuchrows)
            OnTooMuchrows(this);
        tooManyRowsReported_ = true;
    } else {
        tooManyRowsReported_ = false;
    }
    const int row = RowCount();
    cells_->SetRowCount(row + 1);
    if (OnNewRow)
        OnNewRow(this);
    for (int col = 0; col < ColCount(); ++col)
        cells_->SetCell(col, row, L"");
    Invalidate();
}

void TImpStringGrid::MoveTab(bool backwards)
{
    const int firstCol = cells_->FixedCols();
    const int firstRow = cells_->FixedRows();
    int col = Col() + (backwards ? -1 : 1);
    int row = Row();
    if (col >= ColCount()) {
        col = firstCol;
        ++row;
    } else if (col < firstCol) {
        col = ColCount() - 1;
        --row;
    }
    if (row >= RowCount() && !backwards && AutoInsertRows) {
        AppendRow();
    }
    if (row >= RowCount() || row < firstRow) {
        // Past the last (or first) cell: on to the dialog's next control.
        if (HWND root = GetAncestor(Handle(), GA_ROOT))
            if (HWND next = GetNextDlgTabItem(root, Handle(), backwards ? TRUE : FALSE))
                ::SetFocus(next);
        return;
    }
    SetCurrent(col, row);
}

bool TImpStringGrid::HandleKey(WORD key, bool fromEditor)
{
    if (KeySwallowed(OnKeyDown, this, key))
        return true;
    const TShortCut shift = CurrentShiftState();
    switch (key) {
    case VK_RETURN:
        if (fromEditor && (shift & scCtrl)) {
            if (columns_[static_cast<size_t>(Col())].ButtonStyle == TImpColumnButtonStyle::cbsEllipsis)
                ClickEllipsis();
            return true;
        }
        if (editing_)
            CommitEdit();
        else
            ShowEditor();
        return true;
    case VK_ESCAPE:
        if (editing_)
            CancelEdit();
        return true;
    case VK_TAB:
        if ((shift & scCtrl) == 0) {
            MoveTab((shift & scShift) != 0);
            return true;
        }
        return false;
    case VK_DOWN:
        if (fromEditor && (shift & scAlt)) {
            if (columns_[static_cast<size_t>(Col())].ButtonStyle == TImpColumnButtonStyle::cbsEllipsis)
                ClickEllipsis();
            return true;
        }
        SetCurrent(Col(), Row() + 1);
        return true;
    case VK_UP:
        SetCurrent(Col(), Row() - 1);
        return true;
    case VK_NEXT:
        SetCurrent(Col(), Row() + VisibleRowCount());
        return true;
    case VK_PRIOR:
        SetCurrent(Col(), Row() - VisibleRowCount());
        return true;
    case VK_LEFT:
        if (fromEditor)
            return false;
        SetCurrent(Col() - 1, Row());
        return true;
    case VK_RIGHT:
        if (fromEditor)
            return false;
        SetCurrent(Col() + 1, Row());
        return true;
    case VK_F2:
        if (!editing_)
            ShowEditor();
        return true;
    default:
        return false;
    }
}

void TImpStringGrid::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (HandleKey(static_cast<WORD>(message.WParam), false)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        // A typed character opens the editor with it.
        if (message.WParam >= 32 && !editing_) {
            ShowEditor();
            if (editing_) {
                editor_->SetText(std::wstring(1, static_cast<wchar_t>(message.WParam)));
                SendMessageW(editor_->Handle(), EM_SETSEL, 1, 1);
            }
        }
        message.Result = 0;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        Invalidate();
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus();
        int col = 0;
        int row = 0;
        if (!CellAt(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)), col, row))
            return;
        if (col < cells_->FixedCols() && row >= cells_->FixedRows()) {
            dragRow_ = row;
            SetCapture(handle_);
            return;
        }
        if (row < cells_->FixedRows())
            return;
        const bool again = col == Col() && row == Row();
        SetCurrent(col, row);
        if (again || message.Msg == WM_LBUTTONDBLCLK)
            ShowEditor();
        return;
    }
    case WM_LBUTTONUP:
        if (dragRow_ >= 0) {
            const int from = dragRow_;
            dragRow_ = -1;
            ReleaseCapture();
            int col = 0;
            int row = 0;
            if (CellAt(0, static_cast<short>(HIWORD(message.LParam)), col, row) && row >= cells_->FixedRows() &&
                row != from) {
                if (editing_)
                    CommitEdit();
                cells_->MoveRow(from, row);
                cells_->SetCurrent(Col(), row);
                if (OnRowMoved)
                    OnRowMoved(this, from, row);
                Invalidate();
            }
        }
        return;
    case WM_VSCROLL: {
        const int page = VisibleRowCount();
        int top = topRow_;
        switch (LOWORD(message.WParam)) {
        case SB_LINEUP:
            --top;
            break;
        case SB_LINEDOWN:
            ++top;
            break;
        case SB_PAGEUP:
            top -= page;
            break;
        case SB_PAGEDOWN:
            top += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            top = cells_->FixedRows() + HIWORD(message.WParam);
            break;
        default:
            break;
        }
        const int last = std::max(cells_->FixedRows(), RowCount() - page);
        topRow_ = std::clamp(top, cells_->FixedRows(), last);
        Invalidate();
        return;
    }
    case WM_SIZE:
        TCustomControl::WndProc(message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

void TImpStringGrid::Paint(HDC dc)
{
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    TPaintFonts fonts;
    TSelectionKeeper selectedFont;
    SetBkMode(dc, TRANSPARENT);
    const bool focused = GetFocus() == handle_;
    const HBRUSH lines = GetSysColorBrush(COLOR_BTNFACE);
    const int lastVisible = topRow_ + VisibleRowCount();
    const TImpGridLook look = Look();
    for (int row = 0; row < RowCount() && row <= lastVisible; ++row) {
        if (row >= cells_->FixedRows() && row < topRow_)
            continue;
        for (int col = 0; col < ColCount(); ++col) {
            RECT r = CellRect(col, row);
            const bool fixed = col < cells_->FixedCols() || row < cells_->FixedRows();
            const bool current = !fixed && col == Col() && row == Row();
            // The line right and below the cell.
            RECT right{r.right, r.top, r.right + 1, r.bottom + 1};
            RECT below{r.left, r.bottom, r.right + 1, r.bottom + 1};
            FillRect(dc, &right, lines);
            FillRect(dc, &below, lines);
            const TImpColumn& column = columns_[static_cast<size_t>(col)];
            // Fixed cells take the title's font, the others the column's.
            const TImpGridFont& columnFont = column.Font(look);
            const TImpGridFont& cellFont = fixed ? column.Title.Font(columnFont) : columnFont;
            selectedFont.Select(dc, fonts.For(cellFont));
            if (fixed) {
                const TGdiObject face(CreateSolidBrush(ColorToRGB(column.Title.Color(look))));
                FillRect(dc, &r, static_cast<HBRUSH>(face.Get()));
                RECT edge = r;
                DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
                SetTextColor(dc, ColorToRGB(cellFont.Color));
            } else if (current && focused && !editing_) {
                FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                const TGdiObject background(CreateSolidBrush(ColorToRGB(column.Color(look))));
                FillRect(dc, &r, static_cast<HBRUSH>(background.Get()));
                SetTextColor(dc, ColorToRGB(cellFont.Color));
            }
            if (current && !focused) {
                RECT mark = r;
                DrawFocusRect(dc, &mark);
            }
            const auto drawText = [&](const std::wstring& text, TAlignment alignment) {
                RECT textRect{r.left + (fixed ? 3 : 2), r.top, r.right - (fixed ? 3 : 2), r.bottom};
                const UINT across = alignment == TAlignment::taRightJustify ? DT_RIGHT
                                    : alignment == TAlignment::taCenter     ? DT_CENTER
                                                                            : DT_LEFT;
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | across);
            };
            drawText(cells_->Cell(col, row), column.Alignment());
            if (fixed && row == 0 && !column.Title.Caption().empty())
                drawText(column.Title.Caption(), column.Title.Alignment());
        }
    }
}

}  // namespace qrv
