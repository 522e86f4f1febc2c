#include "mainwindow/FileCompare.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace qrv {

namespace {

thread_local bool comparing = false;

// Marks the comparison as running for the life of the block.
class TComparisonGuard {
public:
    TComparisonGuard() { comparing = true; }
    ~TComparisonGuard() { comparing = false; }
    TComparisonGuard(const TComparisonGuard&) = delete;
    TComparisonGuard& operator=(const TComparisonGuard&) = delete;
};

uint8_t CompareOpenFiles(TCompareFile& a, TCompareFile& b, const TFileCompareHost& host)
{
    const int64_t sizeA = a.Size();
    // A file whose size cannot be found was not opened usefully.
    if (sizeA < 0)
        return crOpenFailedA;
    const int64_t sizeB = b.Size();
    if (sizeB < 0)
        return crOpenFailedB;
    if (sizeA != sizeB)
        return crDifferent;

    // A block is read and compared in pieces that stay in the processor's
    // cache: reading a whole block first and comparing it after would go
    // to memory twice.
    const int64_t piece = std::min(sizeA, kComparePieceSize);
    // Left uninitialised: every byte compared is read first.
    const auto bufferA = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(piece));
    const auto bufferB = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(piece));
    for (int64_t remaining = sizeA; remaining > 0;) {
        const int64_t block = std::min(remaining, kCompareBlockSize);
        if (host.ProcessMessages)
            host.ProcessMessages();
        for (int64_t done = 0; done < block;) {
            const int64_t count = std::min(block - done, piece);
            // A short read on B means the file changed under us: a read error too.
            if (b.Read(bufferB.get(), count) != count)
                return crReadFailedB;
            if (a.Read(bufferA.get(), count) != count)
                return crReadFailedA;
            if (std::memcmp(bufferA.get(), bufferB.get(), static_cast<size_t>(count)) != 0)
                return crDifferent;
            done += count;
        }
        remaining -= block;
        if (host.AbortRequested && host.AbortRequested())
            return crAborted;
    }
    return crEqual;
}

}  // namespace

bool FileComparisonRunning()
{
    return comparing;
}

uint8_t CompareFileContents(const std::wstring& FileA, const std::wstring& FileB, const TFileCompareHost& Host)
{
    if (comparing)
        return crBusy;
    TComparisonGuard guard;
    std::unique_ptr<TCompareFile> a = Host.Open ? Host.Open(FileA) : nullptr;
    if (!a)
        return crOpenFailedA;
    std::unique_ptr<TCompareFile> b = Host.Open(FileB);
    if (!b)
        return crOpenFailedB;
    return CompareOpenFiles(*a, *b, Host);
}

}  // namespace qrv
