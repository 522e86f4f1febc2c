// Regular-expression search over a large generated text, line by line, all
// matches of each pattern, beside PCRE2's interpreter (no JIT, 16-bit code
// units without UTF) on the same lines. Before anything is timed, both must
// give the same list of (line, column, length).

#include "editor/EasyRegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

using namespace qrv;

namespace {

constexpr size_t kTextBytes = 50u << 20;

struct Text {
    std::u16string chars;
    std::vector<std::pair<size_t, int>> lines;  // offset, length
};

// German and English prose, numbers and code lines, about 50 MB of UTF-16.
const Text& TheText()
{
    static const Text text = [] {
        const std::vector<std::u16string> german = {
            u"Die", u"Größe",   u"der",     u"Wohnung", u"war",    u"eine",      u"Überraschung", u"für",  u"Holmes",
            u"und", u"Watson.", u"Zeitung", u"Ordnung", u"größer", u"Bedeutung", u"Lösung",       u"über", u"Straße",
            u"€",   u"Łódź",    u"Johnson", u"Kapitel", u"(siehe", u"oben)",     u"Erfahrung"};
        const std::vector<std::u16string> english = {
            u"The",      u"colour", u"of",  u"the",    u"color",   u"was",       u"HOLMES", u"said",     u"Mr.",
            u"Peterson", u"to",     u"Dr.", u"Watson", u"holmes",  u"(quietly)", u"and",    u"Anderson", u"went",
            u"on",       u"with",   u"the", u"story",  u"Jackson", u"sounding",  u"young"};
        const std::vector<std::u16string> code = {
            u"    if (count > 0) { total += f(a, b); }", u"    return Größe(x) * 2.5;",
            u"    version = \"1.22.3\"; // build 2024.12.10", u"    call(x, (y + z)) ;  # colour map",
            u"    for (int i = 0; i < n; ++i) sum += v[i];"};
        uint32_t seed = 12345;
        const auto next = [&seed](uint32_t range) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 8) % range;
        };
        Text result;
        std::u16string line;
        while (result.chars.size() * 2 < kTextBytes) {
            line.clear();
            const uint32_t kind = next(20);
            if (kind == 0) {
                line = u"Kapitel " + std::u16string(1, char16_t(u'1' + next(9)));
            } else if (kind < 4) {
                line = code[next(static_cast<uint32_t>(code.size()))];
            } else {
                const auto& words = kind < 12 ? german : english;
                const uint32_t count = 6 + next(10);
                for (uint32_t w = 0; w < count; ++w) {
                    if (w > 0)
                        line += u' ';
                    if (next(12) == 0) {
                        for (char c : std::to_string(next(1000)) + "." + std::to_string(next(100)))
                            line += static_cast<char16_t>(c);
                    } else {
                        line += words[next(static_cast<uint32_t>(words.size()))];
                    }
                }
            }
            result.lines.emplace_back(result.chars.size(), static_cast<int>(line.size()));
            result.chars += line;
        }
        return result;
    }();
    return text;
}

struct Pattern {
    const char16_t* ours;
    const char* pcre;
    bool caseSensitive;
};

const std::vector<Pattern> kPatterns = {
    {u"Holmes", "Holmes", true},
    {u"holmes", "holmes", false},
    {u"[a-z]+ung", "[a-z]+ung", true},
    {u"colou|r", "colou?r", true},
    {u"{[#48-#57]+\\.}+[#48-#57]+", "(?:[0-9]+\\.)+[0-9]+", true},
    {u"^Kapitel", "^Kapitel", true},
    {u"[A-Z][a-z]*son", "[A-Z][a-z]*son", true},
    {u"\\(.*\\)", "\\(.*\\)", true},
    {u"Größe", "Größe", true},
};

using Match = std::tuple<int, int, int>;  // line, column, length

void SearchOurs(TEasyRegExpr& re, std::vector<Match>* matches, int64_t& count)
{
    const Text& text = TheText();
    for (size_t l = 0; l < text.lines.size(); ++l) {
        const auto [offset, length] = text.lines[l];
        const char16_t* line = text.chars.data() + offset;
        TEasyPoint pos{1, 0};
        int matchLength = 0;
        while (pos.X <= length && re.Search(line, length, true, matchLength, pos)) {
            ++count;
            if (matches)
                matches->emplace_back(int(l), pos.X, matchLength);
            pos.X += std::max(matchLength, 1);
        }
    }
}

struct Pcre {
    pcre2_code_16* code = nullptr;
    pcre2_match_data_16* data = nullptr;
    explicit Pcre(const Pattern& pattern)
    {
        std::u16string wide;
        for (const char32_t c : Utf8ToWide(pattern.pcre))
            wide += static_cast<char16_t>(c);
        int error = 0;
        PCRE2_SIZE at = 0;
        code = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(wide.c_str()), wide.size(),
                                pattern.caseSensitive ? 0 : PCRE2_CASELESS, &error, &at, nullptr);
        data = code ? pcre2_match_data_create_from_pattern_16(code, nullptr) : nullptr;
    }
    ~Pcre()
    {
        pcre2_match_data_free_16(data);
        pcre2_code_free_16(code);
    }
};

void SearchPcre(const Pcre& re, std::vector<Match>* matches, int64_t& count)
{
    const Text& text = TheText();
    for (size_t l = 0; l < text.lines.size(); ++l) {
        const auto [offset, length] = text.lines[l];
        const auto* line = reinterpret_cast<PCRE2_SPTR16>(text.chars.data() + offset);
        PCRE2_SIZE from = 0;
        while (from < PCRE2_SIZE(length) && pcre2_match_16(re.code, line, length, from, 0, re.data, nullptr) >= 0) {
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer_16(re.data);
            ++count;
            if (matches)
                matches->emplace_back(int(l), int(ovector[0]) + 1, int(ovector[1] - ovector[0]));
            from = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
        }
    }
}

// Both engines agree on every pattern; checked once, before any timing.
bool Agree()
{
    static const bool agree = [] {
        for (const Pattern& pattern : kPatterns) {
            TEasyRegExpr ours(pattern.ours, pattern.caseSensitive);
            Pcre pcre(pattern);
            if (!pcre.code)
                return false;
            std::vector<Match> a, b;
            int64_t countA = 0, countB = 0;
            SearchOurs(ours, &a, countA);
            SearchPcre(pcre, &b, countB);
            std::fprintf(stderr, "RegExprSearch: %-28s %9lld matches (PCRE2 %lld)\n", pcre.code ? pattern.pcre : "?",
                         static_cast<long long>(countA), static_cast<long long>(countB));
            if (a != b)
                return false;
        }
        return true;
    }();
    return agree;
}

void RegExprSearchOurs(benchmark::State& state, int pattern)
{
    if (!Agree()) {
        state.SkipWithError("the engine and PCRE2 found different matches");
        return;
    }
    const auto first = pattern < 0 ? 0 : size_t(pattern);
    const auto last = pattern < 0 ? kPatterns.size() : first + 1;
    for (auto _ : state) {
        int64_t count = 0;
        for (size_t p = first; p < last; ++p) {
            TEasyRegExpr re(kPatterns[p].ours, kPatterns[p].caseSensitive);
            SearchOurs(re, nullptr, count);
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(TheText().chars.size() * 2 * (last - first)));
    state.SetLabel(pattern < 0 ? "all patterns" : kPatterns[first].pcre);
}

void RegExprSearchPcre(benchmark::State& state, int pattern)
{
    const auto first = pattern < 0 ? 0 : size_t(pattern);
    const auto last = pattern < 0 ? kPatterns.size() : first + 1;
    for (auto _ : state) {
        int64_t count = 0;
        for (size_t p = first; p < last; ++p) {
            Pcre re(kPatterns[p]);
            SearchPcre(re, nullptr, count);
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(TheText().chars.size() * 2 * (last - first)));
    state.SetLabel(pattern < 0 ? "all patterns" : kPatterns[first].pcre);
}

// Compiling all nine patterns once.
void RegExprCompileOurs(benchmark::State& state)
{
    for (auto _ : state)
        for (const Pattern& pattern : kPatterns) {
            TEasyRegExpr re(pattern.ours, pattern.caseSensitive);
            benchmark::DoNotOptimize(re.Nodes().data());
        }
}

void RegExprCompilePcre(benchmark::State& state)
{
    for (auto _ : state)
        for (const Pattern& pattern : kPatterns) {
            Pcre re(pattern);
            benchmark::DoNotOptimize(re.code);
        }
}

// Each pattern and all of them, each beside its reference.
const bool kRegistered = [] {
    for (int p = -1; p < int(kPatterns.size()); ++p) {
        const std::string name = std::string("RegExprSearch/") + (p < 0 ? "all" : kPatterns[size_t(p)].pcre);
        benchmark::RegisterBenchmark(name.c_str(), RegExprSearchOurs, p)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/ref:PCRE2 no JIT").c_str(), RegExprSearchPcre, p)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace

BENCHMARK(RegExprCompileOurs)->Name("RegExprSearch/Compile")->Unit(benchmark::kMicrosecond);
BENCHMARK(RegExprCompilePcre)->Name("RegExprSearch/Compile/ref:PCRE2")->Unit(benchmark::kMicrosecond);
