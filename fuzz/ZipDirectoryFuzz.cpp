// Archives from anywhere through the zip component's directory reader, once
// as a single file and once as the last disk of a set whose other disks are
// the same bytes, then split into parts and joined as a set: each must end,
// stay in bounds and report instead of throwing, and what the reader
// returns must lie inside the input. A single file listed in place, in
// parts of two entries, must give what reading it header by header gives.
#include "archives/ZipDirectory.h"
#include "archives/ZipSpan.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Parts of 4 KiB that are counted and dropped.
struct TDiscardParts : qrv::TSpanOutput {
    uint64_t Bytes = 0;
    bool OpenPart(uint32_t index, uint64_t& capacity, int&) override
    {
        capacity = 4096;
        return index < 64;
    }
    bool Write(const void*, size_t count) override
    {
        Bytes += count;
        return true;
    }
    bool ClosePart(bool) override { return true; }
};

struct TDiscard : qrv::TJoinOutput {
    bool Write(const void*, size_t) override { return true; }
};

// The bytes without a view in place: read header by header.
class TReadOnlySource : public qrv::TZipSource {
public:
    explicit TReadOnlySource(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override { return bytes_.ReadAt(offset, buffer, count); }

private:
    qrv::TZipMemorySource bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool spanned : {false, true}) {
        qrv::TZipMemorySource source(bytes);
        qrv::TZipMemorySource other(bytes);
        qrv::TZipListOptions options;
        options.UseDirOnlyEntries = spanned;
        options.CodePage = spanned ? qrv::cpOEM : qrv::cpAuto;
        int disks = 0;
        if (spanned)
            options.OpenDisk = [&](uint32_t) -> qrv::TZipSource* { return ++disks < 4 ? &other : nullptr; };
        qrv::TZipListResult result = qrv::ListZipDirectory(source, options);
        // Each listed entry took at least a central header of the input.
        if (!spanned && result.Entries.size() * 46 > size)
            std::abort();
        if (!spanned && result.Error == 0 && result.CentralOffset > size)
            std::abort();
        if (!spanned) {
            TReadOnlySource readOnly(bytes);
            options.MinEntriesPerPart = 2;
            if (!(qrv::ListZipDirectory(readOnly, options) == result))
                std::abort();
        }
    }
    qrv::TZipMemorySource source(bytes);
    TDiscardParts parts;
    (void)qrv::SplitZip(source, parts);
    TDiscard joined;
    (void)qrv::JoinZipSet([&](uint32_t index) -> qrv::TZipSource* { return index < 2 ? &source : nullptr; }, 1, joined);
    return 0;
}
