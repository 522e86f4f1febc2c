#include "common/RunTargets.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using qrv::TRunTargets;

// Each name in turn is written under the name the run gives it: a name
// written before in any case is named apart with the first free number,
// never one on the disk.
TEST(RunTargets, NamesDifferingOnlyInCaseAreNamedApart)
{
    struct TCase {
        const char* Name;
        std::vector<std::wstring> Targets;
        std::set<std::wstring> OnDisk;  // besides what the run wrote
        std::vector<std::wstring> Expected;
    };
    const TCase cases[] = {
        {"distinct names", {L"T\\a.txt", L"T\\b.txt"}, {}, {L"T\\a.txt", L"T\\b.txt"}},
        {"case only",
         {L"T\\Readme.txt", L"T\\README.TXT", L"T\\readme.txt"},
         {},
         {L"T\\Readme.txt", L"T\\README (1).TXT", L"T\\readme (2).txt"}},
        {"the same name twice", {L"T\\a.txt", L"T\\a.txt"}, {}, {L"T\\a.txt", L"T\\a (1).txt"}},
        {"a number taken on the disk", {L"T\\a.txt", L"T\\A.txt"}, {L"T\\A (1).txt"}, {L"T\\a.txt", L"T\\A (2).txt"}},
        {"folders in another case", {L"T\\Dir\\x", L"T\\DIR\\X"}, {}, {L"T\\Dir\\x", L"T\\DIR\\X (1)"}},
        {"a dot in the folder only", {L"T\\d.e\\name", L"T\\D.E\\NAME"}, {}, {L"T\\d.e\\name", L"T\\D.E\\NAME (1)"}},
        {"a name starting with a dot", {L"T/.profile", L"T/.PROFILE"}, {}, {L"T/.profile", L"T/.PROFILE (1)"}},
        {"umlauts",
         {L"T\\Größe.txt", L"T\\GRÖSSE.txt", L"T\\GRÖßE.TXT"},
         {},
         {L"T\\Größe.txt", L"T\\GRÖSSE.txt", L"T\\GRÖßE (1).TXT"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::set<std::wstring> disk = c.OnDisk;
        TRunTargets run([&disk](const std::wstring& name) { return disk.contains(name); });
        std::vector<std::wstring> written;
        for (const std::wstring& target : c.Targets) {
            const std::wstring name = run.Free(target);
            run.Written(name);
            disk.insert(name);
            written.push_back(name);
        }
        EXPECT_EQ(written, c.Expected);
    }
}

// Only what was written counts: a name looked at but not written stays free.
TEST(RunTargets, ANameNotWrittenStaysFree)
{
    TRunTargets run(nullptr);
    EXPECT_EQ(run.Free(L"T\\a.txt"), L"T\\a.txt");
    EXPECT_EQ(run.Free(L"T\\A.TXT"), L"T\\A.TXT");
    run.Written(L"T\\a.txt");
    EXPECT_EQ(run.Free(L"T\\A.TXT"), L"T\\A (1).TXT");
}
