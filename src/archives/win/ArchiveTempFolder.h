#pragma once
// TArchiveTempFolder: the archive list's own place for the copies it
// extracts to open or to drag: a new folder below "<temp>\$Zovura" per
// view, held by an open lock file, and a fresh subfolder for each opening
// or drag, so that no other program's file of the same name in the shared
// temporary folder is ever overwritten or deleted. A view's folder goes
// with the view; folders that earlier views left behind (a crash) are
// removed by the next view when their lock file can be deleted, that is
// when no running view holds it. A folder whose lock is gone on purpose
// (copies kept because their changes were not written back) is left alone.

#include "framework/win/Handles.h"

#include <string>

namespace qrv {

class TArchiveTempFolder {
public:
    // Base: the folder the views' folders go into ("" for
    // "<temp>\$Zovura\").
    explicit TArchiveTempFolder(std::wstring base = {});
    ~TArchiveTempFolder();
    TArchiveTempFolder(const TArchiveTempFolder&) = delete;
    TArchiveTempFolder& operator=(const TArchiveTempFolder&) = delete;

    // The view's folder with a trailing backslash, made (and the leftovers
    // of earlier views removed) on first use; "" when it cannot be made.
    const std::wstring& Folder();
    // A new empty subfolder of the view's folder with a trailing
    // backslash; "" when it cannot be made.
    std::wstring NewSubfolder();
    // Keeps the folder when the view goes (its lock is let go, its files
    // stay): copies the user changed are not lost.
    void KeepOnClose() { keep_ = true; }

    static constexpr const wchar_t* kLockFileName = L"qrv.lock";

private:
    void RemoveLeftovers();

    std::wstring base_;
    std::wstring folder_;
    TFileHandle lock_;
    unsigned next_ = 0;
    bool keep_ = false;
};

// Deletes a folder with everything below it (read-only files too), never
// following a link or junction out of it; false when something stayed.
bool DeleteFolderTree(const std::wstring& folder);

}  // namespace qrv
