#pragma once
// Writes zip archives: new entries (stored or deflated, optionally
// ZipCrypto-encrypted), entries copied unchanged from another archive, the
// central directory and the end record. Past 65,535 entries or 4 GiB it
// refuses (EZipFormat) instead of writing wrapped fields. Used by the zip
// library and by the fixture writer of the tests.

#include "external/ByteSource.h"
#include "external/ZipFormat.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace qrv::external {

// Where the archive goes: a file or a string.
class TZipOutput {
public:
    virtual ~TZipOutput() = default;
    virtual void Write(const void* Data, size_t Count) = 0;
    virtual uint64_t Position() const = 0;
    // Overwrites bytes already written (header fields known only later).
    virtual void Patch(uint64_t Offset, const std::string& Bytes) = 0;
    // Forgets everything from Offset on (a deflated entry redone as stored).
    virtual void Truncate(uint64_t Offset) = 0;
};

class TStringOutput : public TZipOutput {
public:
    void Write(const void* Data, size_t Count) override;
    uint64_t Position() const override { return bytes_.size(); }
    void Patch(uint64_t Offset, const std::string& Bytes) override;
    void Truncate(uint64_t Offset) override { bytes_.resize(static_cast<size_t>(Offset)); }
    std::string& Bytes() { return bytes_; }

private:
    std::string bytes_;
};

class TFileOutput : public TZipOutput {
public:
    explicit TFileOutput(std::FILE* File) : file_(File) {}
    void Write(const void* Data, size_t Count) override;
    uint64_t Position() const override { return position_; }
    void Patch(uint64_t Offset, const std::string& Bytes) override;
    void Truncate(uint64_t Offset) override;
    // The file's length: Truncate only moves the end of the written part.
    uint64_t End() const { return position_; }

private:
    std::FILE* file_;
    uint64_t position_ = 0;
};

// The contents of a new entry, read in pieces; Rewind starts again (used
// when deflating did not pay and the entry is stored instead).
struct TEntryInput {
    std::function<size_t(unsigned char*, size_t)> Read;  // 0 at the end
    std::function<void()> Rewind;
};

struct TNewEntry {
    std::string Name;  // stored bytes, "/" between levels
    bool Utf8Name = false;
    uint32_t DosTime = 0;
    uint32_t ExternalAttr = 0x20;
    int Level = 6;                          // 0 stores
    const std::string* Password = nullptr;  // encrypt with it
};

class TZipWriter {
public:
    explicit TZipWriter(TZipOutput& Output) : out_(Output) {}

    // Writes the entry; Progress gets the bytes of input read, and returns
    // false to cancel (the entry is then removed again and false returned).
    bool Add(const TNewEntry& Entry, TEntryInput& Input, const std::function<bool(size_t)>& Progress = {});
    // Copies an entry unchanged (its compressed data as it is).
    void Copy(TByteSource& Source, const TZipEntryInfo& Entry);
    // The central directory and the end record.
    void Finish(const std::string& Comment = {});

    const std::vector<TZipEntryInfo>& Entries() const { return entries_; }
    // Testing hook: the CRC written for the last entry added is changed
    // afterwards, so the fixture carries a damaged CRC.
    void CorruptLastCrc();
    // Testing hook: the last entry claims another size than its data has.
    void DeclareLastSize(uint64_t Size);

private:
    void WriteLocalHeader(const TZipEntryInfo& e);
    std::string LocalHeader(const TZipEntryInfo& e) const;

    TZipOutput& out_;
    std::vector<TZipEntryInfo> entries_;
    std::vector<unsigned char> in_, outBuffer_;  // kept from entry to entry
};

}  // namespace qrv::external
