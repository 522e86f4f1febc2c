#include "dialogs/win/DriveOverView.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/IgnoredError.h"
#include "framework/win/Buttons.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/Handles.h"
#include "framework/win/WaitCursor.h"
#include "panels/win/KyDriveInfo.h"

#include <shellapi.h>

namespace qrv {

LRESULT TDriveOverviewList::CustomDraw(NMLVCUSTOMDRAW& draw)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        if (static_cast<int>(draw.nmcd.dwItemSpec) != TotalRow)
            return CDRF_DODEFAULT;
        if (!bold_) {
            LOGFONTW font{};
            GetObjectW(Font().Handle(), sizeof font, &font);
            font.lfWeight = FW_BOLD;
            bold_.Reset(CreateFontIndirectW(&font));
        }
        if (!bold_)
            return CDRF_DODEFAULT;
        // Put back after the row is drawn.
        keeper_.Select(draw.nmcd.hdc, bold_.Get());
        return CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT:
        keeper_.Restore();
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

namespace {

constexpr int kClientWidth = 620;
constexpr int kClientHeight = 300;
constexpr int kButtonPanel = 42;

}  // namespace

TNumberFormat UserNumberFormat()
{
    TNumberFormat format;
    wchar_t text[8]{};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, 8) > 0)
        format.Thousands = text;
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 0)
        format.Decimal = text;
    return format;
}

std::vector<TDriveFacts> SystemDriveFacts(bool ShowRemovable)
{
    std::vector<TDriveFacts> facts;
    TDriveInfo& table = DriveInfo();
    // Drives may have come or gone since the table was read.
    if (!table.RefreshAll())
        TraceIgnoredFailure(L"listing the drives for the drive overview", 0);
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        TDriveInfoRec rec;
        table.GetData(letter, rec);
        if (!rec.Valid || !DriveOverviewLists(rec.DriveType, ShowRemovable))
            continue;
        // A drive without a medium is skipped, never asked about.
        const TQuietDriveErrors quiet;
        if (!table.IsDriveAccessible(letter))
            continue;
        if (!table.ReadDriveStatus(letter, dsSize | dsDisplayName | dsImageIndex))
            TraceIgnoredFailure(L"reading a drive's data for the drive overview", letter);
        table.GetData(letter, rec);
        TDriveFacts drive;
        drive.Letter = letter;
        drive.DriveType = rec.DriveType;
        drive.Ready = true;
        drive.DisplayName = table.GetDisplayName(letter);
        drive.FileSystem = rec.FileSystemName;
        drive.Serial = rec.Serial;
        drive.Size = std::max<int64_t>(rec.Size, 0);
        drive.Free = std::max<int64_t>(GetDiskFreeBytes(letter - L'A' + 1), 0);
        drive.ImageIndex = rec.ImageIndex;
        facts.push_back(std::move(drive));
    }
    return facts;
}

TFormDriveOverView::TFormDriveOverView(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Laufwerksübersicht");
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(kClientWidth, kClientHeight);
    FactsSource = SystemDriveFacts;

    DriveList = new TDriveOverviewList(this);
    DriveList->SetParent(this);
    DriveList->SetViewStyle(TViewStyle::vsReport);
    DriveList->SetReadOnly(true);
    DriveList->SetRowSelect(true);
    DriveList->SetBounds(6, 6, kClientWidth - 12, kClientHeight - kButtonPanel - 30);
    DriveList->AddColumn(L"Laufwerk", 120);
    DriveList->AddColumn(L"Dateisys.", 60);
    DriveList->AddColumn(L"Seriennummer", 85);
    DriveList->AddColumn(L"Größe", 75, TAlignment::taRightJustify);
    DriveList->AddColumn(L"Belegt", 75, TAlignment::taRightJustify);
    DriveList->AddColumn(L"Frei", 75, TAlignment::taRightJustify);
    DriveList->AddColumn(L"Frei [%]", 60, TAlignment::taRightJustify);
    // The list shows no selection: one made is undone at once.
    DriveList->OnChange = [this](TComponent*, int item) {
        if (item >= 0 && DriveList->Selected(item))
            DriveList->SetSelected(item, false);
    };

    chkRemovable = new TCheckBox(this);
    chkRemovable->SetParent(this);
    chkRemovable->SetCaption(L"&Entnehmbare Medien anzeigen");
    chkRemovable->OnClick = [this](TComponent*) { Refill(); };

    const auto button = [this](const std::wstring& caption) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(caption);
        return b;
    };
    btnOk = button(L"&OK");
    btnOk->SetDefault(true);
    btnOk->Cancel = true;
    btnOk->ModalResult = mrOk;
    btnRefresh = button(L"&Aktualisieren");
    btnRefresh->OnClick = [this](TComponent*) { Refill(); };
    // There are no help pages yet: the button opens nothing.
    btnHelp = button(L"&Hilfe");
    PlaceButtons();
}

TFormDriveOverView::~TFormDriveOverView() = default;

void TFormDriveOverView::DoShow()
{
    TForm::DoShow();
    Refill();
}

bool TFormDriveOverView::DialogKey(WORD Key)
{
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && Modal()) {
        SetModalResult(mrOk);
        return true;
    }
    return TForm::DialogKey(Key);
}

void TFormDriveOverView::WndProc(TMessage& message)
{
    TForm::WndProc(message);
    if (message.Msg == WM_SIZE)
        PlaceButtons();
}

void TFormDriveOverView::PlaceButtons()
{
    if (!DriveList || !btnHelp)
        return;
    const int width = ClientWidth();
    const int height = ClientHeight();
    DriveList->SetBounds(6, 6, width - 12, std::max(height - kButtonPanel - 36, 20));
    chkRemovable->SetBounds(8, height - kButtonPanel - 26, 260, 20);
    // The buttons stay centred.
    constexpr int kButtonWidth = 96;
    constexpr int kGap = 8;
    int left = (width - 3 * kButtonWidth - 2 * kGap) / 2;
    for (TButton* b : {btnOk, btnRefresh, btnHelp}) {
        b->SetBounds(left, height - kButtonPanel + 8, kButtonWidth, 26);
        left += kButtonWidth + kGap;
    }
}

void TFormDriveOverView::Refill()
{
    const TWaitCursor hourglass;
    rows_ = DriveOverviewTable(FactsSource ? FactsSource(chkRemovable->Checked()) : std::vector<TDriveFacts>{},
                               UserNumberFormat());
    DriveList->BeginUpdate();
    DriveList->ClearItems();
    for (const TDriveOverviewRow& row : rows_)
        DriveList->AddItem(row.Cells[0], std::vector<std::wstring>(row.Cells + 1, row.Cells + kDriveOverviewColumns));
    DriveList->TotalRow = static_cast<int>(rows_.size()) - 1;
    DriveList->EndUpdate();
    if (DriveList->HandleAllocated()) {
        SHFILEINFOW info{};
        const auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
            L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
        if (images)
            SendMessageW(DriveList->Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        for (size_t i = 0; i < rows_.size(); ++i) {
            LVITEMW item{};
            item.mask = LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            item.iImage = rows_[i].Total ? I_IMAGENONE : rows_[i].ImageIndex;
            SendMessageW(DriveList->Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    FitColumns();
}

void TFormDriveOverView::FitColumns()
{
    if (!DriveList->HandleAllocated())
        return;
    std::vector<int> widths;
    for (int i = 0; i < DriveList->ColumnCount(); ++i)
        widths.push_back(DriveList->ColumnWidth(i));
    RECT client{};
    GetClientRect(DriveList->Handle(), &client);
    const std::vector<int> fitted = FitColumnWidths(widths, client.right - client.left);
    for (size_t i = 0; i < fitted.size(); ++i)
        DriveList->SetColumnWidth(static_cast<int>(i), fitted[i]);
}

}  // namespace qrv
