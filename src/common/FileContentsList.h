#pragma once
// Files dropped without a place on disk ("FileContents" with the descriptors
// that name them): the collected streams under their names, the collection
// loop over "give me stream i" and the reading of one source stream to its
// end. Portable; the OLE side hands in the source streams.

#include "framework/Streams.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// Streams owned with the name of the file each came from.
class TStreamList {
public:
    void Add(std::unique_ptr<TStream> Stream, std::wstring Name);
    int Count() const { return static_cast<int>(items_.size()); }
    TStream& Streams(int Index) const { return *items_.at(static_cast<size_t>(Index)).second; }
    const std::wstring& Names(int Index) const { return items_.at(static_cast<size_t>(Index)).first; }
    void Clear();
    // Fires before a stream is added and before the list is cleared.
    std::function<void()> OnChanging;

private:
    std::vector<std::pair<std::wstring, std::unique_ptr<TStream>>> items_;
};

// The contents of item Index, or nullptr when the source refuses it.
using TFetchContents = std::function<std::unique_ptr<TStream>(int Index)>;

// Clears Streams, then asks for item 0, 1, ... of the descriptors (one
// anonymous item, index -1, when there are none) until the first refusal;
// each stream is added under its descriptor's name. True when any came.
bool CollectFileContents(const std::optional<std::vector<std::wstring>>& DescriptorNames, const TFetchContents& Fetch,
                         TStreamList& Streams);

// Reads up to Count bytes of the source into Buffer; 0 at its end or on an
// error.
using TReadSource = std::function<size_t(void* Buffer, size_t Count)>;
// A stream for contents too large for memory (a temporary file).
using TMakeSpillStream = std::function<std::unique_ptr<TStream>()>;

constexpr size_t kContentsChunk = 1 << 20;
constexpr uint64_t kContentsInMemoryLimit = 64ull << 20;

// The whole source, read in chunks until a read gives nothing: in memory up
// to MemoryLimit bytes, beyond that moved to a spill stream. SizeHint (the
// size the source reports) only reserves memory; positioned at the start.
std::unique_ptr<TStream> ReadWholeSource(const TReadSource& Read, uint64_t SizeHint, const TMakeSpillStream& MakeSpill,
                                         uint64_t MemoryLimit = kContentsInMemoryLimit, size_t Chunk = kContentsChunk);

}  // namespace qrv
