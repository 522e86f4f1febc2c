// Completion list, hint, code templates and automatic correction around
// the editor's typing.

#include "editor/EasyCompletion.h"

#include "editor/EasyEditSourceScopes.h"
#include "editor/EasyFindText.h"
#include "editor/WideText.h"

#include <algorithm>

namespace qrv {

namespace {

// Characters that end a word for the correction besides the source's own
// delimiters.
constexpr std::u16string_view kSymbols = u"!\"#$%&()*+,-./:;=?@[\\]^{|}";

std::u16string Upper(std::u16string_view text)
{
    std::u16string upper(text);
    for (char16_t& c : upper)
        c = SearchUpperCase(c);
    return upper;
}

std::u16string LineOf(const TCustomEasyEditSource& source, int line)
{
    return line >= 0 && line < source.Strings().Count() ? source.Strings().Get(line) : std::u16string();
}

}  // namespace

TEasyListKey ListKeyTarget(unsigned key, bool ctrl)
{
    // Virtual keys as the system numbers them.
    constexpr unsigned kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kLeft = 0x25,
                       kUp = 0x26, kRight = 0x27, kDown = 0x28;
    switch (key) {
    case kReturn:
    case kEscape:
    case kPrior:
    case kNext:
    case kUp:
    case kDown:
        return TEasyListKey::List;
    case kSpace:
        return ctrl ? TEasyListKey::Editor : TEasyListKey::Accept;
    case kLeft:
    case kRight:
        return TEasyListKey::CloseAndEditor;
    default:
        return TEasyListKey::Editor;
    }
}

std::u16string TemplateText(const TEasyCodeTemplate& item)
{
    std::u16string text;
    for (size_t i = 0; i < item.Code.size(); ++i) {
        if (i > 0)
            text += u"\r\n";
        text += ToUtf16(item.Code[i]);
    }
    return text;
}

void TEasyCompletion::BeforeTyping(char16_t c)
{
    host_.StopTimer();
    pauseStart_.reset();
    if (c == u'.' && host_.ListShowing() && listStart_) {
        const int chosen = MatchingItem();
        Accept(chosen >= 0 ? chosen : 0);
    }
}

void TEasyCompletion::AfterTyping(char16_t c)
{
    lastTyped_ = c;
    if (host_.ListShowing()) {
        CaretMoved();
        if (host_.ListShowing())
            if (const int chosen = MatchingItem(); chosen >= 0)
                host_.ChooseListItem(chosen);
        return;
    }
    if (host_.HintShowing() || !host_.CanComplete())
        return;
    pauseStart_ = Source().CaretPoint();
    pauseKey_ = c;
    host_.StartTimer(AutoCompletePause);
}

void TEasyCompletion::PauseEnded()
{
    host_.StopTimer();
    const std::optional<TEasyPoint> start = std::exchange(pauseStart_, std::nullopt);
    // Only for the caret where typing stopped.
    if (!start || !host_.CanComplete() || Source().CaretPoint() != *start)
        return;
    std::vector<std::u16string> items;
    if (host_.AutoComplete(items, pauseKey_) && !items.empty()) {
        std::vector<std::wstring> lines;
        lines.reserve(items.size());
        for (const std::u16string& item : items)
            lines.push_back(L"{\\rtf1 " + EscapeTemplateMarkup(ToWide(item)) + L"}");
        templateMode_ = false;
        templateIndices_.clear();
        items_ = items;
        listStart_ = *start;
        OpenList(lines, items, 0);
        return;
    }
    std::u16string hint;
    if (host_.DisplayHint(hint, pauseKey_) && !hint.empty())
        host_.ShowHint(hint);
}

void TEasyCompletion::OpenList(const std::vector<std::wstring>& lines, std::vector<std::u16string> keys, int chosen)
{
    keys_ = std::move(keys);
    host_.ShowList(lines, chosen);
    if (!host_.ListShowing())
        listStart_.reset();
}

bool TEasyCompletion::InsertCodeTemplate()
{
    if (templates_.Count() == 0)
        return false;
    TCustomEasyEditSource& source = Source();
    const TEasyPoint caret = source.CaretPoint();
    const std::optional<int> wordStart = commands_.WordStartBeforeCaret();
    const int start = wordStart.value_or(caret.X);
    const std::u16string prefix =
        wordStart ? LineOf(source, caret.Y).substr(size_t(start), size_t(caret.X - start)) : std::u16string();
    std::vector<int> found;
    bool exact = false;
    templates_.FindTemplates(found, ToWide(prefix), exact);
    if (found.empty())
        return true;
    if (exact || found.size() == 1) {
        std::u16string code = TemplateText(templates_.Items(found[0]));
        host_.BeforeInsertPopup(code);
        if (wordStart)
            commands_.SelectBeforeCaret(start);
        commands_.InsertTemplate(TEasyEditCommands::SplitLines(code));
        return true;
    }
    std::vector<std::pair<std::wstring, int>> listed;
    templates_.FillTemplateList(listed, ToWide(prefix));
    std::vector<std::wstring> lines;
    std::vector<std::u16string> keys;
    templateIndices_.clear();
    for (const auto& [line, index] : listed) {
        lines.push_back(L"{\\rtf1 " + line + L"}");
        keys.push_back(ToUtf16(templates_.Items(index).Name));
        templateIndices_.push_back(index);
    }
    items_.clear();
    templateMode_ = true;
    listStart_ = TEasyPoint{start, caret.Y};
    OpenList(lines, std::move(keys), 0);
    return true;
}

void TEasyCompletion::CaretMoved()
{
    if (!listStart_)
        return;
    if (!host_.ListShowing()) {
        listStart_.reset();
        return;
    }
    const TEasyPoint caret = Source().CaretPoint();
    if (caret.Y != listStart_->Y || caret.X < listStart_->X) {
        listStart_.reset();
        host_.CloseList();
    }
}

std::u16string TEasyCompletion::TypedSinceListStart() const
{
    if (!listStart_)
        return {};
    const TCustomEasyEditSource& source = view_.Source();
    const TEasyPoint caret = source.CaretPoint();
    if (caret.Y != listStart_->Y || caret.X <= listStart_->X)
        return {};
    const std::u16string line = LineOf(source, caret.Y);
    const size_t from = std::min(size_t(listStart_->X), line.size());
    const size_t to = std::min(size_t(caret.X), line.size());
    return line.substr(from, to - from);
}

int TEasyCompletion::MatchingItem() const
{
    const std::u16string typed = Upper(TypedSinceListStart());
    int best = -1;
    size_t bestAt = std::u16string::npos;
    for (size_t i = 0; i < keys_.size(); ++i) {
        const size_t at = Upper(keys_[i]).find(typed);
        if (at == 0)
            return int(i);
        if (at < bestAt) {
            bestAt = at;
            best = int(i);
        }
    }
    return best;
}

void TEasyCompletion::Accept(int index)
{
    const std::optional<TEasyPoint> start = std::exchange(listStart_, std::nullopt);
    const bool templateMode = std::exchange(templateMode_, false);
    host_.CloseList();
    if (!start || index < 0)
        return;
    const TEasyPoint caret = Source().CaretPoint();
    if (caret.Y != start->Y || caret.X < start->X)
        return;
    if (templateMode) {
        if (size_t(index) >= templateIndices_.size())
            return;
        std::u16string code = TemplateText(templates_.Items(templateIndices_[size_t(index)]));
        host_.BeforeInsertPopup(code);
        if (caret.X > start->X)
            commands_.SelectBeforeCaret(start->X);
        commands_.InsertTemplate(TEasyEditCommands::SplitLines(code));
        return;
    }
    if (size_t(index) >= items_.size())
        return;
    std::u16string text = items_[size_t(index)];
    host_.BeforeInsertPopup(text);
    commands_.ReplaceOnCaretLine(start->X, caret.X, text, ukcTyping);
}

void TEasyCompletion::KeyUp()
{
    if (lastTyped_ == 0)
        return;
    if (Source().Options() & srAutoCorrect)
        AutoCorrect();
    lastTyped_ = 0;
}

void TEasyCompletion::AutoCorrect()
{
    const std::u16string delims = Upper(AutoCorrectDelims);
    if (delims.find(SearchUpperCase(lastTyped_)) == std::u16string::npos)
        return;
    TCustomEasyEditSource& source = Source();
    const TEasyPoint caret = source.CaretPoint();
    const std::u16string line = LineOf(source, caret.Y);
    // The delimiter stands right before the caret; the word before it.
    const int end = caret.X - 1;
    if (end <= 0 || end > int(line.size()))
        return;
    auto endsWord = [&](char16_t c) {
        return c == 1 || IsEditBlank(c) || source.IsDelimiter(c) || kSymbols.find(c) != std::u16string_view::npos;
    };
    int start = end;
    while (start > 0 && !endsWord(line[size_t(start - 1)]))
        --start;
    if (start == end)
        return;
    const std::u16string word = line.substr(size_t(start), size_t(end - start));
    // The spelling check live spelling uses.
    bool spelledRight = true;
    if (source.OnWordSpell)
        source.OnWordSpell(&source, word, spelledRight);
    if (spelledRight)
        return;
    std::u16string correct = word;
    if (!host_.WordAutoCorrect(word, correct) || correct == word)
        return;
    commands_.ReplaceOnCaretLine(start, end, correct, ukcTransform);
}

}  // namespace qrv
