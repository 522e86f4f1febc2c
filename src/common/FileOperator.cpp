#include "common/FileOperator.h"

#include "common/BaseUtils.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <cwctype>
#include <map>
#include <utility>

namespace qrv {

uint32_t ShellOperationCode(TFileOperation Operation)
{
    switch (Operation) {
    case TFileOperation::foMove:
        return 1;
    case TFileOperation::foCopy:
        return 2;
    case TFileOperation::foDelete:
        return 3;
    case TFileOperation::foRename:
        return 4;
    }
    return 2;
}

TFileOperation OperationFromShellCode(uint32_t Code)
{
    switch (Code) {
    case 1:
        return TFileOperation::foMove;
    case 3:
        return TFileOperation::foDelete;
    case 4:
        return TFileOperation::foRename;
    default:
        return TFileOperation::foCopy;
    }
}

std::wstring DoubleNulList(const std::vector<std::wstring>& Names)
{
    std::wstring joined;
    for (const std::wstring& name : Names) {
        if (name.find(L'\0') != std::wstring::npos) {
            throw EInvalidOperation(L"Dateiname enthält ein Nullzeichen");
        }
        joined += name;
        joined.push_back(L'\0');
    }
    joined.push_back(L'\0');
    return joined;
}

bool IsFullPath(const std::wstring& Path)
{
    if (Path.empty() || Path.find(L'\0') != std::wstring::npos) {
        return false;
    }
    const bool driveLetter = (Path[0] >= L'A' && Path[0] <= L'Z') || (Path[0] >= L'a' && Path[0] <= L'z');
    if (Path.size() >= 3 && driveLetter && Path[1] == L':' && Path[2] == L'\\') {
        return true;
    }
    // "\\server\share": a server name and a share name after it.
    if (Path.size() >= 5 && Path[0] == L'\\' && Path[1] == L'\\' && Path[2] != L'\\') {
        const size_t sep = Path.find(L'\\', 2);
        return sep != std::wstring::npos && sep + 1 < Path.size() && Path[sep + 1] != L'\\';
    }
    return false;
}

namespace {

std::vector<std::wstring> ToVector(const TStrings& list)
{
    std::vector<std::wstring> out;
    out.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        out.push_back(list[i]);
    }
    return out;
}

void Fill(TStrings& list, const std::vector<std::wstring>& names)
{
    list.Clear();
    for (const std::wstring& name : names) {
        list.Add(name);
    }
}

// Windows names compare without regard to case: a case-only rename leaves
// the old name "existing" as the same item.
bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr TFileOperationFlags kNotForUndo = foMultiDestFiles | foRenameOnCollision | foWantMappingHandle;

}  // namespace

std::vector<std::wstring> TopLevelTargets(const std::vector<std::wstring>& Sources,
                                          const std::vector<std::wstring>& Dests, bool MultiDest,
                                          TFileOperatorSystem& System)
{
    if (MultiDest && Dests.size() == Sources.size()) {
        return Dests;
    }
    std::vector<std::wstring> targets;
    if (Dests.empty()) {
        return targets;
    }
    const std::wstring& dest = Dests.front();
    const bool intoFolder = Sources.size() > 1 || System.DirectoryExists(dest);
    for (const std::wstring& source : Sources) {
        targets.push_back(intoFolder ? AddBackslash(dest) + ExtractFileName(RemoveBackslash(source)) : dest);
    }
    return targets;
}

TUndoPlan PlanUndo(const TFileOperationRecord& Record, TFileOperatorSystem& System)
{
    TUndoPlan plan;
    switch (Record.Operation) {
    case TFileOperation::foCopy:
        if (Record.Targets.size() != Record.Sources.size() || Record.TargetWasNew.size() != Record.Targets.size()) {
            return plan;
        }
        plan.Operation = TFileOperation::foDelete;
        plan.Flags = static_cast<TFileOperationFlags>((Record.Flags | foAllowUndo | foNoConfirmation) & ~kNotForUndo);
        for (size_t i = 0; i < Record.Targets.size(); ++i) {
            if (!Record.TargetWasNew[i]) {
                plan.Kept.push_back(Record.Targets[i]);
            } else if (System.FileOrDirExists(Record.Targets[i])) {
                plan.Sources.push_back(Record.Targets[i]);
            }
        }
        // Nothing to delete is still a complete undo: what was there stays.
        plan.Valid = true;
        return plan;

    case TFileOperation::foMove:
    case TFileOperation::foRename: {
        const bool move = Record.Operation == TFileOperation::foMove;
        const std::vector<std::wstring>& current = move ? Record.Targets : Record.Dests;
        if (current.size() != Record.Sources.size()) {
            return plan;
        }
        plan.Operation = Record.Operation;
        plan.Flags = static_cast<TFileOperationFlags>((Record.Flags | foAllowUndo | foNoConfirmation) & ~kNotForUndo);
        if (move) {
            plan.Flags |= foMultiDestFiles;
        }
        for (size_t i = 0; i < current.size(); ++i) {
            const std::wstring& now = current[i];
            const std::wstring& before = Record.Sources[i];
            const bool placeTaken = !SameNameIgnoringCase(now, before) && System.FileOrDirExists(before);
            // A folder moved onto one that was there before went into it:
            // moving it back would carry that folder's own items away too.
            const bool merged =
                move && i < Record.TargetWasNew.size() && !Record.TargetWasNew[i] && System.DirectoryExists(now);
            if (merged || placeTaken || !System.FileOrDirExists(now)) {
                plan.Kept.push_back(now);
            } else {
                plan.Sources.push_back(now);
                plan.Dests.push_back(before);
            }
        }
        plan.Valid = !plan.Sources.empty();
        return plan;
    }

    case TFileOperation::foDelete:
        return plan;
    }
    return plan;
}

TFileOperator::TFileOperator(std::shared_ptr<TFileOperatorSystem> System) : system_(std::move(System)) {}

void TFileOperator::SetWantMappingHandle(bool Value)
{
    Flags = static_cast<TFileOperationFlags>(Value ? (Flags | foWantMappingHandle) : (Flags & ~foWantMappingHandle));
}

void TFileOperator::ClearUndo()
{
    last_ = TFileOperationRecord();
    undoAvailable_ = false;
}

bool TFileOperator::Execute()
{
    refusal_ = TFileOperatorRefusal::None;
    aborted_ = false;
    shellCode_ = 0;
    renameFailures_.clear();
    notMoved_.clear();
    failedTargets_.clear();
    if (SourceFiles.Count() == 0) {
        refusal_ = TFileOperatorRefusal::NoSources;
        return false;
    }
    // The run works on its own copies: a caller filling the lists again (from
    // the shell's message loop) cannot change what this run remembers.
    const std::vector<std::wstring> sources = ToVector(SourceFiles);
    const std::vector<std::wstring> dests = ToVector(DestFiles);
    const TFileOperation operation = Operation;
    const TFileOperationFlags flags = Flags;
    SourceFiles.Clear();
    DestFiles.Clear();

    for (const auto* names : {&sources, &dests}) {
        for (const std::wstring& name : *names) {
            if (!IsFullPath(name)) {
                refusal_ = TFileOperatorRefusal::NotFullPath;
                return false;
            }
        }
    }
    if (!system_->Lock()) {
        refusal_ = TFileOperatorRefusal::Busy;
        return false;
    }
    ScopeExit unlock([this] { system_->Unlock(); });

    TFileOperationRecord done;
    done.Operation = operation;
    done.Flags = flags;
    done.MultiDest = (flags & foMultiDestFiles) != 0;
    const bool renameRun = operation == TFileOperation::foRename && sources.size() == dests.size();
    bool result = false;
    bool movedInPart = false;
    try {
        if (renameRun) {
            result = RunRenames(sources, dests, done);
        } else {
            const bool transfer = operation == TFileOperation::foCopy || operation == TFileOperation::foMove;
            // What each source holds and what each target held, to check the
            // targets after the run: the shell's result alone is not trusted.
            std::vector<std::vector<TTreeFile>> sourceFiles;
            std::vector<std::vector<TTreeFile>> targetFilesBefore;
            if (transfer) {
                done.Targets = TopLevelTargets(sources, dests, done.MultiDest, *system_);
                for (size_t i = 0; i < done.Targets.size(); ++i) {
                    done.TargetWasNew.push_back(!system_->FileOrDirExists(done.Targets[i]));
                    sourceFiles.push_back(system_->TreeFiles(sources[i]));
                    targetFilesBefore.push_back(done.TargetWasNew.back() ? std::vector<TTreeFile>()
                                                                         : system_->TreeFiles(done.Targets[i]));
                }
            }
            done.Sources = sources;
            done.Dests = dests;
            result = NamesEachMovedFile(operation, done)
                         ? RunShell(operation, flags | foMultiDestFiles, sources, done.Targets)
                         : RunShell(operation, flags, sources, dests);
            if (result && transfer && !KeepWholeTargetsOnly(done, sourceFiles, targetFilesBefore)) {
                result = false;
                movedInPart = true;
            }
            if (result && operation == TFileOperation::foMove) {
                result = KeepMovedOnly(done);
                movedInPart = !result;
            }
        }
    } catch (...) {
        TraceIgnoredException(L"TFileOperator.Execute");
        result = false;
        movedInPart = false;
    }

    // A rename run, and a copy or move the shell carried out in part, keep
    // what went through even when the rest failed.
    const bool happened = renameRun || movedInPart ? !done.Sources.empty() : result;
    const bool remember = happened && (flags & foAllowUndo) != 0 && (flags & foRenameOnCollision) == 0 &&
                          operation != TFileOperation::foDelete;
    if (remember) {
        last_ = std::move(done);
        undoAvailable_ = true;
    } else {
        ClearUndo();
    }
    return result;
}

bool TFileOperator::RunRenames(const std::vector<std::wstring>& sources, const std::vector<std::wstring>& dests,
                               TFileOperationRecord& done)
{
    for (size_t i = 0; i < sources.size(); ++i) {
        if (sources[i] != dests[i]) {
            const uint32_t error = SameNameIgnoringCase(sources[i], dests[i])
                                       ? RenameCaseOnly(sources[i], dests[i])
                                       : system_->RenameFile(sources[i], dests[i]);
            if (error != 0) {
                renameFailures_.push_back({sources[i], dests[i], error});
            } else {
                done.Sources.push_back(sources[i]);
                done.Dests.push_back(dests[i]);
                try {
                    system_->NotifyRenamed(system_->DirectoryExists(dests[i]), sources[i], dests[i]);
                } catch (...) {
                    TraceIgnoredException(L"rename notification");
                }
            }
        }
        if (i % 100 == 0) {
            system_->RepaintOwner();
        }
    }
    return renameFailures_.empty();
}

uint32_t TFileOperator::RenameCaseOnly(const std::wstring& From, const std::wstring& To)
{
    // Some file systems take a rename to the same name in another case as
    // done and change nothing: the name goes through a free one.
    std::wstring between;
    for (int n = 1; n < 1000 && between.empty(); ++n) {
        const std::wstring candidate = RemoveBackslash(From) + L".~" + std::to_wstring(n);
        if (!system_->FileOrDirExists(candidate)) {
            between = candidate;
        }
    }
    if (between.empty()) {
        return system_->RenameFile(From, To);
    }
    if (const uint32_t error = system_->RenameFile(From, between); error != 0) {
        return error;
    }
    const uint32_t error = system_->RenameFile(between, To);
    if (error != 0 && system_->RenameFile(between, From) != 0) {
        TraceIgnoredFailure(L"renaming back after a failed case-only rename", error);
    }
    return error;
}

bool TFileOperator::KeepMovedOnly(TFileOperationRecord& done)
{
    if (done.Targets.size() != done.Sources.size()) {
        return true;
    }
    const bool multi = done.MultiDest && done.Dests.size() == done.Sources.size();
    TFileOperationRecord moved = done;
    moved.Sources.clear();
    moved.Targets.clear();
    moved.TargetWasNew.clear();
    if (multi) {
        moved.Dests.clear();
    }
    for (size_t i = 0; i < done.Sources.size(); ++i) {
        // A move that only changes the case of a name leaves the old name
        // "existing" as the same item.
        if (system_->FileOrDirExists(done.Sources[i]) && !SameNameIgnoringCase(done.Sources[i], done.Targets[i])) {
            notMoved_.push_back(done.Sources[i]);
            continue;
        }
        moved.Sources.push_back(done.Sources[i]);
        moved.Targets.push_back(done.Targets[i]);
        moved.TargetWasNew.push_back(done.TargetWasNew[i]);
        if (multi) {
            moved.Dests.push_back(done.Dests[i]);
        }
    }
    done = std::move(moved);
    return notMoved_.empty();
}

bool TFileOperator::KeepWholeTargetsOnly(TFileOperationRecord& done,
                                         const std::vector<std::vector<TTreeFile>>& sourceFiles,
                                         const std::vector<std::vector<TTreeFile>>& targetFilesBefore)
{
    if (done.Targets.size() != done.Sources.size() || sourceFiles.size() != done.Sources.size()) {
        return true;
    }
    const bool multi = done.MultiDest && done.Dests.size() == done.Sources.size();
    const bool move = done.Operation == TFileOperation::foMove;
    TFileOperationRecord whole = done;
    whole.Sources.clear();
    whole.Targets.clear();
    whole.TargetWasNew.clear();
    if (multi) {
        whole.Dests.clear();
    }
    for (size_t i = 0; i < done.Sources.size(); ++i) {
        const std::wstring& source = done.Sources[i];
        const std::wstring& target = done.Targets[i];
        std::map<std::wstring, uint64_t> now;
        for (const TTreeFile& file : system_->TreeFiles(target)) {
            now[file.Name] = file.Size;
        }
        std::map<std::wstring, uint64_t> before;
        for (const TTreeFile& file : targetFilesBefore[i]) {
            before[file.Name] = file.Size;
        }
        bool intact = true;
        uint64_t missing = 0;
        std::vector<std::wstring> partial;
        for (const TTreeFile& file : sourceFiles[i]) {
            const auto found = now.find(file.Name);
            const uint64_t have = found == now.end() ? 0 : found->second;
            if (found != now.end() && have == file.Size) {
                continue;
            }
            intact = false;
            missing += file.Size > have ? file.Size - have : 0;
            // Only a file the run made is deleted, and only while its source
            // is still there (a move that went wrong keeps the source).
            const bool madeByRun = found != now.end() && before.count(file.Name) == 0;
            const bool sourceKept = !move || system_->FileOrDirExists(source + file.Name);
            if (madeByRun && sourceKept) {
                partial.push_back(target + file.Name);
            }
        }
        // A move the shell skipped altogether left its source as it was
        // and wrote nothing: that is for KeepMovedOnly to tell.
        const bool untouched = move && partial.empty() && system_->FileOrDirExists(source);
        if (intact || untouched) {
            whole.Sources.push_back(source);
            whole.Targets.push_back(target);
            whole.TargetWasNew.push_back(done.TargetWasNew[i]);
            if (multi) {
                whole.Dests.push_back(done.Dests[i]);
            }
            continue;
        }
        // The reason is asked before the partial files go and free their room.
        const uint32_t error = system_->ShortTargetError(target, missing);
        for (const std::wstring& file : partial) {
            if (const uint32_t failed = system_->RemoveFile(file); failed != 0) {
                TraceIgnoredFailure(L"delete a partial copy", failed);
            }
        }
        failedTargets_.push_back({source, target, error});
    }
    done = std::move(whole);
    return failedTargets_.empty();
}

bool TFileOperator::NamesEachMovedFile(TFileOperation operation, const TFileOperationRecord& done)
{
    if (operation != TFileOperation::foMove || done.MultiDest || done.Sources.size() < 2 || done.Dests.size() != 1 ||
        done.Targets.size() != done.Sources.size() || !system_->DirectoryExists(done.Dests.front())) {
        return false;
    }
    // A folder named as its own target would go into a folder of its name
    // there instead of merging with it, as a move into the folder does.
    for (size_t i = 0; i < done.Sources.size(); ++i) {
        if (system_->DirectoryExists(done.Sources[i]) || system_->DirectoryExists(done.Targets[i])) {
            return false;
        }
    }
    return true;
}

bool TFileOperator::RunShell(TFileOperation operation, TFileOperationFlags flags,
                             const std::vector<std::wstring>& sources, const std::vector<std::wstring>& dests)
{
    const TShellOperationResult outcome =
        system_->ShellOperation(ShellOperationCode(operation), DoubleNulList(sources), DoubleNulList(dests), flags);
    shellCode_ = outcome.Code;
    aborted_ = outcome.AnyAborted;
    return outcome.Code == 0 && !outcome.AnyAborted;
}

bool TFileOperator::Undo()
{
    undoKept_.clear();
    if (!undoAvailable_ || last_.Sources.empty()) {
        return false;
    }
    const TUndoPlan plan = PlanUndo(last_, *system_);
    undoKept_ = plan.Kept;
    if (!plan.Valid) {
        return false;
    }
    if (plan.Sources.empty()) {
        ClearUndo();
        return true;
    }
    const TFileOperation savedOperation = Operation;
    const TFileOperationFlags savedFlags = Flags;
    ScopeExit restore([&] {
        Operation = savedOperation;
        Flags = savedFlags;
    });
    Operation = plan.Operation;
    Flags = plan.Flags;
    Fill(SourceFiles, plan.Sources);
    Fill(DestFiles, plan.Dests);
    return Execute();
}

}  // namespace qrv
