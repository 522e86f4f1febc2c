#pragma once
// TKyInfoPanel: what the directory and the shortcut panel share: a 32 x 32
// icon at the top left and a column of rows, each a caption label and a
// value label. Row 1's caption is hidden, so its value stands beside the
// icon as the heading. The panel owns the icon it shows and destroys it
// when another one replaces it.

#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Handles.h"
#include "framework/win/Image.h"

#include <string>
#include <vector>

namespace qrv {

class TKyInfoPanel : public TPanel {
public:
    TKyInfoPanel(TComponent* owner, const std::vector<std::wstring>& captions);
    ~TKyInfoPanel() override;

    // Places the labels (when the window exists): captions at left 10, the
    // values at the widest caption + 20; row 1's value centred on the icon,
    // the other rows from the icon's bottom - 6 down, one line of "X" + 6
    // pixels apart.
    void ArrangeLabels();

    // Rows count from 1, as the panel shows them.
    int RowCount() const { return static_cast<int>(values_.size()); }
    TLabel& CaptionLabel(int row) const { return *captions_.at(row - 1); }
    TLabel& ValueLabel(int row) const { return *values_.at(row - 1); }
    TImage& Image() const { return *image_; }

protected:
    // The value of a row; the label takes the size of its text.
    void SetRowText(int row, const std::wstring& text);
    // Shows the large shell icon of Path, or none for an empty path; the
    // icon shown before is destroyed.
    void ShowShellIcon(const std::wstring& path);
    void CreateWnd() override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void FontChanged() override;

private:
    TImage* image_;
    std::vector<TLabel*> captions_;
    std::vector<TLabel*> values_;
    TIconHandle icon_;
};

}  // namespace qrv
