#include "panels/win/FolderReader.h"

#include "framework/win/Handles.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/SentMessageWait.h"

#include <thread>
#include <utility>

namespace qrv {

namespace {

// Entries per batch, and how many batches may wait: enough to keep both
// threads busy, little enough that a folder is never held twice in memory.
constexpr size_t kBatchEntries = 2048;
constexpr size_t kBatchesWaiting = 4;

uint64_t Join(DWORD High, DWORD Low)
{
    return static_cast<uint64_t>(High) << 32 | Low;
}

void Append(TFoundEntries& Batch, const WIN32_FIND_DATAW& Data)
{
    Batch.Names += Data.cFileName;
    Batch.Entries.push_back({Batch.Names.size(), Data.dwFileAttributes, Join(Data.nFileSizeHigh, Data.nFileSizeLow),
                             Join(Data.ftLastWriteTime.dwHighDateTime, Data.ftLastWriteTime.dwLowDateTime)});
}

}  // namespace

TFolderReader::TFolderReader(std::wstring Pattern)
    : pattern_(std::move(Pattern)), batchReady_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      taker_(std::this_thread::get_id())
{
    if (batchReady_)
        worker_ = std::make_unique<TReusedThread>([this] { Read(); });
    else
        Read();  // without the event to wait on, everything is read here
}

TFolderReader::~TFolderReader()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    roomMade_.notify_all();
    worker_.reset();  // waits for the reading to end, before the event goes
}

uint32_t TFolderReader::Error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

bool TFolderReader::Next(TFoundEntries& Batch)
{
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (!ready_.empty()) {
                Batch = std::move(ready_.front());
                ready_.pop_front();
                roomMade_.notify_all();
                return true;
            }
            if (done_)
                return false;
        }
        const HANDLE event = batchReady_.Get();
        while (MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
               WAIT_OBJECT_0 + 1)
            AnswerSentMessages();
    }
}

bool TFolderReader::HandOver(TFoundEntries& Batch)
{
    {
        std::unique_lock lock(mutex_);
        // Read on the taking thread (no worker to be had), it cannot wait.
        if (std::this_thread::get_id() != taker_)
            roomMade_.wait(lock, [this] { return stopping_ || ready_.size() < kBatchesWaiting; });
        if (stopping_)
            return false;
        ready_.push_back(std::exchange(Batch, {}));
    }
    if (batchReady_)
        SetEvent(batchReady_.Get());
    return true;
}

void TFolderReader::Read()
{
    TQuietDriveErrors quiet;  // the mode is the thread's own
    WIN32_FIND_DATAW data;
    // The basic information (no short names) and large fetches: both save
    // the system work per entry.
    const TFindHandle find(FindFirstFileExW(pattern_.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                            FIND_FIRST_EX_LARGE_FETCH));
    const DWORD error = find ? 0 : GetLastError();
    if (find) {
        TFoundEntries batch;
        // The first batch small, so that the taker starts at once.
        size_t wanted = 64;
        do {
            Append(batch, data);
            if (batch.Entries.size() >= wanted) {
                if (!HandOver(batch))
                    return;
                wanted = kBatchEntries;
                batch.Names.reserve(wanted * 16);
                batch.Entries.reserve(wanted);
            }
        } while (FindNextFileW(find.Get(), &data));
        if (!batch.Entries.empty() && !HandOver(batch))
            return;
    }
    {
        std::lock_guard lock(mutex_);
        error_ = error;
        done_ = true;
    }
    if (batchReady_)
        SetEvent(batchReady_.Get());
}

}  // namespace qrv
