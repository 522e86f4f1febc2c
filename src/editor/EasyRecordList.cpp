#include "editor/EasyRecordList.h"

#include "framework/SysUtils.h"

#include <cstring>

namespace qrv {

TEasyRecordList::TEasyRecordList(size_t recordSize) : recordSize_(recordSize == 0 ? 1 : recordSize) {}

void TEasyRecordList::Error(int index) const
{
    throw EListError(L"List Index out of bounds Index: " + IntToStr(index));
}

void TEasyRecordList::Grow()
{
    const int delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
    SetCapacity(capacity_ + delta);
}

int TEasyRecordList::Add(const void* record)
{
    if (count_ == capacity_)
        Grow();
    unsigned char* slot = block_.data() + static_cast<size_t>(count_) * recordSize_;
    if (record)
        std::memcpy(slot, record, recordSize_);
    else
        std::memset(slot, 0, recordSize_);
    return count_++;
}

void* TEasyRecordList::Get(int index)
{
    if (index < 0 || index > count_)
        Error(index);
    if (index == capacity_)
        Grow();  // the free slot must exist
    return block_.data() + static_cast<size_t>(index) * recordSize_;
}

void TEasyRecordList::Delete(int index)
{
    if (index < 0 || index >= count_)
        Error(index);
    unsigned char* slot = block_.data() + static_cast<size_t>(index) * recordSize_;
    std::memmove(slot, slot + recordSize_, static_cast<size_t>(count_ - index - 1) * recordSize_);
    --count_;
}

void TEasyRecordList::Clear()
{
    block_.clear();
    block_.shrink_to_fit();
    count_ = capacity_ = 0;
}

void TEasyRecordList::SetCapacity(int capacity)
{
    if (capacity < count_)
        Error(capacity);
    block_.resize(static_cast<size_t>(capacity) * recordSize_);
    capacity_ = capacity;
}

void TEasyRecordList::SetCount(int count)
{
    if (count < 0)
        Error(count);
    if (count > capacity_)
        SetCapacity(count);
    if (count > count_)
        std::memset(block_.data() + static_cast<size_t>(count_) * recordSize_, 0,
                    static_cast<size_t>(count - count_) * recordSize_);
    count_ = count;
}

}  // namespace qrv
