#include "external/RarCore.h"

#include "common/OemCodePage.h"
#include "common/SafeExtractPath.h"
#include "external/FileIo.h"
#include "external/RarFormat.h"
#include "external/ZipFormat.h"
#include "framework/IgnoredError.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace qrv::external {

namespace {

namespace fs = std::filesystem;
using namespace rarfmt;

constexpr uint64_t kMarkerSearch = 1 << 20;  // a self-extractor's program in front
constexpr size_t kChunk = 1 << 18;

TRarHooks& Hooks()
{
    static TRarHooks hooks;
    return hooks;
}

std::wstring DecodeName(std::string_view bytes)
{
    if (Hooks().DecodeName)
        return Hooks().DecodeName(bytes);
    const std::u16string text = OemToUtf16(bytes, TOemCodePage::cp850);
    return std::wstring(text.begin(), text.end());
}

uint16_t Crc16(const std::string& bytes, size_t from, size_t to)
{
    return static_cast<uint16_t>(Crc32(0, bytes.data() + from, to - from) & 0xFFFF);
}

const unsigned char* U(const std::string& s, size_t at)
{
    return reinterpret_cast<const unsigned char*>(s.data()) + at;
}

void CopyName(char (&field)[RAR_NAME_SIZE], std::string_view text)
{
    const size_t n = std::min(text.size(), sizeof field - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

struct TRarEntry {
    uint16_t Flags = 0;
    uint64_t PackSize = 0;
    uint64_t UnpSize = 0;
    uint8_t HostOS = 0;
    uint32_t Crc = 0;
    uint32_t Time = 0;
    uint8_t UnpVer = 0;
    uint8_t Method = 0;
    uint32_t Attr = 0;
    std::string Name;  // stored bytes
    uint64_t DataAt = 0;

    bool IsDirectory() const { return (Flags & kFileDirectory) == kFileDirectory; }
};

class TRarArchive {
public:
    TRarArchive(std::unique_ptr<TByteSource> source, std::string arcName)
        : src_(std::move(source)), arcName_(std::move(arcName))
    {}

    int32_t Open(RAROpenRecord& data);
    int32_t ReadHeader(RARHeaderData& header);
    int32_t Process(int32_t operation, const char* destPath, const char* destName);

    RARChangeVolFunc VolumeProc = nullptr;
    RARProcessDataFunc DataProc = nullptr;
    std::string Password;

private:
    int32_t ReadComment(const std::string& main, RAROpenRecord& data);
    bool Supported(const TRarEntry& e) const;
    int32_t Unpack(const TRarEntry& e, std::FILE* out);

    std::unique_ptr<TByteSource> src_;
    std::string arcName_;
    uint16_t mainFlags_ = 0;
    uint64_t pos_ = 0;
    std::optional<TRarEntry> current_;
};

int32_t TRarArchive::ReadComment(const std::string& main, RAROpenRecord& data)
{
    // The comment block sits inside the main header, behind its fields.
    if (main.size() < kMainHeaderSize + kCommentHeaderSize ||
        static_cast<uint8_t>(main[kMainHeaderSize + 2]) != kCommHead)
        return RAR_BAD_DATA;
    const size_t at = kMainHeaderSize;
    const size_t blockSize = Get16(U(main, at + 5));
    if (blockSize < kCommentHeaderSize || at + blockSize > main.size())
        return RAR_BAD_DATA;
    if (Get16(U(main, at)) != Crc16(main, at + 2, at + kCommentHeaderSize))
        return RAR_BAD_DATA;
    const size_t unpSize = Get16(U(main, at + 7));
    const uint8_t method = static_cast<uint8_t>(main[at + 10]);
    const uint16_t textCrc = Get16(U(main, at + 11));
    const std::string text = main.substr(at + kCommentHeaderSize, blockSize - kCommentHeaderSize);
    if (method != kRarStore || text.size() != unpSize)
        return RAR_UNKNOWN_FORMAT;
    if (textCrc != Crc16(text, 0, text.size()))
        return RAR_BAD_DATA;
    if (!data.CmtBuf || data.CmtBufSize == 0)
        return 0;
    const size_t room = data.CmtBufSize - 1;
    const size_t n = std::min(text.size(), room);
    std::memcpy(data.CmtBuf, text.data(), n);
    data.CmtBuf[n] = '\0';
    data.CmtSize = static_cast<uint32_t>(n + 1);
    return text.size() > room ? RAR_SMALL_BUF : 1;
}

int32_t TRarArchive::Open(RAROpenRecord& data)
{
    data.CmtSize = 0;
    data.CmtState = 0;
    const uint64_t searchSize = std::min<uint64_t>(src_->Size(), kMarkerSearch);
    const std::string head = src_->ReadString(0, static_cast<size_t>(searchSize));
    const size_t marker = head.find(kMarker.substr(0, 6));
    if (marker == std::string::npos || marker + kMarker.size() > head.size())
        return RAR_BAD_ARCHIVE;
    if (head.compare(marker, kMarker5.size(), kMarker5) == 0)
        return RAR_UNSUPPORTED;
    if (head.compare(marker, kMarker.size(), kMarker) != 0)
        return RAR_BAD_ARCHIVE;

    const uint64_t mainAt = marker + kMarker.size();
    if (mainAt + kBaseHeaderSize > src_->Size())
        return RAR_BAD_ARCHIVE;
    const std::string base = src_->ReadString(mainAt, kBaseHeaderSize);
    const size_t mainSize = Get16(U(base, 5));
    if (static_cast<uint8_t>(base[2]) != kMainHead || mainSize < kMainHeaderSize || mainAt + mainSize > src_->Size())
        return RAR_BAD_ARCHIVE;
    const std::string main = src_->ReadString(mainAt, mainSize);
    if (Get16(U(main, 0)) != Crc16(main, 2, kMainHeaderSize))
        return RAR_BAD_DATA;
    mainFlags_ = Get16(U(main, 3));
    if (mainFlags_ & kMainEncryptedHeaders)
        return RAR_UNSUPPORTED;  // not even the names can be read without the cipher
    if (mainFlags_ & kMainComment)
        data.CmtState = static_cast<uint32_t>(ReadComment(main, data));
    pos_ = mainAt + mainSize;
    return RAR_SUCCESS;
}

int32_t TRarArchive::ReadHeader(RARHeaderData& header)
{
    current_.reset();
    const uint64_t size = src_->Size();
    for (;;) {
        if (pos_ == size)
            return RAR_END_ARCHIVE;
        if (pos_ + kBaseHeaderSize > size)
            return RAR_BAD_DATA;
        const std::string base = src_->ReadString(pos_, kBaseHeaderSize);
        const uint8_t type = static_cast<uint8_t>(base[2]);
        const uint16_t flags = Get16(U(base, 3));
        const size_t headSize = Get16(U(base, 5));
        if (headSize < kBaseHeaderSize || pos_ + headSize > size)
            return RAR_BAD_DATA;
        if (type == kEndHead)
            return RAR_END_ARCHIVE;
        const std::string block = src_->ReadString(pos_, headSize);
        uint64_t addSize = 0;
        if (flags & kLongBlock) {
            if (headSize < kBaseHeaderSize + 4)
                return RAR_BAD_DATA;
            addSize = Get32(U(block, 7));
        }
        if (type != kFileHead) {
            pos_ += headSize + addSize;  // blocks of no interest here
            if (pos_ > size)
                return RAR_BAD_DATA;
            continue;
        }
        if (headSize < kFileHeaderSize || Get16(U(block, 0)) != Crc16(block, 2, headSize))
            return RAR_BAD_DATA;
        TRarEntry e;
        e.Flags = flags;
        e.PackSize = Get32(U(block, 7));
        e.UnpSize = Get32(U(block, 11));
        e.HostOS = static_cast<uint8_t>(block[15]);
        e.Crc = Get32(U(block, 16));
        e.Time = Get32(U(block, 20));
        e.UnpVer = static_cast<uint8_t>(block[24]);
        e.Method = static_cast<uint8_t>(block[25]);
        const size_t nameSize = Get16(U(block, 26));
        e.Attr = Get32(U(block, 28));
        size_t at = kFileHeaderSize;
        if (flags & kFileLarge) {
            if (headSize < at + 8)
                return RAR_BAD_DATA;
            e.PackSize |= static_cast<uint64_t>(Get32(U(block, at))) << 32;
            e.UnpSize |= static_cast<uint64_t>(Get32(U(block, at + 4))) << 32;
            at += 8;
        }
        if (headSize < at + nameSize)
            return RAR_BAD_DATA;
        e.Name = block.substr(at, nameSize);
        if (flags & kFileUnicode)
            e.Name = e.Name.substr(0, e.Name.find('\0'));  // the OEM form comes first
        e.DataAt = pos_ + headSize;
        if (e.PackSize > size - e.DataAt)
            return RAR_BAD_DATA;
        pos_ = e.DataAt + e.PackSize;

        CopyName(header.ArcName, arcName_);
        CopyName(header.FileName, e.Name);
        header.Flags = e.Flags;
        header.PackSize = static_cast<uint32_t>(e.PackSize);
        header.UnpSize = static_cast<uint32_t>(e.UnpSize);
        header.HostOS = e.HostOS;
        header.FileCRC = e.Crc;
        header.FileTime = e.Time;
        header.UnpVer = e.UnpVer;
        header.Method = e.Method;
        header.FileAttr = e.Attr;
        header.CmtSize = 0;
        header.CmtState = 0;
        current_ = std::move(e);
        return RAR_SUCCESS;
    }
}

bool TRarArchive::Supported(const TRarEntry& e) const
{
    if (mainFlags_ & (kMainSolid | kMainVolume))
        return false;
    if (e.Flags & (kFileEncrypted | kFileSplitBefore | kFileSplitAfter | kFileSolid | kFileSalt))
        return false;
    return e.IsDirectory() || e.Method == kRarStore;
}

int32_t TRarArchive::Unpack(const TRarEntry& e, std::FILE* out)
{
    if (e.PackSize != e.UnpSize)
        return RAR_BAD_DATA;  // stored data is as long as the file
    std::vector<unsigned char> buffer(kChunk);
    uint64_t remaining = e.PackSize;
    uint64_t at = e.DataAt;
    uint32_t crc = 0;
    while (remaining > 0) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(remaining, buffer.size()));
        src_->ReadAt(at, buffer.data(), count);
        at += count;
        remaining -= count;
        crc = Crc32(crc, buffer.data(), count);
        if (out && std::fwrite(buffer.data(), 1, count, out) != count)
            return RAR_EWRITE;
        if (DataProc && DataProc(buffer.data(), static_cast<int32_t>(count)) < 0)
            return RAR_CANCELLED;
    }
    return crc == e.Crc ? RAR_SUCCESS : RAR_BAD_DATA;
}

int32_t TRarArchive::Process(int32_t operation, const char* destPath, const char* destName)
{
    if (!current_)
        return RAR_BAD_DATA;
    const TRarEntry e = std::move(*current_);
    current_.reset();
    if (operation == RAR_SKIP)
        return RAR_SUCCESS;
    if (operation != RAR_TEST && operation != RAR_EXTRACT)
        return RAR_UNSUPPORTED;
    if (!Supported(e))
        return RAR_UNSUPPORTED;
    if (operation == RAR_TEST)
        return e.IsDirectory() ? RAR_SUCCESS : Unpack(e, nullptr);

    std::wstring target;
    if (destName && *destName) {
        target = Utf8ToWide(destName);
    } else {
        const std::wstring folder = destPath && *destPath ? Utf8ToWide(destPath) : std::wstring(L".");
        const auto safe = SafeExtractPath(folder, DecodeName(e.Name), true);
        if (!safe)
            return RAR_ECREATE;
        target = *safe;
    }
    const fs::path path = FsPath(target);
    std::error_code ec;
    if (e.IsDirectory()) {
        fs::create_directories(path, ec);
        return fs::is_directory(path, ec) ? RAR_SUCCESS : RAR_ECREATE;
    }
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), ec);
    int32_t result;
    {
        TFilePtr out = OpenFile(path, "wb");
        if (!out)
            return RAR_ECREATE;
        result = Unpack(e, out.get());
        if (std::fclose(out.release()) != 0 && result == RAR_SUCCESS)
            result = RAR_ECLOSE;
    }
    if (result != RAR_SUCCESS) {
        fs::remove(path, ec);  // nothing damaged is left behind
        return result;
    }
    SetFileDosTime(path, e.Time);
    if (Hooks().SetAttributes)
        Hooks().SetAttributes(path, e.Attr & 0x27);
    return RAR_SUCCESS;
}

void* OpenWith(std::unique_ptr<TByteSource> source, RAROpenRecord* data, std::string arcName)
{
    auto archive = std::make_unique<TRarArchive>(std::move(source), std::move(arcName));
    try {
        data->OpenResult = static_cast<uint32_t>(archive->Open(*data));
    } catch (const ETruncated&) {
        data->OpenResult = RAR_BAD_ARCHIVE;
    }
    if (data->OpenResult != RAR_SUCCESS)
        return nullptr;
    return archive.release();
}

TRarArchive* Archive(void* handle)
{
    return static_cast<TRarArchive*>(handle);
}

}  // namespace

void SetRarHooks(TRarHooks NewHooks)
{
    Hooks() = std::move(NewHooks);
}

void* RarOpenArchive(RAROpenRecord* Data) noexcept
{
    if (!Data)
        return nullptr;
    try {
        if (!Data->ArcName) {
            Data->OpenResult = RAR_EOPEN;
            return nullptr;
        }
        std::unique_ptr<TByteSource> source;
        try {
            source = std::make_unique<TFileSource>(FsPath(Utf8ToWide(Data->ArcName)));
        } catch (const std::exception&) {
            Data->OpenResult = RAR_EOPEN;
            return nullptr;
        }
        return OpenWith(std::move(source), Data, Data->ArcName);
    } catch (const std::bad_alloc&) {
        Data->OpenResult = RAR_NO_MEMORY;
    } catch (...) {
        Data->OpenResult = RAR_EREAD;
    }
    return nullptr;
}

void* RarOpenMemory(std::string_view Bytes, RAROpenRecord* Data) noexcept
{
    if (!Data)
        return nullptr;
    try {
        return OpenWith(std::make_unique<TMemorySource>(Bytes), Data, Data->ArcName ? Data->ArcName : "");
    } catch (...) {
        Data->OpenResult = RAR_NO_MEMORY;
    }
    return nullptr;
}

int32_t RarCloseArchive(void* Handle) noexcept
{
    delete Archive(Handle);
    return RAR_SUCCESS;
}

int32_t RarReadHeader(void* Handle, RARHeaderData* Header) noexcept
{
    if (!Handle || !Header)
        return RAR_BAD_DATA;
    try {
        return Archive(Handle)->ReadHeader(*Header);
    } catch (const std::bad_alloc&) {
        return RAR_NO_MEMORY;
    } catch (...) {
        return RAR_BAD_DATA;
    }
}

int32_t RarProcessFile(void* Handle, int32_t Operation, const char* DestPath, const char* DestName) noexcept
{
    if (!Handle)
        return RAR_BAD_DATA;
    try {
        return Archive(Handle)->Process(Operation, DestPath, DestName);
    } catch (const std::bad_alloc&) {
        return RAR_NO_MEMORY;
    } catch (const ETruncated&) {
        return RAR_BAD_DATA;
    } catch (...) {
        return RAR_EREAD;
    }
}

void RarSetChangeVolProc(void* Handle, RARChangeVolFunc Proc) noexcept
{
    if (Handle)
        Archive(Handle)->VolumeProc = Proc;
}

void RarSetProcessDataProc(void* Handle, RARProcessDataFunc Proc) noexcept
{
    if (Handle)
        Archive(Handle)->DataProc = Proc;
}

void RarSetPassword(void* Handle, const char* Password) noexcept
{
    if (!Handle)
        return;
    try {
        Archive(Handle)->Password = Password ? Password : "";
    } catch (...) {
        TraceIgnoredException(L"RAR password");
    }
}

}  // namespace qrv::external
