#include "dialogs/ToolbarCustomizer.h"

#include <algorithm>
#include <stdexcept>

namespace qrv {

namespace {

// The check list's order after the seven customisable toolbars: the
// function keys, the bookmarks, the drives (indexes 8, 9, 7).
constexpr int kListedAfterCustomized[] = {8, 9, 7};

std::wstring SeparatorCaption()
{
    return std::wstring(38, L'-');
}

}  // namespace

void TToolbarCustomizer::SetEntries(int Index, std::vector<TCustomizedControl> Entries)
{
    entries_.at(static_cast<size_t>(Index)) = std::move(Entries);
}

const std::vector<TCustomizedControl>& TToolbarCustomizer::Entries(int Index) const
{
    return entries_.at(static_cast<size_t>(Index));
}

void TToolbarCustomizer::StoreChecks(const std::vector<bool>& ShownChecks)
{
    if (current_ < 0)
        return;
    std::vector<TCustomizedControl>& entries = entries_[static_cast<size_t>(current_)];
    // Each row names its entry: a control the page leaves out shifts no
    // check onto the next one.
    for (size_t row = 0; row < shown_.size() && row < ShownChecks.size(); ++row) {
        const auto entry = static_cast<size_t>(shown_[row].Entry);
        if (entry < entries.size())
            entries[entry].Visible = ShownChecks[row];
    }
}

std::vector<TCustomizerRow> TToolbarCustomizer::ShowToolbar(int Index, const std::vector<bool>& ShownChecks)
{
    if (Index < 0 || Index >= kCustomizedToolbars)
        throw std::out_of_range("toolbar customiser: no such toolbar");
    StoreChecks(ShownChecks);
    current_ = Index;
    shown_.clear();
    const std::vector<TCustomizedControl>& entries = entries_[static_cast<size_t>(Index)];
    for (size_t i = 0; i < entries.size(); ++i) {
        const TCustomizedControl& entry = entries[i];
        TCustomizerRow row;
        row.Entry = static_cast<int>(i);
        row.Checked = entry.Visible;
        if (Index == kCommandLinePage) {
            row.Caption = L"Schaltflächen";
            row.Image = ciPanel;
            shown_.push_back(row);
            break;
        }
        switch (entry.Kind) {
        case TCustomizedKind::Button:
            row.Caption = entry.Caption;
            break;
        case TCustomizedKind::Separator:
            row.Caption = SeparatorCaption();
            row.Image = ciSeparator;
            break;
        case TCustomizedKind::FilterBox:
            row.Caption = L"Eingabefeld \"Dateifilter\"";
            row.Image = ciFilterBox;
            break;
        default:
            continue;
        }
        shown_.push_back(row);
    }
    return shown_;
}

TCustomizerPlan TToolbarCustomizer::Plan(const std::vector<bool>& ShownChecks, const std::vector<bool>& ToolbarChecks,
                                         int ButtonSize, bool TwoDriveToolbars)
{
    StoreChecks(ShownChecks);
    TCustomizerPlan plan;
    plan.ButtonSize = ButtonSize;
    plan.TwoDriveToolbars = TwoDriveToolbars;
    const auto checked = [&](size_t At) { return At < ToolbarChecks.size() && ToolbarChecks[At]; };
    for (size_t i = 0; i < kCustomizedToolbars; ++i)
        plan.ToolbarVisible[i] = checked(i);
    for (size_t i = 0; i < std::size(kListedAfterCustomized); ++i)
        plan.ToolbarVisible[static_cast<size_t>(kListedAfterCustomized[i])] = checked(kCustomizedToolbars + i);
    for (size_t t = 0; t < kCustomizedToolbars; ++t)
        for (const TCustomizedControl& entry : entries_[t]) {
            TControlChange change;
            change.Control = entry.Control;
            change.Visible = entry.Visible;
            change.Resize = entry.Kind == TCustomizedKind::Button;
            if (change.Resize)
                change.Size = ToolbarButtonSize(entry.Button, ButtonSize);
            plan.Controls[t].push_back(change);
        }
    return plan;
}

int SmallestButtonSize(int FilterBoxHeight)
{
    return std::max(kSmallestButtonSize, FilterBoxHeight);
}

}  // namespace qrv
