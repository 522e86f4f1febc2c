#include "common/win/ClipboardSnapshot.h"

#include "common/win/FileClipboard.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"

#include <cstring>

namespace qrv {

namespace {

std::vector<uint8_t> BlockBytes(HANDLE Data)
{
    const auto memory = static_cast<HGLOBAL>(Data);
    const SIZE_T size = GlobalSize(memory);
    const void* locked = size ? GlobalLock(memory) : nullptr;
    if (!locked)
        return {};
    std::vector<uint8_t> bytes(size);
    std::memcpy(bytes.data(), locked, size);
    GlobalUnlock(memory);
    return bytes;
}

TGlobalMemory NewBlock(const std::vector<uint8_t>& Bytes)
{
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(Bytes.size(), 1)));
    if (!memory)
        return memory;
    void* locked = GlobalLock(memory.Get());
    if (!locked)
        return TGlobalMemory();
    if (!Bytes.empty())
        std::memcpy(locked, Bytes.data(), Bytes.size());
    GlobalUnlock(memory.Get());
    return memory;
}

HPALETTE CopyPalette(HPALETTE Palette)
{
    const UINT count = GetPaletteEntries(Palette, 0, 0, nullptr);
    if (count == 0)
        return nullptr;
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    GetPaletteEntries(Palette, 0, count, logical->palPalEntry);
    return CreatePalette(logical);
}

// Hands a handle to the clipboard, which owns it once it took it.
template <class THandle>
bool Give(UINT Format, THandle& Handle)
{
    if (!Handle || !SetClipboardData(Format, Handle.Get()))
        return false;
    static_cast<void>(Handle.Release());
    return true;
}

}  // namespace

bool TClipboardSnapshot::Take(HWND Owner)
{
    kept_.clear();
    lost_.clear();
    if (!OpenClipboardPatiently(Owner))
        return false;
    ScopeExit close([] { CloseClipboard(); });
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        TKept kept;
        kept.Format = format;
        kept.Keep = ClipboardKeepOf(format);
        HANDLE data = kept.Keep == TClipboardKeep::Lost ? nullptr : GetClipboardData(format);
        bool taken = data != nullptr;
        switch (kept.Keep) {
        case TClipboardKeep::Bytes:
            kept.Bytes = BlockBytes(data);
            taken = taken && GlobalSize(static_cast<HGLOBAL>(data)) == kept.Bytes.size();
            break;
        case TClipboardKeep::Bitmap:
            kept.Gdi.Reset(CopyImage(data, IMAGE_BITMAP, 0, 0, 0));
            taken = taken && kept.Gdi;
            break;
        case TClipboardKeep::Palette:
            kept.Gdi.Reset(CopyPalette(static_cast<HPALETTE>(data)));
            taken = taken && kept.Gdi;
            break;
        case TClipboardKeep::MetafilePicture:
            kept.Bytes = BlockBytes(data);
            if (kept.Bytes.size() >= sizeof(METAFILEPICT)) {
                METAFILEPICT picture;
                std::memcpy(&picture, kept.Bytes.data(), sizeof picture);
                kept.Meta.Reset(CopyMetaFileW(picture.hMF, nullptr));
            }
            taken = taken && kept.Meta;
            break;
        case TClipboardKeep::EnhancedMetafile:
            kept.Enhanced.Reset(CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr));
            taken = taken && kept.Enhanced;
            break;
        case TClipboardKeep::Lost:
            break;
        }
        if (taken)
            kept_.push_back(std::move(kept));
        else
            lost_.push_back(format);
    }
    return true;
}

bool TClipboardSnapshot::Restore(HWND Owner) const
{
    if (!OpenClipboardPatiently(Owner))
        return false;
    ScopeExit close([] { CloseClipboard(); });
    if (!EmptyClipboard())
        return false;
    bool all = true;
    for (const TKept& kept : kept_) {
        bool put = false;
        switch (kept.Keep) {
        case TClipboardKeep::Bytes: {
            TGlobalMemory block = NewBlock(kept.Bytes);
            put = Give(kept.Format, block);
            break;
        }
        case TClipboardKeep::Bitmap: {
            TGdiObject copy(CopyImage(kept.Gdi.Get(), IMAGE_BITMAP, 0, 0, 0));
            put = Give(kept.Format, copy);
            break;
        }
        case TClipboardKeep::Palette: {
            TGdiObject copy(CopyPalette(static_cast<HPALETTE>(kept.Gdi.Get())));
            put = Give(kept.Format, copy);
            break;
        }
        case TClipboardKeep::MetafilePicture: {
            METAFILEPICT picture;
            std::memcpy(&picture, kept.Bytes.data(), sizeof picture);
            TMetaFileHandle meta(CopyMetaFileW(kept.Meta.Get(), nullptr));
            picture.hMF = meta.Get();
            std::vector<uint8_t> header(kept.Bytes);
            std::memcpy(header.data(), &picture, sizeof picture);
            TGlobalMemory block = NewBlock(header);
            put = meta && Give(kept.Format, block);
            if (put)
                static_cast<void>(meta.Release());
            break;
        }
        case TClipboardKeep::EnhancedMetafile: {
            TEnhMetaFileHandle copy(CopyEnhMetaFileW(kept.Enhanced.Get(), nullptr));
            put = Give(kept.Format, copy);
            break;
        }
        case TClipboardKeep::Lost:
            break;
        }
        if (!put) {
            TraceIgnoredFailure(L"putting a clipboard format back (" + std::to_wstring(kept.Format) + L")",
                                GetLastError());
            all = false;
        }
    }
    return all;
}

std::vector<uint32_t> TClipboardSnapshot::Formats() const
{
    std::vector<uint32_t> formats;
    for (const TKept& kept : kept_)
        formats.push_back(kept.Format);
    return formats;
}

}  // namespace qrv
