#include "dialogs/DriveOverviewRows.h"

#include "common/BaseUtils.h"

#include <cmath>
#include <cstdio>
#include <numeric>
#include <set>

namespace qrv {

namespace {

constexpr int kDriveRemovable = 2;
constexpr int kDriveFixed = 3;
constexpr int kDriveRemote = 4;
constexpr int kDriveCDRom = 5;

std::wstring FreePercent(int64_t Size, int64_t Free, const TNumberFormat& Format)
{
    if (Size <= 0)
        return {};
    return FormatOneDecimal(static_cast<double>(Free) / static_cast<double>(Size) * 100.0, Format);
}

void FillSizes(TDriveOverviewRow& Row, int64_t Size, int64_t Used, int64_t Free, const TNumberFormat& Format)
{
    Row.Cells[3] = FormatSizeText(Size, true, Format.Thousands);
    Row.Cells[4] = FormatSizeText(Used, true, Format.Thousands);
    Row.Cells[5] = FormatSizeText(Free, true, Format.Thousands);
    Row.Cells[6] = FreePercent(Size, Free, Format);
}

}  // namespace

bool DriveOverviewLists(int DriveType, bool ShowRemovable)
{
    switch (DriveType) {
    case kDriveFixed:
    case kDriveRemote:
        return true;
    case kDriveRemovable:
    case kDriveCDRom:
        return ShowRemovable;
    default:
        return false;
    }
}

std::wstring FormatOneDecimal(double Value, const TNumberFormat& Format)
{
    const int64_t tenths = std::llround(Value * 10.0);
    const uint64_t magnitude = tenths < 0 ? 0 - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
    return (tenths < 0 ? L"-" : L"") + FormatThousandsU(magnitude / 10, Format.Thousands) + Format.Decimal +
           std::to_wstring(magnitude % 10);
}

std::wstring SerialText(uint32_t Serial)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%.4x-%.4x", Serial >> 16, Serial & 0xFFFF);
    return text;
}

std::vector<TDriveOverviewRow> DriveOverviewTable(const std::vector<TDriveFacts>& Drives, const TNumberFormat& Format)
{
    std::vector<TDriveOverviewRow> rows;
    std::set<uint32_t> counted;
    int64_t totalSize = 0;
    int64_t totalUsed = 0;
    for (const TDriveFacts& drive : Drives) {
        if (!drive.Ready)
            continue;
        TDriveOverviewRow row;
        row.Cells[0] = drive.DisplayName;
        row.Cells[1] = drive.FileSystem;
        row.Cells[2] = SerialText(drive.Serial);
        const int64_t used = drive.Size - drive.Free;
        FillSizes(row, drive.Size, used, drive.Free, Format);
        row.ImageIndex = drive.ImageIndex;
        rows.push_back(std::move(row));
        if (drive.Serial == 0 || counted.insert(drive.Serial).second) {
            totalSize += drive.Size;
            totalUsed += used;
        }
    }
    TDriveOverviewRow total;
    total.Total = true;
    total.Cells[0] = L"Gesamt:";
    FillSizes(total, totalSize, totalUsed, totalSize - totalUsed, Format);
    rows.push_back(std::move(total));
    return rows;
}

std::vector<int> FitColumnWidths(const std::vector<int>& Widths, int ListWidth)
{
    std::vector<int> fitted = Widths;
    const int64_t sum = std::accumulate(Widths.begin(), Widths.end(), int64_t{0});
    if (fitted.empty() || sum <= 0)
        return fitted;
    int64_t used = 0;
    for (size_t i = 0; i + 1 < fitted.size(); ++i) {
        fitted[i] = static_cast<int>(static_cast<int64_t>(Widths[i]) * ListWidth / sum);
        used += fitted[i] + 1;
    }
    fitted.back() = static_cast<int>(std::max<int64_t>(ListWidth - used, 0));
    return fitted;
}

}  // namespace qrv
