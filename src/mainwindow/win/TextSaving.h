#pragma once
// Saving a changed text without ever leaving the file half written: the text
// goes into a new file beside it, which then takes the file's place in one
// rename. A failure at any step leaves the file with its name and content.

#include <functional>
#include <string>

namespace qrv {

// Writes the whole text to the file it is given; throws on failure.
using TTextWriter = std::function<void(const std::wstring& FileName)>;

// Saves through Writer in FileName's place. With KeepBackup and an existing
// file longer than 0 bytes, that file's content is kept as BackupFileName
// (an older backup is replaced). Throws EOSError naming the step that
// failed; the file, and its backup when the backup could not be written,
// are then as they were, and no temporary file is left. A read-only
// file is not replaced.
void SaveTextReplacing(const std::wstring& FileName, bool KeepBackup, const TTextWriter& Writer);

// SaveTextReplacing with the error reported through ShowError as
// SaveErrorText; the result says whether the text was saved.
[[nodiscard]] bool SaveText(const std::wstring& FileName, bool KeepBackup, const TTextWriter& Writer,
                            const std::function<void(const std::wstring& Message)>& ShowError);

}  // namespace qrv
