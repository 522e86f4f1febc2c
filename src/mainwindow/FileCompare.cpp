#include "mainwindow/FileCompare.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

    std::vector<uint8_t> bufferA(static_cast<size_t>(std::min(sizeA, kCompareBlockSize)));
    std::vector<uint8_t> bufferB(bufferA.size());
    for (int64_t remaining = sizeA; remaining > 0;) {
        const int64_t block = std::min(remaining, kCompareBlockSize);
        if (host.ProcessMessages)
            host.ProcessMessages();
        // A short read on B means the file changed under us: a read error too.
        if (b.Read(bufferB.data(), block) != block)
            return crReadFailedB;
        if (a.Read(bufferA.data(), block) != block)
            return crReadFailedA;
        if (std::memcmp(bufferA.data(), bufferB.data(), static_cast<size_t>(block)) != 0)
            return crDifferent;
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
