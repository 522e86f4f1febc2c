#pragma once
// Tells the shell (Explorer, the folder tree's watch, other programs) that
// the program changed something on disk. Nothing else calls SHChangeNotify
// with a path (scripts/lint).

#include <string>

namespace qrv {

// FolderUpdated: the folder's contents changed (many files at once).
enum class TShellChange { FileCreated, FolderCreated, FileDeleted, FolderUpdated };

// How long the call waits for the shell's listeners: Flush until they have
// taken the notice (a folder the user made must show before the call
// returns), FlushNoWait hands it over without waiting for them, Post only
// queues it.
enum class TShellNoticeWait { Flush, FlushNoWait, Post };

void NotifyShell(TShellChange Change, const std::wstring& Path, TShellNoticeWait Wait);

}  // namespace qrv
