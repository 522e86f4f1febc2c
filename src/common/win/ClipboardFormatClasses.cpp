#include "common/win/ClipboardFormatClasses.h"

#include "common/win/KyClipBoardFormats.h"
#include "common/win/TempFiles.h"
#include "framework/Encoding.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <cstring>

#include <wrl/client.h>

namespace qrv {

using Microsoft::WRL::ComPtr;

namespace {

std::wstring DecodeAnsi(std::string_view raw)
{
    return TEncoding::Default().GetString(raw);
}
std::string EncodeAnsi(std::wstring_view name)
{
    return TEncoding::Default().GetBytes(name);
}

}  // namespace

// ---- TClipboardFormat ---------------------------------------------------

TClipboardFormat::TClipboardFormat(DWORD Media)
{
    FormatEtc.ptd = nullptr;
    FormatEtc.dwAspect = DVASPECT_CONTENT;
    FormatEtc.lindex = -1;
    FormatEtc.tymed = Media;
}

TClipboardFormat::TClipboardFormat(const FORMATETC& Format) : FormatEtc(Format)
{
    FormatEtc.ptd = nullptr;
}

std::wstring TClipboardFormat::GetClipboardFormatName()
{
    wchar_t name[256];
    const int length = ::GetClipboardFormatNameW(GetClipboardFormat(), name, 256);
    return std::wstring(name, static_cast<size_t>(std::max(length, 0)));
}

void TClipboardFormat::NotImplemented()
{
    throw Exception(L"TClipboardFormat");
}

bool TClipboardFormat::HasValidFormats(IDataObject* DataObject)
{
    FormatEtc.cfFormat = static_cast<CLIPFORMAT>(GetClipboardFormat());
    return DataObject != nullptr && DataObject->QueryGetData(&FormatEtc) == S_OK;
}

bool TClipboardFormat::AcceptFormat(const FORMATETC& Format)
{
    return Format.cfFormat == GetClipboardFormat() && Format.ptd == nullptr && Format.dwAspect == FormatEtc.dwAspect &&
           (Format.tymed & FormatEtc.tymed) != 0;
}

bool TClipboardFormat::GetData(IDataObject* DataObject)
{
    Clear();
    if (DataObject == nullptr) {
        return false;
    }
    FormatEtc.cfFormat = static_cast<CLIPFORMAT>(GetClipboardFormat());
    STGMEDIUM medium{};
    if (FAILED(DataObject->GetData(&FormatEtc, &medium))) {
        return false;
    }
    return DoGetData(medium);
}

bool TClipboardFormat::DoGetData(STGMEDIUM& Medium)
{
    ScopeExit release([&] { ReleaseStgMedium(&Medium); });
    return (Medium.tymed & FormatEtc.tymed) != 0 && ReadData(Medium);
}

// ---- TCustomSimpleClipboardFormat ---------------------------------------

bool TCustomSimpleClipboardFormat::ReadData(const STGMEDIUM& Medium)
{
    try {
        std::vector<uint8_t> buffer;
        if (Medium.tymed == TYMED_HGLOBAL) {
            const SIZE_T size = GlobalSize(Medium.hGlobal);
            const auto* data = static_cast<const uint8_t*>(GlobalLock(Medium.hGlobal));
            if (size == 0 || data == nullptr) {
                return false;
            }
            buffer.assign(data, data + size);
            GlobalUnlock(Medium.hGlobal);
        } else if (Medium.tymed == TYMED_ISTREAM && Medium.pstm != nullptr) {
            LARGE_INTEGER start{};
            (void)Medium.pstm->Seek(start, STREAM_SEEK_SET, nullptr);  // a stream that cannot seek is read from here
            const std::unique_ptr<TStream> stream = ReadComStream(Medium.pstm);
            if (!stream || stream->Size() <= 0) {
                return false;
            }
            buffer.resize(static_cast<size_t>(stream->Size()));
            stream->ReadBuffer(buffer.data(), buffer.size());
        } else {
            return false;
        }
        return ReadDataInto(buffer.data(), buffer.size());
    } catch (const std::exception&) {
        TraceIgnoredException(L"TCustomSimpleClipboardFormat::ReadData");
        return false;
    }
}

bool TCustomSimpleClipboardFormat::WriteData(const FORMATETC& Request, STGMEDIUM& Medium)
{
    try {
        const size_t size = GetSize();
        if (size == 0) {
            return false;
        }
        if ((Request.tymed & TYMED_HGLOBAL) != 0) {
            TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, size));
            auto* target = memory ? static_cast<uint8_t*>(GlobalLock(memory.Get())) : nullptr;
            if (target == nullptr) {
                return false;
            }
            const bool written = WriteDataFrom(target, size);
            GlobalUnlock(memory.Get());
            if (!written) {
                return false;
            }
            Medium.tymed = TYMED_HGLOBAL;
            Medium.hGlobal = memory.Release();
            Medium.pUnkForRelease = nullptr;
            return true;
        }
        if ((Request.tymed & TYMED_ISTREAM) != 0) {
            std::vector<uint8_t> buffer(size);
            if (!WriteDataFrom(buffer.data(), size)) {
                return false;
            }
            auto stream = std::make_unique<TMemoryStream>();
            stream->WriteBuffer(buffer.data(), size);
            // Positioned at the start: readers that do not seek get the data.
            stream->SetPosition(0);
            Medium.tymed = TYMED_ISTREAM;
            Medium.pstm = new TFixedStreamAdapter(std::move(stream));
            Medium.pUnkForRelease = nullptr;
            return true;
        }
        return false;
    } catch (const std::exception&) {
        TraceIgnoredException(L"TCustomSimpleClipboardFormat::WriteData");
        return false;
    }
}

// ---- TFileGroupDescritorClipboardFormat ---------------------------------

TFileGroupDescritorClipboardFormat::TFileGroupDescritorClipboardFormat(bool Wide) : wide_(Wide)
{
    FormatEtc.cfFormat = static_cast<CLIPFORMAT>(GetClipboardFormat());
}

UINT TFileGroupDescritorClipboardFormat::GetClipboardFormat()
{
    return wide_ ? CFFileGroupDescriptorW : CFFileGroupDescriptor;
}

std::vector<TFileDescriptorEntry> TFileGroupDescritorClipboardFormat::Entries() const
{
    return ParseFileGroupDescriptor(block_.data(), block_.size(), wide_, DecodeAnsi)
        .value_or(std::vector<TFileDescriptorEntry>{});
}

void TFileGroupDescritorClipboardFormat::SetEntries(const std::vector<TFileDescriptorEntry>& Entries)
{
    block_ = BuildFileGroupDescriptor(Entries, wide_, EncodeAnsi);
}

bool TFileGroupDescritorClipboardFormat::ReadDataInto(const uint8_t* Buffer, size_t Size)
{
    if (!ParseFileGroupDescriptor(Buffer, Size, wide_, DecodeAnsi)) {
        return false;
    }
    block_.assign(Buffer, Buffer + Size);
    return true;
}

bool TFileGroupDescritorClipboardFormat::WriteDataFrom(uint8_t* Buffer, size_t Size)
{
    if (Size != block_.size()) {
        return false;
    }
    std::memcpy(Buffer, block_.data(), Size);
    return true;
}

// ---- TFileContentsStreamClipboardFormat ---------------------------------

TFileContentsStreamClipboardFormat::TFileContentsStreamClipboardFormat() : TClipboardFormat(TYMED_ISTREAM)
{
    FormatEtc.cfFormat = static_cast<CLIPFORMAT>(GetClipboardFormat());
}

UINT TFileContentsStreamClipboardFormat::GetClipboardFormat()
{
    return CFFileContents;
}

bool TFileContentsStreamClipboardFormat::GetData(IDataObject* DataObject)
{
    streams_.Clear();
    if (DataObject == nullptr) {
        return false;
    }
    std::optional<std::vector<std::wstring>> names;
    for (const bool wide : {true, false}) {
        TFileGroupDescritorClipboardFormat descriptors(wide);
        if (descriptors.GetData(DataObject)) {
            names.emplace();
            for (const TFileDescriptorEntry& entry : descriptors.Entries()) {
                names->push_back(entry.Name);
            }
            break;
        }
    }
    return CollectFileContents(
        names, [&](int index) { return FetchItem(DataObject, index); }, streams_);
}

std::unique_ptr<TStream> TFileContentsStreamClipboardFormat::FetchItem(IDataObject* DataObject, int Index)
{
    FORMATETC request = FormatEtc;
    request.cfFormat = static_cast<CLIPFORMAT>(GetClipboardFormat());
    request.lindex = Index;
    request.tymed = TYMED_ISTREAM | TYMED_ISTORAGE;
    STGMEDIUM medium{};
    if (FAILED(DataObject->GetData(&request, &medium))) {
        return nullptr;
    }
    ScopeExit release([&] { ReleaseStgMedium(&medium); });
    try {
        if (medium.tymed == TYMED_ISTREAM && medium.pstm != nullptr) {
            LARGE_INTEGER start{};
            (void)medium.pstm->Seek(start, STREAM_SEEK_SET, nullptr);  // a stream that cannot seek is read from here
            // Kept, not copied: whoever writes the file reads it once, to its
            // end, straight from the source.
            return std::make_unique<TComSourceStream>(medium.pstm);
        }
        if (medium.tymed == TYMED_ISTORAGE && medium.pstg != nullptr) {
            return ReadComStorage(medium.pstg);
        }
    } catch (const std::exception&) {
        TraceIgnoredException(L"FileContents item");
    }
    return nullptr;
}

// ---- TComSourceStream ---------------------------------------------------

TComSourceStream::TComSourceStream(IStream* Source) : source_(Source) {}

size_t TComSourceStream::Read(void* Buffer, size_t Count)
{
    ULONG done = 0;
    const ULONG wanted = static_cast<ULONG>(std::min<size_t>(Count, 1u << 30));
    const HRESULT hr = source_->Read(Buffer, wanted, &done);
    if (FAILED(hr)) {
        throw EReadError(L"Die Quelle der Datei kann nicht gelesen werden");
    }
    position_ += done;
    return done;
}

size_t TComSourceStream::Write(const void* /*Buffer*/, size_t /*Count*/)
{
    throw EWriteError(L"Die Quelle der Datei kann nicht beschrieben werden");
}

int64_t TComSourceStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    // Where the stream already is needs no call: a source that cannot seek
    // is still read from its start.
    if ((Origin == TSeekOrigin::soCurrent && Offset == 0) ||
        (Origin == TSeekOrigin::soBeginning && static_cast<uint64_t>(Offset) == position_)) {
        return static_cast<int64_t>(position_);
    }
    LARGE_INTEGER distance;
    distance.QuadPart = Offset;
    ULARGE_INTEGER position{};
    const DWORD method = Origin == TSeekOrigin::soBeginning ? STREAM_SEEK_SET
                         : Origin == TSeekOrigin::soCurrent ? STREAM_SEEK_CUR
                                                            : STREAM_SEEK_END;
    if (FAILED(source_->Seek(distance, method, &position))) {
        throw EStreamError(L"Die Quelle der Datei kann nicht positioniert werden");
    }
    position_ = position.QuadPart;
    return static_cast<int64_t>(position_);
}

void TComSourceStream::SetSize(int64_t /*NewSize*/)
{
    throw EWriteError(L"Die Quelle der Datei kann nicht beschrieben werden");
}

int64_t TComSourceStream::Size()
{
    STATSTG stat{};
    if (SUCCEEDED(source_->Stat(&stat, STATFLAG_NONAME))) {
        return static_cast<int64_t>(stat.cbSize.QuadPart);
    }
    return TStream::Size();
}

std::unique_ptr<TStream> ReadComStream(IStream* Source)
{
    if (Source == nullptr) {
        return nullptr;
    }
    STATSTG stat{};
    uint64_t hint = 0;
    if (SUCCEEDED(Source->Stat(&stat, STATFLAG_NONAME))) {
        hint = stat.cbSize.QuadPart;
    }
    const TReadSource read = [Source](void* buffer, size_t count) -> size_t {
        ULONG done = 0;
        const HRESULT hr = Source->Read(buffer, static_cast<ULONG>(count), &done);
        return FAILED(hr) ? 0 : done;
    };
    return ReadWholeSource(read, hint, [] { return NewTemporaryFileStream(); });
}

std::unique_ptr<TStream> ReadComStorage(IStorage* Source)
{
    const std::wstring name = NewTemporaryFileName(L"qrv");
    if (name.empty()) {
        return nullptr;
    }
    ScopeExit remove([&] {
        if (!DeleteFileW(name.c_str())) {
            TraceIgnoredFailure(L"DeleteFileW of a storage copy", GetLastError());
        }
    });
    {
        ComPtr<IStorage> copy;
        if (FAILED(StgCreateDocfile(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &copy)) ||
            FAILED(Source->CopyTo(0, nullptr, nullptr, copy.Get())) || FAILED(copy->Commit(STGC_DEFAULT))) {
            return nullptr;
        }
    }
    TFileStream file(name, fmOpenRead);
    auto memory = std::make_unique<TMemoryStream>();
    memory->CopyFrom(file, 0);
    memory->SetPosition(0);
    return memory;
}

// ---- TFixedStreamAdapter ------------------------------------------------

TFixedStreamAdapter::TFixedStreamAdapter(std::unique_ptr<TStream> Stream) : owned_(std::move(Stream)), stream_(*owned_)
{}

TFixedStreamAdapter::TFixedStreamAdapter(TStream& Stream) : stream_(Stream) {}

HRESULT TFixedStreamAdapter::QueryInterface(REFIID Riid, void** Object)
{
    if (Object == nullptr) {
        return E_POINTER;
    }
    if (Riid == IID_IUnknown || Riid == IID_IStream || Riid == IID_ISequentialStream) {
        *Object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
}

ULONG TFixedStreamAdapter::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG TFixedStreamAdapter::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT TFixedStreamAdapter::Read(void* Buffer, ULONG Count, ULONG* Done)
{
    try {
        const size_t got = stream_.Read(Buffer, Count);
        if (Done) {
            *Done = static_cast<ULONG>(got);
        }
        return S_OK;
    } catch (const std::exception&) {
        return S_FALSE;
    }
}

HRESULT TFixedStreamAdapter::Write(const void* Buffer, ULONG Count, ULONG* Done)
{
    try {
        const size_t put = stream_.Write(Buffer, Count);
        if (Done) {
            *Done = static_cast<ULONG>(put);
        }
        return put == Count ? S_OK : STG_E_CANTSAVE;
    } catch (const std::exception&) {
        return STG_E_CANTSAVE;
    }
}

HRESULT TFixedStreamAdapter::Seek(LARGE_INTEGER Move, DWORD Origin, ULARGE_INTEGER* NewPosition)
{
    if (Origin > STREAM_SEEK_END) {
        return STG_E_INVALIDFUNCTION;
    }
    try {
        const TSeekOrigin origin = Origin == STREAM_SEEK_SET   ? TSeekOrigin::soBeginning
                                   : Origin == STREAM_SEEK_CUR ? TSeekOrigin::soCurrent
                                                               : TSeekOrigin::soEnd;
        const int64_t position = stream_.Seek(Move.QuadPart, origin);
        if (NewPosition) {
            NewPosition->QuadPart = static_cast<ULONGLONG>(position);
        }
        return S_OK;
    } catch (const std::exception&) {
        return STG_E_INVALIDPOINTER;
    }
}

HRESULT TFixedStreamAdapter::SetSize(ULARGE_INTEGER NewSize)
{
    try {
        stream_.SetSize(static_cast<int64_t>(NewSize.QuadPart));
        return S_OK;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

HRESULT TFixedStreamAdapter::CopyTo(IStream* Target, ULARGE_INTEGER Count, ULARGE_INTEGER* Read,
                                    ULARGE_INTEGER* Written)
{
    uint64_t readTotal = 0;
    uint64_t writtenTotal = 0;
    ScopeExit report([&] {
        if (Read) {
            Read->QuadPart = readTotal;
        }
        if (Written) {
            Written->QuadPart = writtenTotal;
        }
    });
    if (Target == nullptr) {
        return STG_E_INVALIDPOINTER;
    }
    try {
        // A negative count (a huge unsigned one) copies to the end, and all
        // of a stream whose position already stands at its end.
        uint64_t left = Count.QuadPart;
        if (static_cast<int64_t>(left) < 0 && stream_.Position() >= stream_.Size()) {
            stream_.SetPosition(0);
        }
        std::vector<uint8_t> buffer(kContentsChunk);
        while (left > 0) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
            const size_t got = stream_.Read(buffer.data(), want);
            if (got == 0) {
                break;
            }
            readTotal += got;
            ULONG put = 0;
            const HRESULT hr = Target->Write(buffer.data(), static_cast<ULONG>(got), &put);
            writtenTotal += put;
            if (FAILED(hr) || put != got) {
                return E_FAIL;
            }
            left -= got;
        }
        return S_OK;
    } catch (const std::exception&) {
        return E_UNEXPECTED;
    }
}

HRESULT TFixedStreamAdapter::Stat(STATSTG* Stat, DWORD /*Flags*/)
{
    if (Stat == nullptr) {
        return STG_E_INVALIDPOINTER;
    }
    try {
        *Stat = STATSTG{};
        Stat->type = STGTY_STREAM;
        Stat->cbSize.QuadPart = static_cast<ULONGLONG>(stream_.Size());
        Stat->grfMode = STGM_READWRITE;
        return S_OK;
    } catch (const std::exception&) {
        return E_UNEXPECTED;
    }
}

HRESULT TFixedStreamAdapter::Clone(IStream** Clone)
{
    if (Clone) {
        *Clone = nullptr;
    }
    return E_NOTIMPL;
}

}  // namespace qrv
