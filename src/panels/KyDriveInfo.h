#pragma once
// The drive table's portable rules.

#include <cstdint>
#include <functional>

namespace qrv {

// Drive characters run from 'A' to '\\' (the network neighbourhood).
constexpr wchar_t kFirstDrive = L'A';
constexpr wchar_t kLastDrive = L'\\';

// True when the "NoDrives" policy mask hides the drive (bit 0 is A:).
bool HiddenByNoDrives(wchar_t drive, uint32_t noDrives);

// The first fixed drive (type 3) from A to "\" that the policy does not hide,
// or a blank when there is none.
wchar_t ChooseDefaultDrive(const std::function<int(wchar_t drive)>& driveType, uint32_t noDrives);

}  // namespace qrv
