#pragma once
// TKyLinkPanel: the display pane's summary of a shortcut file: its icon and
// name, and the target, working folder, target type, window state and
// comment stored in it.

#include "viewers/win/KyInfoPanel.h"

#include <string>

namespace qrv {

class TKyLinkPanel : public TKyInfoPanel {
public:
    explicit TKyLinkPanel(TComponent* owner);

    // Shows the summary of a shortcut file; "" empties the panel. The same
    // path again (compared exactly) changes nothing. A shortcut that cannot
    // be read shows its name and empty rows.
    void ShowLink(const std::wstring& path);
    const std::wstring& Path() const { return path_; }

private:
    void FillLinkRows();

    std::wstring path_;
};

}  // namespace qrv
