// The editor's page-layout view on 10 MB of 80-character lines beside its
// normal view, in the same run: the first paint after loading, SB_BOTTOM,
// and 500 page-downs each painted. The target is at most twice the normal
// view's time for each.
//   qrv_bench_pages_win.exe [folder]   (default T:\; the file is made when missing)

#include "BenchFolders.h"
#include "BenchText.h"
#include "editor/win/EasyEditor.h"
#include "framework/Streams.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 700;
constexpr int kPageDowns = 500;

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct TFigures {
    double FirstPaint = 0;
    double Bottom = 0;
    double PageDowns = 0;
};

TFigures Measure(const std::wstring& name, TEasyPageType type)
{
    TFigures figures;
    TForm form(nullptr);
    form.SetBounds(0, 0, kWidth + 40, kHeight + 60);
    auto* edit = new TEasyEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(0, 0, kWidth, kHeight);
    edit->Pages().DefaultPage().SetPaintPageNumber(true);
    edit->SetPageType(type);
    form.Show();
    Pump();
    const HWND window = edit->Handle();
    figures.FirstPaint = TimeOf([&] {
        edit->GetEditSource()->LoadFromFile(name);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    });
    figures.Bottom = TimeOf([&] {
        SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
        UpdateWindow(window);
    });
    SendMessageW(window, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(window);
    figures.PageDowns = TimeOf([&] {
        for (int i = 0; i < kPageDowns; ++i) {
            SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, 0);
            UpdateWindow(window);
        }
    });
    Pump();
    return figures;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring folder = argc > 1 ? argv[1] : L"T:\\";
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    TApplication application;
    application.Initialize();
    const std::wstring name = folder + L"qrvbench-edit-10mb.txt";
    MakeLinesFile(name, 10 * 1048576, "abcdefghij klmnopqrs tuvwxyz ");

    // Three rounds each, the views taking turns; the medians count.
    std::vector<TFigures> normal, layout;
    for (int round = 0; round < 3; ++round) {
        normal.push_back(Measure(name, TEasyPageType::ptNormal));
        layout.push_back(Measure(name, TEasyPageType::ptPageLayout));
    }
    auto median = [](const std::vector<TFigures>& all, double TFigures::*field) {
        std::vector<double> values;
        for (const TFigures& f : all)
            values.push_back(f.*field);
        return Median(values);
    };
    bool met = true;
    std::printf("editor page layout, 10 MB of 80-character lines (target <= 2 x the normal view):\n");
    const struct {
        const char* name;
        double TFigures::*field;
    } rows[] = {{"first paint", &TFigures::FirstPaint},
                {"SB_BOTTOM", &TFigures::Bottom},
                {"500 page-downs", &TFigures::PageDowns}};
    for (const auto& row : rows) {
        const double ours = median(layout, row.field);
        const double reference = median(normal, row.field);
        const double ratio = ours / std::max(reference, 0.001);
        met = met && ratio <= 2.0;
        std::printf("  %-16s page layout %8.1f ms   normal view %8.1f ms   %.2f x\n", row.name, ours, reference, ratio);
    }
    std::printf("  target %s\n", met ? "met" : "NOT met");
    return 0;
}
