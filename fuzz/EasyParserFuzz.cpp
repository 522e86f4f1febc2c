// A rules text and lines, as a user writes a syntax scheme. The input is
// UTF-8 (invalid bytes become U+FFFD): up to the first blank line the rules
// text, after it the lines. Compiling may only raise the invalid-pattern
// error; every scan step must advance, stay in the line, give a token in
// -1 ... count-1 and a state the scan can go on from; the tokenizer over
// the lines must end.
#include "editor/EasyParser.h"
#include "editor/WideText.h"
#include "framework/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace qrv;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string input = ToUtf16(Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size)));
    const size_t split = input.find(u"\n\n");
    TEasyParser parser(nullptr);
    TEasyStrings lines;
    lines.SetText(split == std::u16string::npos ? std::u16string_view() : std::u16string_view(input).substr(split + 2));
    try {
        parser.Rules().SetText(std::u16string_view(input).substr(0, split));
    } catch (const EEasyRegExprError&) {
        // the rules before the bad expression stay compiled
    }
    const int tokens = parser.GetTokenCount();
    int state = parser.InitialState;
    for (int i = 0; i < lines.Count() && i < 64; ++i) {
        const std::u16string line = lines.Get(i).substr(0, 300);
        const int length = static_cast<int>(line.size());
        int pos = 1;
        while (pos <= length) {
            const int before = pos;
            const int token = parser.NextToken(state, line, pos);
            Check(pos > before && pos <= length + 1);
            Check(token >= -1 && token < std::max(tokens, 1));
        }
    }

    TEasySourceParser source(nullptr);
    try {
        source.Rules().SetText(std::u16string_view(input).substr(0, split));
    } catch (const EEasyRegExprError&) {}
    source.Strings = &lines;
    source.Reset();
    int steps = 0;
    int characters = 0;
    for (int i = 0; i < lines.Count(); ++i)
        characters += static_cast<int>(lines.Get(i).size());
    while (!source.Eof()) {
        std::u16string peeked;
        const int peek = source.PeekToken(peeked);
        const int token = source.ReadToken();
        Check(token == peek && source.TokenText() == peeked);
        Check(++steps <= characters + lines.Count() + 1);
    }
    return 0;
}
