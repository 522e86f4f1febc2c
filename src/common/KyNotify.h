#pragma once
// TKyNotify: the one process-wide notifier through which the program announces
// its own renames, creations and attribute changes to whoever listens.
// Portable; used on the user-interface thread.

#include <functional>
#include <string>

namespace qrv {

// Event codes passed to OnNotify; they are the shell's change codes.
enum TKyNotifyEvent : int {
    kneRenameItem = 0x1,        // Path1 old, Path2 new full path of a file
    kneCreate = 0x2,            // Path1 the new item
    kneUpdateItem = 0x2000,     // Path1 the changed item (attributes and the like)
    kneRenameFolder = 0x20000,  // Path1 old, Path2 new full path of a folder
};

class TKyNotify {
public:
    using TKyNotifyProc = std::function<void(int Event, const std::wstring& Path1, const std::wstring& Path2)>;

    // Calls OnNotify when it is assigned; nothing else.
    void Notify(int Event, const std::wstring& Path1, const std::wstring& Path2 = std::wstring());

    TKyNotifyProc OnNotify;
};

// The global notifier, made on first use and freed at program end.
TKyNotify& KyNotify();

}  // namespace qrv
