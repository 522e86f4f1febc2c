#pragma once
// What the system says about drives: their types, and the Explorer policy
// that hides drive letters.

#include <cstdint>

namespace qrv {

// The system drive type of "X:\"; the network character "\" and "[" are remote.
int SystemDriveType(wchar_t drive);
// HKCU "Software\Microsoft\Windows\CurrentVersion\Policies\Explorer" value
// "NoDrives", stored as a 4-byte binary or a DWORD; 0 when absent.
uint32_t ReadNoDrivesPolicy();
// The first fixed drive not hidden by "NoDrives"; a blank when there is none.
wchar_t DefaultDrive();

}  // namespace qrv
