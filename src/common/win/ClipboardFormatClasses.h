#pragma once
// Single formats of an OLE data object (drag and drop or the clipboard) as
// small classes that know their format and media, tell whether a data object
// offers them, read them out of it and render them into a medium: the file
// descriptors and the file contents of files that exist only inside their
// source, and an IStream over our own streams.

#include "common/FileContentsList.h"
#include "common/FileDescriptorBlock.h"
#include "framework/Streams.h"
#include "framework/win/WinApi.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <objidl.h>
#include <wrl/client.h>

namespace qrv {

class TClipboardFormat {
public:
    // A descriptor of the format for the given TYMED_ media.
    explicit TClipboardFormat(DWORD Media);
    explicit TClipboardFormat(const FORMATETC& Format);
    virtual ~TClipboardFormat() = default;
    TClipboardFormat(const TClipboardFormat&) = delete;
    TClipboardFormat& operator=(const TClipboardFormat&) = delete;

    // Reads what the medium holds; false when it holds nothing usable.
    virtual bool ReadData(const STGMEDIUM& /*Medium*/) { return false; }
    // Renders into Medium for the request; false when nothing was rendered.
    virtual bool WriteData(const FORMATETC& /*Request*/, STGMEDIUM& /*Medium*/) { return false; }
    // The format identifier, registered on first use.
    virtual UINT GetClipboardFormat() = 0;
    void SetClipboardFormat(UINT Format) { FormatEtc.cfFormat = static_cast<CLIPFORMAT>(Format); }
    // The registered name of the format (at most 255 characters).
    std::wstring GetClipboardFormatName();
    [[noreturn]] void NotImplemented();
    // The data object answers the query for FormatEtc with success.
    bool HasValidFormats(IDataObject* DataObject);
    // Same format, no target device, same aspect and a common medium.
    bool AcceptFormat(const FORMATETC& Format);
    // Clears, then reads the format from the data object.
    virtual bool GetData(IDataObject* DataObject);
    virtual void Clear() = 0;
    virtual bool HasData() { return true; }

    FORMATETC FormatEtc{};

protected:
    // Reads the medium when its kind is one of ours; releases it in any case.
    bool DoGetData(STGMEDIUM& Medium);
};

// A format read and rendered as one block of bytes, in global memory or a
// stream.
class TCustomSimpleClipboardFormat : public TClipboardFormat {
public:
    TCustomSimpleClipboardFormat() : TClipboardFormat(TYMED_HGLOBAL | TYMED_ISTREAM) {}
    bool ReadData(const STGMEDIUM& Medium) override;
    bool WriteData(const FORMATETC& Request, STGMEDIUM& Medium) override;

protected:
    virtual bool ReadDataInto(const uint8_t* Buffer, size_t Size) = 0;
    virtual bool WriteDataFrom(uint8_t* Buffer, size_t Size) = 0;
    virtual size_t GetSize() = 0;
};

// "FileGroupDescriptor" or, wide, "FileGroupDescriptorW": a copy of a
// descriptor block that held at least as many records as it claimed.
class TFileGroupDescritorClipboardFormat : public TCustomSimpleClipboardFormat {
public:
    explicit TFileGroupDescritorClipboardFormat(bool Wide = false);
    UINT GetClipboardFormat() override;
    void Clear() override { block_.clear(); }
    bool HasData() override { return block_.size() >= 4 && (block_[0] | block_[1] | block_[2] | block_[3]) != 0; }
    // The records of the block held; none when nothing is held.
    std::vector<TFileDescriptorEntry> Entries() const;
    // Holds a block of Entries.
    void SetEntries(const std::vector<TFileDescriptorEntry>& Entries);
    bool Wide() const { return wide_; }

protected:
    bool ReadDataInto(const uint8_t* Buffer, size_t Size) override;
    bool WriteDataFrom(uint8_t* Buffer, size_t Size) override;
    size_t GetSize() override { return block_.size(); }

private:
    bool wide_;
    std::vector<uint8_t> block_;
};

// "FileContents": the files of the descriptors (the wide ones first), each
// a source stream held (TComSourceStream) or a storage copied into a stream
// of ours.
class TFileContentsStreamClipboardFormat : public TClipboardFormat {
public:
    TFileContentsStreamClipboardFormat();
    UINT GetClipboardFormat() override;
    bool GetData(IDataObject* DataObject) override;
    void Clear() override { streams_.Clear(); }
    bool HasData() override { return streams_.Count() > 0; }
    TStreamList& Streams() { return streams_; }

private:
    std::unique_ptr<TStream> FetchItem(IDataObject* DataObject, int Index);
    TStreamList streams_;
};

// A source's IStream held as a stream of ours, read where it is needed:
// read-only; a failed read throws EReadError (an end it does not report is
// no end); seeking is passed on, except to where it already is.
class TComSourceStream : public TStream {
public:
    explicit TComSourceStream(IStream* Source);
    size_t Read(void* Buffer, size_t Count) override;
    size_t Write(const void* Buffer, size_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    // The size the source tells (its stat), else what seeking finds.
    int64_t Size() override;

private:
    Microsoft::WRL::ComPtr<IStream> source_;
    uint64_t position_ = 0;
};

// Reads an IStream to its end (1 MB at a time, above 64 MB into a temporary
// file); nullptr when it cannot be read.
std::unique_ptr<TStream> ReadComStream(IStream* Source);
// Copies a storage into a compound file and loads that file; nullptr on failure.
std::unique_ptr<TStream> ReadComStorage(IStorage* Source);

// An IStream over a stream of ours. Its CopyTo with a count of -1 (or any
// count past the end) copies to the end in 1 MB chunks, and reports what was
// read and written even when it stops early: a short write is E_FAIL, an
// exception E_UNEXPECTED.
class TFixedStreamAdapter : public IStream {
public:
    // Owned: the adapter frees the stream when its last reference goes.
    TFixedStreamAdapter(std::unique_ptr<TStream> Stream);
    TFixedStreamAdapter(TStream& Stream);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Read(void* Buffer, ULONG Count, ULONG* Done) override;
    HRESULT STDMETHODCALLTYPE Write(const void* Buffer, ULONG Count, ULONG* Done) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER Move, DWORD Origin, ULARGE_INTEGER* NewPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER NewSize) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* Target, ULARGE_INTEGER Count, ULARGE_INTEGER* Read,
                                     ULARGE_INTEGER* Written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return STG_E_REVERTED; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* Stat, DWORD Flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** Clone) override;

private:
    virtual ~TFixedStreamAdapter() = default;
    LONG refs_ = 1;
    std::unique_ptr<TStream> owned_;
    TStream& stream_;
};

}  // namespace qrv
