#include "dialogs/ViewLayouts.h"

namespace qrv {

const std::array<TViewManEntry, kViewManLayoutCount> kViewManLayouts = {{
    {L"Explorer", L"EXPLORER.BMP"},
    {L"Commander (nebeneinander)", L"COMMANDE.BMP"},
    {L"Commander (übereinander)", L"COMMAND2.BMP"},
    {L"Zwei Dateifenster übereinander", L"2FWH.BMP"},
    {L"Zwei Dateifenster nebeneinander", L"2FWV.BMP"},
}};

TViewChange PresetView(TPresetView Preset, const TViewLayout& Current)
{
    TViewChange change{Current, THalfSize::None};
    switch (Preset) {
    case TPresetView::Explorer:
        change.Layout.ShowDirWin = true;
        change.Layout.SecondFileWin = false;
        break;
    case TPresetView::Commander:
        change.Layout.ShowDirWin = false;
        change.Layout.SecondFileWin = true;
        change.Layout.DividerStyle = kLayoutSideBySide;
        change.Half = THalfSize::Width;
        break;
    case TPresetView::Standard:
        change.Layout.ShowDirWin = true;
        change.Layout.SecondFileWin = true;
        change.Layout.DividerStyle = kLayoutStacked;
        change.Half = THalfSize::Height;
        break;
    }
    return change;
}

int ViewManIndex(const TViewLayout& Current)
{
    if (Current.ShowDirWin) {
        if (!Current.SecondFileWin)
            return 0;
        return Current.DividerStyle == kLayoutStacked ? 3 : 4;
    }
    return Current.DividerStyle != kLayoutSideBySide ? 2 : 1;
}

bool ViewManDisplayChoiceEnabled(int Index)
{
    return Index != 0;
}

TViewLayout ViewManResult(int Index, bool DisplayInSecondWindow, const TViewLayout& Current)
{
    TViewLayout result = Current;
    switch (Index) {
    case 0:
        result.ShowDirWin = true;
        result.SecondFileWin = false;
        break;
    case 1:
    case 2:
        result.ShowDirWin = false;
        result.SecondFileWin = true;
        result.DividerStyle = Index == 1 ? kLayoutSideBySide : kLayoutStacked;
        break;
    case 3:
    case 4:
        result.ShowDirWin = true;
        result.SecondFileWin = true;
        result.DividerStyle = Index == 3 ? kLayoutStacked : kLayoutSideBySide;
        break;
    default:
        return Current;
    }
    if (ViewManDisplayChoiceEnabled(Index))
        result.FileDisplayPos = DisplayInSecondWindow ? 1 : 0;
    return result;
}

THalfSize ViewManHalf(int Index)
{
    switch (Index) {
    case 1:
    case 4:
        return THalfSize::Width;
    case 3:
        return THalfSize::Height;
    default:
        return THalfSize::None;
    }
}

TFirstWindowSize HalvedFirstWindow(THalfSize Half, TFirstWindowSize Current, int AreaWidth, int AreaHeight)
{
    if (Half == THalfSize::Width)
        Current.Width = AreaWidth / 2;
    else if (Half == THalfSize::Height)
        Current.Height = AreaHeight / 2;
    return Current;
}

}  // namespace qrv
