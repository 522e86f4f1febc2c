#include "panels/FileNameIndex.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace qrv {

namespace {

// FNV-1a over the upper-cased units.
uint64_t HashIgnoringCase(std::wstring_view Name)
{
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : Name) {
        hash ^= static_cast<uint16_t>(UpCaseChar(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool SameIgnoringCase(std::wstring_view A, std::wstring_view B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (A[i] != B[i] && UpCaseChar(A[i]) != UpCaseChar(B[i]))
            return false;
    return true;
}

}  // namespace

TFileNameIndex::TFileNameIndex(size_t Count)
{
    // At most half full, so that a probe ends soon.
    const size_t size = std::bit_ceil(std::max<size_t>(2 * Count, 16));
    slots_.assign(size, nullptr);
    found_.assign(size, 0);
    mask_ = size - 1;
}

size_t TFileNameIndex::PlaceOf(std::wstring_view Name) const
{
    // The first place holding that name, or the empty one where it would go.
    size_t place = static_cast<size_t>(HashIgnoringCase(Name)) & mask_;
    while (slots_[place] && !SameIgnoringCase(slots_[place]->FileName, Name))
        place = (place + 1) & mask_;
    return place;
}

bool TFileNameIndex::Add(TFileRec& Rec)
{
    // One place always stays empty, or a probe for a missing name would
    // not end.
    if (added_ + 1 >= slots_.size())
        throw std::length_error("file name index full");
    const size_t place = PlaceOf(Rec.FileName);
    if (slots_[place])
        return false;
    slots_[place] = &Rec;
    ++added_;
    return true;
}

size_t TFileNameIndex::Find(std::wstring_view Name) const
{
    const size_t place = PlaceOf(Name);
    return slots_[place] ? place : kNotFound;
}

std::vector<TFileRec*> TFileNameIndex::Unfound() const
{
    std::vector<TFileRec*> unfound;
    for (size_t place = 0; place < slots_.size(); ++place)
        if (slots_[place] && !found_[place])
            unfound.push_back(slots_[place]);
    return unfound;
}

}  // namespace qrv
