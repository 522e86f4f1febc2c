// The editor's command core: moves, typing, deletes, tabs, block and case
// commands and the clipboard, each as one source update.

#include "editor/EasyEditCommands.h"

#include "editor/EasyEditSourceScopes.h"
#include "editor/EasyFindText.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

bool overwriteMode = false;

bool IsHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

char16_t LowerCase(char16_t c)
{
    if (IsHigh(c) || IsLow(c))
        return c;
    const auto lower = static_cast<uint32_t>(LowCaseChar(static_cast<wchar_t>(c)));
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : c;
}

char16_t UpperCase(char16_t c)
{
    return IsHigh(c) || IsLow(c) ? c : SearchUpperCase(c);
}

}  // namespace

bool EasyOverwriteMode()
{
    return overwriteMode;
}

void SetEasyOverwriteMode(bool on)
{
    overwriteMode = on;
}

// One source update around a command; the selection a command asks for is
// stored once the outermost update has told the views (which drop the
// selection on an edit).
class TEasyEditCommands::TUpdate {
public:
    TUpdate(TEasyEditCommands& commands, uint8_t kind) : commands_(commands)
    {
        ++commands_.depth_;
        commands_.Source().BeginUpdate(kind);
    }
    ~TUpdate()
    {
        TCustomEasyEditSource& source = commands_.Source();
        source.EndUpdate();
        if (--commands_.depth_ > 0)
            return;
        if (source.States() & csEdit)
            commands_.marker_.reset();
        if (std::optional<TPending> pending = std::exchange(commands_.pending_, std::nullopt))
            commands_.SetSelectionNow(pending->Start, pending->End, pending->Mode);
    }
    TUpdate(const TUpdate&) = delete;
    TUpdate& operator=(const TUpdate&) = delete;

private:
    TEasyEditCommands& commands_;
};

int TEasyEditCommands::StoredIndex(int line, int column, int* inside)
{
    TCustomEasyEditSource& source = Source();
    int within = 0, width = 0;
    const int index = (source.Options() & srUseTab)
                          ? source.TabStopList().ColumnToIndex(source.Strings().GetStored(line), column, within, width)
                          : column;
    if (inside)
        *inside = within;
    return index;
}

std::u16string TEasyEditCommands::Line(int line)
{
    const TEasyStrings& strings = Source().Strings();
    return line >= 0 && line < strings.Count() ? strings.Get(line) : std::u16string();
}

std::vector<std::u16string_view> TEasyEditCommands::SplitViews(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
}

std::vector<std::u16string> TEasyEditCommands::SplitLines(std::u16string_view text)
{
    const std::vector<std::u16string_view> views = SplitViews(text);
    return {views.begin(), views.end()};
}

// ---- selection -----------------------------------------------------------------

void TEasyEditCommands::SetSelectionNow(TEasyPoint start, TEasyPoint end, int mode)
{
    host_.StoreSelection(start, end, mode);
}

void TEasyEditCommands::SetSelectionAfter(TEasyPoint start, TEasyPoint end, int mode)
{
    if (depth_ > 0)
        pending_ = TPending{start, end, mode};
    else
        SetSelectionNow(start, end, mode);
}

TEasySelCorners TEasyEditCommands::Selection()
{
    // Corners kept while the text changed under them may stand inside a
    // pair of surrogates; a stream takes such a pair whole.
    TEasySelCorners sel = host_.Selection();
    if (host_.StoredSelMode() == smStream) {
        sel.Start = OffPair(sel.Start, false);
        sel.End = OffPair(sel.End, true);
    }
    return sel;
}

TEasyPoint TEasyEditCommands::OffPair(TEasyPoint point, bool forward)
{
    const std::u16string text = Line(point.Y);
    if (point.X > 0 && point.X < int(text.size()) && IsLow(text[size_t(point.X)]) && IsHigh(text[size_t(point.X - 1)]))
        point.X += forward ? 1 : -1;
    return point;
}

void TEasyEditCommands::BlockColumnsOn(int line, int& from, int& to)
{
    const TEasySelCorners sel = Selection();
    const TEasyBlockColumns columns = BlockColumns(sel.Start, sel.End, Has(eoReduceBlockSel));
    from = host_.XToColumn(line, host_.ColumnToX(sel.Start.Y, columns.Left));
    to = host_.XToColumn(line, host_.ColumnToX(sel.End.Y, columns.Right));
    // A pair of surrogates is inside or outside the block whole.
    const std::u16string text = Line(line);
    auto splits = [&](int column) {
        return column > 0 && column < int(text.size()) && IsLow(text[size_t(column)]) &&
               IsHigh(text[size_t(column - 1)]);
    };
    if (splits(from))
        --from;
    if (splits(to))
        ++to;
}

std::vector<std::u16string> TEasyEditCommands::SelectedLines()
{
    std::vector<std::u16string> lines;
    const int mode = host_.StoredSelMode();
    if (mode == smNone)
        return lines;
    const TEasySelCorners sel = Selection();
    const int count = Source().Strings().Count();
    if (mode == smBlock) {
        for (int y = sel.Start.Y; y <= sel.End.Y && y < count; ++y) {
            int from = 0, to = 0;
            BlockColumnsOn(y, from, to);
            const std::u16string text = Line(y);
            lines.push_back(from < int(text.size()) ? text.substr(size_t(from), size_t(to - from)) : u"");
        }
        return lines;
    }
    StreamPieces([&](std::u16string_view piece) { lines.emplace_back(piece); });
    return lines;
}

template <typename Visit>
void TEasyEditCommands::StreamPieces(Visit visit)
{
    // A stream keeps the tabs: display columns become stored characters.
    const TCustomEasyEditSource& source = Source();
    const TEasySelCorners sel = Selection();
    const int count = source.Strings().Count();
    auto index = [&](std::u16string_view stored, int column) {
        if (!(source.Options() & srUseTab))
            return std::min(column, int(stored.size()));
        int inside = 0, width = 0;
        return std::min(source.TabStopList().ColumnToIndex(stored, column, inside, width), int(stored.size()));
    };
    for (int y = sel.Start.Y; y <= sel.End.Y; ++y) {
        const std::u16string_view stored = y < count ? source.Strings().GetStored(y) : std::u16string_view();
        const int from = y == sel.Start.Y ? index(stored, sel.Start.X) : 0;
        const int to = y == sel.End.Y ? index(stored, sel.End.X) : int(stored.size());
        visit(stored.substr(size_t(from), size_t(std::max(to - from, 0))));
    }
}

std::u16string TEasyEditCommands::SelText()
{
    std::u16string text;
    auto join = [&text](auto&& each) {
        bool first = true;
        each([&](std::u16string_view piece) {
            if (!first)
                text += u"\r\n";
            first = false;
            text += piece;
        });
    };
    if (host_.StoredSelMode() == smStream) {
        // Straight from the lines, the size known first.
        size_t size = 0;
        StreamPieces([&size](std::u16string_view piece) { size += piece.size() + 2; });
        text.reserve(size);
        join([this](auto add) { StreamPieces(add); });
        return text;
    }
    const std::vector<std::u16string> lines = SelectedLines();
    join([&lines](auto add) {
        for (const std::u16string& line : lines)
            add(line);
    });
    return text;
}

void TEasyEditCommands::DeleteSelection()
{
    const int mode = host_.StoredSelMode();
    if (mode == smNone)
        return;
    TCustomEasyEditSource& source = Source();
    const TEasySelCorners sel = Selection();
    TUpdate update(*this, ukcDeleteSelection);
    const int count = source.Strings().Count();
    if (mode == smBlock) {
        int left = 0, unused = 0;
        BlockColumnsOn(sel.Start.Y, left, unused);
        for (int y = std::min(sel.End.Y, count - 1); y >= sel.Start.Y; --y) {
            int from = 0, to = 0;
            BlockColumnsOn(y, from, to);
            const int length = int(Line(y).size());
            if (from >= length)
                continue;
            source.SetCaretPos(from, y);
            source.DeleteChars(std::min(to, length) - from);
        }
        source.SetCaretPos(left, sel.Start.Y);
    } else {
        TEasyPoint end = sel.End;
        if (end.Y >= count) {
            end.Y = std::max(count - 1, 0);
            end.X = int(Line(end.Y).size());
        }
        if (end.Y == sel.Start.Y) {
            source.SetCaretPos(sel.Start.X, sel.Start.Y);
            source.DeleteChars(std::min(end.X, int(Line(end.Y).size())) - sel.Start.X);
        } else if (Before(sel.Start, end)) {
            // The start line's rest goes as a delete takes it (a tab the
            // start stands in keeps its blanks before the start), then the
            // lines up to the end's column in one change; a start beyond the
            // line's end is filled up with blanks first.
            source.SetCaretPos(sel.Start.X, sel.Start.Y);
            const int length = int(Line(sel.Start.Y).size());
            if (sel.Start.X < length)
                source.DeleteChars(length - sel.Start.X);
            const TEasyStrings& strings = source.Strings();
            const int kept = int(strings.GetStored(sel.Start.Y).size());
            const int fill = std::max(StoredIndex(sel.Start.Y, sel.Start.X) - kept, 0);
            int inside = 0;
            const int column = std::min(end.X, int(Line(end.Y).size()));
            int cut = StoredIndex(end.Y, column, &inside) + (inside > 0 ? 1 : 0);
            cut = std::min(cut, int(strings.GetStored(end.Y).size()));
            const std::u16string blanks(size_t(fill), u' ');
            source.ReplaceRange({kept, sel.Start.Y}, {cut, end.Y}, {blanks});
        }
        source.SetCaretPos(sel.Start.X, sel.Start.Y);
    }
    pending_.reset();
    host_.StoreSelection({}, {}, smNone);
}

void TEasyEditCommands::DeleteOverwritable()
{
    if (Has(eoOverwriteBlocks) && !Has(eoPersistentBlocks))
        DeleteSelection();
}

void TEasyEditCommands::SelectAll()
{
    const int last = std::max(Source().Strings().Count() - 1, 0);
    SetSelectionNow({0, 0}, {int(Line(last).size()), last}, smStream);
}

// ---- inserting -------------------------------------------------------------------

void TEasyEditCommands::TypeText(std::u16string_view text)
{
    TCustomEasyEditSource& source = Source();
    if (text.empty())
        return;
    if (source.ReadOnly()) {
        host_.Beep();
        return;
    }
    KeepOffSurrogateHalf(false);
    TUpdate update(*this, ukcTyping);
    DeleteOverwritable();
    if (overwriteMode) {
        // One character of the line for each one typed, pairs whole.
        size_t characters = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (!(IsLow(text[i]) && i > 0 && IsHigh(text[i - 1])))
                ++characters;
        for (; characters > 0; --characters) {
            const std::u16string line = Line(source.CaretY());
            const size_t x = size_t(source.CaretX());
            if (x >= line.size())
                break;
            source.DeleteChars(x + 1 < line.size() && IsHigh(line[x]) && IsLow(line[x + 1]) ? 2 : 1);
        }
    }
    InsertLines({text}, smStream);
    pending_.reset();
}

void TEasyEditCommands::TypeChar(char16_t c)
{
    const char16_t high = std::exchange(pendingHigh_, 0);
    if (IsHigh(c)) {
        pendingHigh_ = c;
        return;
    }
    if (IsLow(c)) {
        // A low half types only behind its high half.
        if (high)
            TypeText(std::u16string{high, c});
        return;
    }
    if (c < 32 || c == 127)
        return;
    TypeText(std::u16string(1, c));
}

void TEasyEditCommands::InsertBlock(const std::vector<std::u16string>& lines, int mode)
{
    InsertLines({lines.begin(), lines.end()}, mode);
}

void TEasyEditCommands::InsertLines(const std::vector<std::u16string_view>& lines, int mode)
{
    if (lines.empty())
        return;
    TCustomEasyEditSource& source = Source();
    if (source.ReadOnly()) {
        host_.Beep();
        return;
    }
    TUpdate update(*this, ukcInsertBlock);
    const TEasyPoint at = OffPair(source.CaretPoint(), false);
    // The display column behind text inserted at a column of a line.
    auto columnBehind = [&](int line, int column, size_t length) {
        if (!(source.Options() & srUseTab))
            return column + int(length);
        const std::u16string_view stored = source.Strings().GetStored(line);
        int inside = 0, width = 0;
        const int index = source.TabStopList().ColumnToIndex(stored, column, inside, width) + int(length);
        return index <= 0 ? 0 : source.TabStopList().IndexToColumn(stored, index - 1) + 1;
    };
    auto insertAt = [&](int column, int line, std::u16string_view text) {
        source.SetCaretPos(column, line);
        source.InsertText(text);
        // The text went in where the caret was (after a tab's blanks).
        source.SetCaretPos(columnBehind(line, column, text.size()), line);
    };
    if (lines.size() == 1) {
        insertAt(at.X, at.Y, lines[0]);
        const TEasyPoint end = source.CaretPoint();
        SetSelectionAfter(at, end, smStream);
        if (mode == smBlock) {
            const TEasyPoint below = OffPair({at.X, at.Y + 1}, false);
            source.SetCaretPos(below.X, below.Y);
        }
        return;
    }
    const int last = int(lines.size()) - 1;
    if (mode == smBlock) {
        const TEasySourceOptions saved = source.Options();
        source.SetOptions(saved | srBeyondEof);
        const ScopeExit restore([&] { source.SetOptions(saved); });
        // A line whose pair of surrogates stands at the column takes its
        // piece before the pair.
        for (int i = last; i >= 0; --i)
            insertAt(OffPair({at.X, at.Y + i}, false).X, at.Y + i, lines[size_t(i)]);
        source.SetCaretPos(columnBehind(at.Y + last, at.X, lines[size_t(last)].size()), at.Y + last);
        const int width = int(lines[0].size());
        const int right = at.X + width - (Has(eoReduceBlockSel) ? 0 : 1);
        if (width > 0)
            SetSelectionAfter(at, {right, at.Y + last}, smBlock);
        return;
    }
    // The first line goes in at the caret as typing puts it (blanks up to a
    // caret beyond the line's end, before a tab the caret stands in); the
    // others follow behind it in one change, the rest of the line behind
    // the last of them.
    const std::u16string_view before = source.Strings().GetStored(at.Y);
    const bool onLine = at.Y < source.Strings().Count();
    const int behind = onLine ? std::max(int(before.size()) - StoredIndex(at.Y, at.X), 0) : 0;
    insertAt(at.X, at.Y, lines[0]);
    const int split = int(source.Strings().GetStored(at.Y).size()) - behind;
    std::vector<std::u16string_view> rest = lines;
    rest.front() = {};
    source.ReplaceRange({split, at.Y}, {split, at.Y}, rest);
    source.SetCaretPos(columnBehind(at.Y + last, 0, lines[size_t(last)].size()), at.Y + last);
    SetSelectionAfter(at, source.CaretPoint(), smStream);
}

void TEasyEditCommands::SetSelText(std::u16string_view text)
{
    TUpdate update(*this, ukcTransform);
    int mode = smStream;
    if (HasSelection()) {
        mode = host_.StoredSelMode();
        DeleteSelection();
    }
    InsertLines(SplitViews(text), mode);
}

// ---- templates and completion ---------------------------------------------------

std::optional<int> TEasyEditCommands::WordStartBeforeCaret()
{
    const TCustomEasyEditSource& source = Source();
    const std::u16string line = Line(source.CaretY());
    int x = std::min(source.CaretX(), int(line.size()));
    if (x < source.CaretX() || x == 0)
        return std::nullopt;  // beyond the line end or at its start
    auto inWord = [&](int i) {
        const char16_t c = line[size_t(i)];
        return c != 1 && !IsEditBlank(c) && !source.IsDelimiter(c);
    };
    if (!inWord(x - 1))
        return std::nullopt;
    while (x > 0 && inWord(x - 1))
        --x;
    return x;
}

void TEasyEditCommands::SelectBeforeCaret(int column)
{
    const TEasyPoint caret = Source().CaretPoint();
    TUpdate update(*this, ukcMove);
    SetSelectionAfter({column, caret.Y}, caret, smStream);
}

void TEasyEditCommands::InsertTemplate(const std::vector<std::u16string>& code)
{
    TCustomEasyEditSource& source = Source();
    if (code.empty())
        return;
    if (source.ReadOnly()) {
        host_.Beep();
        return;
    }
    TUpdate update(*this, ukcInsertBlock);
    DeleteSelection();
    const TEasyPoint at = OffPair(source.CaretPoint(), false);
    // Every line after the first starts at the caret column (blank lines
    // stay empty); the first "|" splits the text where the caret goes.
    std::vector<std::u16string> head, tail;
    bool split = false;
    for (size_t i = 0; i < code.size(); ++i) {
        std::u16string line = code[i];
        if (i > 0 && !line.empty())
            line.insert(0, size_t(at.X), u' ');
        if (split) {
            tail.push_back(std::move(line));
            continue;
        }
        const size_t bar = line.find(u'|');
        if (bar == std::u16string::npos) {
            head.push_back(std::move(line));
            continue;
        }
        split = true;
        head.push_back(line.substr(0, bar));
        tail.push_back(line.substr(bar + 1));
    }
    InsertBlock(head, smStream);
    const TEasyPoint caret = source.CaretPoint();
    if (!tail.empty()) {
        InsertBlock(tail, smStream);
        source.SetCaretPos(caret.X, caret.Y);
    }
    pending_.reset();
    host_.StoreSelection({}, {}, smNone);
}

void TEasyEditCommands::ReplaceOnCaretLine(int from, int to, std::u16string_view text, uint8_t kind)
{
    TCustomEasyEditSource& source = Source();
    if (source.ReadOnly()) {
        host_.Beep();
        return;
    }
    TUpdate update(*this, kind);
    const TEasyPoint caret = source.CaretPoint();
    const int length = int(Line(caret.Y).size());
    to = std::clamp(to, 0, caret.X);
    from = std::clamp(from, 0, to);
    if (from < length) {
        source.SetCaretPos(from, caret.Y);
        source.DeleteChars(std::min(to, length) - from);
    }
    source.SetCaretPos(from, caret.Y);
    if (!text.empty())
        InsertLines({text}, smStream);
    const TEasyPoint behind = source.CaretPoint();
    source.SetCaretPos(behind.X + caret.X - to, behind.Y);
    pending_.reset();
    host_.StoreSelection({}, {}, smNone);
}

// ---- clipboard ------------------------------------------------------------------

bool TEasyEditCommands::CopyToClipboard()
{
    if (!HasSelection())
        return Has(eoForceCutCopy) && host_.PutOnClipboard(u"", false);
    return host_.PutOnClipboard(SelText(), host_.StoredSelMode() == smBlock);
}

bool TEasyEditCommands::CutToClipboard()
{
    if (!HasSelection())
        return CopyToClipboard();
    if (Source().ReadOnly() || !CopyToClipboard()) {
        // The text stays where it is unless the clipboard holds it.
        host_.Beep();
        return false;
    }
    DeleteSelection();
    return true;
}

void TEasyEditCommands::PasteFromClipboard()
{
    bool block = false;
    const std::optional<std::u16string> text = host_.ReadClipboard(block);
    if (!text)
        return;
    if (Source().ReadOnly()) {
        host_.Beep();
        return;
    }
    TUpdate update(*this, ukcTyping);
    DeleteOverwritable();
    InsertLines(SplitViews(*text), block ? smBlock : smStream);
    if (!Has(eoPersistentBlocks)) {
        pending_.reset();
        host_.StoreSelection({}, {}, smNone);
    }
}

// ---- moves -----------------------------------------------------------------------

void TEasyEditCommands::KeepOffSurrogateHalf(bool forward)
{
    TCustomEasyEditSource& source = Source();
    const std::u16string line = Line(source.CaretY());
    const int x = source.CaretX();
    if (x > 0 && x < int(line.size()) && IsLow(line[size_t(x)]) && IsHigh(line[size_t(x - 1)]))
        source.SetCaretX(forward ? x + 1 : x - 1);
}

void TEasyEditCommands::MoveVertically(int rows)
{
    if (host_.MoveCaretByRows(rows))
        return;
    TCustomEasyEditSource& source = Source();
    int last = std::max(source.Strings().Count() - 1, 0);
    if (source.Options() & srBeyondEof)
        last = std::max(last, source.CaretY() + std::max(rows, 0));
    const int64_t target = std::clamp<int64_t>(int64_t(source.CaretY()) + rows, 0, last);
    source.SetCaretPos(source.CaretX(), int(target));
    KeepOffSurrogateHalf(false);
}

void TEasyEditCommands::WordLeft()
{
    TCustomEasyEditSource& source = Source();
    const int y = source.CaretY();
    const std::u16string line = Line(y);
    auto delimiter = [&](int i) { return line[size_t(i)] == 1 || source.IsDelimiter(line[size_t(i)]); };
    int x = std::min(source.CaretX(), int(line.size()));
    while (x > 0 && delimiter(x - 1))
        --x;
    if (x == 0) {
        if (y > 0)
            source.SetCaretPos(int(Line(y - 1).size()), y - 1);
        else
            source.SetCaretPos(0, 0);
        return;
    }
    while (x > 0 && !delimiter(x - 1))
        --x;
    source.SetCaretPos(x, y);
}

void TEasyEditCommands::WordRight()
{
    TCustomEasyEditSource& source = Source();
    const int y = source.CaretY();
    const std::u16string line = Line(y);
    auto delimiter = [&](int i) { return line[size_t(i)] == 1 || source.IsDelimiter(line[size_t(i)]); };
    int x = source.CaretX();
    if (x >= int(line.size())) {
        if (y + 1 < source.Strings().Count())
            source.SetCaretPos(0, y + 1);
        return;
    }
    while (x < int(line.size()) && !delimiter(x))
        ++x;
    while (x < int(line.size()) && delimiter(x))
        ++x;
    source.SetCaretPos(x, y);
}

bool TEasyEditCommands::Move(int code)
{
    TUpdate update(*this, ukcMove);
    if (!MoveCaret(code))
        return false;
    // No move ends between the halves of a pair.
    const bool forward = code == 1 || code == 3 || code == 5 || code == 9 || code == 11 || code == 13 || code == 43;
    KeepOffSurrogateHalf(forward);
    return true;
}

bool TEasyEditCommands::MoveCaret(int code)
{
    TCustomEasyEditSource& source = Source();
    const int y = source.CaretY();
    const int last = std::max(source.Strings().Count() - 1, 0);
    switch (code) {
    case 0:
    case 1:
        MoveVertically(code == 0 ? -1 : 1);
        return true;
    case 2:
        source.CaretLeft();
        KeepOffSurrogateHalf(false);
        return true;
    case 3:
        source.CaretRight();
        KeepOffSurrogateHalf(true);
        return true;
    case 4:
    case 5: {
        // One visible row less than the window shows, one row at least.
        const int rows = std::max(host_.VisibleRowCount() - 1, 1);
        MoveVertically(code == 4 ? -rows : rows);
        return true;
    }
    case 8:
        WordLeft();
        return true;
    case 9:
        WordRight();
        return true;
    case 10:
        source.SetCaretPos(0, y);
        return true;
    case 11: {
        const std::u16string line = Line(y);
        int end = int(line.size());
        if (!(source.Options() & srLeaveTrailSpaces))
            while (end > 0 && IsEditBlank(line[size_t(end - 1)]))
                --end;
        source.SetCaretPos(end, y);
        return true;
    }
    case 12:
        source.SetCaretPos(0, 0);
        return true;
    case 13:
        source.SetCaretPos(int(Line(last).size()), last);
        return true;
    case 42:
    case 43: {
        if (!HasSelection())
            return true;
        const TEasySelCorners sel = Selection();
        const TEasyPoint corner = code == 42 ? sel.Start : sel.End;
        source.SetCaretPos(corner.X, corner.Y);
        return true;
    }
    default:
        return false;
    }
}

void TEasyEditCommands::MoveExtending(int code, int mode)
{
    TCustomEasyEditSource& source = Source();
    const TEasyPoint from = source.CaretPoint();
    const int oldMode = host_.StoredSelMode();
    const TEasySelCorners sel = Selection();
    std::optional<TEasyPoint> anchor;
    if (oldMode == smStream) {
        if (from == sel.Start)
            anchor = sel.End;
        else if (from == sel.End)
            anchor = sel.Start;
    } else if (oldMode == smBlock) {
        // The corner across the rectangle from the caret stays.
        if ((from.X == sel.Start.X || from.X == sel.End.X) && (from.Y == sel.Start.Y || from.Y == sel.End.Y))
            anchor = TEasyPoint{from.X == sel.Start.X ? sel.End.X : sel.Start.X,
                                from.Y == sel.Start.Y ? sel.End.Y : sel.Start.Y};
    }
    if (!Move(code) && !host_.ViewCommand(code))
        return;
    SetSelectionNow(anchor.value_or(from), source.CaretPoint(), mode);
}

// ---- deleting -------------------------------------------------------------------

bool TEasyEditCommands::DeleteCommand(int code)
{
    if (HasSelection() && !Has(eoPersistentBlocks)) {
        DeleteSelection();
        return true;
    }
    TCustomEasyEditSource& source = Source();
    const int x = source.CaretX(), y = source.CaretY();
    const int count = source.Strings().Count();
    const std::u16string line = Line(y);
    const int length = int(line.size());
    TUpdate update(*this, ukcDeletion);
    switch (code) {
    case 2:
        if (y >= count) {
            if (x > 0)
                source.SetCaretX(x - 1);
            else if (y > 0)
                source.SetCaretPos(int(Line(y - 1).size()), y - 1);
        } else if (x > length) {
            source.SetCaretX(x - 1);
        } else if (x >= 2 && IsLow(line[size_t(x - 1)]) && IsHigh(line[size_t(x - 2)])) {
            source.SetCaretX(x - 2);
            source.DeleteChars(2);
        } else if (x > 0) {
            source.BackUnindent();
        } else if (y > 0) {
            const std::u16string above = Line(y - 1);
            int end = int(above.size());
            if (!(source.Options() & srLeaveTrailSpaces))
                while (end > 0 && IsEditBlank(above[size_t(end - 1)]))
                    --end;
            source.SetCaretPos(end, y - 1);
            source.DeleteChars(int(above.size()) - end);
            source.JoinLines();
        }
        return true;
    case 3:
        if (y >= count)
            return true;
        if (x < length)
            source.DeleteChars(x + 1 < length && IsHigh(line[size_t(x)]) && IsLow(line[size_t(x + 1)]) ? 2 : 1);
        else
            source.JoinLines();
        return true;
    case 8:
    case 9:
    case 10:
    case 11: {
        Move(code);
        const TEasyPoint to = source.CaretPoint();
        source.SetCaretPos(x, y);
        SetSelectionNow({x, y}, to, smStream);
        DeleteSelection();
        return true;
    }
    case 48:
        SelectLine();
        DeleteSelection();
        return true;
    case 60:
        SelectAll();
        DeleteSelection();
        return true;
    default:
        // Bound by some key map, but no deletion of its own.
        return true;
    }
}

// ---- lines and tabs -------------------------------------------------------------

void TEasyEditCommands::NewLine()
{
    TCustomEasyEditSource& source = Source();
    if (source.ReadOnly()) {
        host_.Beep();
        return;
    }
    const int x = source.CaretX(), y = source.CaretY();
    const bool autoIndent = (source.Options() & srAutoIndent) != 0;
    int indent = 0;
    if (autoIndent && x > 0) {
        for (int line = std::min(y, source.Strings().Count() - 1); line >= 0; --line) {
            const std::u16string text = Line(line);
            const int first = FirstNonBlank(text) - 1;
            if (first < int(text.size()) && first <= x) {
                indent = first;
                break;
            }
        }
    }
    TUpdate update(*this, ukcNewLine);
    if (!overwriteMode || y + 1 >= source.Strings().Count()) {
        if (overwriteMode)
            source.SetCaretPos(int(Line(y).size()), y);
        source.BreakLine();
    }
    source.SetCaretPos(0, y + 1);
    if (autoIndent)
        source.AutoIndent(!overwriteMode, indent);
}

void TEasyEditCommands::IndentLines(bool indent, const std::u16string& unit)
{
    if (!HasSelection())
        return;
    TCustomEasyEditSource& source = Source();
    const int mode = host_.StoredSelMode();
    const TEasySelCorners sel = Selection();
    // Each piece's length and what it gains (the unit's length) or loses
    // (minus its blanks); a stream's pieces are read where they stand.
    std::vector<int> lengths, change;
    bool changed = false;
    auto measure = [&](std::u16string_view piece) {
        int gain = 0;
        if (indent) {
            gain = piece.empty() ? 0 : int(unit.size());
        } else {
            size_t blanks = 0;
            while (blanks < unit.size() && blanks < piece.size() && (piece[blanks] == u' ' || piece[blanks] == u'\t'))
                ++blanks;
            gain = -int(blanks);
        }
        lengths.push_back(int(piece.size()));
        change.push_back(gain);
        changed = changed || gain != 0;
    };
    if (mode == smStream) {
        StreamPieces(measure);
    } else {
        for (const std::u16string& piece : SelectedLines())
            measure(piece);
    }
    if (!changed)
        return;
    // Each piece changes where it starts, in place: the lines between are
    // neither taken out nor put back, so a long block indents at once.
    const bool useTab = (source.Options() & srUseTab) != 0;
    auto indexOf = [&](int line, int column) {
        if (!useTab)
            return column;
        int inside = 0, width = 0;
        return source.TabStopList().ColumnToIndex(source.Strings().GetStored(line), column, inside, width);
    };
    auto columnOf = [&](int line, int index) {
        if (!useTab || index <= 0)
            return std::max(index, 0);
        return source.TabStopList().IndexToColumn(source.Strings().GetStored(line), index - 1) + 1;
    };
    auto pieceStart = [&](int i) {
        const int y = sel.Start.Y + i;
        if (mode == smBlock) {
            int from = 0, to = 0;
            BlockColumnsOn(y, from, to);
            return from;
        }
        return i == 0 ? sel.Start.X : 0;
    };
    const int last = int(lengths.size()) - 1;
    std::vector<int> starts(lengths.size());
    for (int i = 0; i <= last; ++i)
        starts[size_t(i)] = pieceStart(i);
    TUpdate update(*this, ukcTransform);
    if (!useTab && sel.Start.Y + last < source.Strings().Count()) {
        // Columns are characters: every line gets its new text in one
        // change, however many there are.
        std::vector<std::u16string> texts;
        texts.reserve(lengths.size());
        for (int i = 0; i <= last; ++i) {
            const std::u16string_view stored = source.Strings().GetStored(sel.Start.Y + i);
            const size_t from = size_t(std::min(starts[size_t(i)], int(stored.size())));
            const int gain = change[size_t(i)];
            std::u16string& text = texts.emplace_back();
            text.reserve(stored.size() + size_t(std::max(gain, 0)));
            text.append(stored.substr(0, from));
            if (gain > 0)
                text.append(unit);
            text.append(stored.substr(std::min(from + size_t(std::max(-gain, 0)), stored.size())));
        }
        source.ReplaceLines(sel.Start.Y, {texts.begin(), texts.end()});
    } else {
        for (int i = last; i >= 0; --i) {
            const int y = sel.Start.Y + i, from = starts[size_t(i)];
            if (change[size_t(i)] == 0)
                continue;
            source.SetCaretPos(from, y);
            if (change[size_t(i)] > 0) {
                source.InsertText(unit);
                continue;
            }
            // The blanks' display columns (a block's pieces are display text).
            int width = -change[size_t(i)];
            if (mode != smBlock && useTab) {
                const int index = indexOf(y, from);
                width = columnOf(y, index + width) - from;
            }
            source.DeleteChars(width);
        }
    }
    const int lastLine = sel.Start.Y + last;
    if (mode == smBlock) {
        const int left = starts[0];
        const int width = lengths[0] + change[0];
        const int lastWidth = lengths[size_t(last)] + change[size_t(last)];
        source.SetCaretPos(starts[size_t(last)] + lastWidth, lastLine);
        if (width > 0)
            SetSelectionAfter({left, sel.Start.Y}, {left + width - (Has(eoReduceBlockSel) ? 0 : 1), lastLine}, smBlock);
        else
            SetSelectionAfter({}, {}, smNone);
        return;
    }
    // The stream's end moves with its last piece.
    const int endIndex = indexOf(lastLine, starts[size_t(last)]) + lengths[size_t(last)] + change[size_t(last)];
    const TEasyPoint end{columnOf(lastLine, endIndex), lastLine};
    source.SetCaretPos(end.X, end.Y);
    SetSelectionAfter(sel.Start, end, smStream);
}

void TEasyEditCommands::Transform(int code)
{
    if (!HasSelection())
        return;
    TCustomEasyEditSource& source = Source();
    const int mode = host_.StoredSelMode();
    const TEasySelCorners sel = Selection();
    const TEasyPoint caret = source.CaretPoint();
    std::vector<std::u16string> lines = SelectedLines();
    const std::vector<std::u16string> before = lines;
    for (std::u16string& line : lines) {
        bool wordStart = true;
        for (char16_t& c : line) {
            switch (code) {
            case 35:
                c = UpperCase(c);
                break;
            case 36:
                c = LowerCase(c);
                break;
            case 46:
                c = UpperCase(c) != c ? UpperCase(c) : LowerCase(c);
                break;
            default:
                c = wordStart ? UpperCase(c) : LowerCase(c);
                wordStart = source.IsDelimiter(c);
                break;
            }
        }
    }
    if (lines == before)
        return;
    TUpdate update(*this, ukcTransform);
    int left = sel.Start.X, unused = 0;
    if (mode == smBlock)
        BlockColumnsOn(sel.Start.Y, left, unused);
    DeleteSelection();
    source.SetCaretPos(left, sel.Start.Y);
    InsertBlock(lines, mode);
    source.SetCaretPos(caret.X, caret.Y);
}

void TEasyEditCommands::ChangeWordCase(bool upper)
{
    TCustomEasyEditSource& source = Source();
    const TEasyPoint caret = source.CaretPoint();
    int start = 0, end = 0;
    source.WordBounds(caret, wbWord, start, end);
    if (end < start || start <= 0)
        return;
    const std::u16string line = Line(caret.Y);
    std::u16string word = line.substr(size_t(start - 1), size_t(end - start + 1));
    const std::u16string old = word;
    for (char16_t& c : word)
        c = upper ? UpperCase(c) : LowerCase(c);
    if (word == old)
        return;
    const int oldMode = host_.StoredSelMode();
    const TEasySelCorners sel = Selection();
    TUpdate update(*this, ukcTransform);
    source.SetCaretPos(start - 1, caret.Y);
    source.DeleteChars(int(word.size()));
    source.InsertText(word);
    source.SetCaretPos(caret.X, caret.Y);
    if (oldMode != smNone)
        SetSelectionAfter(sel.Start, sel.End, oldMode);
}

void TEasyEditCommands::SelectWord()
{
    TCustomEasyEditSource& source = Source();
    const TEasyPoint caret = source.CaretPoint();
    int start = 0, end = 0;
    source.WordBounds(caret, wbWord, start, end);
    if (end >= start && start > 0)
        SetSelectionNow({start - 1, caret.Y}, {end, caret.Y}, smStream);
}

void TEasyEditCommands::SelectLine()
{
    const int y = Source().CaretY();
    if (y + 1 < Source().Strings().Count())
        SetSelectionNow({0, y}, {0, y + 1}, smStream);
    else
        SetSelectionNow({0, y}, {int(Line(y).size()), y}, smStream);
}

void TEasyEditCommands::Tab()
{
    TCustomEasyEditSource& source = Source();
    const int x = source.CaretX(), y = source.CaretY();
    const bool useTab = (source.Options() & srUseTab) != 0;
    const std::u16string unit =
        useTab ? std::u16string(1, u'\t') : std::u16string(size_t(source.TabStopList().TabEnd(x) - x), u' ');
    const TEasySelCorners sel = Selection();
    if (Has(eoEnTabBlock) && HasSelection() && sel.End.Y > sel.Start.Y) {
        IndentLines(true, unit);
        indentText_.clear();
        return;
    }
    if (source.ReadOnly()) {
        host_.Beep();
        return;
    }
    TUpdate update(*this, ukcTyping);
    DeleteOverwritable();
    if (useTab) {
        InsertBlock({unit}, smStream);
        pending_.reset();
        return;
    }
    int target = source.TabStopList().TabEnd(source.CaretX());
    if (source.Options() & srSmartTab) {
        const int column = source.CaretX();
        for (int line = std::min(source.CaretY(), source.Strings().Count() - 1); line >= 0; --line) {
            const std::u16string text = Line(line);
            if (int(text.size()) <= column)
                continue;
            const int first = FirstNonBlank(text) - 1;
            if (column < first) {
                target = first;
            } else {
                int p = column;
                while (p < int(text.size()) && !IsEditBlank(text[size_t(p)]))
                    ++p;
                while (p < int(text.size()) && IsEditBlank(text[size_t(p)]))
                    ++p;
                if (p > column)
                    target = p;
            }
            break;
        }
    }
    InsertBlock({std::u16string(size_t(std::max(target - source.CaretX(), 0)), u' ')}, smStream);
    pending_.reset();
    (void)y;
}

void TEasyEditCommands::BackTab()
{
    TCustomEasyEditSource& source = Source();
    const int x = source.CaretX();
    const TEasySelCorners sel = Selection();
    if (Has(eoEnTabBlock) && HasSelection() && sel.End.Y > sel.Start.Y) {
        const std::u16string unit = (source.Options() & srUseTab)
                                        ? std::u16string(1, u'\t')
                                        : std::u16string(size_t(source.TabStopList().TabEnd(x) - x), u' ');
        IndentLines(false, unit);
        // Later indents and unindents use the same unit.
        indentText_ = unit;
        return;
    }
    TUpdate update(*this, ukcMove);
    source.SetCaretX(source.TabStopList().PreviousStop(x));
}

bool TEasyEditCommands::LineCommand(int code)
{
    switch (code) {
    case 16:
        NewLine();
        return true;
    case 18:
        Tab();
        return true;
    case 19:
        BackTab();
        return true;
    default:
        return host_.OtherCommand(TEasyKeyHandler::LineCommand, code);
    }
}

// ---- block commands -------------------------------------------------------------

bool TEasyEditCommands::BlockCommand(int code)
{
    TCustomEasyEditSource& source = Source();
    const TEasyPoint caret = source.CaretPoint();
    switch (code) {
    case 22:
        CopyToClipboard();
        return true;
    case 23:
        CutToClipboard();
        return true;
    case 24:
        PasteFromClipboard();
        return true;
    case 25:
    case 41:
        DeleteSelection();
        return true;
    case 29:
    case 38: {
        if (HasSelection()) {
            const TEasySelCorners sel = Selection();
            if (code == 29)
                SetSelectionNow(caret, sel.End, host_.StoredSelMode());
            else
                SetSelectionNow(sel.Start, caret, host_.StoredSelMode());
        } else if (marker_) {
            const TEasyPoint from = code == 29 ? caret : *marker_;
            const TEasyPoint to = code == 29 ? *marker_ : caret;
            if (Before(from, to))
                SetSelectionNow(from, to, smStream);
            marker_ = caret;
        } else {
            marker_ = caret;
        }
        return true;
    }
    case 30:
        if (HasSelection()) {
            const int mode = host_.StoredSelMode();
            InsertBlock(SelectedLines(), mode);
        }
        return true;
    case 31:
    case 32:
        ChangeWordCase(code == 32);
        return true;
    case 33:
    case 37: {
        const std::u16string unit =
            indentText_.empty() ? std::u16string(size_t(std::max(BlockIndent, 0)), u' ') : indentText_;
        IndentLines(code == 33, unit);
        return true;
    }
    case 34:
        SelectLine();
        return true;
    case 35:
    case 36:
    case 46:
    case 59:
        Transform(code);
        return true;
    case 39:
        SelectWord();
        return true;
    case 40: {
        if (!HasSelection())
            return true;
        const int mode = host_.StoredSelMode();
        const TEasySelCorners sel = Selection();
        const std::vector<std::u16string> lines = SelectedLines();
        TEasyPoint target = caret;
        if (mode == smStream) {
            if (!Before(caret, sel.Start) && Before(caret, sel.End))
                return true;
            if (!Before(caret, sel.End)) {
                if (caret.Y == sel.End.Y)
                    target = {sel.Start.X + caret.X - sel.End.X, sel.Start.Y};
                else
                    target.Y -= sel.End.Y - sel.Start.Y;
            }
        } else {
            int from = 0, to = 0;
            BlockColumnsOn(caret.Y, from, to);
            if (caret.Y >= sel.Start.Y && caret.Y <= sel.End.Y) {
                if (caret.X >= from && caret.X < to)
                    return true;
                if (caret.X >= to)
                    target.X -= to - from;
            }
        }
        TUpdate update(*this, ukcTransform);
        DeleteSelection();
        source.SetCaretPos(target.X, target.Y);
        InsertBlock(lines, mode);
        return true;
    }
    case 44:
        SelectAll();
        return true;
    case 58:
        host_.StoreSelection({}, {}, smNone);
        return true;
    case 64:
    case 65: {
        const int x = caret.X;
        const std::u16string unit = (source.Options() & srUseTab)
                                        ? std::u16string(1, u'\t')
                                        : std::u16string(size_t(source.TabStopList().TabEnd(x) - x), u' ');
        IndentLines(code == 64, unit);
        if (code == 64)
            indentText_.clear();
        else
            indentText_ = unit;
        return true;
    }
    case 66: {
        const int y = caret.Y;
        SetSelectionNow({0, y}, {int(Line(y).size()), y}, smStream);
        return true;
    }
    default:
        // Bound by some key map, but no block command of its own.
        return true;
    }
}

// ---- dispatch -------------------------------------------------------------------

bool TEasyEditCommands::Execute(TEasyKeyHandler handler, int code)
{
    TCustomEasyEditSource& source = Source();
    // A caret left between the halves of a pair (by a view or a bookmark)
    // stands before the pair.
    KeepOffSurrogateHalf(false);
    switch (handler) {
    case TEasyKeyHandler::ExecuteCommand:
        if (HideCaret && code >= 0 && code <= 3)
            return host_.ViewCommand(code);
        if (Move(code)) {
            if (!Has(eoPersistentBlocks) && code != 42 && code != 43)
                host_.StoreSelection({}, {}, smNone);
            return true;
        }
        return host_.ViewCommand(code);
    case TEasyKeyHandler::MoveExtendingSelection:
        MoveExtending(code, smStream);
        return true;
    case TEasyKeyHandler::MoveExtendingColumnSelection:
        MoveExtending(code, smBlock);
        return true;
    case TEasyKeyHandler::ExecuteBlockCommand:
        return BlockCommand(code);
    case TEasyKeyHandler::DeleteCommand:
        return DeleteCommand(code);
    case TEasyKeyHandler::CharCommand:
        if (code == 51 && !source.ReadOnly()) {
            const TEasyPoint caret = source.CaretPoint();
            TUpdate update(*this, ukcNewLine);
            source.BreakLine();
            source.SetCaretPos(caret.X, caret.Y);
        }
        return true;
    case TEasyKeyHandler::LineCommand:
        return LineCommand(code);
    case TEasyKeyHandler::UndoCommand:
        if (code == 20)
            source.Undo();
        else if (code == 21)
            source.Redo();
        return true;
    case TEasyKeyHandler::ToggleCommand:
        if (code == 53) {
            SetEasyOverwriteMode(!EasyOverwriteMode());
            return true;
        }
        return host_.OtherCommand(handler, code);
    case TEasyKeyHandler::SetBookmarkCommand:
        if (code >= 0 && code <= 9)
            source.ToggleBookmark(code, source.CaretPoint());
        return true;
    case TEasyKeyHandler::GotoBookmarkCommand:
        if (code >= 0 && code <= 9)
            source.GotoBookmark(code);
        return true;
    case TEasyKeyHandler::JumpToMatchingBracket: {
        TEasyPoint match;
        const TEasyPoint caret = source.CaretPoint();
        if (source.MatchBracketForward(caret, match) || source.MatchBracketBackward(caret, match)) {
            TUpdate update(*this, ukcMove);
            source.SetCaretPos(match.X, match.Y);
        }
        return true;
    }
    case TEasyKeyHandler::None:
        return false;
    default:
        return host_.OtherCommand(handler, code);
    }
}

}  // namespace qrv
