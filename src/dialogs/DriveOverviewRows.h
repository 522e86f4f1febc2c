#pragma once
// The drive overview's table: which drives it lists, one row of texts per
// drive, the totals row and the column widths fitted to the list. The
// drives' facts come from the caller. Portable.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

struct TDriveFacts {
    wchar_t Letter = 0;
    int DriveType = 0;  // the system's drive type (2 removable, 3 fixed, 4 network, 5 CD-ROM)
    bool Ready = false;
    std::wstring DisplayName;
    std::wstring FileSystem;
    uint32_t Serial = 0;
    int64_t Size = 0;
    int64_t Free = 0;  // available to the user
    int ImageIndex = -1;
};

// Fixed and network drives always; removable and CD-ROM drives only with
// ShowRemovable; others never.
bool DriveOverviewLists(int DriveType, bool ShowRemovable);

// How numbers are written: the user's separators.
struct TNumberFormat {
    std::wstring Thousands = L".";
    std::wstring Decimal = L",";
};

// One decimal with grouped thousands: "12,5", "1.234,0".
std::wstring FormatOneDecimal(double Value, const TNumberFormat& Format);
// "%.4x-%.4x": the serial's high and low word in hexadecimal.
std::wstring SerialText(uint32_t Serial);

// The columns: Laufwerk, Dateisys., Seriennummer, Größe, Belegt, Frei, Frei [%].
constexpr int kDriveOverviewColumns = 7;

struct TDriveOverviewRow {
    std::wstring Cells[kDriveOverviewColumns];
    int ImageIndex = -1;
    bool Total = false;  // the bold "Gesamt:" row
};

// The rows of the ready drives in order, then "Gesamt:". A drive counts
// towards the totals once per serial number (two letters of one network
// share); drives reporting serial 0 always count.
std::vector<TDriveOverviewRow> DriveOverviewTable(const std::vector<TDriveFacts>& Drives, const TNumberFormat& Format);

// The widths scaled to ListWidth in proportion; the last column takes what
// is left, each earlier one counted with a pixel more.
std::vector<int> FitColumnWidths(const std::vector<int>& Widths, int ListWidth);

}  // namespace qrv
