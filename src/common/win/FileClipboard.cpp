#include "common/win/FileClipboard.h"

#include "common/DropFilesBlock.h"
#include "common/win/KyClipBoardFormats.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <cstring>

namespace qrv {

bool OpenClipboardPatiently(HWND Owner)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(Owner)) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

namespace {

// A block of the size in movable memory, filled by the step, handed to the
// clipboard as the format.
template <typename Fill>
[[nodiscard]] bool PutBlock(UINT Format, size_t Size, Fill FillBlock)
{
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, Size));
    if (!memory) {
        return false;
    }
    void* target = GlobalLock(memory.Get());
    if (target == nullptr) {
        return false;
    }
    FillBlock(static_cast<uint8_t*>(target));
    GlobalUnlock(memory.Get());
    if (SetClipboardData(Format, memory.Get()) == nullptr) {
        return false;
    }
    (void)memory.Release();  // the clipboard owns it now
    return true;
}

[[nodiscard]] bool PutBytes(UINT Format, const std::vector<uint8_t>& Bytes)
{
    return PutBlock(Format, Bytes.size(), [&](uint8_t* target) { std::memcpy(target, Bytes.data(), Bytes.size()); });
}

// The bytes of a clipboard format, read within the block's own size.
std::optional<std::vector<uint8_t>> GetBytes(UINT Format)
{
    HANDLE data = GetClipboardData(Format);
    if (data == nullptr) {
        return std::nullopt;
    }
    const SIZE_T size = GlobalSize(data);
    const auto* source = static_cast<const uint8_t*>(GlobalLock(data));
    if (source == nullptr) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(source, source + size);
    GlobalUnlock(data);
    return bytes;
}

std::wstring AnsiName(std::string_view raw)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
    std::wstring name(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, raw.data(), static_cast<int>(raw.size()), name.data(), length);
    return name;
}

}  // namespace

bool PutFilesOnClipboard(HWND Owner, const std::vector<std::wstring>& Names, bool Cut)
{
    if (Names.empty() || !OpenClipboardPatiently(Owner)) {
        return false;
    }
    ScopeExit close([] { CloseClipboard(); });
    if (!EmptyClipboard()) {
        return false;
    }
    const uint32_t effect = Cut ? deMove : (deCopy | deLink);
    return PutBytes(CF_HDROP, BuildDropFiles(Names)) &&
           PutBytes(CFPreferredDropEffect, BuildPreferredDropEffect(effect));
}

std::optional<TClipboardFiles> ReadClipboardFiles(HWND Owner)
{
    if (!IsClipboardFormatAvailable(CF_HDROP) || !OpenClipboardPatiently(Owner)) {
        return std::nullopt;
    }
    ScopeExit close([] { CloseClipboard(); });
    const auto block = GetBytes(CF_HDROP);
    if (!block) {
        return std::nullopt;
    }
    auto names = ParseDropFiles(block->data(), block->size(), AnsiName);
    if (!names) {
        return std::nullopt;
    }
    TClipboardFiles files;
    files.Names = std::move(*names);
    if (const auto effect = GetBytes(CFPreferredDropEffect)) {
        files.PreferredEffect = ParsePreferredDropEffect(effect->data(), effect->size());
    }
    return files;
}

bool ClipboardHasFiles()
{
    return IsClipboardFormatAvailable(CF_HDROP) != FALSE;
}

bool EmptyFileClipboard(HWND Owner)
{
    if (!OpenClipboardPatiently(Owner)) {
        return false;
    }
    ScopeExit close([] { CloseClipboard(); });
    return EmptyClipboard() != FALSE;
}

DWORD PutTextOnClipboard(HWND Owner, std::u16string_view Text)
{
    if (!OpenClipboardPatiently(Owner)) {
        return 0;
    }
    bool written = false;
    {
        ScopeExit close([] { CloseClipboard(); });
        const size_t size = Text.size() * sizeof(char16_t);
        written = EmptyClipboard() && PutBlock(CF_UNICODETEXT, size + sizeof(char16_t), [&](uint8_t* target) {
                      std::memcpy(target, Text.data(), size);
                      std::memset(target + size, 0, sizeof(char16_t));
                  });
    }
    return written ? std::max<DWORD>(GetClipboardSequenceNumber(), 1) : 0;
}

std::optional<std::u16string> ReadClipboardText(HWND Owner)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboardPatiently(Owner)) {
        return std::nullopt;
    }
    ScopeExit close([] { CloseClipboard(); });
    // To the first NUL, within the block's own size.
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        return std::nullopt;
    }
    const size_t units = GlobalSize(data) / sizeof(char16_t);
    const auto* source = static_cast<const char16_t*>(GlobalLock(data));
    if (source == nullptr) {
        return std::nullopt;
    }
    const std::u16string_view block(source, units);
    std::u16string text(block.substr(0, std::min(block.find(u'\0'), units)));
    GlobalUnlock(data);
    return text;
}

}  // namespace qrv
