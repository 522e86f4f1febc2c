#include "archives/ArchiveType.h"

#include "archives/KyRarArc.h"
#include "common/BaseUtils.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"

#include <cwctype>

namespace qrv {

namespace {

constexpr uint32_t kZipEndSignature = 0x06054B50;  // "PK" 05 06

uint32_t LittleEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::wstring UpperExt(const std::wstring& FileName)
{
    std::wstring ext = ExtractFileExt(FileName);
    for (wchar_t& c : ext)
        c = static_cast<wchar_t>(std::towupper(c));
    return ext;
}

// A self-extracting file: a zip when the end record closes the file or lies
// in its last 8 KB; else whatever the RAR and ACE readers accept behind the stub.
uint8_t ExeArchiveType(const std::wstring& FileName, const TArchiveProbes& Probes)
{
    uint64_t size = 0;
    std::vector<uint8_t> tail;
    if (!Probes.ReadTail || !Probes.ReadTail(FileName, kExeTailSize, size, tail))
        return akNone;
    if (size >= kZipEndRecordSize && tail.size() >= kZipEndRecordSize &&
        LittleEndian32(tail.data() + tail.size() - kZipEndRecordSize) == kZipEndSignature)
        return akZip;
    if (size <= kExeTailSize)
        return akNone;
    if (tail.size() == kExeTailSize) {
        for (size_t offset = kExeTailSize - 4 + 1; offset-- > 0;)
            if (LittleEndian32(tail.data() + offset) == kZipEndSignature)
                return akZip;
    }
    if (Probes.IsRar && Probes.IsRar(FileName))
        return akRAR;
    if (Probes.IsAce && Probes.IsAce(FileName))
        return akACE;
    return akNone;
}

}  // namespace

uint8_t GetArchiveType(const std::wstring& FileName, const TArchiveProbes& Probes)
{
    try {
        const std::wstring ext = UpperExt(FileName);
        if (ext == L".ZIP" || ext == L".JAR")
            return akZip;
        if (ext == L".RAR")
            return akRAR;
        if (ext == L".CAB")
            return Probes.IsCabinet && Probes.IsCabinet(FileName) ? akCabinet : akNone;
        if (ext == L".ACE")
            return Probes.IsAce && Probes.IsAce(FileName) ? akACE : akNone;
        if (ext == L".EXE")
            return ExeArchiveType(FileName, Probes);
    } catch (...) {
        // Whatever cannot be tested is no archive.
        TraceIgnoredException(L"archive type test");
    }
    return akNone;
}

bool RarHoldsEntries(TKyRAR& Rar, const std::wstring& FileName)
{
    auto onError = std::move(Rar.OnError);
    Rar.OnError = nullptr;
    ScopeExit reconnect([&] { Rar.OnError = std::move(onError); });
    try {
        Rar.SetArchiveName(FileName);
        Rar.List();
    } catch (...) {
        // A file the reader cannot list is simply not a RAR archive.
        TraceIgnoredException(L"RAR archive test");
        return false;
    }
    return Rar.Count() > 0;
}

}  // namespace qrv
