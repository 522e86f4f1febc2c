#pragma once
// The records of a list by their names, case ignored, for a re-read that
// looks up each entry it finds: one table of pointers, sized once, the
// names read from the records themselves, so indexing 100,000 items makes
// no string and no allocation per item. Portable.

#include "panels/FileRec.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qrv {

class TFileNameIndex {
public:
    static constexpr size_t kNotFound = static_cast<size_t>(-1);

    // Room for Count records; Add takes no more than that.
    explicit TFileNameIndex(size_t Count);

    // Adds Rec by its FileName, unless a record of that name (case ignored)
    // is in already (false then). A record's name may change afterwards
    // only in case.
    bool Add(TFileRec& Rec);
    // The place of the record named Name (case ignored), or kNotFound.
    size_t Find(std::wstring_view Name) const;
    TFileRec& At(size_t Place) const { return *slots_[Place]; }
    // Notes that the record at Place was found; Unfound leaves it out.
    void MarkFound(size_t Place) { found_[Place] = 1; }
    // The records added and not marked found.
    std::vector<TFileRec*> Unfound() const;

private:
    size_t PlaceOf(std::wstring_view Name) const;

    std::vector<TFileRec*> slots_;  // nullptr: empty
    std::vector<uint8_t> found_;
    size_t mask_ = 0;
    size_t added_ = 0;
};

}  // namespace qrv
