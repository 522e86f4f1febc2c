#pragma once
// TKyDirPanel: the display pane's summary of a folder. For now it keeps the
// folder it was asked to show; the icon, the rows of captions and values and
// the background count of files and folders come with the panel's own work.

#include "framework/win/ExtCtrls.h"

#include <string>

namespace qrv {

class TKyDirPanel : public TPanel {
public:
    explicit TKyDirPanel(TComponent* owner);

    // Shows the summary of a folder; "" empties the panel. The same path
    // again (compared exactly) changes nothing.
    void ShowDirectory(const std::wstring& path);
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace qrv
