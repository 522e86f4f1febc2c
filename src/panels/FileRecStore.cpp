#include "panels/FileRecStore.h"

#include <atomic>
#include <system_error>
#include <utility>

namespace qrv {

namespace {

// Fewer records than this are freed at once: a thread costs more.
constexpr size_t kDisposeOnThread = 4096;

}  // namespace

TFileRec& TFileRecStore::Add()
{
    // Every list's records draw on one count.
    static std::atomic<uint64_t> lastSerial{0};
    TFileRec* rec = nullptr;
    if (!free_.empty()) {
        rec = free_.back();
        free_.pop_back();
    } else {
        if (used_ == blocks_.size() * kBlockSize)
            blocks_.push_back(std::make_unique<TFileRec[]>(kBlockSize));
        rec = &blocks_.back()[used_ % kBlockSize];
        ++used_;
    }
    rec->Serial = ++lastSerial;
    return *rec;
}

void TFileRecStore::Remove(TFileRec& Rec)
{
    // Room first: nothing throws once the record is emptied.
    if (free_.size() == free_.capacity())
        free_.reserve(free_.size() * 2 + 64);
    Rec = TFileRec();
    free_.push_back(&Rec);
}

TFileRecDisposer::~TFileRecDisposer()
{
    if (thread_.joinable())
        thread_.join();
}

void TFileRecDisposer::Dispose(TFileRecStore& Store)
{
    TFileRecStore gone = std::exchange(Store, TFileRecStore());
    if (gone.Count() < kDisposeOnThread)
        return;
    // One store at a time: the one before is long done when a user leaves
    // the next large folder.
    if (thread_.joinable())
        thread_.join();
    try {
        thread_ = std::thread([records = std::move(gone)]() mutable { records = TFileRecStore(); });
    } catch (const std::system_error&) {
        // No thread to be had: the records go here, when gone leaves scope.
    }
}

}  // namespace qrv
