#include "viewers/win/KyInfoPanel.h"

#include "common/win/BaseUtilsWin.h"

#include <algorithm>

namespace qrv {

namespace {
constexpr int kMargin = 10;
constexpr int kIconSize = 32;
constexpr int kCaptionGap = 20;
constexpr int kRowGap = 6;
}  // namespace

TKyInfoPanel::TKyInfoPanel(TComponent* owner, const std::vector<std::wstring>& captions) : TPanel(owner)
{
    SetBevelOuter(TPanelBevel::bvNone);
    SetCaption(L"");
    image_ = new TImage(this);
    image_->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    image_->SetParent(this);
    for (const std::wstring& text : captions) {
        auto* caption = new TLabel(this);
        caption->SetCaption(text);
        caption->SetLeft(kMargin);
        caption->SetParent(this);
        caption->AutoSizeToCaption();
        captions_.push_back(caption);
        auto* value = new TLabel(this);
        value->SetCaption(L"");
        value->SetParent(this);
        value->AutoSizeToCaption();
        values_.push_back(value);
    }
    if (!captions_.empty())
        captions_.front()->SetVisible(false);
}

TKyInfoPanel::~TKyInfoPanel()
{
    // The image must not hold the icon past its destruction below.
    image_->Clear();
}

void TKyInfoPanel::CreateWnd()
{
    TPanel::CreateWnd();
    // Should a label ever reach into the icon's square, its text stays above it.
    SetWindowPos(image_->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TKyInfoPanel::CreateWindowHandle(const TCreateParams& params)
{
    TPanel::CreateWindowHandle(params);
    ArrangeLabels();
}

void TKyInfoPanel::FontChanged()
{
    TPanel::FontChanged();
    for (auto* labels : {&captions_, &values_})
        for (TLabel* label : *labels) {
            label->Font().Assign(Font());
            label->AutoSizeToCaption();
        }
    ArrangeLabels();
}

void TKyInfoPanel::ArrangeLabels()
{
    if (!HandleAllocated() || values_.empty())
        return;
    int widest = 0;
    for (const TLabel* caption : captions_)
        widest = std::max(widest, caption->Width());
    const int valueLeft = widest + kCaptionGap;
    const int lineStep = MeasureText(Font().Handle(), L"X").cy + kRowGap;

    TLabel& heading = *values_.front();
    heading.SetBounds(valueLeft, image_->Top() + (image_->Height() - heading.Height()) / 2, heading.Width(),
                      heading.Height());
    // The rows start below the icon: neither covers the other.
    int top = image_->Top() + image_->Height() + kRowGap / 2;
    for (size_t row = 1; row < values_.size(); ++row, top += lineStep) {
        captions_[row]->SetBounds(kMargin, top, captions_[row]->Width(), captions_[row]->Height());
        values_[row]->SetBounds(valueLeft, top, values_[row]->Width(), values_[row]->Height());
    }
}

void TKyInfoPanel::SetRowText(int row, const std::wstring& text)
{
    TLabel& value = ValueLabel(row);
    value.SetCaption(text);
    value.AutoSizeToCaption();
}

void TKyInfoPanel::ShowShellIcon(const std::wstring& path)
{
    TIconHandle icon;
    if (!path.empty()) {
        SHFILEINFOW info{};
        SafeGetFileInfo(path, 0, SHGFI_ICON | SHGFI_LARGEICON, info);
        icon.Reset(info.hIcon);
    }
    // The image lets go of the old icon before it is destroyed.
    image_->SetIcon(icon.Get());
    icon_ = std::move(icon);
}

}  // namespace qrv
