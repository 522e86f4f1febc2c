#pragma once
// The contents of the select-files dialog ("Dateien markieren:", the file and
// archive filters): what its controls show, how a filter record fills them,
// what OK checks, and the record read back from them. Portable: the window
// only copies these fields into and out of its controls.

#include "panels/FileSelect.h"
#include "settings/Quorvan32Globals.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

// A three-state box: grey (ignore), checked (required), unchecked (forbidden).
enum class TTriState { Grayed, Checked, Unchecked };

// A day as the date pickers show it.
struct TPickerDate {
    int Year = 1980;
    int Month = 1;
    int Day = 1;
    bool operator==(const TPickerDate&) const = default;
};
// The pickers take only days a DOS date can hold.
constexpr int kFirstPickerYear = 1980;
constexpr int kLastPickerYear = 2107;
constexpr int kMinDaysBack = 1;
constexpr int kMaxDaysBack = 9999;
// The size fields' texts for "no lower bound" and "no upper bound".
inline constexpr const wchar_t* kSizeFromDefault = L"0";
inline constexpr const wchar_t* kSizeToDefault = L"999999999";
// The most digits a size field takes (a 63-bit number).
constexpr int kSizeFieldDigits = 19;

// What the drive of the tree's folder says about the compressed and
// encrypted bits.
enum class TCompressionBits { Ntfs, NotNtfs, QueryFailed };

struct TSelFileFields {
    // Filter: a named filter (index into the names) or the typed masks.
    std::vector<std::wstring> FilterNames;
    int StdFilterIndex = 0;
    bool ManualChosen = false;
    std::wstring ManualText;
    std::vector<std::wstring> ManualHistory;
    TTriState ReadOnly = TTriState::Grayed;
    TTriState Hidden = TTriState::Grayed;
    TTriState SysFile = TTriState::Grayed;
    TTriState Archive = TTriState::Grayed;
    TTriState Compressed = TTriState::Grayed;
    TTriState Encrypted = TTriState::Grayed;
    bool CompressionEnabled = false;
    bool HiddenEnabled = true;
    // "Von/bis Selektion" (false: "G&eändert seit" DaysCount "Tagen").
    bool DateFromTo = true;
    TPickerDate DateFrom;
    TPickerDate DateTo{2099, 12, 31};
    int DaysCount = 1;
    std::wstring FromSize = kSizeFromDefault;
    std::wstring ToSize = kSizeToDefault;
    bool BothWindows = false;
    bool BothWindowsEnabled = false;
};

// What the dialog keeps per file window besides the record: the days-back
// value (-1: from/to dates).
struct TSelFileContext {
    const std::vector<TFilterRec>* Filters = nullptr;
    // The masks a typed or chosen filter name stands for (the main window's
    // one lookup of names); texts with wildcards come back unchanged.
    std::function<std::wstring(const std::wstring& Text)> ResolveName;
    // The list's normalisation of masks.
    std::function<std::wstring(const std::wstring& Masks)> NormalizeMasks;
    TCompressionBits Compression = TCompressionBits::QueryFailed;
    bool ShowHiddenDirs = true;
    int DaysBack = -1;
    TPickerDate Today;
};

// The fields for a record. The named filter whose masks equal the record's is
// chosen; otherwise the masks are typed ones.
TSelFileFields FieldsFromFilter(const TFileSelectFilter& Filter, const TSelFileContext& Context);

// The failures OK reports, and the field that gets the focus.
enum class TSelFileFocus { None, FromSize, DateFrom };
struct TSelFileCheck {
    TSelFileFocus Focus = TSelFileFocus::None;
    std::wstring Message;  // empty when OK may close
};
TSelFileCheck CheckSelFileFields(const TSelFileFields& Fields);

// A size field's number: digits only, at most kSizeFieldDigits; false else.
bool ParseSizeField(const std::wstring& Text, int64_t& Size);
// The text a size field shows again when it is left empty.
std::wstring RefilledSizeField(const std::wstring& Text, bool IsToField);

// The record OK gives (the fields passed CheckSelFileFields). DaysBack
// takes the window's new days-back value. Masks resolve a typed filter name.
TFileSelectFilter FilterFromFields(const TSelFileFields& Fields, const TFileSelectFilter& Before,
                                   const TSelFileContext& Context, int& DaysBack);

// "Standard": all files, every box grey, the full size window, from/to dates.
void ResetSelection(TSelFileFields& Fields, const TSelFileContext& Context, const TPickerDate& InitialFrom,
                    const TPickerDate& InitialTo);

// DOS dates of picker days, clamped to what a DOS date holds; and back.
uint16_t DosDateOf(const TPickerDate& Date);
TPickerDate PickerDateOf(uint16_t DosDate);

}  // namespace qrv
