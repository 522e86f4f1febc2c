// The editor's command core on a document, a pasted text and commands from
// the bytes, in both selection modes: no crash, the caret and the selection
// stay in the text, no pair of surrogates is split, undoing everything gives
// the document back.

#include "editor/EasyEditCommands.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qrv;

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
    host.source.SetOptions(sourceOptions);
    host.source.Strings().SetText(document);
    const bool wholeOnly = LoneHalves(host.source.Strings()) == 0 && !HasLoneHalf(host.clipboard);
    const std::u16string original = Joined(host.source.Strings());
    SetEasyOverwriteMode((flags & 64) != 0);

    TEasyEditCommands commands(host);
    for (size_t i = 0; i + 1 < size && i < 400; i += 2) {
        const uint8_t kind = data[i] % 12;
        const int code = data[i + 1] % 70;
        if (kind == 0) {
            commands.TypeChar(static_cast<char16_t>(0xD7F0 + data[i + 1]));
        } else if (kind == 1) {
            commands.TypeChar(static_cast<char16_t>(data[i + 1]));
        } else {
            commands.Execute(static_cast<TEasyKeyHandler>(kind - 1), code);
        }
        const int count = host.source.Strings().Count();
        if (host.source.CaretY() > std::max(count - 1, 0) + 1)
            std::abort();
        if (host.mode == smStream && !(host.start.Y < host.end.Y || host.start.X < host.end.X))
            std::abort();
        // With whole pairs only, in the document and on the clipboard, the
        // commands must keep them whole.
        if (wholeOnly && LoneHalves(host.source.Strings()) > 0)
            std::abort();
    }
    SetEasyOverwriteMode(false);
    while (host.source.CanUndo())
        host.source.Undo();
    if (Joined(host.source.Strings()) != original)
        std::abort();
    return 0;
}
