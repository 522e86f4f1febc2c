// The editor's search on a document, a pattern, a replacement and options
// from the bytes: Replace All ends (at most one replacement per position the
// text ever had), gives every update and lock back, and undoing it gives the
// document back; incremental search takes the pattern's characters; a
// history value read from an INI file decodes and encodes back to itself.

#include "../tests/editor/FakeEditCommandHost.h"
#include "editor/EasyHistory.h"
#include "editor/EasySearchRunner.h"
#include "framework/Encoding.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qrv;

namespace {

class QuietHost : public TEasySearchHost {
public:
    void ShowSearchBox(const std::wstring&, TEasySearchBox) override {}
    TEasyReplaceAnswer AskReplace(const std::wstring&) override { return TEasyReplaceAnswer::All; }
};

// Reads the next piece up to a 0xFF byte, as UTF-16 units from byte pairs.
std::u16string Piece(const uint8_t*& data, const uint8_t* end)
{
    std::u16string text;
    while (data < end && *data != 0xFF) {
        const uint8_t low = *data++;
        const uint8_t high = data < end && *data != 0xFF ? *data++ : 0;
        text += char16_t(low | (high << 8));
    }
    if (data < end)
        ++data;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t flags = data[0];
    const uint8_t* p = data + 1;
    const uint8_t* end = data + size;
    std::u16string document = Piece(p, end);
    const std::u16string pattern = Piece(p, end);
    const std::u16string replacement = Piece(p, end);
    if (document.size() > 2000 || pattern.size() > 40)
        return 0;
    for (char16_t& c : document)
        if (c == u'|')
            c = u'\n';

    test::FakeHost edit;
    TEasyEditCommands commands(edit);
    QuietHost host;
    TEasySearchSettings settings;
    TEasySearchRunner runner(edit, commands, host, settings);
    edit.keepSelection = [&runner] { return runner.SelectLocked(); };
    edit.source.Strings().SetText(document);
    const std::u16string before = edit.source.Strings().GetTextStr();
    settings.TextToFind = std::wstring(pattern.begin(), pattern.end());
    settings.ReplaceWith = std::wstring(replacement.begin(), replacement.end());
    settings.RegularExpr = flags & 1;
    settings.CaseSensitive = flags & 2;
    settings.WholeWordsOnly = flags & 4;
    settings.Direction = flags & 8 ? TEasySearchDirection::srBackward : TEasySearchDirection::srForward;
    settings.Origin = flags & 16 ? TEasySearchOrigin::sgFromCursor : TEasySearchOrigin::sgEntireScope;
    settings.PromptOnReplace = flags & 32;
    settings.ReplaceAll = !(flags & 32);
    runner.ReplaceFromDialog();
    if (edit.source.UpdateDepth() != 0 || runner.FindLocked() || runner.SelectLocked())
        std::abort();
    // Each replacement consumes a match at a position of the text: more than
    // one per position (and line end) would be a loop that only the input's
    // size stopped.
    if (runner.ReplaceCount() > int(before.size()) + edit.source.Strings().Count() + 2)
        std::abort();
    if (runner.ReplaceCount() > 0) {
        edit.source.Undo();
        if (edit.source.Strings().GetTextStr() != before)
            std::abort();
    }

    runner.StartIncrementalSearch();
    for (const char16_t c : pattern)
        runner.IncrementalChar(c);
    runner.FindNext(26);
    runner.IncrementalBack();
    runner.EndIncrementalSearch();

    // The bytes after the pieces as an INI history value.
    const std::wstring value(p, end);
    const TEasyHistoryItems items = DecodeEasyIniHistory(value, TEncoding::Windows1252());
    if (DecodeEasyIniHistory(EncodeEasyIniHistory(items), TEncoding::Windows1252()) != items)
        std::abort();
    return 0;
}
