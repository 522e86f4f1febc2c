#pragma once
// The main window's texts for the archive list's work: the delete question
// and the progress window's title by the operation. Portable.

#include <cstdint>
#include <string>

namespace qrv {

// "%u %s aus dem Archiv löschen?" with "Datei" or "Dateien".
std::wstring ArchiveDeleteQuestion(unsigned Count);
// Whether the delete question is asked: either delete confirmation is on.
inline bool AsksArchiveDelete(bool ConfirmLogicalDelete, bool ConfirmPhysicalDelete)
{
    return ConfirmLogicalDelete || ConfirmPhysicalDelete;
}
// The progress title by the operation (1 extract, 2 add, 3 test).
std::wstring ArchiveProgressTitle(uint8_t Operation);
// A progress window is shown for more than one file.
inline bool ShowsArchiveProgress(int TotalFiles)
{
    return TotalFiles > 1;
}

}  // namespace qrv
