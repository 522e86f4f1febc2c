// The edit source on a document of one million lines, with undo on and one
// view attached, beside a std::vector<std::wstring> doing the same edits:
// typing 100,000 characters (80 a line, each an insert and a caret step),
// and inserting 10,000 lines from the middle down. The edit source does more
// per edit (undo records, change reports, the parse step); what must not
// happen is work that grows with the document. The line inserts take
// seconds, so the library runs them once.

#include "editor/EasyEditSource.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

constexpr int kLines = 1'000'000;
constexpr int kTyped = 100'000;
constexpr int kPerLine = 80;
constexpr int kInsertedLines = 10'000;
constexpr int kMiddle = kLines / 2;

std::wstring LineText(int i)
{
    return L"line " + std::to_wstring(i) + L" of the document";
}

std::u16string DocumentText()
{
    std::u16string text;
    text.reserve(static_cast<size_t>(kLines) * 28);
    for (int i = 0; i < kLines; ++i) {
        for (wchar_t c : LineText(i))
            text += static_cast<char16_t>(c);
        text += u'\n';
    }
    return text;
}

const std::u16string& Document()
{
    static const std::u16string text = DocumentText();
    return text;
}

std::vector<std::wstring> Reference()
{
    std::vector<std::wstring> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i)
        lines.push_back(LineText(i));
    return lines;
}

// A view that counts what it hears, as a real one would at least read it.
struct CountingView {
    explicit CountingView(TCustomEasyEditSource& source) : source_(source)
    {
        source_.AddNotifier(this, [this](TEasySourceNotification* record) {
            if (record)
                ++records;
            else
                ++broadcasts;
        });
    }
    ~CountingView() { source_.RemoveNotifier(this); }
    TCustomEasyEditSource& source_;
    int64_t broadcasts = 0;
    int64_t records = 0;
};

std::unique_ptr<TEasyEditSource> LoadedSource()
{
    auto source = std::make_unique<TEasyEditSource>(nullptr);
    source->Strings().SetText(Document());
    return source;
}

void EditSourceTyping(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto source = LoadedSource();
        CountingView view(*source);
        source->SetCaretPos(0, kMiddle);
        state.ResumeTiming();
        for (int i = 0; i < kTyped; ++i) {
            source->BeginUpdate(ckInsert);
            source->InsertText(u"x");
            source->CaretRight();
            source->EndUpdate();
            if ((i + 1) % kPerLine == 0)
                source->SetCaretPos(0, source->CaretY() + 1);
        }
        state.PauseTiming();
        benchmark::DoNotOptimize(view.broadcasts);
        state.counters["undo records"] = static_cast<double>(source->UndoList().Count());
        source.reset();
        state.ResumeTiming();
    }
}

void VectorTyping(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::wstring> lines = Reference();
        int y = kMiddle, x = 0;
        state.ResumeTiming();
        for (int i = 0; i < kTyped; ++i) {
            lines[static_cast<size_t>(y)].insert(static_cast<size_t>(x), 1, L'x');
            ++x;
            if ((i + 1) % kPerLine == 0) {
                ++y;
                x = 0;
            }
        }
        state.PauseTiming();
        benchmark::DoNotOptimize(lines.data());
        lines = {};
        state.ResumeTiming();
    }
}

void EditSourceInsertLines(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto source = LoadedSource();
        CountingView view(*source);
        state.ResumeTiming();
        for (int i = 0; i < kInsertedLines; ++i)
            source->InsertLine(kMiddle + i, u"an inserted line");
        state.PauseTiming();
        benchmark::DoNotOptimize(view.broadcasts);
        source.reset();
        state.ResumeTiming();
    }
}

void VectorInsertLines(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::wstring> lines = Reference();
        state.ResumeTiming();
        for (int i = 0; i < kInsertedLines; ++i)
            lines.insert(lines.begin() + kMiddle + i, L"an inserted line");
        state.PauseTiming();
        benchmark::DoNotOptimize(lines.data());
        lines = {};
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(EditSourceTyping)->Name("EditSource/type 100k chars in 1M lines")->Unit(benchmark::kMillisecond);
BENCHMARK(VectorTyping)
    ->Name("EditSource/type 100k chars in 1M lines/ref:vector<wstring>")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EditSourceInsertLines)->Name("EditSource/insert 10k lines in 1M")->Unit(benchmark::kMillisecond);
BENCHMARK(VectorInsertLines)
    ->Name("EditSource/insert 10k lines in 1M/ref:vector<wstring>")
    ->Unit(benchmark::kMillisecond);
