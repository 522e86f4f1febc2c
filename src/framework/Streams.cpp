#include "framework/Streams.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

namespace qrv {

int64_t TStream::Size()
{
    const int64_t position = Position();
    const int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(L"Stream-Lesefehler");
}

void TStream::WriteBuffer(const void* buffer, size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(L"Stream-Schreibfehler");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)));
    int64_t left = count;
    while (left > 0) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(left, buffer.size()));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return count;
}

std::string TStream::ReadAll()
{
    std::string result;
    char buffer[1 << 14];
    for (;;) {
        const size_t got = Read(buffer, sizeof buffer);
        if (got == 0)
            break;
        result.append(buffer, got);
    }
    return result;
}

// --- TMemoryStream -------------------------------------------------------

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (position_ >= data_.size())
        return 0;
    const size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return 0;
    if (position_ + count > data_.size())
        data_.resize(position_ + count);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent)
        base = static_cast<int64_t>(position_);
    else if (origin == TSeekOrigin::soEnd)
        base = static_cast<int64_t>(data_.size());
    const int64_t target = base + offset;
    if (target < 0)
        throw EStreamError(L"Ungültige Stream-Position");
    position_ = static_cast<size_t>(target);
    return target;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        throw EStreamError(L"Ungültige Stream-Größe");
    data_.resize(static_cast<size_t>(newSize));
    position_ = std::min(position_, data_.size());
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    const std::string bytes = source.ReadAll();
    data_.assign(bytes.begin(), bytes.end());
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::wstring& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& target)
{
    target.WriteBuffer(data_.data(), data_.size());
}

void TMemoryStream::SaveToFile(const std::wstring& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
    file.Flush();
}

// --- TFileStream ---------------------------------------------------------

namespace {

std::FILE* OpenFile(const std::wstring& fileName, unsigned mode)
{
    const bool create = (mode & fmCreate) == fmCreate;
    const unsigned access = create ? fmOpenReadWrite : (mode & 0x3);
    if ((mode & fmCreateNew) == fmCreateNew) {
        // Created by this call or not at all: two writers never share it.
#ifdef _WIN32
        const int fd =
            _wsopen(fileName.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYRW, _S_IREAD | _S_IWRITE);
        std::FILE* file = fd < 0 ? nullptr : _wfdopen(fd, L"w+b");
        if (fd >= 0 && !file)
            _close(fd);
#else
        const int fd = ::open(WideToUtf8(fileName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "w+b");
        if (fd >= 0 && !file)
            ::close(fd);
#endif
        return file;
    }
#ifdef _WIN32
    const wchar_t* how = create ? L"w+b" : access == fmOpenRead ? L"rb" : L"r+b";
    const unsigned share = create ? fmShareExclusive : (mode & 0xF0);
    int shareFlag = _SH_DENYNO;
    if (share == fmShareExclusive)
        shareFlag = _SH_DENYRW;
    else if (share == fmShareDenyWrite)
        shareFlag = _SH_DENYWR;
    return _wfsopen(fileName.c_str(), how, shareFlag);
#else
    const char* how = create ? "w+b" : access == fmOpenRead ? "rb" : "r+b";
    return std::fopen(WideToUtf8(fileName).c_str(), how);
#endif
}

}  // namespace

TFileStream::TFileStream(const std::wstring& fileName, unsigned mode) : fileName_(fileName)
{
    file_ = OpenFile(fileName, mode);
    if (!file_) {
        const std::wstring reason = Utf8ToWide(std::strerror(errno));
        if ((mode & fmCreate) == fmCreate)
            throw EFCreateError(L"Datei " + fileName + L" kann nicht erstellt werden. " + reason);
        throw EFOpenError(L"Datei " + fileName + L" kann nicht geöffnet werden. " + reason);
    }
}

TFileStream::~TFileStream()
{
    if (file_)
        std::fclose(file_);
}

// The C library requires a positioning call between reading and writing.
size_t TFileStream::Read(void* buffer, size_t count)
{
    if (lastWasWrite_)
        std::fflush(file_);
    lastWasWrite_ = false;
    lastWasRead_ = true;
    return std::fread(buffer, 1, count, file_);
}

size_t TFileStream::Write(const void* buffer, size_t count)
{
    if (lastWasRead_)
        Seek(0, TSeekOrigin::soCurrent);
    lastWasRead_ = false;
    lastWasWrite_ = true;
    return std::fwrite(buffer, 1, count, file_);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
#ifdef _WIN32
    if (_fseeki64(file_, offset, whence) != 0)
        throw EStreamError(L"Positionierung in " + fileName_ + L" fehlgeschlagen");
    lastWasRead_ = lastWasWrite_ = false;
    return _ftelli64(file_);
#else
    if (fseeko(file_, offset, whence) != 0)
        throw EStreamError(L"Positionierung in " + fileName_ + L" fehlgeschlagen");
    lastWasRead_ = lastWasWrite_ = false;
    return ftello(file_);
#endif
}

void TFileStream::SetSize(int64_t newSize)
{
    Flush();
    const int64_t position = Position();
#ifdef _WIN32
    const bool ok = _chsize_s(_fileno(file_), newSize) == 0;
#else
    const bool ok = ftruncate(fileno(file_), newSize) == 0;
#endif
    if (!ok)
        throw EStreamError(L"Größe von " + fileName_ + L" kann nicht geändert werden");
    Seek(std::min(position, newSize), TSeekOrigin::soBeginning);
}

void TFileStream::Flush()
{
    if (std::fflush(file_) != 0)
        throw EWriteError(L"Schreibfehler in " + fileName_);
}

std::string ReadFileBytes(const std::wstring& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    return file.ReadAll();
}

}  // namespace qrv
