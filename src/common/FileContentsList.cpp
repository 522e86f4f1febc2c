#include "common/FileContentsList.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

void TStreamList::Add(std::unique_ptr<TStream> Stream, std::wstring Name)
{
    if (OnChanging) {
        OnChanging();
    }
    items_.emplace_back(std::move(Name), std::move(Stream));
}

void TStreamList::Clear()
{
    if (OnChanging) {
        OnChanging();
    }
    items_.clear();
}

bool CollectFileContents(const std::optional<std::vector<std::wstring>>& DescriptorNames, const TFetchContents& Fetch,
                         TStreamList& Streams)
{
    Streams.Clear();
    const int count = DescriptorNames ? static_cast<int>(DescriptorNames->size()) : 0;
    for (int index = DescriptorNames ? 0 : -1; index < count; ++index) {
        std::unique_ptr<TStream> stream = Fetch(index);
        if (!stream) {
            break;
        }
        Streams.Add(std::move(stream), index >= 0 ? (*DescriptorNames)[static_cast<size_t>(index)] : std::wstring());
    }
    return Streams.Count() > 0;
}

std::unique_ptr<TStream> ReadWholeSource(const TReadSource& Read, uint64_t SizeHint, const TMakeSpillStream& MakeSpill,
                                         uint64_t MemoryLimit, size_t Chunk)
{
    auto memory = std::make_unique<TMemoryStream>();
    if (SizeHint <= MemoryLimit) {
        memory->SetSize(static_cast<int64_t>(SizeHint));  // one allocation for a source that tells its size
    }
    std::unique_ptr<TStream> spill;
    std::vector<uint8_t> buffer(Chunk);
    uint64_t total = 0;
    for (;;) {
        const size_t got = Read(buffer.data(), buffer.size());
        if (got == 0) {
            break;
        }
        if (!spill && total + got > MemoryLimit) {
            spill = MakeSpill();
            memory->SetSize(static_cast<int64_t>(total));
            memory->SetPosition(0);
            spill->CopyFrom(*memory, static_cast<int64_t>(total));
            memory.reset();
        }
        TStream& target = spill ? *spill : static_cast<TStream&>(*memory);
        target.WriteBuffer(buffer.data(), got);
        total += got;
    }
    TStream& result = spill ? *spill : static_cast<TStream&>(*memory);
    result.SetSize(static_cast<int64_t>(total));
    result.SetPosition(0);
    if (spill) {
        return spill;
    }
    return memory;
}

}  // namespace qrv
