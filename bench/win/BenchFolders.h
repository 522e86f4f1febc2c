#pragma once
// What the Windows benchmarks share: the check of the fixture folders on the
// test drive, the bare enumeration loop every result is set beside, and the
// clock arithmetic. The fixtures are plain files made on the Linux side by
// scripts/bench-fixtures (through Wine each creation would scan the growing
// folder: 100,000 files took more than 20 minutes); the benchmarks only read
// them.

#include <chrono>
#include <string>
#include <vector>

namespace qrv::bench {

double Milliseconds(std::chrono::steady_clock::duration d);

// The milliseconds one run of Step takes, and the least of Rounds runs.
double TimeOf(auto&& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return Milliseconds(std::chrono::steady_clock::now() - start);
}
double BestOf(int rounds, auto&& step)
{
    double least = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const double taken = TimeOf(step);
        least = taken < least ? taken : least;
    }
    return least;
}
// The middle value (of an even count the upper one); Values is not empty.
double Median(std::vector<double> Values);
// "median (least/median/most)" with Decimals places; "-" for no values.
std::string Spread(std::vector<double> Values, int Decimals = 1);

// True when the folder holds Count empty files "f000000.txt"... or Count
// subfolders "d00000"... (its last one is there); otherwise says which
// script makes it.
bool HasFileFolder(const std::wstring& folder, int count);
bool HasSubfolderFolder(const std::wstring& folder, int count);

// A bare FindFirstFileW/FindNextFileW loop over the folder: the number of
// entries ("." and ".." included), or of subfolders only.
int BareLoop(const std::wstring& folder);
int BareSubfolderLoop(const std::wstring& folder);

}  // namespace qrv::bench
