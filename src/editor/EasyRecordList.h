#pragma once
// TEasyRecordList: records of one size, stored one after another in a single
// block. Portable.

#include <cstddef>
#include <vector>

namespace qrv {

class TEasyRecordList {
public:
    explicit TEasyRecordList(size_t recordSize);
    virtual ~TEasyRecordList() = default;

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    size_t RecordSize() const { return recordSize_; }

    // Copies the record in at the end (zero-filled without one); its index.
    int Add(const void* record = nullptr);
    // The record at the index; the index Count() gives the free slot behind
    // the last record. Any other index raises EListError
    // "List Index out of bounds Index: %d".
    void* Get(int index);
    // Requires 0 <= index < Count(); the records behind move down.
    void Delete(int index);
    virtual void Clear();
    void SetCapacity(int capacity);
    // New records are zero-filled.
    void SetCount(int count);

protected:
    virtual void Grow();
    [[noreturn]] virtual void Error(int index) const;

private:
    size_t recordSize_;
    int count_ = 0;
    int capacity_ = 0;
    std::vector<unsigned char> block_;
};

}  // namespace qrv
