#pragma once
// Fakes for the edit source's tests: a view that records what the source
// tells it, and a parser with character classes and a block comment that
// counts its calls.

#include "editor/EasyEditSource.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv::test {

struct HeardBroadcast {
    TEasyEditSourceStates states;
    int firstLine, lastLine, firstColumn, lastColumn;
    TEasyPoint caret;
};

class FakeView {
public:
    explicit FakeView(TCustomEasyEditSource& source) : source_(source)
    {
        source_.AddNotifier(this, [this](TEasySourceNotification* record) { Heard(record); });
    }
    ~FakeView() { source_.RemoveNotifier(this); }
    FakeView(const FakeView&) = delete;
    FakeView& operator=(const FakeView&) = delete;

    void Forget()
    {
        broadcasts.clear();
        records.clear();
    }
    // The records of one kind.
    std::vector<TEasySourceNotification> Records(int kind) const
    {
        std::vector<TEasySourceNotification> found;
        for (const auto& record : records)
            if (record.Kind == kind)
                found.push_back(record);
        return found;
    }

    std::vector<HeardBroadcast> broadcasts;
    std::vector<TEasySourceNotification> records;
    // May rewrite a proposed caret point (kind 0), as a word-wrapping view does.
    std::function<void(TEasySourceNotification&)> rewriteTarget;

private:
    void Heard(TEasySourceNotification* record)
    {
        if (!record) {
            broadcasts.push_back({source_.States(), source_.FirstChangedLine(), source_.LastChangedLine(),
                                  source_.FirstChangedColumn(), source_.LastChangedColumn(), source_.CaretPoint()});
            return;
        }
        records.push_back(*record);
        if (record->Kind == snCaretTarget && rewriteTarget)
            rewriteTarget(*record);
    }

    TCustomEasyEditSource& source_;
};

// Tokens: 0 other characters, 1 words, 2 comments. States: 0 normal, 1 inside
// a block comment.
class FakeParser : public TCustomEasyParser {
public:
    using TCustomEasyParser::TCustomEasyParser;

    int NextToken(int& state, std::u16string_view line, int& pos) override
    {
        ++calls;
        const size_t start = static_cast<size_t>(pos - 1);
        if (state == 1 || line.substr(start, 2) == u"/*") {
            const size_t from = state == 1 ? start : start + 2;
            const size_t close = line.find(u"*/", from);
            if (close == std::u16string_view::npos) {
                pos = static_cast<int>(line.size()) + 1;
                state = 1;
            } else {
                pos = static_cast<int>(close) + 3;
                state = 0;
            }
            return 2;
        }
        auto isWord = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
        size_t end = start + 1;
        if (isWord(line[start]))
            while (end < line.size() && isWord(line[end]))
                ++end;
        pos = static_cast<int>(end) + 1;
        return isWord(line[start]) ? 1 : 0;
    }
    void GetTokenStyle(int, TColor& color, TFontStyles& style) override
    {
        color = -1;
        style = 0;
    }
    TColor GetTokenBackground(int) override { return -1; }
    TColor GetBackgroundColor() override { return -1; }
    int GetTokenCount() override { return 3; }
    int TokenIndex(std::u16string_view name) override { return name == u"tcomment" ? 2 : -1; }

    int calls = 0;
};

// The stored lines joined by "|".
inline std::u16string Lines(const TCustomEasyEditSource& source)
{
    std::u16string text;
    for (int i = 0; i < source.Strings().Count(); ++i) {
        if (i > 0)
            text += u'|';
        text += source.Strings().GetStored(i);
    }
    return text;
}

// Sets the lines, "|" between them, as the host does (from outside).
inline void SetLines(TCustomEasyEditSource& source, std::u16string_view text)
{
    std::u16string lines(text);
    for (char16_t& c : lines)
        if (c == u'|')
            c = u'\n';
    source.Strings().SetText(lines);
}

}  // namespace qrv::test
