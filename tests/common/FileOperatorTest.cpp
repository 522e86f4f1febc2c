#include "common/FileOperator.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace qrv;

namespace {

std::vector<std::wstring> SplitDoubleNul(const std::wstring& joined)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start < joined.size() && joined[start] != L'\0') {
        const size_t end = joined.find(L'\0', start);
        names.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// A file system of full paths (true: folder) whose shell operation carries
// out copies, moves and deletes of top-level items with everything below.
class FakeSystem : public TFileOperatorSystem {
public:
    struct ShellCall {
        uint32_t code;
        std::vector<std::wstring> from, to;
        TFileOperationFlags flags;
    };
    std::map<std::wstring, bool> items;
    std::map<std::wstring, uint64_t> sizes;  // of files; 0 when not given
    // Targets the shell writes short (the size written; nothing: not at
    // all), reporting success as Wine's shell does on a full drive. A move
    // whose target came out short keeps its source.
    std::map<std::wstring, std::optional<uint64_t>> shortWrites;
    std::vector<std::wstring> removed;
    std::vector<ShellCall> shellCalls;
    std::vector<std::wstring> notified;
    std::map<std::wstring, uint32_t> renameErrors;  // by source
    std::set<std::wstring> shellSkips;              // sources the shell leaves, reporting success
    TShellOperationResult nextResult;
    bool applyShell = true;
    // As Wine's shell: a move of several files, none a folder, into fewer
    // destinations without foMultiDestFiles is cancelled and does nothing.
    bool refuseFilesIntoOneFolder = false;
    bool locked = false;
    int repaints = 0;
    std::function<void()> duringShell;

    void File(const std::wstring& p, uint64_t size = 0)
    {
        items[p] = false;
        sizes[p] = size;
    }
    void Dir(const std::wstring& p) { items[p] = true; }

    TShellOperationResult ShellOperation(uint32_t code, const std::wstring& from, const std::wstring& to,
                                         TFileOperationFlags flags) override
    {
        shellCalls.push_back({code, SplitDoubleNul(from), SplitDoubleNul(to), flags});
        if (duringShell) {
            duringShell();
        }
        if (refuseFilesIntoOneFolder && code == 1 && (flags & foMultiDestFiles) == 0) {
            const ShellCall& call = shellCalls.back();
            const bool anyFolder =
                std::any_of(call.from.begin(), call.from.end(), [&](auto& name) { return DirectoryExists(name); });
            if (!anyFolder && call.from.size() > call.to.size()) {
                return {1223, true};
            }
        }
        if (applyShell && nextResult.Code == 0 && !nextResult.AnyAborted) {
            const ShellCall& call = shellCalls.back();
            const bool multi = (flags & foMultiDestFiles) != 0;
            for (size_t i = 0; i < call.from.size(); ++i) {
                const std::wstring& src = call.from[i];
                if (shellSkips.count(src)) {
                    continue;
                }
                std::wstring target;
                if (code != 3) {
                    // One item to a name that is no folder takes that name.
                    const bool intoFolder = call.from.size() > 1 || DirectoryExists(call.to[0]);
                    target = multi        ? call.to[i]
                             : intoFolder ? call.to[0] + L"\\" + src.substr(src.rfind(L'\\') + 1)
                                          : call.to[0];
                }
                Transfer(src, target, code == 2);
            }
        }
        return nextResult;
    }
    uint32_t RenameFile(const std::wstring& from, const std::wstring& to) override
    {
        if (auto it = renameErrors.find(from); it != renameErrors.end()) {
            return it->second;
        }
        if (!items.count(from)) {
            return 2;
        }
        if (items.count(to)) {
            return 183;
        }
        Transfer(from, to, false);
        return 0;
    }
    bool FileOrDirExists(const std::wstring& p) override { return items.count(p) != 0; }
    bool DirectoryExists(const std::wstring& p) override { return items.count(p) && items[p]; }
    std::vector<TTreeFile> TreeFiles(const std::wstring& p) override
    {
        std::vector<TTreeFile> files;
        for (const auto& [path, folder] : items) {
            if (!folder && (path == p || path.rfind(p + L"\\", 0) == 0)) {
                files.push_back({path.substr(p.size()), sizes[path]});
            }
        }
        return files;
    }
    uint32_t RemoveFile(const std::wstring& p) override
    {
        removed.push_back(p);
        return items.erase(p) ? 0 : 2;
    }
    uint32_t ShortTargetError(const std::wstring&, uint64_t missing) override { return missing > 0 ? 112 : 29; }
    bool Lock() override
    {
        if (locked) {
            return false;
        }
        locked = true;
        return true;
    }
    void Unlock() override { locked = false; }
    void NotifyRenamed(bool folder, const std::wstring& oldPath, const std::wstring& newPath) override
    {
        notified.push_back((folder ? L"D " : L"F ") + oldPath + L" > " + newPath);
    }
    void RepaintOwner() override { ++repaints; }

private:
    // Copies or moves src with everything below it to target (empty: deletes).
    void Transfer(const std::wstring& src, const std::wstring& target, bool keepSource)
    {
        std::map<std::wstring, bool> moved;
        std::map<std::wstring, uint64_t> movedSizes;
        for (auto it = items.begin(); it != items.end();) {
            const bool below = it->first == src || it->first.rfind(src + L"\\", 0) == 0;
            if (!below) {
                ++it;
                continue;
            }
            bool keep = keepSource;
            if (!target.empty()) {
                const std::wstring to = target + it->first.substr(src.size());
                const auto written = shortWrites.find(to);
                if (written == shortWrites.end()) {
                    moved[to] = it->second;
                    movedSizes[to] = sizes[it->first];
                } else {
                    keep = true;
                    if (written->second) {
                        moved[to] = false;
                        movedSizes[to] = *written->second;
                    }
                }
            }
            it = keep ? std::next(it) : items.erase(it);
        }
        items.insert(moved.begin(), moved.end());
        for (const auto& [path, size] : movedSizes) {
            sizes[path] = size;
        }
    }
};

struct FileOperatorRuns : ::testing::Test {
    std::shared_ptr<FakeSystem> fs = std::make_shared<FakeSystem>();
    TFileOperator op{fs};

    bool Run(TFileOperation operation, const std::vector<std::wstring>& from, const std::vector<std::wstring>& to,
             TFileOperationFlags extra = 0)
    {
        op.Operation = operation;
        op.Flags = foAllowUndo | foNoConfirmMkDir | extra;
        for (const auto& f : from) {
            op.SourceFiles.Add(f);
        }
        for (const auto& t : to) {
            op.DestFiles.Add(t);
        }
        return op.Execute();
    }
    // "Projekt" with neu.txt and c.txt in C:\q; C:\z holds a "Projekt" of its
    // own with keep.txt.
    void ProjektOnBothSides()
    {
        fs->Dir(L"C:\\q");
        fs->Dir(L"C:\\q\\Projekt");
        fs->File(L"C:\\q\\Projekt\\neu.txt");
        fs->File(L"C:\\q\\c.txt");
        fs->Dir(L"C:\\z");
        fs->Dir(L"C:\\z\\Projekt");
        fs->File(L"C:\\z\\Projekt\\keep.txt");
    }
};

}  // namespace

TEST(FileOperatorBasics, ShellCodesFlagsAndNameBuffers)
{
    const std::pair<TFileOperation, uint32_t> codes[] = {{TFileOperation::foMove, 1},
                                                         {TFileOperation::foCopy, 2},
                                                         {TFileOperation::foDelete, 3},
                                                         {TFileOperation::foRename, 4}};
    for (const auto& [operation, code] : codes) {
        EXPECT_EQ(ShellOperationCode(operation), code);
        EXPECT_EQ(OperationFromShellCode(code), operation);
    }
    EXPECT_EQ(OperationFromShellCode(9), TFileOperation::foCopy) << "unknown codes read as copy";

    TFileOperator op(std::make_shared<FakeSystem>());
    EXPECT_EQ(op.Flags, 0x240);
    EXPECT_EQ(op.ProgressTitle, L"Dateioperation");
    op.SetWantMappingHandle(true);
    EXPECT_EQ(op.Flags, 0x260);
    op.SetWantMappingHandle(false);
    EXPECT_EQ(op.Flags, 0x240);

    const std::wstring joined = DoubleNulList({L"C:\\a", L"C:\\bc"});
    EXPECT_EQ(joined, std::wstring(L"C:\\a\0C:\\bc\0\0", 12));
    EXPECT_EQ(DoubleNulList({}), std::wstring(1, L'\0'));
    EXPECT_THROW(DoubleNulList({std::wstring(L"C:\\a\0b", 6)}), EInvalidOperation);
}

TEST(FileOperatorBasics, OnlyFullPathsAreAccepted)
{
    const std::pair<std::wstring, bool> cases[] = {
        {L"C:\\", true},
        {L"c:\\dir\\f.txt", true},
        {L"\\\\srv\\share\\x", true},
        {L"\\\\srv\\share", true},
        {L"", false},
        {L"C:", false},
        {L"C:dir", false},
        {L"dir\\f.txt", false},
        {L"\\dir", false},
        {L"\\\\srv", false},
        {L"\\\\\\x", false},
        {L"1:\\x", false},
        {std::wstring(L"C:\\a\0", 5), false},
    };
    for (const auto& [path, full] : cases) {
        EXPECT_EQ(IsFullPath(path), full) << std::string(path.begin(), path.end());
    }
}

TEST_F(FileOperatorRuns, EmptySourceListDoesNothingAndKeepsTheDestinations)
{
    op.DestFiles.Add(L"C:\\ziel");
    EXPECT_FALSE(op.Execute());
    EXPECT_EQ(op.LastRefusal(), TFileOperatorRefusal::NoSources);
    EXPECT_EQ(op.DestFiles.Count(), 1);
    EXPECT_TRUE(fs->shellCalls.empty());
}

TEST_F(FileOperatorRuns, RelativeOrEmptyNamesAreRefusedAndTheLastRunStaysUndoable)
{
    fs->Dir(L"C:\\q");
    fs->Dir(L"C:\\z");
    fs->File(L"C:\\q\\a.txt");
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt"}, {L"C:\\z"}));
    for (const auto& [from, to] :
         {std::pair<std::wstring, std::wstring>{L"a.txt", L"C:\\z"}, {L"C:\\q\\a.txt", L""}, {L"C:\\q\\a.txt", L"z"}}) {
        EXPECT_FALSE(Run(TFileOperation::foCopy, {from}, {to}));
        EXPECT_EQ(op.LastRefusal(), TFileOperatorRefusal::NotFullPath);
        EXPECT_EQ(op.SourceFiles.Count(), 0);
    }
    EXPECT_EQ(fs->shellCalls.size(), 1u);
    EXPECT_TRUE(op.UndoAvailable());
}

TEST_F(FileOperatorRuns, RenameRunReportsEveryFailedPairAndRemembersOnlyTheRenamedOnes)
{
    fs->Dir(L"C:\\d");
    fs->File(L"C:\\d\\a");
    fs->File(L"C:\\d\\b");
    fs->Dir(L"C:\\d\\c");
    fs->renameErrors[L"C:\\d\\a"] = 5;  // access denied on the first pair
    EXPECT_FALSE(Run(TFileOperation::foRename, {L"C:\\d\\a", L"C:\\d\\b", L"C:\\d\\c"},
                     {L"C:\\d\\a2", L"C:\\d\\b2", L"C:\\d\\c2"}));
    ASSERT_EQ(op.RenameFailures().size(), 1u);
    EXPECT_EQ(op.RenameFailures()[0].Source, L"C:\\d\\a");
    EXPECT_EQ(op.RenameFailures()[0].Error, 5u);
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\d\\b2"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\d\\c2"));
    EXPECT_EQ(fs->notified, (std::vector<std::wstring>{L"F C:\\d\\b > C:\\d\\b2", L"D C:\\d\\c > C:\\d\\c2"}));
    ASSERT_TRUE(op.UndoAvailable());
    EXPECT_EQ(op.LastSource(), (std::vector<std::wstring>{L"C:\\d\\b", L"C:\\d\\c"}));

    ASSERT_TRUE(op.Undo());
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\d\\b"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\d\\c"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\d\\a")) << "the failed pair was never touched";
    EXPECT_TRUE(op.UndoAvailable()) << "an undone rename can itself be undone";
}

TEST_F(FileOperatorRuns, RenameToItselfIsSkippedAndLongRunsRepaintEveryHundredPairs)
{
    std::vector<std::wstring> from, to;
    for (int i = 0; i < 250; ++i) {
        const std::wstring name = L"C:\\r\\f" + std::to_wstring(i);
        fs->File(name);
        from.push_back(name);
        to.push_back(i == 7 ? name : name + L"x");
    }
    EXPECT_TRUE(Run(TFileOperation::foRename, from, to));
    EXPECT_EQ(fs->repaints, 3);
    EXPECT_EQ(op.LastSource().size(), 249u);
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\r\\f7"));
}

TEST_F(FileOperatorRuns, AbortedCopyIsNotSuccessAndForgetsTheEarlierRun)
{
    fs->Dir(L"C:\\q");
    fs->Dir(L"C:\\z");
    fs->File(L"C:\\q\\a.txt");
    fs->File(L"C:\\q\\b.txt");
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\b.txt"}, {L"C:\\z"}));
    ASSERT_TRUE(op.UndoAvailable());
    fs->nextResult = {0, true};  // the shell returns 0 but the user declined a part
    EXPECT_FALSE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt", L"C:\\q\\b.txt"}, {L"C:\\z"}));
    EXPECT_TRUE(op.LastAborted());
    EXPECT_FALSE(op.UndoAvailable());
    EXPECT_FALSE(op.Undo());
}

TEST_F(FileOperatorRuns, DeleteAndCollisionRenamingLeaveNothingToUndo)
{
    fs->Dir(L"C:\\q");
    fs->File(L"C:\\q\\a.txt");
    fs->File(L"C:\\q\\b.txt");
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt"}, {L"C:\\q\\c"}));
    ASSERT_TRUE(op.UndoAvailable());
    ASSERT_TRUE(Run(TFileOperation::foDelete, {L"C:\\q\\b.txt"}, {}));
    EXPECT_FALSE(op.UndoAvailable());
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt"}, {L"C:\\q\\d"}, foRenameOnCollision));
    EXPECT_FALSE(op.UndoAvailable());
    op.Flags = 0;
    op.Operation = TFileOperation::foCopy;
    op.SourceFiles.Add(L"C:\\q\\a.txt");
    op.DestFiles.Add(L"C:\\q\\e");
    ASSERT_TRUE(op.Execute());
    EXPECT_FALSE(op.UndoAvailable()) << "without foAllowUndo nothing is remembered";
}

TEST_F(FileOperatorRuns, NestedExecuteFromTheShellLoopIsRefusedAndTheOuterRunIsRemembered)
{
    fs->Dir(L"C:\\q");
    fs->Dir(L"C:\\z");
    fs->File(L"C:\\q\\a.txt");
    fs->File(L"C:\\q\\x.txt");
    bool nestedResult = true;
    fs->duringShell = [&] {
        fs->duringShell = nullptr;
        op.Operation = TFileOperation::foDelete;
        op.SourceFiles.Add(L"C:\\q\\x.txt");
        nestedResult = op.Execute();
    };
    EXPECT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt"}, {L"C:\\z"}));
    EXPECT_FALSE(nestedResult);
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\x.txt"));
    EXPECT_EQ(fs->shellCalls.size(), 1u);
    ASSERT_TRUE(op.UndoAvailable());
    EXPECT_EQ(op.LastRun().Operation, TFileOperation::foCopy);
    EXPECT_EQ(op.LastSource(), std::vector<std::wstring>{L"C:\\q\\a.txt"});
    EXPECT_FALSE(fs->locked);
}

// Undo plans: each case builds a state, runs one operation and checks what
// the undo deletes or moves back and what it leaves.
TEST_F(FileOperatorRuns, UndoOfACopyDeletesTheNewCopiesOnlyIntoTheRecycleBin)
{
    fs->Dir(L"C:\\q");
    fs->Dir(L"C:\\z");
    fs->File(L"C:\\q\\a.txt");
    fs->File(L"C:\\q\\b.txt");
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt", L"C:\\q\\b.txt"}, {L"C:\\z"}));
    ASSERT_TRUE(fs->FileOrDirExists(L"C:\\z\\b.txt"));
    ASSERT_TRUE(op.Undo());
    const auto& call = fs->shellCalls.back();
    EXPECT_EQ(call.code, 3u);
    EXPECT_EQ(call.from, (std::vector<std::wstring>{L"C:\\z\\a.txt", L"C:\\z\\b.txt"}));
    EXPECT_TRUE(call.flags & foAllowUndo);
    EXPECT_TRUE(call.flags & foNoConfirmation);
    EXPECT_FALSE(fs->FileOrDirExists(L"C:\\z\\a.txt"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\a.txt"));
    EXPECT_FALSE(op.UndoAvailable());
    EXPECT_EQ(op.Operation, TFileOperation::foCopy) << "the operator's own settings come back";
    EXPECT_EQ(op.Flags, foAllowUndo | foNoConfirmMkDir);
}

TEST_F(FileOperatorRuns, UndoOfACopyOntoAnExistingFolderKeepsThatFolder)
{
    ProjektOnBothSides();
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\Projekt", L"C:\\q\\c.txt"}, {L"C:\\z"}));
    ASSERT_TRUE(op.Undo());
    EXPECT_EQ(fs->shellCalls.back().from, std::vector<std::wstring>{L"C:\\z\\c.txt"});
    EXPECT_EQ(op.UndoKept(), std::vector<std::wstring>{L"C:\\z\\Projekt"});
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\z\\Projekt\\keep.txt"));
}

TEST_F(FileOperatorRuns, UndoOfACopyToSeveralDestinationsDeletesEachDestination)
{
    fs->Dir(L"C:\\q");
    fs->File(L"C:\\q\\a.txt");
    fs->File(L"C:\\q\\b.txt");
    ASSERT_TRUE(Run(TFileOperation::foCopy, {L"C:\\q\\a.txt", L"C:\\q\\b.txt"},
                    {L"C:\\q\\a - Kopie.txt", L"C:\\q\\b - Kopie.txt"}, foMultiDestFiles));
    EXPECT_TRUE(op.LastRun().MultiDest);
    ASSERT_TRUE(op.Undo());
    EXPECT_EQ(fs->shellCalls.back().from,
              (std::vector<std::wstring>{L"C:\\q\\a - Kopie.txt", L"C:\\q\\b - Kopie.txt"}));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\a.txt"));
}

TEST_F(FileOperatorRuns, UndoOfAMoveReturnsEachItemToItsOwnFolderWithoutOverwriting)
{
    fs->Dir(L"C:\\eins");
    fs->Dir(L"C:\\zwei");
    fs->Dir(L"C:\\ziel");
    fs->File(L"C:\\eins\\a.txt");
    fs->File(L"C:\\zwei\\b.txt");
    fs->File(L"C:\\zwei\\c.txt");
    ASSERT_TRUE(
        Run(TFileOperation::foMove, {L"C:\\eins\\a.txt", L"C:\\zwei\\b.txt", L"C:\\zwei\\c.txt"}, {L"C:\\ziel"}));
    fs->File(L"C:\\zwei\\c.txt");  // a new file took c.txt's old place meanwhile
    ASSERT_TRUE(op.Undo());
    const auto& call = fs->shellCalls.back();
    EXPECT_EQ(call.code, 1u);
    EXPECT_TRUE(call.flags & foMultiDestFiles);
    EXPECT_EQ(call.from, (std::vector<std::wstring>{L"C:\\ziel\\a.txt", L"C:\\ziel\\b.txt"}));
    EXPECT_EQ(call.to, (std::vector<std::wstring>{L"C:\\eins\\a.txt", L"C:\\zwei\\b.txt"}));
    EXPECT_EQ(op.UndoKept(), std::vector<std::wstring>{L"C:\\ziel\\c.txt"});
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\eins\\a.txt"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\ziel\\c.txt"));
    EXPECT_TRUE(op.UndoAvailable()) << "moving back is a move that can be undone";
}

// Several files moved into one folder go to the shell named one by one:
// Wine's shell cancels the other form. With a folder among them, or a file
// whose target is a folder, the call stays as it was.
TEST_F(FileOperatorRuns, SeveralFilesMovedIntoAFolderAreNamedOneByOne)
{
    fs->refuseFilesIntoOneFolder = true;
    fs->Dir(L"C:\\q");
    fs->Dir(L"C:\\z");
    fs->Dir(L"C:\\q\\Ordner");
    fs->File(L"C:\\q\\a.txt", 1);
    fs->File(L"C:\\q\\paket.zip", 22);
    fs->File(L"C:\\q\\x");
    fs->Dir(L"C:\\z\\x");
    const struct Case {
        const char* what;
        std::vector<std::wstring> from;
        bool named;
    } cases[] = {
        {"two files", {L"C:\\q\\a.txt", L"C:\\q\\paket.zip"}, true},
        {"a file and a folder", {L"C:\\q\\a.txt", L"C:\\q\\Ordner"}, false},
        {"a file whose target is a folder", {L"C:\\q\\a.txt", L"C:\\q\\x"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool done = Run(TFileOperation::foMove, c.from, {L"C:\\z"});
        const auto& call = fs->shellCalls.back();
        if (c.named) {
            EXPECT_TRUE(done);
            EXPECT_TRUE(call.flags & foMultiDestFiles);
            EXPECT_EQ(call.to, (std::vector<std::wstring>{L"C:\\z\\a.txt", L"C:\\z\\paket.zip"}));
            EXPECT_TRUE(fs->FileOrDirExists(L"C:\\z\\paket.zip"));
            EXPECT_FALSE(fs->FileOrDirExists(L"C:\\q\\paket.zip"));
            ASSERT_TRUE(op.Undo());
            EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\a.txt"));
            EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\paket.zip"));
            EXPECT_FALSE(fs->FileOrDirExists(L"C:\\z\\a.txt"));
        } else {
            EXPECT_FALSE(call.flags & foMultiDestFiles);
            EXPECT_EQ(call.to, std::vector<std::wstring>{L"C:\\z"});
        }
    }
    fs->refuseFilesIntoOneFolder = false;
    ASSERT_TRUE(Run(TFileOperation::foMove, {L"C:\\q\\a.txt"}, {L"C:\\z"}));
    EXPECT_EQ(fs->shellCalls.back().to, std::vector<std::wstring>{L"C:\\z"}) << "one file goes as it was";
}

TEST_F(FileOperatorRuns, UndoOfAMoveIntoAnExistingFolderOfTheSameNameLeavesThatFolder)
{
    ProjektOnBothSides();
    ASSERT_TRUE(Run(TFileOperation::foMove, {L"C:\\q\\Projekt", L"C:\\q\\c.txt"}, {L"C:\\z"}));
    ASSERT_TRUE(fs->FileOrDirExists(L"C:\\z\\Projekt\\neu.txt"));
    ASSERT_TRUE(op.Undo());
    EXPECT_EQ(fs->shellCalls.back().from, std::vector<std::wstring>{L"C:\\z\\c.txt"});
    EXPECT_EQ(op.UndoKept(), std::vector<std::wstring>{L"C:\\z\\Projekt"});
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\c.txt"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\z\\Projekt\\keep.txt")) << "the folder's own file stays in its place";
}

TEST_F(FileOperatorRuns, AMoveThatLeavesAnItemIsFailureAndRemembersWhatMoved)
{
    ProjektOnBothSides();
    fs->shellSkips.insert(L"C:\\q\\Projekt");  // as Wine's shell does, reporting success
    EXPECT_FALSE(Run(TFileOperation::foMove, {L"C:\\q\\Projekt", L"C:\\q\\c.txt"}, {L"C:\\z"}));
    EXPECT_EQ(op.NotMoved(), std::vector<std::wstring>{L"C:\\q\\Projekt"});
    ASSERT_TRUE(op.UndoAvailable());
    EXPECT_EQ(op.LastSource(), std::vector<std::wstring>{L"C:\\q\\c.txt"});
    ASSERT_TRUE(op.Undo());
    EXPECT_TRUE(op.UndoKept().empty());
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\c.txt"));
    EXPECT_FALSE(fs->FileOrDirExists(L"C:\\z\\c.txt"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\q\\Projekt\\neu.txt"));
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\z\\Projekt\\keep.txt"));

    // Nothing moved: nothing to undo.
    fs->shellSkips.insert(L"C:\\q\\c.txt");
    EXPECT_FALSE(Run(TFileOperation::foMove, {L"C:\\q\\Projekt", L"C:\\q\\c.txt"}, {L"C:\\z"}));
    EXPECT_EQ(op.NotMoved().size(), 2u);
    EXPECT_FALSE(op.UndoAvailable());
}

// The shell's result is not trusted: a copy or move is success only when
// every target holds as many bytes as its source held. A partial target the
// run made is deleted, the source kept, and nothing short is remembered.
TEST_F(FileOperatorRuns, ACopyOrMoveIsSuccessOnlyWhenEveryTargetIsWhole)
{
    const struct Case {
        TFileOperation operation;
        int shellCode;
        uint64_t sourceSize;
        std::optional<uint64_t> targetAfter;  // nothing: as the source; -1 written: missing
        bool missingTarget;
        bool success;
    } cases[] = {
        {TFileOperation::foCopy, 0, 3000000, std::nullopt, false, true},
        {TFileOperation::foCopy, 0, 3000000, 1048576, false, false},
        {TFileOperation::foCopy, 0, 3000000, 0, false, false},
        {TFileOperation::foCopy, 0, 10, 12, false, false},
        {TFileOperation::foCopy, 0, 0, std::nullopt, false, true},
        {TFileOperation::foCopy, 0, 0, std::nullopt, true, false},
        {TFileOperation::foCopy, 0, 3000000, std::nullopt, true, false},
        {TFileOperation::foMove, 0, 3000000, std::nullopt, false, true},
        {TFileOperation::foMove, 0, 3000000, 1048576, false, false},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.operation == TFileOperation::foCopy ? "copy " : "move ") +
                                  std::to_string(c.sourceSize) + " -> " +
                                  (c.missingTarget ? "missing"
                                   : c.targetAfter ? std::to_string(*c.targetAfter)
                                                   : "whole");
        auto system = std::make_shared<FakeSystem>();
        TFileOperator runner{system};
        system->Dir(L"C:\\q");
        system->Dir(L"S:\\ziel");
        system->File(L"C:\\q\\a.bin", c.sourceSize);
        if (c.missingTarget) {
            system->shortWrites[L"S:\\ziel\\a.bin"] = std::nullopt;
        } else if (c.targetAfter) {
            system->shortWrites[L"S:\\ziel\\a.bin"] = c.targetAfter;
        }
        system->nextResult.Code = c.shellCode;
        runner.Operation = c.operation;
        runner.Flags = foAllowUndo | foNoConfirmMkDir;
        runner.SourceFiles.Add(L"C:\\q\\a.bin");
        runner.DestFiles.Add(L"S:\\ziel");
        EXPECT_EQ(runner.Execute(), c.success) << label;
        EXPECT_EQ(runner.UndoAvailable(), c.success) << label;
        // The source stays whole unless it moved whole.
        const bool moved = c.success && c.operation == TFileOperation::foMove;
        EXPECT_EQ(system->FileOrDirExists(L"C:\\q\\a.bin"), !moved) << label;
        if (!moved) {
            EXPECT_EQ(system->sizes[L"C:\\q\\a.bin"], c.sourceSize) << label;
        }
        if (c.success) {
            EXPECT_TRUE(runner.FailedTargets().empty()) << label;
            EXPECT_EQ(system->TreeFiles(L"S:\\ziel\\a.bin"), (std::vector<TTreeFile>{{L"", c.sourceSize}})) << label;
            continue;
        }
        // No partial file is left, and the failure names the system's reason.
        EXPECT_FALSE(system->FileOrDirExists(L"S:\\ziel\\a.bin")) << label;
        ASSERT_EQ(runner.FailedTargets().size(), 1u) << label;
        EXPECT_EQ(runner.FailedTargets()[0].Source, L"C:\\q\\a.bin");
        EXPECT_EQ(runner.FailedTargets()[0].Target, L"S:\\ziel\\a.bin");
        // Short: the drive is full; else the writing failed.
        const bool shorter = c.sourceSize > 0 && (c.missingTarget || *c.targetAfter < c.sourceSize);
        EXPECT_EQ(runner.FailedTargets()[0].Error, shorter ? 112u : 29u) << label;
    }
}

// Of several items only those that came out whole are remembered; a file
// that was at the target before the run is never deleted, and a shell that
// reports failure itself is not second-guessed.
TEST_F(FileOperatorRuns, OnlyWholeTargetsAreRememberedAndOnlyFilesTheRunMadeAreDeleted)
{
    fs->Dir(L"C:\\q");
    fs->File(L"C:\\q\\klein.txt", 10);
    fs->Dir(L"C:\\q\\Ordner");
    fs->File(L"C:\\q\\Ordner\\eins.bin", 500);
    fs->File(L"C:\\q\\Ordner\\zwei.bin", 700000);
    fs->Dir(L"S:\\ziel");
    fs->Dir(L"S:\\ziel\\Ordner");
    fs->File(L"S:\\ziel\\Ordner\\alt.txt", 5);
    fs->shortWrites[L"S:\\ziel\\Ordner\\zwei.bin"] = 4096;
    EXPECT_FALSE(Run(TFileOperation::foCopy, {L"C:\\q\\klein.txt", L"C:\\q\\Ordner"}, {L"S:\\ziel"}));
    EXPECT_EQ(fs->removed, std::vector<std::wstring>{L"S:\\ziel\\Ordner\\zwei.bin"});
    EXPECT_TRUE(fs->FileOrDirExists(L"S:\\ziel\\Ordner\\alt.txt"));
    EXPECT_TRUE(fs->FileOrDirExists(L"S:\\ziel\\Ordner\\eins.bin"));
    ASSERT_EQ(op.FailedTargets().size(), 1u);
    EXPECT_EQ(op.FailedTargets()[0].Target, L"S:\\ziel\\Ordner");
    ASSERT_TRUE(op.UndoAvailable());
    EXPECT_EQ(op.LastSource(), std::vector<std::wstring>{L"C:\\q\\klein.txt"});
    EXPECT_EQ(op.LastRun().Targets, std::vector<std::wstring>{L"S:\\ziel\\klein.txt"});

    // The shell's own failure: its result stands, nothing is checked or deleted.
    fs->removed.clear();
    fs->nextResult.Code = 1223;
    fs->shortWrites[L"S:\\ziel\\b.txt"] = 1;
    fs->File(L"C:\\q\\b.txt", 10);
    EXPECT_FALSE(Run(TFileOperation::foCopy, {L"C:\\q\\b.txt"}, {L"S:\\ziel"}));
    EXPECT_TRUE(op.FailedTargets().empty());
    EXPECT_TRUE(fs->removed.empty());
}

TEST_F(FileOperatorRuns, UndoOfARenameWhoseOldNameIsTakenFails)
{
    fs->File(L"C:\\d\\alt");
    ASSERT_TRUE(Run(TFileOperation::foRename, {L"C:\\d\\alt"}, {L"C:\\d\\neu"}));
    fs->File(L"C:\\d\\alt");
    EXPECT_FALSE(op.Undo());
    EXPECT_EQ(op.UndoKept(), std::vector<std::wstring>{L"C:\\d\\neu"});
    EXPECT_TRUE(fs->FileOrDirExists(L"C:\\d\\neu"));
}
