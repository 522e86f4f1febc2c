#pragma once
// Random access to an archive's bytes, from a file or from memory, so the
// archive readers can be run over a buffer (tests, fuzzing) as over a file.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qrv::external {

// A read past the end or a failing read.
class ETruncated : public std::runtime_error {
public:
    ETruncated() : std::runtime_error("unexpected end of the archive") {}
};

class TByteSource {
public:
    virtual ~TByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly Count bytes at Offset or throws ETruncated.
    virtual void ReadAt(uint64_t Offset, void* Buffer, size_t Count) = 0;

    std::string ReadString(uint64_t Offset, size_t Count)
    {
        std::string bytes(Count, '\0');
        if (Count > 0)
            ReadAt(Offset, bytes.data(), Count);
        return bytes;
    }
};

class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(std::string_view Bytes) : bytes_(Bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(uint64_t Offset, void* Buffer, size_t Count) override;

private:
    std::string_view bytes_;
};

class TFileSource : public TByteSource {
public:
    // Throws std::runtime_error when the file cannot be opened.
    explicit TFileSource(const std::filesystem::path& Path);
    uint64_t Size() const override { return size_; }
    void ReadAt(uint64_t Offset, void* Buffer, size_t Count) override;

private:
    std::ifstream file_;
    uint64_t size_ = 0;
};

}  // namespace qrv::external
