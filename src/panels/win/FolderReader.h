#pragma once
// Reads a folder's entries on a worker thread while the caller takes the
// entries read so far, a batch at a time: the system's search and the
// caller's work on each entry run side by side, and a large folder is
// listed in about the time of the search alone. While the caller waits for
// a batch, its thread answers the messages other threads and programs send
// to its windows; posted messages and input wait.

#include "framework/ReusedThread.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qrv {

// Entries as the worker hands them over: their names one after another in
// one text, so that the worker makes no string per entry, and the rest as
// the system gives it (the taker converts what it needs: the worker's time
// is the search's).
struct TFoundEntries {
    struct TEntry {
        size_t NameEnd = 0;  // in Names; the name starts where the previous one ends
        uint32_t Attr = 0;
        uint64_t Size = 0;
        uint64_t LastWrite = 0;  // FILETIME, UTC
    };
    std::wstring Names;
    std::vector<TEntry> Entries;
};

class TFolderReader {
public:
    // Starts the search for Pattern ("C:\folder\*.*") on the worker.
    explicit TFolderReader(std::wstring Pattern);
    // Stops the worker after the entry it reads and waits for it.
    ~TFolderReader();
    TFolderReader(const TFolderReader&) = delete;
    TFolderReader& operator=(const TFolderReader&) = delete;

    // The next entries, waiting for them; false once every entry was taken
    // (or the search did not start: Error says why).
    bool Next(TFoundEntries& Batch);
    // The system's error of the search's start; 0 when it started.
    uint32_t Error() const;

private:
    void Read();
    // Hands a batch over, waiting while enough wait already; false when
    // the reader stops.
    bool HandOver(TFoundEntries& Batch);

    const std::wstring pattern_;
    mutable std::mutex mutex_;
    std::condition_variable roomMade_;
    TKernelHandle batchReady_;  // set when a batch or the end comes
    std::deque<TFoundEntries> ready_;
    bool done_ = false;
    bool stopping_ = false;
    uint32_t error_ = 0;
    const std::thread::id taker_;  // the thread that takes the batches
    std::unique_ptr<TReusedThread> worker_;
};

}  // namespace qrv
