#include "editor/TabStopList.h"

#include "framework/StringList.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

int Saturated(int64_t value)
{
    return static_cast<int>(std::min<int64_t>(value, INT_MAX));
}

}  // namespace

void TTabStopList::SetText(const std::wstring& text)
{
    if (text == text_)
        return;
    TStringList items;
    items.SetCommaText(text);
    std::vector<int> stops;
    for (int i = 0; i < items.Count(); ++i) {
        const int stop = StrToInt(items[i]);
        if (stop <= 0 || (!stops.empty() && stop <= stops.back()))
            throw ETabStopError(L"Invalid Tab Stop");
        stops.push_back(stop);
    }
    if (stops.empty())
        stops.push_back(8);
    stops_ = std::move(stops);
    text_ = text;
    cache_.clear();
}

int TTabStopList::Interval() const
{
    return stops_.size() == 1 ? stops_.back() : stops_.back() - stops_[stops_.size() - 2];
}

int64_t TTabStopList::NextStop(int64_t column) const
{
    const int last = stops_.back();
    if (column < last)
        return *std::upper_bound(stops_.begin(), stops_.end(), column);
    const int64_t interval = Interval();
    return last + interval * ((column - last) / interval + 1);
}

int TTabStopList::TabEnd(int column) const
{
    if (column == BeyondEveryLine)
        return BeyondEveryLine;
    if (column < 0)
        column = 0;
    const int last = stops_.back();
    if (column >= last)
        return Saturated(NextStop(column));
    if (cache_.size() <= static_cast<size_t>(column)) {
        const size_t from = cache_.size();
        cache_.resize(static_cast<size_t>(column) + 1);
        for (size_t c = from; c < cache_.size(); ++c)
            cache_[c] = static_cast<int>(NextStop(static_cast<int64_t>(c)));
    }
    return cache_[column];
}

int TTabStopList::PreviousStop(int column) const
{
    if (column <= 0)
        return 0;
    const int64_t before = column - 1;
    const int last = stops_.back();
    if (before >= last) {
        const int64_t interval = Interval();
        return Saturated(last + interval * ((before - last) / interval));
    }
    const auto it = std::upper_bound(stops_.begin(), stops_.end(), before);
    return it == stops_.begin() ? 0 : *(it - 1);
}

std::u16string TTabStopList::ExpandTabs(std::u16string_view line) const
{
    std::u16string expanded;
    expanded.reserve(line.size());
    for (char16_t c : line) {
        if (c != u'\t') {
            expanded.push_back(c);
            continue;
        }
        const int position = Saturated(static_cast<int64_t>(expanded.size()));
        expanded.append(static_cast<size_t>(TabEnd(position) - position), u' ');
    }
    return expanded;
}

int TTabStopList::ColumnToIndex(std::u16string_view line, int column, int& inside, int& width) const
{
    inside = 0;
    width = 0;
    int64_t display = 0;  // the display column of the character at i
    for (size_t i = 0; i < line.size(); ++i) {
        if (display >= column)
            return static_cast<int>(i);
        if (line[i] != u'\t') {
            ++display;
            continue;
        }
        const int64_t end = TabEnd(Saturated(display));
        if (column < end) {
            inside = static_cast<int>(column - display);
            width = static_cast<int>(end - display);
            return static_cast<int>(i);
        }
        display = end;
    }
    return Saturated(static_cast<int64_t>(line.size()) + std::max<int64_t>(column - display, 0));
}

int TTabStopList::IndexToColumn(std::u16string_view line, int index) const
{
    if (index < 0)
        return -1;
    int64_t display = 0;
    const size_t count = std::min(line.size(), static_cast<size_t>(index) + 1);
    for (size_t i = 0; i < count; ++i)
        display = line[i] == u'\t' ? TabEnd(Saturated(display)) : display + 1;
    if (static_cast<size_t>(index) >= line.size())
        display += static_cast<int64_t>(index) - static_cast<int64_t>(line.size()) + 1;
    return Saturated(display - 1);
}

}  // namespace qrv
