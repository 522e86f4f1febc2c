#pragma once
// A page control: the tab common control with one page per tab, each page a
// container of its own controls. A page may have no tab: it keeps its
// controls (and their values) but is never shown.

#include "framework/win/Controls.h"

#include <string>
#include <vector>

namespace qrv {

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    // The tab shows the page; without it the page is never shown.
    bool TabVisible() const { return tabVisible_; }
    int HelpContext = 0;
    TNotifyEvent OnShow;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    friend class TPageControl;
    bool tabVisible_ = true;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner);

    // Adds a page at the end; its controls are made with it as parent.
    TTabSheet* AddPage(const std::wstring& caption, bool tabVisible = true);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Page(int index) const { return pages_.at(static_cast<size_t>(index)); }
    // The page shown; a page without tab, or an index out of range, is ignored.
    int ActivePageIndex() const { return active_; }
    void SetActivePageIndex(int index);
    // Gives a page its tab or takes it away; a page that loses its tab while
    // shown gives way to the first page that has one.
    void SetTabVisible(int index, bool visible);
    TTabSheet* ActivePage() const { return active_ >= 0 ? pages_[static_cast<size_t>(active_)] : nullptr; }

    // The next (or previous) page with a tab, round the end, as the user
    // chose it: OnChange follows.
    void SelectNextPage(bool forward);

    // The user chose another tab (not raised by SetActivePageIndex).
    TNotifyEvent OnChange;

    void Realign() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    int TabOfPage(int page) const;
    int PageOfTab(int tab) const;
    void ShowActive();
    std::vector<TTabSheet*> pages_;
    int active_ = -1;
};

}  // namespace qrv
