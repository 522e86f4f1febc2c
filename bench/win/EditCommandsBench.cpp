// The editor's editing commands in the window, each beside its reference
// measured in the same run:
// - 10,000 characters typed (WM_CHAR, the window painted after each) at the
//   end of a 100 MB text, inside the brackets of its last line, beside the
//   same typing at the end of a 1 KB text;
//   the editor as the file display has it (line numbers, a parser without
//   rules) with bracket highlighting and the horizontal range following the
//   longest line;
// - Strg+A, Strg+C and Strg+V of a 10 MB text beside bare SetClipboardData
//   and GetClipboardData of the same text;
// - indenting 100,000 selected lines beside a loop over a
//   std::vector<std::u16string> that does the same.
//   qrv_bench_editcommands_win.exe [typing] [clipboard] [indent]
// (the rows named, all of them without a name).

#include "BenchFolders.h"
#include "editor/EasyEditorParser.h"
#include "editor/EasyKeyList.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/Forms.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kTyped = 10000;

// CR LF lines of 78 characters with a call in brackets on every line.
std::u16string MakeText(size_t units)
{
    std::u16string text;
    text.reserve(units + 80);
    for (int line = 0; text.size() < units; ++line) {
        std::u16string row = u"f(" + std::u16string(9, u'0' + char16_t(line % 10)) + u", [x]) { return y; }";
        row.resize(78, u' ');
        text += row;
        text += u"\r\n";
    }
    return text;
}

struct Editor {
    Editor()
    {
        form.SetBounds(0, 0, 900, 700);
        edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 880, 660);
        edit->LineNumbers().SetVisible(true);
        edit->LineNumbers().SetOptions(lnPaintOnGutter);
        edit->SetOptions(edit->Options() | eoHighlightBrackets);
        edit->SetHideScrollBars(true);
        parser.Rules().Clear();
        edit->GetEditSource()->SetParser(&parser);
        form.Show();
        edit->SetFocus();
    }
    ~Editor() { edit->GetEditSource()->SetParser(nullptr); }
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    TForm form{nullptr};
    TEasyEdit* edit = nullptr;
    TEasyEditorParser parser{nullptr};
};

// Types the characters at the end of the text, painting after each one.
double TypeAtEnd(const std::u16string& text)
{
    Editor editor;
    // The last line is a call whose brackets enclose the caret.
    editor.edit->Lines().SetText(text + u"end()");
    const int last = editor.edit->Lines().Count() - 1;
    editor.edit->SetCaretPos(4, last);
    editor.edit->MakeCaretVisible();
    UpdateWindow(editor.edit->Handle());
    static constexpr char16_t kTyping[] = u"g(a, (b)) ";
    const HWND window = editor.edit->Handle();
    const double ms = TimeOf([&] {
        for (int i = 0; i < kTyped; ++i) {
            SendMessageW(window, WM_CHAR, WPARAM(kTyping[i % 10]), 1);
            UpdateWindow(window);
        }
    });
    if (editor.edit->Lines().GetStored(last).size() < size_t(kTyped) || !editor.edit->BracketPair())
        std::printf("EditCommands: typing did not reach the text or no brackets were highlighted\n");
    return ms;
}

// A bare round trip of the text through the clipboard.
bool BareClipboard(HWND window, const std::u16string& text, std::u16string& back)
{
    if (!OpenClipboard(window))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    if (!memory) {
        CloseClipboard();
        return false;
    }
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(char16_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    if (!OpenClipboard(window))
        return false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const auto* units = static_cast<const char16_t*>(GlobalLock(data));
        back.assign(units, GlobalSize(data) / sizeof(char16_t) - 1);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return back.size() == text.size();
}

// A command of the key map as its key runs it.
void Run(TEasyEdit& edit, TEasyKeyHandler handler, int code)
{
    edit.Commands().Execute(handler, code);
    UpdateWindow(edit.Handle());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Application = new TApplication();
    Application->Initialize();
    bool ok = true;
    auto wanted = [&](std::wstring_view row) {
        if (argc < 2)
            return true;
        for (int i = 1; i < argc; ++i)
            if (row == argv[i])
                return true;
        return false;
    };

    if (wanted(L"typing")) {
        // Typing: the rounds alternate between the texts (two each: a round
        // of 10,000 characters takes most of a minute under Wine).
        const std::u16string large = MakeText(size_t(100) << 20);
        const std::u16string small = MakeText(1024);
        std::vector<double> largeTimes, smallTimes;
        for (int round = 0; round < 2; ++round) {
            largeTimes.push_back(TypeAtEnd(large));
            smallTimes.push_back(TypeAtEnd(small));
        }
        const double typedLarge = Median(largeTimes), typedSmall = Median(smallTimes);
        const double typingRatio = typedSmall > 0 ? typedLarge / typedSmall : 0;
        std::printf("EditCommands: %d characters typed at the end of 100 MB: %.0f ms; of 1 KB: %.0f ms; ratio %.2f "
                    "(target <= 1.5)\n",
                    kTyped, typedLarge, typedSmall, typingRatio);
    }

    if (wanted(L"clipboard")) {
        // The clipboard: Strg+A, C, V of 10 MB.
        const std::u16string tenMB = MakeText(size_t(10) << 20);
        std::vector<double> editorClip, bareClip;
        for (int round = 0; round < 3; ++round) {
            Editor editor;
            editor.edit->Lines().SetText(tenMB);
            UpdateWindow(editor.edit->Handle());
            const int lines = editor.edit->Lines().Count();
            editorClip.push_back(TimeOf([&] {
                Run(*editor.edit, TEasyKeyHandler::ExecuteBlockCommand, 44);
                Run(*editor.edit, TEasyKeyHandler::ExecuteBlockCommand, 22);
                Run(*editor.edit, TEasyKeyHandler::ExecuteBlockCommand, 24);
            }));
            ok = ok && editor.edit->Lines().Count() == lines;
            std::u16string back;
            bareClip.push_back(TimeOf([&] { ok = BareClipboard(editor.edit->Handle(), tenMB, back) && ok; }));
        }
        const double clipEditor = Median(editorClip), clipBare = Median(bareClip);
        const double clipRatio = clipBare > 0 ? clipEditor / clipBare : 0;
        std::printf("EditCommands: Strg+A, C, V of 10 MB: %.0f ms; bare Set/GetClipboardData: %.0f ms; ratio %.2f "
                    "(target <= 3)\n",
                    clipEditor, clipBare, clipRatio);
    }

    if (wanted(L"indent")) {
        // Indenting 100,000 lines.
        std::vector<std::u16string> lines(100000);
        for (size_t i = 0; i < lines.size(); ++i)
            lines[i] = u"line " + std::u16string(1, u'0' + char16_t(i % 10)) + u" { return f(x); }";
        std::u16string text;
        for (const std::u16string& line : lines)
            text += line + u"\r\n";
        std::vector<double> editorIndent, bareIndent;
        for (int round = 0; round < 3; ++round) {
            Editor editor;
            editor.edit->Lines().SetText(text);
            UpdateWindow(editor.edit->Handle());
            Run(*editor.edit, TEasyKeyHandler::ExecuteBlockCommand, 44);
            editorIndent.push_back(TimeOf([&] { Run(*editor.edit, TEasyKeyHandler::ExecuteBlockCommand, 33); }));
            ok = ok && editor.edit->Lines().GetStored(99999).substr(0, 2) == u"  ";
            std::vector<std::u16string> copy = lines;
            bareIndent.push_back(TimeOf([&] {
                for (std::u16string& line : copy)
                    if (!line.empty())
                        line.insert(0, u"  ");
            }));
            ok = ok && copy[99999].substr(0, 2) == u"  ";
        }
        const double indentEditor = Median(editorIndent), indentBare = Median(bareIndent);
        const double indentRatio = indentBare > 0 ? indentEditor / indentBare : 0;
        std::printf("EditCommands: indenting 100,000 lines: %.1f ms; bare std::vector<std::u16string> loop: %.1f ms; "
                    "ratio %.2f (target <= 10)\n",
                    indentEditor, indentBare, indentRatio);
    }
    return ok ? 0 : 1;
}
