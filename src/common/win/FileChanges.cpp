#include "common/win/FileChanges.h"

#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"

namespace qrv {

namespace {

uint64_t NowUtc()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

TFileDeleteThread::TFileDeleteThread(const std::vector<std::wstring>& Paths, TDeletedEvent OnDeleted,
                                     int TimeOutSeconds)
    : TThread(true), onDeleted_(std::move(OnDeleted)), pending_(Paths),
      endTime_(VanishedFileEndTime(NowUtc(), TimeOutSeconds)), wake_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    Start();
}

TFileDeleteThread::~TFileDeleteThread()
{
    Terminate();
    WaitFor();
}

void TFileDeleteThread::TerminatedSet()
{
    if (wake_ && !SetEvent(wake_.Get())) {
        TraceIgnoredFailure(L"SetEvent of the file watch", GetLastError());
    }
}

void TFileDeleteThread::Execute()
{
    TVanishedFileHooks hooks;
    hooks.Exists = [](const std::wstring& path) { return PathExists(path); };
    hooks.Now = NowUtc;
    hooks.WaitRound = [this] {
        if (Terminated()) {
            return false;
        }
        if (wake_) {
            WaitForSingleObject(wake_.Get(), kVanishedFileRoundMs);
        } else {
            Sleep(kVanishedFileRoundMs);
        }
        return !Terminated();
    };
    if (onDeleted_) {
        hooks.Report = [this](const std::vector<std::wstring>& deleted) {
            Synchronize([&] {
                // The owner may be stopping the watch while this call waited.
                if (!Terminated()) {
                    onDeleted_(this, deleted);
                }
            });
        };
    }
    PollVanishedFiles(std::move(pending_), endTime_, hooks);
}

}  // namespace qrv
