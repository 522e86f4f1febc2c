#pragma once
// CompareFileContents: a byte comparison of two files, block by block, that
// lets the application handle its messages between the blocks and can be
// aborted. The files, the message pump and the abort test come from the
// caller, so the comparison itself needs no system. Portable.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qrv {

// The result codes of CompareFileContents.
enum TCompareResult : uint8_t {
    crEqual = 0,
    crDifferent = 1,
    crAborted = 2,
    crOpenFailedA = 3,  // FileA cannot be opened
    crOpenFailedB = 4,  // FileB cannot be prepared after FileA was opened
    crReadFailedA = 5,  // read error or short read on FileA
    crReadFailedB = 6,  // read error or short read on FileB
    crBusy = 7,         // a comparison is running already; nothing was compared
};

// The size of one block: messages are handled before each block and the
// abort is tested after it. A block is read and compared in pieces.
constexpr int64_t kCompareBlockSize = 0x3FFFFF;
constexpr int64_t kComparePieceSize = 0x40000;

// An open file, read from its start.
class TCompareFile {
public:
    virtual ~TCompareFile() = default;
    // The size in bytes; negative when it cannot be found.
    virtual int64_t Size() = 0;
    // Reads up to Count bytes into Buffer: the count read, negative on failure.
    virtual int64_t Read(uint8_t* Buffer, int64_t Count) = 0;
};

struct TFileCompareHost {
    // Opens a file for reading; nullptr when it cannot be opened.
    std::function<std::unique_ptr<TCompareFile>(const std::wstring& Name)> Open;
    // Lets the application handle its waiting messages (before each block).
    std::function<void()> ProcessMessages;
    // True when the user asked to stop (tested after each block).
    std::function<bool()> AbortRequested;
};

// Compares the contents of two files (a TCompareResult). Files of different
// sizes differ without being read; two empty files are equal. While one
// comparison runs (its message pump may start another), a second call
// returns crBusy at once.
uint8_t CompareFileContents(const std::wstring& FileA, const std::wstring& FileB, const TFileCompareHost& Host);

// True while a comparison runs on this thread.
bool FileComparisonRunning();

}  // namespace qrv
