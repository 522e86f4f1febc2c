#pragma once
// The zip component's message table (German texts by id) and the formatting
// of a message with its one argument. Portable.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The ids the component reports.
enum : int {
    zmZipDllFatal = 10101,
    zmNoArchiveName = 10102,
    zmWrongPassword = 10104,
    zmCopying = 10105,
    zmNoRenameInSpan = 10141,
    zmPasswordPromptAdd = 10150,
    zmPasswordConfirm = 10151,
    zmNoPasswordForAdd = 10152,
    zmNoPasswordForExtract = 10153,
    zmPasswordCaption = 10154,
    zmButtonOk = 10155,
    zmButtonCancel = 10156,
    zmButtonCancelAll = 10157,
    zmPasswordPromptExtract = 10158,
    zmOverwriteFileIn = 10181,
    zmSeekError = 10201,
    zmCannotOpenArchive = 10202,
    zmStructureWarning = 10203,
    zmTrailingDataWarning = 10204,
    zmNothingToAdd = 10301,
    zmNoFreshenInSpan = 10302,
    zmNoSpannedExe = 10303,
    zmUnattendedNoPassword = 10304,
    zmNoStreamSupport = 10305,
    zmNothingToDelete = 10401,
    zmUnzDllFatal = 10501,
    zmUnattendedExtract = 10502,
    zmNoExtractDir = 10503,
    zmZipDllNotFound = 10604,
    zmOldZipDll = 10605,
    zmOutOfMemory = 10701,
    zmListFailed = 10702,
    zmEventException = 10703,
    zmSpanFailed = 10704,
    zmCommentTooLong = 10801,
    zmUnknownDrive = 10901,
    zmDriveNotReady = 10902,
    zmVolumeLabelFailed = 10903,
    zmFileNotFound = 11001,
    zmInputSeekError = 11002,
    zmCannotCreateOutput = 11003,
    zmWriteError = 11004,
    zmCannotCreateTemp = 11005,
    zmNotLastDisk = 11006,
    zmFirstDiskNotLast = 11007,
    zmFirstFileNotLast = 11008,
    zmUserAbort = 11009,
    zmNotEnoughSpace = 11010,
    zmEocReadError = 11011,
    zmCentralReadError = 11012,
    zmCentralSignature = 11013,
    zmCentralNameReadError = 11014,
    zmCommentReadError = 11015,
    zmSpanMarkerReadError = 11016,
    zmLocalSignature = 11017,
    zmLocalReadError = 11018,
    zmLocalNameReadError = 11019,
    zmDataReadError = 11020,
    zmDescriptorReadError = 11021,
    zmExtraReadError = 11022,
    zmEocCommentReadError = 11023,
    zmUnattendedSpan = 11025,
    zmLocalWriteError = 11028,
    zmCentralWriteError = 11029,
    zmEocWriteError = 11030,
    zmDiskInUse = 11031,
    zmFileExists = 11032,
    zmInsertLastDisk = 11033,
    zmInsertDiskOf = 11034,
    zmInsertDisk = 11035,
    zmNotAZip = 11036,
    zmInDrive = 11037,
    zmOverwritePrevious = 11038,
    zmLastPartLeftAs = 11039,
    zmCentralDirectory = 11047,
    zmNoSpanSupport = 11048,
    zmExtraPhaseBase = 11400,
};

// The table's text of Id; nullopt when the table has none.
std::optional<std::u16string> ZipMessageText(int Id);

// The text to show for Id: the table's (offered to Replace, the component's
// OnZipStr), or the note that the table is missing when it has none.
std::u16string ZipMessageOrFallback(int Id, const std::function<void(int, std::u16string&)>& Replace = {});

// Fills the text's one placeholder ("%s", "%d" or "%.1d"; a second "%d"
// of the disk prompt takes Arg2). Text without a placeholder is returned
// as it is; a "%%" stays one "%".
std::u16string FormatZipMessage(std::u16string_view Text, std::u16string_view StringArg);
std::u16string FormatZipMessage(std::u16string_view Text, int64_t Arg, int64_t Arg2 = 0);

}  // namespace qrv
