#pragma once
// Byte streams: the abstract TStream, file and memory streams. Portable.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    // Reads or writes up to count bytes and returns how many were moved.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t newSize) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    virtual int64_t Size();

    // Move exactly count bytes or throw EReadError / EWriteError.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    void WriteBytes(std::string_view bytes) { WriteBuffer(bytes.data(), bytes.size()); }
    // Copies count bytes from source (all of it from its start when count is 0).
    int64_t CopyFrom(TStream& source, int64_t count);
    // The rest of the stream from the current position.
    std::string ReadAll();
};

class TMemoryStream : public TStream {
public:
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }

    const uint8_t* Memory() const { return data_.data(); }
    uint8_t* Memory() { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::wstring& fileName);
    void SaveToStream(TStream& target);
    void SaveToFile(const std::wstring& fileName);

private:
    std::vector<uint8_t> data_;
    size_t position_ = 0;
};

// File open modes: one access mode, optionally or-ed with one share mode.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,     // create or truncate, read and write
    fmCreateNew = 0xFF04,  // create a file that must not exist yet, read and write
};

class TFileStream : public TStream {
public:
    // Throws EFCreateError or EFOpenError when the file cannot be opened.
    TFileStream(const std::wstring& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    // Flushes buffered data to the system; throws EWriteError when that fails.
    void Flush();
    const std::wstring& FileName() const { return fileName_; }

private:
    std::wstring fileName_;
    std::FILE* file_ = nullptr;
    bool lastWasWrite_ = false;
    bool lastWasRead_ = false;
};

// Reads a whole file as bytes; throws EFOpenError when it cannot be opened.
std::string ReadFileBytes(const std::wstring& fileName);

}  // namespace qrv
