#pragma once
// TTextListBox: a list box whose horizontal scroll range follows its widest
// line, so long lines can be scrolled into view.

#include "framework/win/ListBox.h"

#include <vector>

namespace qrv {

class TTextListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;

    // Tab stops every TabWidth quarters of the width of "0"; 0: tabs are not
    // expanded.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    // The horizontal scroll range now: the widest line's width.
    int MaxWidth() const { return maxWidth_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void DrawItem(HDC dc, int index, const RECT& rect, UINT state) override;
    void FontChanged() override;

private:
    // The width of a line followed by "x".
    int LineWidth(int index);
    void Recompute();
    void SendExtent();
    std::vector<int> widths_;  // of each line, in its order
    int maxWidth_ = 0;
    int tabWidth_ = 0;
};

}  // namespace qrv
