// The editor window on large texts of 80-character lines: the time from
// loading the file through the edit source to the first paint of a 900 x 700
// editor, the time per page while paging to the end and back, and the
// memory the loaded editor takes; beside it, in the same run, the references: a
// plain ReadFile plus MultiByteToWideChar, the system's EDIT control
// (WM_SETTEXT, then paging) and the rich edit control (EM_STREAMIN, then
// paging; at 100 MB only with --big), and a page drawn with bare
// ExtTextOutW calls. The editor runs twice: bare, and with a parser without
// rules attached, as the file display shows texts.
//   qrv_bench_edit_win.exe [--big] [folder]   (default T:\; files made when missing)
//   QRV_EDIT_BENCH_MB lists the sizes in MB (default "10,100").

#include "BenchFolders.h"
#include "BenchText.h"
#include "editor/EasyEditorParser.h"
#include "editor/win/EasyEditor.h"
#include "framework/Streams.h"
#include "framework/win/Forms.h"

#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 700;

// The process's committed memory now, and the most it ever had.
double CommitMB(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(peak ? counters.PeakPagefileUsage : counters.PagefileUsage) / 1048576.0;
}

// Pages through the text in rounds of 100 pages: down from the top, then
// up from the bottom, the window painted after every step; the rounds
// alternate between the two ends so that the machine's other load falls on
// both alike. Returns the median ms per page of the rounds at each end.
struct PagingTimes {
    double Top = 0;
    double End = 0;
};

PagingTimes Page(HWND window, int pages, int rowsPerPage)
{
    const int kRound = std::min(pages, 100);
    const int rounds = std::max(pages / kRound, 1);
    std::vector<double> top, end;
    for (int round = 0; round < rounds; ++round) {
        // Each round starts where the one before ended.
        SendMessageW(window, WM_VSCROLL, SB_TOP, 0);
        SendMessageW(window, EM_LINESCROLL, 0, LPARAM(round) * kRound * rowsPerPage);
        UpdateWindow(window);
        top.push_back(TimeOf([&] {
                          for (int i = 0; i < kRound; ++i) {
                              SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, 0);
                              UpdateWindow(window);
                          }
                      }) /
                      kRound);
        SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
        SendMessageW(window, EM_LINESCROLL, 0, -LPARAM(round) * kRound * rowsPerPage);
        UpdateWindow(window);
        end.push_back(TimeOf([&] {
                          for (int i = 0; i < kRound; ++i) {
                              SendMessageW(window, WM_VSCROLL, SB_PAGEUP, 0);
                              UpdateWindow(window);
                          }
                      }) /
                      kRound);
    }
    return {Median(top), Median(end)};
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND SystemWindow(const wchar_t* className, DWORD style)
{
    return CreateWindowExW(WS_EX_CLIENTEDGE, className, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | style, 0,
                           0, kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

DWORD CALLBACK StreamText(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done)
{
    auto* rest = reinterpret_cast<std::string_view*>(cookie);
    const size_t n = std::min<size_t>(size_t(size), rest->size());
    std::memcpy(buffer, rest->data(), n);
    rest->remove_prefix(n);
    *done = static_cast<LONG>(n);
    return 0;
}

// A page of 80-character rows drawn with one ExtTextOutW each.
double BareTextOutPage(HWND window, const std::wstring& text, int pages)
{
    HDC dc = GetDC(window);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, L"Courier New");
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int rows = kHeight / metrics.tmHeight;
    std::vector<INT> advances(80, metrics.tmAveCharWidth);
    size_t at = 0;
    const double total = TimeOf([&] {
        for (int page = 0; page < pages; ++page)
            for (int row = 0; row < rows; ++row) {
                const RECT rect{0, row * metrics.tmHeight, kWidth, (row + 1) * metrics.tmHeight};
                ExtTextOutW(dc, 0, rect.top, ETO_OPAQUE | ETO_CLIPPED, &rect, text.data() + at, 78, advances.data());
                at = (at + 80) % (text.size() - 80);
            }
        GdiFlush();
    });
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);
    return total / pages;
}

struct EditorFigures {
    double FirstPaint = 0, Bottom = 0, WrapBottom = 0, Memory = 0;
    PagingTimes Paging;
    int Rows = 0;
};

// Loads the file into an editor of its own, paints, pages and jumps to the end.
EditorFigures MeasureEditor(const std::wstring& name, int pages, bool withParser)
{
    EditorFigures figures;
    {
        TForm form(nullptr);
        form.SetBounds(0, 0, kWidth + 40, kHeight + 60);
        auto* edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, kWidth, kHeight);
        TEasyEditorParser parser(nullptr);
        if (withParser) {
            parser.Rules().Clear();
            edit->GetEditSource()->SetParser(&parser);
        }
        form.Show();
        Pump();
        const double before = CommitMB(false);
        auto sample = [&] { figures.Memory = std::max(figures.Memory, CommitMB(false) - before); };
        figures.FirstPaint = TimeOf([&] {
            edit->GetEditSource()->LoadFromFile(name);
            RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        });
        sample();
        figures.Rows = edit->VisibleRows();
        figures.Bottom = TimeOf([&] {
            SendMessageW(edit->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
            UpdateWindow(edit->Handle());
        });
        figures.Paging = Page(edit->Handle(), pages, figures.Rows);
        sample();
        edit->SetTopRow(0);
        edit->SetWordWrap(true);
        UpdateWindow(edit->Handle());
        figures.WrapBottom = TimeOf([&] {
            SendMessageW(edit->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
            UpdateWindow(edit->Handle());
        });
        sample();
        // The editor goes before the parser it uses.
        edit->GetEditSource()->SetParser(nullptr);
    }
    Pump();
    return figures;
}

void RunSize(const std::wstring& folder, size_t mb, bool big)
{
    const std::wstring name = folder + L"qrvbench-edit-" + std::to_wstring(mb) + L"mb.txt";
    MakeLinesFile(name, mb * 1048576, "abcdefghij klmnopqrs tuvwxyz \xe4\xf6\xfc ");
    const int pages = mb >= 100 ? 2000 : 500;
    // The system's edit pages at the end in seconds at 100 MB: fewer pages.
    const int referencePages = mb >= 100 ? 20 : 100;

    // The editor first, so that its memory is measured before the references load;
    // then again with a parser without rules attached, as the file display has it.
    const EditorFigures plain = MeasureEditor(name, pages, false);
    const EditorFigures parsed = MeasureEditor(name, pages, true);
    const int rowsShown = plain.Rows;

    // References: read, convert.
    std::string bytes;
    const double read = TimeOf([&] { bytes = ReadFileBytes(name); });
    std::wstring text;
    const double convert = TimeOf([&] {
        text.resize(bytes.size());
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                          static_cast<int>(text.size()));
        text.resize(size_t(n));
    });
    const double bareOut = BareTextOutPage(GetDesktopWindow(), text, 200);

    std::printf("editor, %zu MB of 80-character lines, %d rows a page (memory of the loaded editor %.0f MB, the "
                "text as UTF-16 alone %.0f MB):\n",
                mb, rowsShown, plain.Memory, double(text.size()) * 2 / 1048576.0);
    for (const EditorFigures* figures : {&plain, &parsed}) {
        std::printf(" %s\n", figures == &plain ? "without a parser:" : "with a parser without rules:");
        std::printf("  first paint %.0f ms; read %.0f ms + convert %.0f ms = %.0f ms: %.2f x (target <= 5, and < "
                    "1000 ms at 100 MB)\n",
                    figures->FirstPaint, read, convert, read + convert, figures->FirstPaint / (read + convert));
        std::printf("  a page: %.2f ms at the top, %.2f ms at the end: %.2f x (target <= 1.2); bare ExtTextOutW "
                    "page %.2f ms\n",
                    figures->Paging.Top, figures->Paging.End, figures->Paging.End / figures->Paging.Top, bareOut);
        std::printf("  SB_BOTTOM from the top %.1f ms; word wrap SB_BOTTOM %.0f ms (target < 1000 ms at 100 MB)\n",
                    figures->Bottom, figures->WrapBottom);
    }
    const double firstPaint = plain.FirstPaint;
    const PagingTimes editPaging = plain.Paging;
    std::fflush(stdout);

    // The system's EDIT control.
    {
        HWND edit = SystemWindow(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
        const double load = TimeOf([&] {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        });
        const PagingTimes paging = Page(edit, referencePages, rowsShown);
        DestroyWindow(edit);
        std::printf("  system EDIT: load %.0f ms (editor %.2f x), a page %.2f ms at the top, %.2f ms at the end "
                    "(editor %.2f x, %.2f x)\n",
                    load, firstPaint / load, paging.Top, paging.End, editPaging.Top / paging.Top,
                    editPaging.End / paging.End);
        std::fflush(stdout);
    }
    Pump();
    // The rich edit control.
    if (mb < 100 || big) {
        LoadLibraryW(L"riched20.dll");
        HWND rich = SystemWindow(L"RichEdit20W", ES_MULTILINE | ES_AUTOVSCROLL);
        SendMessageW(rich, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        std::string_view rest(bytes);
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rest), 0, StreamText};
        const double load = TimeOf([&] {
            SendMessageW(rich, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
            RedrawWindow(rich, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        });
        const PagingTimes paging = Page(rich, referencePages, rowsShown);
        DestroyWindow(rich);
        std::printf("  rich edit: load %.0f ms (editor %.2f x), a page %.2f ms at the top, %.2f ms at the end "
                    "(editor %.2f x, %.2f x); process peak so far %.0f MB\n",
                    load, firstPaint / load, paging.Top, paging.End, editPaging.Top / paging.Top,
                    editPaging.End / paging.End, CommitMB(true));
    } else {
        std::printf("  rich edit at %zu MB: run with --big\n", mb);
    }
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    bool big = false;
    std::wstring folder = L"T:\\";
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--big")
            big = true;
        else
            folder = argv[i];
    }
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    TApplication application;
    application.Initialize();
    const char* sizes = std::getenv("QRV_EDIT_BENCH_MB");
    std::string list = sizes ? sizes : "10,100";
    for (size_t at = 0; at < list.size();) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const size_t mb = std::strtoul(list.substr(at, comma - at).c_str(), nullptr, 10);
        if (mb > 0)
            RunSize(folder, mb, big);
        at = comma + 1;
    }
    return 0;
}
