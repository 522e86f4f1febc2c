// Replace All in the editor window: 100,000 matches in a 10 MB text of
// 80-character lines, without prompting, from the replace form's run to the
// text replaced (one undo step); beside it, in the same run, a bare loop of
// std::u16string find and replace over the same lines.
//   qrv_bench_editreplace_win.exe

#include "BenchFolders.h"
#include "editor/EasySearchSettings.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/Forms.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kLines = 125000;  // 80 characters with the break: 10 MB
constexpr int kMatches = 100000;

// Every line but each fifth holds the word once.
std::vector<std::u16string> MakeLines()
{
    std::vector<std::u16string> lines;
    lines.reserve(kLines);
    int matches = 0;
    for (int i = 0; i < kLines; ++i) {
        std::u16string line = u"Zeile " + std::u16string(8, u'0' + char16_t(i % 10)) + u" ";
        if (i % 5 != 4 && matches < kMatches) {
            line += u"Nadel ";
            ++matches;
        }
        while (line.size() < 78)
            line += u"Heu ";
        line.resize(78);
        lines.push_back(std::move(line));
    }
    return lines;
}

int BareReplace(std::vector<std::u16string>& lines, const std::u16string& from, const std::u16string& to)
{
    int count = 0;
    for (std::u16string& line : lines)
        for (size_t at = line.find(from); at != std::u16string::npos; at = line.find(from, at + to.size())) {
            line.replace(at, from.size(), to);
            ++count;
        }
    return count;
}

}  // namespace

int wmain()
{
    Application = new TApplication();
    Application->Initialize();
    const std::vector<std::u16string> lines = MakeLines();
    std::u16string text;
    for (const std::u16string& line : lines)
        text += line + u"\r\n";

    std::vector<double> editorTimes, bareTimes;
    int replaced = 0, bareReplaced = 0;
    for (int round = 0; round < 3; ++round) {
        TForm form(nullptr);
        form.SetBounds(0, 0, 900, 700);
        auto* edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 880, 660);
        form.Show();
        edit->Lines().SetText(text);
        edit->SetCaretPos(0, 0);
        TEasySearchSettings& settings = GetSearchSettings();
        settings.TextToFind = L"Nadel";
        settings.ReplaceWith = L"Faden";
        settings.CaseSensitive = true;
        settings.PromptOnReplace = false;
        settings.ReplaceAll = true;
        settings.RegularExpr = false;
        settings.WholeWordsOnly = false;
        settings.Origin = TEasySearchOrigin::sgEntireScope;
        settings.Direction = TEasySearchDirection::srForward;
        settings.Scope = TEasySearchScope::scGlobal;
        editorTimes.push_back(TimeOf([&] {
            edit->Searching().ReplaceFromDialog();
            UpdateWindow(edit->Handle());
        }));
        replaced = edit->Searching().ReplaceCount();

        std::vector<std::u16string> copy = lines;
        bareTimes.push_back(TimeOf([&] { bareReplaced = BareReplace(copy, u"Nadel", u"Faden"); }));
    }
    const double editor = Median(editorTimes);
    const double bare = Median(bareTimes);
    std::printf("EditorReplace: Replace All of %d matches in 10 MB: %.1f ms; bare u16string loop (%d): %.1f ms; "
                "ratio %.2f (target <= 5)\n",
                replaced, editor, bareReplaced, bare, bare > 0 ? editor / bare : 0.0);
    return replaced == kMatches && bareReplaced == kMatches ? 0 : 1;
}
