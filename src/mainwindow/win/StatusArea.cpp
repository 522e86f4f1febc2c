#include "mainwindow/win/StatusArea.h"

#include "framework/IgnoredError.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Handles.h"

namespace qrv {

TStatusArea::TStatusArea(TStatusAreaHost& Host, TStatusBar& Bar, TControl& Form) : host_(Host), bar_(Bar), form_(Form)
{}

bool TStatusArea::BarShown() const
{
    return bar_.Visible() && bar_.PanelCount() >= 3;
}

void TStatusArea::SetPanel(int Index, const std::wstring& Text)
{
    if (bar_.Panels(Index).Text != Text)
        bar_.SetPanelText(Index, Text);
}

void TStatusArea::UpdateStatusBar(bool RefreshDrive)
{
    if (!BarShown())
        return;
    try {
        if (held_.empty())
            SetPanel(0, Panel0StatusText(host_.StatusPanel0Input(RefreshDrive), host_.ThousandSeparator()));
        FitPanels();
    } catch (const std::exception&) {
        TraceIgnoredException(L"status bar: panel 0");
        SetPanel(0, L"");
    }
}

void TStatusArea::UpdateSelectionStatus()
{
    if (!BarShown())
        return;
    const TSelectionTexts texts = SelectionStatus(host_.SelectionStatusInput(), host_.ThousandSeparator());
    SetPanel(1, texts.Entries);
    SetPanel(2, texts.Selection);
}

void TStatusArea::UpdateLineCount()
{
    if (!BarShown() || !held_.empty())
        return;
    if (const std::optional<uint32_t> lines = host_.ShownTextLineCount())
        SetPanel(0, LineCountStatusText(*lines));
}

void TStatusArea::UpdatePictureSize()
{
    if (!BarShown() || !held_.empty())
        return;
    try {
        if (const auto size = host_.ShownPictureSize())
            SetPanel(0, PictureSizeStatusText(size->first, size->second));
    } catch (const std::exception&) {
        TraceIgnoredException(L"status bar: picture size");
    }
}

void TStatusArea::ShowLoadingCount(uint32_t CountSoFar)
{
    if (BarShown())
        SetPanel(1, LoadingStatusText(CountSoFar));
}

void TStatusArea::ShowPanelText(int Index, const std::wstring& Text)
{
    if (!BarShown())
        return;
    SetPanel(Index, Text);
    if (bar_.HandleAllocated())
        UpdateWindow(bar_.Handle());
}

void TStatusArea::ShowNote(const std::wstring& Text)
{
    if (!BarShown() || !held_.empty())
        return;
    SetPanel(0, Text);
    FitPanels();
}

void TStatusArea::HoldPanel0(const std::wstring& Text)
{
    held_ = Text;
    SetPanel(0, Text);
    FitPanels();
}

void TStatusArea::ReleasePanel0(const std::wstring& Text)
{
    if (held_.empty() || held_ != Text)
        return;
    held_.clear();
    SetPanel(0, L"");
}

void TStatusArea::FitPanels()
{
    if (bar_.PanelCount() < 3)
        return;
    const TStatusPanelWidths widths = StatusPanelWidths(form_.Width(), TextWidth(bar_.Panels(0).Text));
    if (bar_.Panels(0).Width == widths.Panel0 && bar_.Panels(1).Width == widths.Panel1 &&
        bar_.Panels(2).Width == widths.Panel2)
        return;
    bar_.Panels(0).Width = widths.Panel0;
    bar_.Panels(1).Width = widths.Panel1;
    bar_.Panels(2).Width = widths.Panel2;
    bar_.UpdatePanels();
}

int TStatusArea::TextWidth(const std::wstring& Text) const
{
    if (Text.empty() || !bar_.HandleAllocated())
        return 0;
    // Measured in the font the bar draws with.
    TWindowDC dc(bar_.Handle());
    if (!dc.Get())
        return 0;
    auto* font = reinterpret_cast<HFONT>(SendMessageW(bar_.Handle(), WM_GETFONT, 0, 0));
    TSelectObject select(dc.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    if (!GetTextExtentPoint32W(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &size))
        return 0;
    return size.cx;
}

}  // namespace qrv
