#pragma once
// The entry records of the RAR and ACE readers as the archive list reads
// them. Portable.

#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/ZipItems.h"

#include <memory>

namespace qrv {

constexpr uint32_t kDirectoryAttribute = 0x10;

TArchiveEntry ArchiveEntryOf(const TRarEntry& Entry);
TArchiveEntry ArchiveEntryOf(const TAceEntry& Entry);

// A view over the reader's current entry list (the reader outlives it).
template <class Reader>
std::shared_ptr<const TArchiveEntryView> EntryViewOf(const Reader& reader)
{
    const auto convert = [](const auto& record) { return ArchiveEntryOf(record); };
    return std::make_shared<TReaderEntryView<Reader, decltype(convert)>>(reader, convert);
}

}  // namespace qrv
