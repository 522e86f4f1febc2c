#include "editor/EasyEditSource.h"

#include "editor/WideText.h"

#include <algorithm>

namespace qrv {

TCustomEasyEditSource::TCustomEasyEditSource(TComponent* owner) : TComponent(owner)
{
    strings_.OnChange = [this](TEasyStrings&) { StringsChanged(); };
}

TCustomEasyEditSource::~TCustomEasyEditSource()
{
    strings_.OnChange = nullptr;
    Notify(csSourceFreed);
}

void TCustomEasyEditSource::SetReadOnly(bool readOnly)
{
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    Notify(csReadOnlyChanged);
}

void TCustomEasyEditSource::SetCaretPos(int x, int y)
{
    x = std::max(0, x);
    y = std::max(0, y);
    if (x == caretX_ && y == caretY_)
        return;
    caretX_ = x;
    caretY_ = y;
    Notify(csPositionChanged);
}

void TCustomEasyEditSource::LoadFromFile(const std::wstring& name)
{
    fileName_ = name;
    strings_.LoadFromFile(name);
}

void TCustomEasyEditSource::SaveToFile(const std::wstring& name)
{
    fileName_ = name;
    strings_.SaveToFile(name);
}

void TCustomEasyEditSource::ReplaceAllText(std::wstring_view text)
{
    ++ownEdit_;
    try {
        strings_.SetText(ToUtf16(text));
    } catch (...) {
        --ownEdit_;
        throw;
    }
    --ownEdit_;
}

void TCustomEasyEditSource::StringsChanged()
{
    TEasyEditSourceStates states = csEdit;
    if (strings_.Count() != lastCount_)
        states |= csCountChanged;
    lastCount_ = strings_.Count();
    if (ownEdit_) {
        modified_ = true;
    } else {
        // Loaded or set from outside: a fresh document.
        caretX_ = caretY_ = 0;
        states |= csPositionChanged;
        modified_ = false;
    }
    Notify(states);
}

void TCustomEasyEditSource::Notify(TEasyEditSourceStates states)
{
    // A view may detach itself while it is told.
    const auto notifiers = notifiers_;
    for (const auto& [view, notifier] : notifiers)
        notifier(states);
}

void TCustomEasyEditSource::AddNotifier(const void* view, TNotifier notifier)
{
    RemoveNotifier(view);
    notifiers_.emplace_back(view, std::move(notifier));
}

void TCustomEasyEditSource::RemoveNotifier(const void* view)
{
    std::erase_if(notifiers_, [view](const auto& entry) { return entry.first == view; });
}

}  // namespace qrv
