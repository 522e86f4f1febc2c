#include "common/win/ShellNotify.h"

#include "framework/win/WinApi.h"

#include <shlobj.h>

namespace qrv {

void NotifyShell(TShellChange Change, const std::wstring& Path, TShellNoticeWait Wait)
{
    LONG event = SHCNE_CREATE;
    switch (Change) {
    case TShellChange::FileCreated:
        event = SHCNE_CREATE;
        break;
    case TShellChange::FolderCreated:
        event = SHCNE_MKDIR;
        break;
    case TShellChange::FileDeleted:
        event = SHCNE_DELETE;
        break;
    case TShellChange::FolderUpdated:
        event = SHCNE_UPDATEDIR;
        break;
    }
    UINT flags = SHCNF_PATHW;
    switch (Wait) {
    case TShellNoticeWait::Flush:
        flags |= SHCNF_FLUSH;
        break;
    case TShellNoticeWait::FlushNoWait:
        flags |= SHCNF_FLUSHNOWAIT;
        break;
    case TShellNoticeWait::Post:
        break;
    }
    SHChangeNotify(event, flags, Path.c_str(), nullptr);
}

}  // namespace qrv
