#pragma once
// The file under the hex editor's document: 64-bit read, write, size and
// resize. The Windows build opens real files (win/HexEditorFile.h); tests and
// the fuzzer use the in-memory file below. Portable.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrv {

class THexFile {
public:
    virtual ~THexFile() = default;
    virtual int64_t Size() = 0;
    // Reads exactly count bytes at offset or throws EReadError.
    virtual void Read(int64_t offset, void* buffer, size_t count) = 0;
    // Writes count bytes at offset (growing the file) or throws EWriteError.
    virtual void Write(int64_t offset, const void* buffer, size_t count) = 0;
    // Cuts or extends the file to size bytes or throws EWriteError.
    virtual void Resize(int64_t size) = 0;
};

// A file held in memory. FailWrites makes every write and resize fail, as a
// full disk would; FailReads every read, as a vanished network drive would.
class TMemoryHexFile : public THexFile {
public:
    TMemoryHexFile() = default;
    explicit TMemoryHexFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    void Read(int64_t offset, void* buffer, size_t count) override;
    void Write(int64_t offset, const void* buffer, size_t count) override;
    void Resize(int64_t size) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    bool FailWrites = false;
    bool FailReads = false;
    // Counts the calls, so tests can see how much a view reads.
    int64_t ReadCalls = 0;
    int64_t BytesRead = 0;

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace qrv
