#include "editor/EasySearchRunner.h"

#include "editor/EasySelMode.h"
#include "editor/WideText.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <tuple>

namespace qrv {

const wchar_t* const kEasyNoSelectionText = L"Es ist kein Textbereich markiert, in dem gesucht werden könnte";

std::wstring EasyNotFoundText(const std::wstring& text)
{
    return L"Text '" + text + L"' nicht gefunden";
}

std::wstring EasyReplacePromptText(const std::wstring& text)
{
    return L"Dieses Vorkommen von '" + text + L"' ersetzen?";
}

namespace {

// A text with a blank or control character cannot be one whole word.
bool HasWordDelimiter(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 1 && c <= 32; });
}

bool Inside(TEasyPoint point, const TEasySelCorners& sel, int mode, bool reduceBlock)
{
    if (mode == smBlock) {
        const TEasyBlockColumns columns = BlockColumns(sel.Start, sel.End, reduceBlock);
        return point.Y >= sel.Start.Y && point.Y <= sel.End.Y && point.X >= columns.Left && point.X < columns.Right;
    }
    return !Before(point, sel.Start) && !Before(sel.End, point);
}

}  // namespace

// Counts a lock for the life of a scope.
class TEasySearchRunner::TLock {
public:
    explicit TLock(int& count) : count_(++count) {}
    ~TLock() { --count_; }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    int& count_;
};

void TEasySearchRunner::ClearMatch()
{
    if (matchLength_ < 0)
        return;
    matchLength_ = -1;
    host_.SearchMatchChanged();
}

void TEasySearchRunner::SetMatch(TEasyPoint start, int length)
{
    matchStart_ = start;
    matchLength_ = length;
    host_.SearchMatchChanged();
}

bool TEasySearchRunner::FindFromDialog()
{
    settings_.FirstSearch = true;
    settings_.InReplace = false;
    return Find();
}

void TEasySearchRunner::ReplaceFromDialog()
{
    settings_.FirstSearch = true;
    settings_.InReplace = true;
    Replace();
}

bool TEasySearchRunner::SearchFromCaret(TEasySearchSettings& settings, TEasyPoint& start, int& length)
{
    TCustomEasyEditSource& source = editor_.Source();
    const bool inSelection = settings.Scope == TEasySearchScope::scSelectedText;
    const TEasyStrings* lines = &source.Strings();
    // Where the searched lines begin in the text: the selection's first
    // line, and each line's first column.
    int firstLine = 0;
    int firstColumn = 0;  // the selection's first line (a block: every line)
    bool block = false;
    TEasyPoint caret = source.CaretPoint();
    if (inSelection) {
        const TEasySelCorners sel = editor_.Selection();
        const int mode = editor_.StoredSelMode();
        block = mode == smBlock;
        const bool reduce = (editor_.CommandOptions() & eoReduceBlockSel) != 0;
        if (settings.FirstSearch && settings.Origin == TEasySearchOrigin::sgFromCursor &&
            !Inside(caret, sel, mode, reduce)) {
            source.SetCaretPos(sel.Start.X, sel.Start.Y);
            caret = source.CaretPoint();
        }
        selectionLines_.Clear();
        for (const std::u16string& line : commands_.SelectedLines())
            selectionLines_.Add(line);
        lines = &selectionLines_;
        firstLine = sel.Start.Y;
        firstColumn = block ? BlockColumns(sel.Start, sel.End, reduce).Left : sel.Start.X;
        caret.Y -= firstLine;
        if (block || caret.Y == 0)
            caret.X -= firstColumn;
        caret.Y = std::clamp(caret.Y, 0, std::max(lines->Count() - 1, 0));
        caret.X = std::max(caret.X, 0);
    }
    if (!SearchLines(settings, *lines, caret, start, length))
        return false;
    if (inSelection) {
        if (block || start.Y == 0)
            start.X += firstColumn;
        start.Y += firstLine;
    }
    return true;
}

bool TEasySearchRunner::SearchLines(TEasySearchSettings& settings, const TEasyStrings& lines, TEasyPoint caret,
                                    TEasyPoint& start, int& length)
{
    const bool forward = settings.Direction == TEasySearchDirection::srForward;
    // Columns from 1: forward from the character under the caret, backward
    // from the one before it.
    TEasyPoint pos{forward ? caret.X + 1 : caret.X, caret.Y};
    const TEasyPoint origin = caret;
    const bool fromScopeStart = settings.FirstSearch && settings.Origin == TEasySearchOrigin::sgEntireScope;
    bool found = false;
    try {
        found = settings.Search(lines, pos, DefaultDelimiters(), length);
        // A line's trailing blanks are not searched, so a match at the end
        // of what is searched can lie on the wrong side of the caret (after
        // a replacement that ended in blanks): a search never goes back, it
        // goes on from the next line (column 0 takes a match at its very
        // start) or, backward, from the end of the line above (column 0).
        auto wrongSide = [&] {
            const TEasyPoint at{pos.X - 1, pos.Y};
            return forward ? Before(at, origin) : !Before(at, origin);
        };
        while (found && !fromScopeStart && wrongSide()) {
            const int line = forward ? std::max(pos.Y, origin.Y) + 1 : std::min(pos.Y, origin.Y);
            if (forward ? line >= lines.Count() : line <= 0)
                return false;
            pos = {0, line};
            found = settings.Search(lines, pos, DefaultDelimiters(), length);
        }
    } catch (const Exception& error) {
        host_.ShowSearchBox(error.Message(), TEasySearchBox::Information);
        return false;
    } catch (const std::exception& error) {
        host_.ShowSearchBox(Utf8ToWide(error.what()), TEasySearchBox::Information);
        return false;
    }
    if (!found)
        return false;
    start = {pos.X - 1, pos.Y};
    return true;
}

bool TEasySearchRunner::Find(int* matchLength)
{
    const TLock findLock(findLock_);
    TCustomEasyEditSource& source = editor_.Source();
    const bool hasSelection = editor_.StoredSelMode() != smNone;
    if (settings_.Scope == TEasySearchScope::scSelectedText && !hasSelection) {
        if (settings_.FirstSearch)
            host_.ShowSearchBox(kEasyNoSelectionText, TEasySearchBox::Error);
        return false;
    }
    source.BeginUpdate(ckCaretMove);
    const ScopeExit endUpdate([&source] { source.EndUpdate(); });
    if (settings_.WholeWordsOnly && !settings_.RegularExpr && HasWordDelimiter(settings_.TextToFind))
        settings_.WholeWordsOnly = false;
    host_.BeginBusy();
    const ScopeExit endBusy([this] { host_.EndBusy(); });
    TEasyPoint start;
    int length = 0;
    const bool found = SearchFromCaret(settings_, start, length);
    if (found) {
        SetMatch(start, length);
        const TEasyPoint end{start.X + length, start.Y};
        if ((editor_.CommandOptions() & eoSelectFoundText) &&
            (!hasSelection || settings_.Scope == TEasySearchScope::scGlobal))
            editor_.StoreSelection(start, end, smStream);
        const TEasyPoint caret = settings_.Direction == TEasySearchDirection::srForward ? end : start;
        source.SetCaretPos(caret.X, caret.Y);
    } else if (settings_.ShowNotFound) {
        host_.ShowSearchBox(EasyNotFoundText(settings_.TextToFind), TEasySearchBox::Information);
    }
    if (matchLength)
        *matchLength = found ? length : 0;
    return found;
}

bool TEasySearchRunner::Replace()
{
    TCustomEasyEditSource& source = editor_.Source();
    if (source.ReadOnly())
        return false;
    const TLock selectLock(selectLock_);
    const bool showNotFound = settings_.ShowNotFound;
    const ScopeExit restore([this, &source, showNotFound] {
        for (; openUpdates_ > 0; --openUpdates_)
            source.EndUpdate();
        settings_.ShowNotFound = showNotFound;
    });
    replaceCount_ = 0;
    if (settings_.ReplaceAll) {
        if (!ReplaceAllAtOnce())
            ReplaceLoop();
        return true;
    }
    const bool replaced = ReplaceStep();
    settings_.ShowNotFound = false;
    if (replaced && settings_.ReplaceAll && !ReplaceAllAtOnce())
        ReplaceLoop();
    return true;
}

bool TEasySearchRunner::ReplaceAllAtOnce()
{
    TCustomEasyEditSource& source = editor_.Source();
    if (settings_.PromptOnReplace || settings_.Scope != TEasySearchScope::scGlobal || (source.Options() & srUseTab))
        return false;
    const TLock findLock(findLock_);
    if (settings_.WholeWordsOnly && !settings_.RegularExpr && HasWordDelimiter(settings_.TextToFind))
        settings_.WholeWordsOnly = false;
    host_.BeginBusy();
    const ScopeExit endBusy([this] {
        ClearMatch();
        host_.EndBusy();
    });
    // The searches and replacements one after the other, as the loop makes
    // them, each line changed where it stands: a search only reads the line
    // it begins on and those it has not passed yet, and columns are
    // characters here.
    const std::u16string replacement = ToUtf16(settings_.ReplaceWith);
    const int added = static_cast<int>(replacement.size());
    const bool forward = settings_.Direction == TEasySearchDirection::srForward;
    TEasyPoint caret = source.CaretPoint();
    int replaced = 0;
    {
        source.BeginLineEdits();
        const ScopeExit endEdits([&source] { source.EndLineEdits(); });
        std::u16string line;
        TEasyPoint start;
        int length = 0;
        while (SearchLines(settings_, source.Strings(), caret, start, length)) {
            line.assign(source.Strings().GetStored(start.Y));
            const size_t at = std::min(static_cast<size_t>(start.X), line.size());
            line.replace(at, std::min(static_cast<size_t>(length), line.size() - at), replacement);
            source.PutLine(start.Y, line);
            ++replaced;
            // Forward the next search begins behind the replacement,
            // backward before it.
            caret = forward ? TEasyPoint{start.X + added, start.Y} : start;
        }
        if (replaced > 0)
            source.SetCaretPos(caret.X, caret.Y);
    }
    replaceCount_ += replaced;
    if (replaced == 0) {
        if (settings_.ShowNotFound)
            host_.ShowSearchBox(EasyNotFoundText(settings_.TextToFind), TEasySearchBox::Information);
        return true;
    }
    editor_.StoreSelection({}, {}, smNone);
    return true;
}

bool TEasySearchRunner::ReplaceStep()
{
    TCustomEasyEditSource& source = editor_.Source();
    int length = 0;
    if (!Find(&length))
        return false;
    TEasyReplaceAnswer answer = TEasyReplaceAnswer::Yes;
    if (settings_.PromptOnReplace)
        answer = host_.AskReplace(EasyReplacePromptText(settings_.TextToFind));
    switch (answer) {
    case TEasyReplaceAnswer::Cancel:
        return false;
    case TEasyReplaceAnswer::No:
        return true;
    case TEasyReplaceAnswer::All:
        settings_.PromptOnReplace = false;
        settings_.ReplaceAll = true;
        // The rest of the replacements join this one in one change.
        source.BeginUpdate(ckInsert);
        ++openUpdates_;
        break;
    case TEasyReplaceAnswer::Yes:
        break;
    }
    const bool inSelection = settings_.Scope == TEasySearchScope::scSelectedText;
    const TEasySelCorners sel = editor_.Selection();
    const int selMode = editor_.StoredSelMode();
    const std::u16string replacement = ToUtf16(settings_.ReplaceWith);
    const int added = static_cast<int>(replacement.size());
    {
        source.BeginUpdate(ckInsert);
        const ScopeExit endUpdate([&source] { source.EndUpdate(); });
        const TEasyPoint caret = source.CaretPoint();
        if (settings_.Direction == TEasySearchDirection::srBackward) {
            // The caret stands at the match's start, where the next
            // backward search begins: before the replacement.
            source.DeleteChars(length);
            source.InsertText(replacement);
            source.SetCaretPos(caret.X, caret.Y);
        } else {
            source.SetCaretPos(caret.X - length, caret.Y);
            source.DeleteChars(length);
            if (!replacement.empty())
                source.InsertText(replacement);
            // The next forward search begins behind the replacement.
            source.SetCaretPos(caret.X - length + added, caret.Y);
        }
        ++replaceCount_;
    }
    ClearMatch();
    if (inSelection && selMode != smNone) {
        // The scope's end moves with the text replaced on its line.
        TEasySelCorners kept = sel;
        const int matchY = source.CaretY();
        if (selMode == smStream && kept.End.Y == matchY)
            kept.End.X += added - length;
        editor_.StoreSelection(kept.Start, kept.End, selMode);
    } else {
        editor_.StoreSelection({}, {}, smNone);
    }
    return true;
}

void TEasySearchRunner::ReplaceLoop()
{
    TCustomEasyEditSource& source = editor_.Source();
    const bool prompting = settings_.PromptOnReplace;
    if (!prompting)
        source.BeginUpdate(ckInsert);
    const ScopeExit endUpdate([&source, prompting] {
        if (!prompting)
            source.EndUpdate();
    });
    host_.BeginBusy();
    const ScopeExit endBusy([this] {
        ClearMatch();
        host_.EndBusy();
    });
    bool first = true;
    while (ReplaceStep()) {
        if (first) {
            settings_.ShowNotFound = false;
            first = false;
        }
    }
}

void TEasySearchRunner::FindNext(int code)
{
    if (editor_.StoredSelMode() == smNone)
        settings_.Scope = TEasySearchScope::scGlobal;
    if (settings_.FirstSearch)
        return;
    settings_.InReplace = settings_.InReplace || code == 27;
    if (settings_.InReplace) {
        Replace();
        return;
    }
    if (!incActive_) {
        Find();
        return;
    }
    // The next match of the incremental text: from behind this one.
    TCustomEasyEditSource& source = editor_.Source();
    const TLock findLock(findLock_);
    const TEasyPoint caret = source.CaretPoint();
    const bool hadMatch = HasMatch();
    const TEasyPoint oldStart = matchStart_;
    const int oldLength = matchLength_;
    const bool forward = settings_.Direction == TEasySearchDirection::srForward;
    TEasyPoint from = caret;
    if (hadMatch)
        from = forward ? TEasyPoint{matchStart_.X + matchLength_, matchStart_.Y} : matchStart_;
    TEasyPoint start;
    int length = 0;
    if (IncrementalSearch(incText_, from, start, length))
        return;
    source.SetCaretPos(caret.X, caret.Y);
    if (hadMatch)
        SetMatch(oldStart, oldLength);
    if (settings_.ShowNotFound)
        host_.ShowSearchBox(EasyNotFoundText(ToWide(incText_)), TEasySearchBox::Information);
}

// ---- incremental search -----------------------------------------------------------------

void TEasySearchRunner::StartIncrementalSearch()
{
    incActive_ = true;
    incText_.clear();
    settings_.InReplace = false;
    host_.IncrementalSearchChanged();
}

void TEasySearchRunner::EndIncrementalSearch()
{
    if (!incActive_)
        return;
    incActive_ = false;
    incText_.clear();
    ClearMatch();
    host_.IncrementalSearchChanged();
}

bool TEasySearchRunner::IncrementalSearch(const std::u16string& text, TEasyPoint from, TEasyPoint& start, int& length)
{
    TCustomEasyEditSource& source = editor_.Source();
    incSettings_.TextToFind = ToWide(text);
    incSettings_.CaseSensitive = settings_.CaseSensitive;
    incSettings_.Direction = settings_.Direction;
    incSettings_.WholeWordsOnly = false;
    incSettings_.RegularExpr = false;
    incSettings_.Scope = TEasySearchScope::scGlobal;
    incSettings_.Origin = TEasySearchOrigin::sgFromCursor;
    incSettings_.FirstSearch = false;
    const TLock findLock(findLock_);
    source.BeginUpdate(ckCaretMove);
    const ScopeExit endUpdate([&source] { source.EndUpdate(); });
    const TEasyPoint caret = source.CaretPoint();
    source.SetCaretPos(from.X, from.Y);
    if (text.empty() || !SearchFromCaret(incSettings_, start, length)) {
        source.SetCaretPos(caret.X, caret.Y);
        return false;
    }
    SetMatch(start, length);
    const TEasyPoint end{start.X + length, start.Y};
    if (editor_.CommandOptions() & eoSelectFoundText)
        editor_.StoreSelection(start, end, smStream);
    const bool forward = settings_.Direction == TEasySearchDirection::srForward;
    const TEasyPoint caretAt = forward ? start : end;
    source.SetCaretPos(caretAt.X, caretAt.Y);
    return true;
}

void TEasySearchRunner::IncrementalChar(char16_t c)
{
    TEasyPoint start;
    int length = 0;
    // A high surrogate waits for its low half, which searches the pair.
    std::u16string candidate = incText_ + c;
    if (c >= 0xD800 && c <= 0xDBFF) {
        incText_ = std::move(candidate);
        return;
    }
    if (IncrementalSearch(candidate, editor_.Source().CaretPoint(), start, length)) {
        incText_ = std::move(candidate);
    } else {
        // The character does not continue any match: it is dropped (with the
        // high half that waited for it).
        if (c >= 0xDC00 && c <= 0xDFFF && !incText_.empty())
            incText_.pop_back();
    }
    host_.IncrementalSearchChanged();
}

void TEasySearchRunner::IncrementalBack()
{
    if (incText_.empty())
        return;
    incText_.pop_back();
    // A pair goes whole.
    if (!incText_.empty() && incText_.back() >= 0xD800 && incText_.back() <= 0xDBFF)
        incText_.pop_back();
    TEasyPoint start;
    int length = 0;
    const TEasyPoint from = HasMatch() ? (settings_.Direction == TEasySearchDirection::srForward
                                              ? matchStart_
                                              : TEasyPoint{matchStart_.X + matchLength_, matchStart_.Y})
                                       : editor_.Source().CaretPoint();
    if (!IncrementalSearch(incText_, from, start, length)) {
        ClearMatch();
        if (editor_.CommandOptions() & eoSelectFoundText)
            editor_.StoreSelection({}, {}, smNone);
    }
    host_.IncrementalSearchChanged();
}

}  // namespace qrv
