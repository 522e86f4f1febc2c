// EditorProbe: shows a text file in the editor control, runs searches with
// the process-wide search settings and prints their hits and the settings,
// then saves the settings as the program does at its end. For developers
// and scripted checks.
//   EditorProbe FILE [--wrap] [--page breaks|layout] [--colors M] [--rules F]
//               [--settings F|--registry] [--search T [--case] [--regex]
//               [--back] [--repeat N]] [--show-settings] [--shot F.bmp]
//               [--background tile|gradient] [--collapse]
// M: default, classic, ocean, twilight. --background puts a tiled picture
// or a gradient behind the text; --collapse shows a collapsed block with
// its button in a column of its own. A search prints "hit LINE COLUMN
// LENGTH" (line from 0, column from 1) or "not found" per run; the first
// run searches the entire text. Exit code 0 when everything worked.

#include "common/BaseUtils.h"
#include "editor/EasyEditorParser.h"
#include "editor/EasySearchSettings.h"
#include "editor/EditorSettings.h"
#include "editor/win/EasyEditor.h"
#include "editor/win/EasyRegistryStore.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowPicture.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

using namespace qrv;

namespace {

void Print(const std::wstring& line)
{
    const std::string utf8 = WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

void PrintSettings(const TEasySearchSettings& s)
{
    const wchar_t* directions[] = {L"forward", L"backward"};
    const wchar_t* scopes[] = {L"global", L"selected"};
    const wchar_t* origins[] = {L"cursor", L"entire"};
    auto flag = [](bool value) { return value ? L"1" : L"0"; };
    Print(L"TextToFind=" + s.TextToFind);
    Print(L"ReplaceWith=" + s.ReplaceWith);
    Print(std::wstring(L"PromptOnReplace=") + flag(s.PromptOnReplace));
    Print(std::wstring(L"CaseSensitive=") + flag(s.CaseSensitive));
    Print(std::wstring(L"WholeWordsOnly=") + flag(s.WholeWordsOnly));
    Print(std::wstring(L"RegularExpr=") + flag(s.RegularExpr));
    Print(std::wstring(L"Direction=") + directions[int(s.Direction)]);
    Print(std::wstring(L"Scope=") + scopes[int(s.Scope)]);
    Print(std::wstring(L"Origin=") + origins[int(s.Origin)]);
    Print(std::wstring(L"ShowNotFound=") + flag(s.ShowNotFound));
    Print(L"GotoLineNumber=" + std::to_wstring(s.GotoLineNumber));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring file, page, colors, rules, settingsFile, search, shot;
    bool wrap = false, useRegistry = false, caseSensitive = false, regex = false, backward = false;
    bool showSettings = false, collapse = false, rulers = false, block = false;
    std::wstring background;
    int repeat = 1;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--wrap")
            wrap = true;
        else if (arg == L"--page" && hasValue)
            page = argv[++i];
        else if (arg == L"--colors" && hasValue)
            colors = argv[++i];
        else if (arg == L"--rules" && hasValue)
            rules = argv[++i];
        else if (arg == L"--settings" && hasValue)
            settingsFile = argv[++i];
        else if (arg == L"--registry")
            useRegistry = true;
        else if (arg == L"--search" && hasValue)
            search = argv[++i];
        else if (arg == L"--case")
            caseSensitive = true;
        else if (arg == L"--regex")
            regex = true;
        else if (arg == L"--back")
            backward = true;
        else if (arg == L"--repeat" && hasValue)
            repeat = std::max(_wtoi(argv[++i]), 1);
        else if (arg == L"--show-settings")
            showSettings = true;
        else if (arg == L"--background" && hasValue)
            background = argv[++i];
        else if (arg == L"--rulers")
            rulers = true;
        else if (arg == L"--block")
            block = true;
        else if (arg == L"--collapse")
            collapse = true;
        else if (arg == L"--shot" && hasValue)
            shot = argv[++i];
        else if (file.empty() && arg.rfind(L"--", 0) != 0)
            file = arg;
        else {
            Print(L"unknown argument: " + arg);
            return 2;
        }
    }
    if (file.empty()) {
        Print(L"usage: EditorProbe FILE [--wrap] [--page breaks|layout] [--colors M] [--rules F] "
              L"[--settings F|--registry] [--search T [--case] [--regex] [--back] [--repeat N]] "
              L"[--show-settings] [--rulers] [--block] [--shot F.bmp]");
        return 2;
    }

    // Where the settings live, as the program sets it before the first use.
    SetSettingsFileName(settingsFile.empty() ? ExtractFilePath(argv[0]) + L"EditorSettings.txt" : settingsFile);
    SetSettingsKey(L"\\Software\\Quorvan Free\\EditorSettings");
    SetSettingsUseRegistry(useRegistry);
    SetSettingsRegistryStore(&EasyRegistry());

    TForm form(nullptr);
    form.SetCaption(L"EditorProbe");
    form.SetBounds(0, 0, 760, 520);
    auto* edit = new TEasyEdit(&form);
    edit->SetParent(&form);
    edit->SetAlign(TAlign::alClient);
    form.HandleNeeded();

    int result = 0;
    try {
        edit->GetEditSource()->LoadFromFile(file);
    } catch (const Exception& e) {
        Print(L"error: " + e.Message());
        return 1;
    }
    edit->LineNumbers().SetVisible(true);
    edit->SetWordWrap(wrap);
    if (rulers)
        edit->SetRulerOptions(roHorzRuler | roVertRuler);
    if (page == L"breaks")
        edit->SetPageType(TEasyPageType::ptPageBreaks);
    else if (page == L"layout")
        edit->SetPageType(TEasyPageType::ptPageLayout);

    if (background == L"tile") {
        // A 32-pixel check of two pale colours.
        TBitmap& picture = edit->Background().Bitmap();
        picture.SetSize(32, 32, static_cast<TColor>(RGB(0xE8, 0xF0, 0xFF)));
        {
            // Drawn and let go before the background takes the picture.
            TOwnDC dc(CreateCompatibleDC(nullptr));
            TSelectObject select(dc.Get(), picture.Handle());
            TGdiObject brush(CreateSolidBrush(RGB(0xFF, 0xF0, 0xD8)));
            const RECT first{0, 0, 16, 16}, second{16, 16, 32, 32};
            FillRect(dc.Get(), &first, static_cast<HBRUSH>(brush.Get()));
            FillRect(dc.Get(), &second, static_cast<HBRUSH>(brush.Get()));
        }
        edit->Background().SetOption(TEasyBackgroundOption::bgTile);
    } else if (background == L"gradient") {
        edit->Background().SetGradientStartColor(static_cast<TColor>(RGB(0xFF, 0xFF, 0xFF)));
        edit->Background().SetGradientEndColor(static_cast<TColor>(RGB(0xA0, 0xC0, 0xFF)));
        edit->Background().SetOption(TEasyBackgroundOption::bgVertGradient);
    } else if (!background.empty()) {
        Print(L"unknown background: " + background);
        return 2;
    }
    if (collapse && edit->Lines().Count() > 4) {
        // Line 0 heads an open block, line 2 a closed one hiding line 3.
        TEasyStrings& lines = edit->Lines();
        lines.SetAllowHiddenLines(true);
        lines.Expand(0, true);
        lines.Collapse(2, true);
        lines.SetLineVisible(3, false);
        edit->SetOptions(edit->Options() & ~eoCollapseButtonOnGutter);
    }

    std::unique_ptr<TEasyEditorParser> parser;
    if (!rules.empty() || !colors.empty()) {
        parser = std::make_unique<TEasyEditorParser>(nullptr);
        const std::map<std::wstring, TEasyColorMapping> mappings = {{L"default", TEasyColorMapping::cmDefault},
                                                                    {L"classic", TEasyColorMapping::cmClassic},
                                                                    {L"ocean", TEasyColorMapping::cmOcean},
                                                                    {L"twilight", TEasyColorMapping::cmTwilight}};
        if (!colors.empty()) {
            const auto it = mappings.find(colors);
            if (it == mappings.end()) {
                Print(L"unknown colour mapping: " + colors);
                return 2;
            }
            parser->SetColorMapping(it->second);
        }
        try {
            if (!rules.empty())
                parser->Rules().LoadFromFile(rules);
        } catch (const Exception& e) {
            Print(L"error in the rules: " + e.Message());
            result = 1;
        }
        parser->ExchangeColors(edit->Colors(), false);
        edit->SetColor(parser->GetBackgroundColor());
        edit->GetEditSource()->SetParser(parser.get());
    }

    if (block) {
        // Columns 2 to 9 of lines 1 to 5, printed as a copy reads them.
        edit->SetSelection({2, 1}, {9, 5}, smBlock);
        Print(L"block " + std::to_wstring(edit->SelMode()) + L":");
        Print(edit->SelText());
    }

    TEasySearchSettings& settings = GetSearchSettings();
    if (!search.empty()) {
        settings.TextToFind = search;
        settings.CaseSensitive = caseSensitive;
        settings.RegularExpr = regex;
        settings.Direction = backward ? TEasySearchDirection::srBackward : TEasySearchDirection::srForward;
        settings.Origin = TEasySearchOrigin::sgEntireScope;
        settings.FirstSearch = true;
        TEasyPoint pos{1, 0};
        for (int i = 0; i < repeat; ++i) {
            int length = 0;
            try {
                if (settings.Search(edit->Lines(), pos, DefaultDelimiters(), length))
                    Print(L"hit " + std::to_wstring(pos.Y) + L" " + std::to_wstring(pos.X) + L" " +
                          std::to_wstring(length));
                else
                    Print(L"not found");
            } catch (const Exception& e) {
                Print(L"error: " + e.Message());
                result = 1;
                break;
            }
        }
    }
    if (showSettings)
        PrintSettings(settings);

    if (!shot.empty()) {
        form.Show();
        // A focused editor shows its selection in the active colours.
        if (block)
            edit->SetFocus();
        if (!ShowAndSaveWindowPicture(form.Handle(), shot)) {
            Print(L"error: the picture could not be saved");
            result = 1;
        }
    }
    edit->GetEditSource()->SetParser(nullptr);
    // As the program at its end: the settings are saved explicitly (the
    // search settings are the only ones this probe makes), with the reason
    // printed when that fails.
    try {
        settings.Save();
    } catch (const Exception& e) {
        Print(L"error: the settings could not be saved: " + e.Message());
        result = 1;
    }
    return result;
}
