#include "mainwindow/StatusTexts.h"

#include "common/BaseUtils.h"

#include <algorithm>

namespace qrv {

namespace {

std::wstring Num(uint64_t N)
{
    return std::to_wstring(N);
}

// The plain grouped number, as FormatSizeText gives it without units.
std::wstring Grouped(int64_t N, std::wstring_view Separator)
{
    return FormatSizeText(N, false, Separator);
}

constexpr int64_t kFreeBytesLimit = 3'000'000;
constexpr int64_t kMegaLimit = 10'000'000;

}  // namespace

std::wstring CaretStatusText(uint32_t Line, uint32_t Column)
{
    return L"Zeile " + Num(Line) + L" / Spalte " + Num(Column);
}

std::wstring OffsetStatusText(uint64_t Offset)
{
    return L"Offset: " + Num(Offset);
}

std::wstring LineCountStatusText(uint32_t Lines)
{
    return Num(Lines) + L" Zeilen";
}

std::wstring PictureSizeStatusText(uint32_t Width, uint32_t Height)
{
    return L"Größe: " + Num(Width) + L"x" + Num(Height) + L" Pixel";
}

std::wstring DriveSpaceStatusText(const TDriveSpace& Drive, std::wstring_view Separator)
{
    const std::wstring letter(1, Drive.Letter);
    if (!Drive.Ready)
        return L"Laufwerk " + letter + L": nicht bereit.";
    int64_t total = std::max<int64_t>(Drive.Total, 0);
    int64_t free = std::max<int64_t>(Drive.Free, 0);
    // A drive that reports more free than total space has nothing used.
    int64_t used = total == 0 ? 0 : std::max<int64_t>(total - free, 0);
    if (total == 0)
        free = 0;

    std::wstring freeText;
    if (free > kMegaLimit)
        freeText = Grouped(free / 1'048'576, Separator) + L" MB";
    else if (free <= kFreeBytesLimit)
        freeText = Grouped(free, Separator) + L" Bytes";
    else
        freeText = Grouped(free / 1'024, Separator) + L" KB";

    const std::wstring usedText =
        used > kMegaLimit ? Grouped(used / 1'048'576, Separator) + L" MB" : Grouped(used / 1'024, Separator) + L" KB";
    return letter + L": " + usedText + L" belegt / " + freeText + L" frei";
}

std::wstring NetworkStatusText(bool ListShowsNetwork, std::wstring_view NetworkName)
{
    if (ListShowsNetwork)
        return std::wstring(NetworkName);
    return L"Laufwerk nicht bereit.";
}

std::wstring Panel0StatusText(const TPanel0Input& In, std::wstring_view Separator)
{
    if (In.Focus == TStatusFocus::Text)
        return CaretStatusText(In.CaretLine, In.CaretColumn);
    if (In.Focus == TStatusFocus::HexView && In.HexViewVisible)
        return OffsetStatusText(In.HexOffset);
    if (In.DriveBoxOnNetwork)
        return NetworkStatusText(In.ListShowsNetwork, In.NetworkName);
    return DriveSpaceStatusText(In.Drive, Separator);
}

std::wstring FileNoun(uint64_t Count)
{
    return Count == 1 ? L"Datei" : L"Dateien";
}

TSelectionTexts SelectionStatusTexts(const TSelectionFigures& Figures, bool Abbreviated, std::wstring_view Separator)
{
    const std::wstring unit = Abbreviated ? L"" : L"Bytes";
    auto size = [&](int64_t bytes) { return FormatSizeText(std::max<int64_t>(bytes, 0), Abbreviated, Separator); };

    TSelectionTexts texts;
    if (Figures.Count > 0)
        texts.Entries =
            Num(Figures.Count) + L" " + FileNoun(Figures.Count) + L" = " + size(Figures.TotalSize) + L" " + unit;
    else
        texts.Entries = L"Keine Datei vorhanden";
    if (Figures.Selected > 0)
        texts.Selection = Num(Figures.Selected) + L" " + FileNoun(Figures.Selected) + L" ausgewählt = " +
                          size(Figures.SelectedSize) + L" " + unit;
    else
        texts.Selection = L"Keine Datei ausgewählt.";
    return texts;
}

TSelectionTexts SelectionStatus(const TSelectionStatusInput& In, std::wstring_view Separator)
{
    if (In.ShellFolder)
        return {ShellFolderStatusText(In.ShellItemCount), L""};
    TSelectionFigures figures;
    if (In.ArchiveFocused)
        figures = In.Archive;
    else if (!In.ListLoading)
        figures = In.List;
    return SelectionStatusTexts(figures, In.Abbreviated, Separator);
}

std::wstring ShellFolderStatusText(uint32_t Count)
{
    return Count == 0 ? std::wstring(L"Keine Ordner vorhanden") : Num(Count) + L" Ordner";
}

std::wstring LoadingStatusText(uint32_t CountSoFar)
{
    return Num(CountSoFar) + L" Dateien";
}

TStatusPanelWidths StatusPanelWidths(int FormWidth, int Panel0TextWidth)
{
    TStatusPanelWidths widths;
    const int formWidth = std::max(FormWidth, 0);
    widths.Panel0 = std::max((formWidth / 7) * 2, std::max(Panel0TextWidth, 0) + 10);
    const int rest = std::max(formWidth - widths.Panel0, 0);
    widths.Panel1 = rest / 2;
    widths.Panel2 = rest - widths.Panel1;
    widths.ProgressBar = std::max(widths.Panel0 - 2, 0);
    return widths;
}

}  // namespace qrv
