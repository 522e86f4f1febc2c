#pragma once
// A command host over an edit source for the editor's portable tests.

#include "editor/EasyEditCommands.h"
#include "editor/EasySelMode.h"

#include <functional>
#include <optional>
#include <string>

namespace qrv::test {

// A view of its own over the source: pixels from a fixed width per
// character (narrow "i" and "l" when proportional), the selection stored the
// way the editor stores it, a clipboard in memory.
class FakeHost : public TEasyEditCommandHost {
public:
    FakeHost()
    {
        source.AddNotifier(this, [this](TEasySourceNotification* record) {
            if (!record && (source.States() & csEdit) && !(options & eoPersistentBlocks) &&
                !(keepSelection && keepSelection()))
                StoreSelection({}, {}, smNone);
        });
    }
    ~FakeHost() override { source.RemoveNotifier(this); }

    TCustomEasyEditSource& Source() override { return source; }
    TEasyEditorOptions CommandOptions() override { return options; }
    int Width(int line, int column)
    {
        const std::u16string text = line < source.Strings().Count() ? source.Strings().Get(line) : u"";
        const char16_t c = column < int(text.size()) ? text[size_t(column)] : u' ';
        return proportional && (c == u'i' || c == u'l') ? 3 : 8;
    }
    int ColumnToX(int line, int column) override
    {
        int x = 0;
        for (int i = 0; i < column; ++i)
            x += Width(line, i);
        return x;
    }
    int XToColumn(int line, int x) override
    {
        int column = 0, left = 0;
        while (left + Width(line, column) / 2 < x)
            left += Width(line, column++);
        return column;
    }
    int VisibleRowCount() override { return rows; }
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
        if (clipboardLocked)
            return false;
        clipboard = text;
        clipboardBlock = block;
        return true;
    }
    std::optional<std::u16string> ReadClipboard(bool& block) override
    {
        block = clipboardBlock;
        return clipboard;
    }
    void Beep() override { ++beeps; }

    TEasyEditSource source{nullptr};
    TEasyEditorOptions options = eoEnableSelection;
    bool proportional = false;
    int rows = 10;
    TEasyPoint start, end;
    int mode = smNone;
    std::optional<std::u16string> clipboard;
    bool clipboardBlock = false;
    bool clipboardLocked = false;
    int beeps = 0;
    // True while edits must leave the selection (a search holds it).
    std::function<bool()> keepSelection;
};

}  // namespace qrv::test
