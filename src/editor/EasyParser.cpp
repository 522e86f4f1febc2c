#include "editor/EasyParser.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

bool IsWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool IsBlank(char16_t c)
{
    return c >= 1 && c <= 32;
}

std::u16string_view TrimView(std::u16string_view s)
{
    while (!s.empty() && s.front() <= u' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() <= u' ')
        s.remove_suffix(1);
    return s;
}

char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Names of states and tokens compare as the caseless search does.
bool SameName(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return SearchUpperCase(x) == SearchUpperCase(y);
           });
}

int IndexOfName(const std::vector<std::u16string>& names, std::u16string_view name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (SameName(names[i], name))
            return static_cast<int>(i);
    return -1;
}

struct TWord {
    std::u16string_view Text;
    bool Quoted = false;
};

// The blank-separated words of a rule line; 'quoted' words run to the next
// quote, blanks included.
std::vector<TWord> SplitWords(std::u16string_view line)
{
    std::vector<TWord> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] <= u' ') {
            ++i;
            continue;
        }
        TWord word;
        if (line[i] == u'\'') {
            const size_t close = line.find(u'\'', i + 1);
            const size_t end = close == std::u16string_view::npos ? line.size() : close;
            word.Text = TrimView(line.substr(i + 1, end - i - 1));
            word.Quoted = true;
            i = close == std::u16string_view::npos ? line.size() : close + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] > u' ')
                ++end;
            word.Text = line.substr(i, end - i);
            i = end;
        }
        words.push_back(word);
    }
    return words;
}

}  // namespace

TEasyParserRule& TEasyParserState::Bucket(int index)
{
    auto& bucket = Buckets[static_cast<size_t>(index)];
    if (!bucket) {
        bucket = std::make_unique<TEasyParserRule>();
        bucket->State = this;
        bucket->CaseSensitive = CaseSensitive;
    }
    return *bucket;
}

TEasyParser::TEasyParser(TComponent* owner) : TCustomEasyParser(owner), rules_(std::make_unique<TEasyStrings>())
{
    rules_->OnChange = [this](TEasyStrings&) { RulesChanged(); };
}

TEasyParser::~TEasyParser()
{
    rules_->OnChange = nullptr;
}

void TEasyParser::Clear()
{
    stateNames_.clear();
    stateCaseSensitive_.clear();
    tokenNames_.clear();
    states_.clear();
}

void TEasyParser::RulesChanged()
{
    // Sources re-parse with whatever compiled, also when a rule fails.
    try {
        CompileRules();
    } catch (...) {
        Changed();
        throw;
    }
    Changed();
}

void TEasyParser::CompileRules()
{
    Clear();
    for (int i = 0; i < rules_->Count(); ++i)
        ReadLine(rules_->Get(i));
}

void TEasyParser::ReadLine(std::u16string_view line)
{
    if (line.substr(0, 2) == u"//")
        return;
    const size_t equals = line.find(u'=');
    if (equals != std::u16string_view::npos) {
        const std::u16string_view keyword = TrimView(line.substr(0, equals));
        const std::u16string_view value = line.substr(equals + 1);
        if (SameIgnoringAsciiCase(keyword, u"State")) {
            const size_t comma = value.find(u',');
            const std::u16string_view name = TrimView(value.substr(0, comma));
            const bool caseSensitive =
                comma != std::u16string_view::npos &&
                SameIgnoringAsciiCase(TrimView(value.substr(comma + 1)), u"Groß-/Kleinschreibung");
            stateNames_.emplace_back(name);
            stateCaseSensitive_.push_back(caseSensitive);
            return;
        }
        if (SameIgnoringAsciiCase(keyword, u"Token")) {
            tokenNames_.emplace_back(TrimView(value));
            return;
        }
        if (SameIgnoringAsciiCase(keyword, u"Delimiters")) {
            Delimiters = TrimView(value);
            return;
        }
    }
    const std::vector<TWord> words = SplitWords(line);
    if (words.size() < 4 || words[1].Text.empty())
        return;
    const int from = IndexOfName(stateNames_, words[0].Text);
    const int to = IndexOfName(stateNames_, words[2].Text);
    const int token = IndexOfName(tokenNames_, words[3].Text);
    if (from < 0 || to < 0 || token < 0)
        return;
    AddRule(from, words[1].Text, words[1].Quoted, TEasyRule{to, token});
}

TEasyParserState& TEasyParser::StateFor(int number)
{
    while (static_cast<int>(states_.size()) <= number) {
        auto state = std::make_unique<TEasyParserState>();
        state->Parser = this;
        state->CaseSensitive = stateCaseSensitive_[states_.size()];
        states_.push_back(std::move(state));
    }
    return *states_[static_cast<size_t>(number)];
}

void TEasyParser::AddRule(int fromState, std::u16string_view expression, bool keyword, TEasyRule rule)
{
    TEasyParserState& state = StateFor(fromState);
    if (keyword) {
        std::u16string key(expression);
        for (char16_t& c : key)
            c = state.Fold(c);
        TEasyParserRule& bucket = state.Bucket(TEasyParserState::BucketOf(key[0]));
        auto& keywords = bucket.Keywords;
        const auto at =
            std::lower_bound(keywords.begin(), keywords.end(), key,
                             [](const TEasyParserRule::TKeyword& k, const std::u16string& x) { return k.Key < x; });
        if (at != keywords.end() && at->Key == key)
            at->Rule = rule;
        else
            keywords.insert(at, {key, std::u16string(expression), rule});
        if (key.find(u' ') != std::u16string::npos)
            bucket.KeywordWithBlank = true;
        return;
    }
    auto compiled = std::make_unique<TEasyParserRegExpr>(expression, state.CaseSensitive, rule);
    TEasyParserRegExpr* re = compiled.get();
    state.AllExpressions.push_back(std::move(compiled));
    if (expression == u"$") {
        state.LineEndRules.push_back(re);
        return;
    }
    const TEasyRegExprNode* first = re->FirstCharNode();
    if (!first)  // nothing it could start with: it never fires
        return;
    TEasyCharSetTable chars;
    bool anyChar = false;
    re->FirstChars(chars, anyChar);
    for (int b = 0; b < TEasyParserState::kBucketCount; ++b) {
        const bool fits = anyChar || (b < 256 ? chars.Low.test(static_cast<size_t>(b)) : !chars.High.empty());
        if (!fits)
            continue;
        auto& expressions = state.Bucket(b).Expressions;
        // A rule that starts with a negation is the fallback: tried last.
        if (first->Negated)
            expressions.insert(expressions.begin(), re);
        else
            expressions.push_back(re);
    }
}

int TEasyParser::NextToken(int& state, std::u16string_view line, int& pos)
{
    TokenState = state;
    const int length = static_cast<int>(line.size());
    if (state < 0 || state >= static_cast<int>(states_.size()) || pos < 1 || pos > length) {
        pos = length + 1;
        return -1;
    }
    TEasyParserState& current = *states_[static_cast<size_t>(state)];
    const size_t at = static_cast<size_t>(pos - 1);
    const char16_t c = line[at];
    const TEasyParserRule* bucket =
        current.Buckets[static_cast<size_t>(TEasyParserState::BucketOf(current.Fold(c)))].get();

    int token = 0;
    int runLength = 0;
    int target = state;
    if (bucket && !bucket->Keywords.empty() && IsWordChar(c)) {
        size_t end = at;
        while (end < line.size() && IsWordChar(line[end]))
            ++end;
        std::u16string word(line.substr(at, end - at));
        for (char16_t& ch : word)
            ch = current.Fold(ch);
        const auto& keywords = bucket->Keywords;
        auto it =
            std::lower_bound(keywords.begin(), keywords.end(), word,
                             [](const TEasyParserRule::TKeyword& k, const std::u16string& x) { return k.Key < x; });
        // The word itself, then (multi-word keywords) the longer entries that
        // begin with it and a blank; the last that matches the text wins.
        for (; it != keywords.end() && it->Key.compare(0, word.size(), word) == 0; ++it) {
            const std::u16string& key = it->Key;
            bool matches = key.size() == word.size();
            if (!matches && bucket->KeywordWithBlank && key[word.size()] == u' ' && at + key.size() <= line.size()) {
                matches = true;
                for (size_t k = word.size(); k < key.size() && matches; ++k)
                    matches = current.Fold(line[at + k]) == key[k];
                matches = matches && (at + key.size() == line.size() || !IsWordChar(line[at + key.size()]));
            }
            if (matches) {
                runLength = static_cast<int>(key.size());
                token = it->Rule.Token;
                target = it->Rule.TargetState;
            }
            if (!bucket->KeywordWithBlank)
                break;
        }
    }
    if (runLength == 0 && bucket) {
        for (auto it = bucket->Expressions.rbegin(); it != bucket->Expressions.rend(); ++it) {
            int matched = 0;
            if ((*it)->MatchAt(line.data() + at, length - pos + 1, pos == 1, matched)) {
                runLength = std::max(matched, 1);
                token = (*it)->Rule.Token;
                target = (*it)->Rule.TargetState;
                break;
            }
        }
    }
    if (runLength == 0) {
        size_t end = at;
        while (end < line.size() && IsWordChar(line[end]))
            ++end;
        while (end < line.size() && IsBlank(line[end]))
            ++end;
        runLength = std::max(static_cast<int>(end - at), 1);
        token = 0;
    }
    pos = std::min(pos + runLength, length + 1);
    state = target;
    if (pos > length && state >= 0 && state < static_cast<int>(states_.size())) {
        const auto& lineEnd = states_[static_cast<size_t>(state)]->LineEndRules;
        if (!lineEnd.empty()) {
            token = lineEnd.back()->Rule.Token;
            state = lineEnd.back()->Rule.TargetState;
        }
    }
    return token;
}

bool TEasyParser::SingleState() const
{
    // Without states NextToken leaves the state as it found it; with one,
    // every rule's target is that state, which must be where lines begin.
    return stateNames_.empty() || (stateNames_.size() == 1 && InitialState == 0);
}

void TEasyParser::GetTokenStyle(int /*token*/, TColor& fontColor, TFontStyles& fontStyle)
{
    fontColor = -1;
    fontStyle = 0;
}

TColor TEasyParser::GetTokenBackground(int /*token*/)
{
    return -1;
}

TColor TEasyParser::GetBackgroundColor()
{
    return -1;
}

int TEasyParser::GetTokenCount()
{
    return static_cast<int>(tokenNames_.size());
}

int TEasyParser::TokenIndex(std::u16string_view name)
{
    return IndexOfName(tokenNames_, name);
}

// The stand-alone tokenizer.

std::u16string TEasySourceParser::LineAt(int index) const
{
    return Strings && index >= 0 && index < Strings->Count() ? Strings->Get(index) : std::u16string();
}

void TEasySourceParser::Reset()
{
    if (!Strings)
        throw EInvalidOperation(L"Strings can't be nil");
    LineIndex = 0;
    Pos = TokenStart = 1;
    Token = 0;
    State = InitialState;
    Line = LineAt(0);
    saved_.clear();
}

bool TEasySourceParser::NextLine()
{
    Pos = TokenStart = 1;
    const int count = Strings ? Strings->Count() : 0;
    do {
        ++LineIndex;
    } while (LineIndex < count && Strings->Get(LineIndex).empty());
    if (LineIndex >= count) {
        LineIndex = count;
        Line.clear();
        Token = -1;
        return false;
    }
    Line = Strings->Get(LineIndex);
    return true;
}

int TEasySourceParser::ReadToken()
{
    TokenStart = Pos;
    if (Line.empty() || Pos > static_cast<int>(Line.size())) {
        if (!NextLine())
            return -1;
    }
    TokenStart = Pos;
    Token = NextToken(State, Line, Pos);
    return Token;
}

std::u16string TEasySourceParser::TokenText() const
{
    const int start = std::clamp(TokenStart, 1, static_cast<int>(Line.size()) + 1);
    const int end = std::clamp(Pos, start, static_cast<int>(Line.size()) + 1);
    return Line.substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start));
}

int TEasySourceParser::PeekToken(std::u16string& text)
{
    SaveState();
    const int token = ReadToken();
    text = TokenText();
    RestoreState();
    return token;
}

void TEasySourceParser::SaveState()
{
    saved_.push_back({State, Token, Pos, TokenStart, LineIndex});
}

void TEasySourceParser::RestoreState()
{
    if (saved_.empty())
        return;
    const TEasyParserSaveState saved = saved_.back();
    saved_.pop_back();
    State = saved.State;
    Token = saved.Token;
    Pos = saved.Pos;
    TokenStart = saved.TokenStart;
    if (saved.LineIndex != LineIndex) {
        LineIndex = saved.LineIndex;
        Line = LineAt(LineIndex);
    }
}

bool TEasySourceParser::Eof() const
{
    return Token == -1 || !Strings || LineIndex >= Strings->Count();
}

}  // namespace qrv
