#pragma once
// TFileRecStore: the records of a directory list, kept in blocks of 1,024,
// so a folder of 100,000 files costs about a hundred allocations instead of
// one per file, and a record stays where it is while the list reorders its
// pointers to it. TFileRecDisposer frees a large store on a thread of its
// own, so leaving a large folder does not wait for its records. Portable.

#include "panels/FileRec.h"

#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

namespace qrv {

class TFileRecStore {
public:
    TFileRecStore() = default;
    TFileRecStore(TFileRecStore&&) noexcept = default;
    TFileRecStore& operator=(TFileRecStore&&) noexcept = default;

    // A fresh record, a freed one when there is one.
    TFileRec& Add();
    // The record is emptied and taken back for the next Add.
    void Remove(TFileRec& Rec);
    // The records in use.
    size_t Count() const { return used_ - free_.size(); }

private:
    static constexpr size_t kBlockSize = 1024;
    std::vector<std::unique_ptr<TFileRec[]>> blocks_;
    size_t used_ = 0;  // records handed out of the blocks, freed ones included
    std::vector<TFileRec*> free_;
};

class TFileRecDisposer {
public:
    TFileRecDisposer() = default;
    // Waits for the records still being freed.
    ~TFileRecDisposer();
    TFileRecDisposer(const TFileRecDisposer&) = delete;
    TFileRecDisposer& operator=(const TFileRecDisposer&) = delete;

    // Frees the records of Store, a large store on a thread of its own;
    // Store is left empty.
    void Dispose(TFileRecStore& Store);

private:
    std::thread thread_;
};

}  // namespace qrv
