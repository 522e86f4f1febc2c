// The editor's command core on a document, a pasted text and commands from
// the bytes, in both selection modes, with code templates, the completion
// list and automatic correction around typing: no crash, the caret and the
// selection stay in the text, no pair of surrogates is split, the bracket
// pair found stands on brackets, the kept longest line is the true one,
// undoing everything gives the document back.

#include "editor/EasyBracketPair.h"
#include "editor/EasyCompletion.h"
#include "editor/EasyEditCommands.h"
#include "editor/EasyLongestLine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qrv;
using namespace std::string_literals;

namespace {

class FuzzHost : public TEasyEditCommandHost {
public:
    FuzzHost()
    {
        source.AddNotifier(this, [this](TEasySourceNotification* record) {
            if (!record && (source.States() & csEdit) && !(options & eoPersistentBlocks))
                StoreSelection({}, {}, smNone);
        });
    }
    ~FuzzHost() override { source.RemoveNotifier(this); }
    TCustomEasyEditSource& Source() override { return source; }
    TEasyEditorOptions CommandOptions() override { return options; }
    int ColumnToX(int, int column) override { return column * 8; }
    int XToColumn(int, int x) override { return (x + 4) / 8; }
    int VisibleRowCount() override { return 3; }
    TEasySelCorners Selection() override { return {start, end, false}; }
    int StoredSelMode() override { return mode; }
    void StoreSelection(TEasyPoint a, TEasyPoint b, int requested) override
    {
        const int allowed = AdjustSelMode(TEasyBlockSelMode::bsBoth, requested, true);
        const TEasySelCorners corners = OrderSelCorners(a, b, allowed, (options & eoReduceBlockSel) != 0);
        mode = corners.Empty ? smNone : allowed;
        start = mode ? corners.Start : TEasyPoint{};
        end = mode ? corners.End : TEasyPoint{};
    }
    bool PutOnClipboard(const std::u16string& text, bool block) override
    {
        clipboard = text;
        clipboardBlock = block;
        return true;
    }
    std::optional<std::u16string> ReadClipboard(bool& block) override
    {
        block = clipboardBlock;
        return clipboard;
    }

    TEasyEditSource source{nullptr};
    TEasyEditorOptions options = eoEnableSelection;
    TEasyPoint start, end;
    int mode = smNone;
    std::u16string clipboard;
    bool clipboardBlock = false;
};

// The list and the owner's events: every list is shown, words with an "x"
// are misspelt and corrected.
class FuzzCompletionHost : public TEasyCompletionHost {
public:
    bool CanComplete() override { return true; }
    bool AutoComplete(std::vector<std::u16string>& items, char16_t key) override
    {
        items = {u"Abc", u"ab\U0001F600", u"", u"(x)"};
        return key % 2 == 0;
    }
    bool DisplayHint(std::u16string& hint, char16_t) override
    {
        hint = u"hint";
        return true;
    }
    bool WordAutoCorrect(const std::u16string& word, std::u16string& correct) override
    {
        correct = word.size() % 2 ? u"fixed" : u"";
        return true;
    }
    void ShowList(const std::vector<std::wstring>& lines, int) override { listOpen = !lines.empty(); }
    void ChooseListItem(int) override {}
    void CloseList() override { listOpen = false; }
    bool ListShowing() override { return listOpen; }
    void ShowHint(const std::u16string&) override {}
    bool HintShowing() override { return false; }
    void StartTimer(int) override {}
    void StopTimer() override {}
    bool listOpen = false;
};

bool IsHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Halves of pairs the document did not have are the commands' doing.
int LoneHalves(const TEasyStrings& lines)
{
    int count = 0;
    for (int y = 0; y < lines.Count(); ++y) {
        const std::u16string_view line = lines.GetStored(y);
        for (size_t i = 0; i < line.size(); ++i) {
            if (IsHigh(line[i]) && !(i + 1 < line.size() && IsLow(line[i + 1])))
                ++count;
            if (IsLow(line[i]) && !(i > 0 && IsHigh(line[i - 1])))
                ++count;
        }
    }
    return count;
}

bool HasLoneHalf(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && !(i + 1 < text.size() && IsLow(text[i + 1])))
            return true;
        if (IsLow(text[i]) && !(i > 0 && IsHigh(text[i - 1])))
            return true;
    }
    return false;
}

// The lines with a break between them: no line and one empty line are the
// same empty text.
std::u16string Joined(const TEasyStrings& lines)
{
    std::u16string text;
    for (int y = 0; y < lines.Count(); ++y) {
        if (y > 0)
            text += u'\n';
        text += lines.GetStored(y);
    }
    return text;
}

std::u16string Units(const uint8_t* data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // Header: options, document length, paste length (in units).
    const uint8_t flags = data[0];
    const size_t documentUnits = std::min<size_t>(data[1], 64);
    const size_t pasteUnits = std::min<size_t>(data[2], 32);
    data += 3;
    size -= 3;
    const size_t documentBytes = std::min(size, documentUnits * 2);
    const std::u16string document = Units(data, documentBytes);
    data += documentBytes;
    size -= documentBytes;
    const size_t pasteBytes = std::min(size, pasteUnits * 2);
    FuzzHost host;
    host.clipboard = Units(data, pasteBytes);
    host.clipboardBlock = (flags & 1) != 0;
    data += pasteBytes;
    size -= pasteBytes;

    host.options |= (flags & 2) ? eoPersistentBlocks : 0;
    host.options |= (flags & 4) ? eoOverwriteBlocks | eoEnTabBlock : 0;
    host.options |= (flags & 8) ? eoReduceBlockSel : 0;
    TEasySourceOptions sourceOptions = host.source.Options() & ~srGroupUndo;
    sourceOptions |= (flags & 16) ? srUseTab : 0;
    sourceOptions |= (flags & 32) ? srSmartTab : 0;
    sourceOptions |= (flags & 128) ? srAutoCorrect : 0;
    host.source.SetOptions(sourceOptions);
    host.source.Strings().SetText(document);
    const bool wholeOnly = LoneHalves(host.source.Strings()) == 0 && !HasLoneHalf(host.clipboard);
    const std::u16string original = Joined(host.source.Strings());
    SetEasyOverwriteMode((flags & 64) != 0);

    host.source.OnWordSpell = [](TCustomEasyEditSource*, const std::u16string& word, bool& correct) {
        correct = word.find(u'x') == std::u16string::npos;
    };

    TEasyEditCommands commands(host);
    TEasyCodeTemplates templates;
    templates.Add({L"if", L"if", {L"if (|) {", L"", L"}"}});
    templates.Add({L"ifx", L"x", {L"x|y|z"}});
    templates.Add({L"w", L"w", {L"while", L"  \U0001F600|"}});
    FuzzCompletionHost owner;
    TEasyCompletion completion(commands, host, owner, templates);
    TEasyLongestLine longest;
    host.source.AddNotifier(&longest, [&](TEasySourceNotification* record) {
        if (!record && (host.source.States() & (csEdit | csCountChanged)))
            longest.Changed(host.source.Strings(), host.source.FirstChangedLine(), host.source.LastChangedLine(),
                            (host.source.States() & csCountChanged) != 0);
    });
    auto type = [&](char16_t c) {
        completion.BeforeTyping(c);
        commands.TypeChar(c);
        completion.AfterTyping(c);
    };
    for (size_t i = 0; i + 1 < size && i < 400; i += 2) {
        const uint8_t kind = data[i] % 16;
        const int code = data[i + 1] % 70;
        if (kind == 0) {
            type(static_cast<char16_t>(0xD7F0 + data[i + 1]));
        } else if (kind == 1) {
            type(static_cast<char16_t>(data[i + 1]));
        } else if (kind == 12) {
            completion.InsertCodeTemplate();
        } else if (kind == 13) {
            completion.PauseEnded();
        } else if (kind == 14) {
            completion.Accept(code % 5 - 1);
        } else if (kind == 15) {
            completion.KeyUp();
        } else {
            commands.Execute(static_cast<TEasyKeyHandler>(kind - 1), code);
        }
        completion.CaretMoved();
        const int count = host.source.Strings().Count();
        if (host.source.CaretY() > std::max(count - 1, 0) + 1)
            std::abort();
        if (host.mode == smStream && !(host.start.Y < host.end.Y || host.start.X < host.end.X))
            std::abort();
        // With whole pairs only, in the document and on the clipboard, the
        // commands must keep them whole.
        if (wholeOnly && LoneHalves(host.source.Strings()) > 0)
            std::abort();
        const TEasyStrings& lines = host.source.Strings();
        if (const std::optional<TEasyBracketPair> pair =
                FindEnclosingBrackets(lines, host.source.CaretPoint(), 0, count - 1)) {
            const std::u16string open = lines.Get(pair->Open.Y), close = lines.Get(pair->Close.Y);
            if (size_t(pair->Open.X) >= open.size() || size_t(pair->Close.X) >= close.size() ||
                u"(<[{"s.find(open[size_t(pair->Open.X)]) == std::u16string::npos ||
                u"(<[{"s.find(open[size_t(pair->Open.X)]) != u")>]}"s.find(close[size_t(pair->Close.X)]) ||
                !Before(pair->Open, host.source.CaretPoint()))
                std::abort();
        }
        size_t measured = 0;
        for (int y = 0; y < count; ++y)
            measured = std::max(measured, lines.GetStored(y).size());
        if (size_t(longest.Length(lines)) != measured)
            std::abort();
    }
    host.source.RemoveNotifier(&longest);
    SetEasyOverwriteMode(false);
    while (host.source.CanUndo())
        host.source.Undo();
    if (Joined(host.source.Strings()) != original)
        std::abort();
    return 0;
}
