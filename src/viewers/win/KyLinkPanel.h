#pragma once
// TKyLinkPanel: the display pane's summary of a shortcut file. For now it
// keeps the shortcut it was asked to show; the icon and the rows with target,
// working folder, type, window state and comment come with the panel's own work.

#include "framework/win/ExtCtrls.h"

#include <string>

namespace qrv {

class TKyLinkPanel : public TPanel {
public:
    explicit TKyLinkPanel(TComponent* owner);

    // Shows the summary of a shortcut file; "" empties the panel. The same
    // path again (compared exactly) changes nothing.
    void ShowLink(const std::wstring& path);
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace qrv
