#pragma once
// A data object of another program, made up for the drop tests: it offers
// the formats it was given in global memory, a stream or a storage, answers
// only what it holds, and counts what it was asked for.

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

namespace qrv::test {

class TDropDataFake : public IDataObject {
public:
    struct TEntry {
        UINT Format;
        LONG Index;  // -1 answers every index
        DWORD Medium;
        std::string Bytes;
    };
    std::vector<TEntry> Entries;
    std::vector<LONG> AskedIndexes;  // of the "FileContents" requests
    UINT ContentsFormat = 0;

    void Add(UINT Format, const std::string& Bytes, DWORD Medium = TYMED_HGLOBAL, LONG Index = -1)
    {
        Entries.push_back({Format, Index, Medium, Bytes});
    }
    template <class Block>
    void AddBlock(UINT Format, const Block& Bytes)
    {
        Add(Format, std::string(Bytes.begin(), Bytes.end()));
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat == ContentsFormat) {
            AskedIndexes.push_back(format->lindex);
        }
        const TEntry* entry = Find(*format);
        if (entry == nullptr) {
            return DV_E_FORMATETC;
        }
        *medium = STGMEDIUM{};
        if (entry->Medium == TYMED_HGLOBAL) {
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = Global(entry->Bytes);
            return S_OK;
        }
        if (entry->Medium == TYMED_ISTREAM) {
            IStream* stream = nullptr;
            CreateStreamOnHGlobal(Global(entry->Bytes), TRUE, &stream);
            LARGE_INTEGER end{};
            stream->Seek(end, STREAM_SEEK_END, nullptr);  // left at its end, as some sources do
            medium->tymed = TYMED_ISTREAM;
            medium->pstm = stream;
            return S_OK;
        }
        IStorage* storage = nullptr;
        if (FAILED(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                                    0, &storage))) {
            return E_FAIL;
        }
        IStream* inner = nullptr;
        storage->CreateStream(L"Inhalt", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &inner);
        inner->Write(entry->Bytes.data(), static_cast<ULONG>(entry->Bytes.size()), nullptr);
        inner->Release();
        storage->Commit(STGC_DEFAULT);
        medium->tymed = TYMED_ISTORAGE;
        medium->pstg = storage;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        for (const TEntry& entry : Entries) {
            if (entry.Format == format->cfFormat && (entry.Medium & format->tymed) != 0) {
                return S_OK;
            }
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    const TEntry* Find(const FORMATETC& format) const
    {
        for (const TEntry& entry : Entries) {
            if (entry.Format == format.cfFormat && (entry.Medium & format.tymed) != 0 &&
                (entry.Index == -1 || entry.Index == format.lindex)) {
                return &entry;
            }
        }
        return nullptr;
    }
    static HGLOBAL Global(const std::string& bytes)
    {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        return memory;
    }
    ULONG refs_ = 1;
};

}  // namespace qrv::test
