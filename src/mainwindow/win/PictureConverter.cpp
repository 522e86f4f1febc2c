#include "mainwindow/win/PictureConverter.h"

#include "common/win/FileClipboard.h"
#include "common/win/FileQueries.h"
#include "common/win/KySyncObjs.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"

#include <shellapi.h>

#include <cstring>

namespace qrv {

namespace {

constexpr wchar_t kWindowClass[] = L"IrfanView";
constexpr ULONG_PTR kFileNameData = 1;
// Waits while the converter starts: for it to take input, how often.
constexpr DWORD kIdleWait = 500;
constexpr int kIdleTries = 20;

// The name as the converter reads it: in the ANSI code page, or its short
// form when the ANSI code page cannot spell it.
std::string ConverterName(const std::wstring& Name)
{
    const auto ansi = [](const std::wstring& text, bool& lossy) {
        BOOL usedDefault = FALSE;
        const int size =
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
        std::string out(static_cast<size_t>(std::max(size, 1)), '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, out.data(), size, nullptr, &usedDefault);
        out.resize(out.size() - 1);
        lossy = usedDefault != FALSE;
        return out;
    };
    bool lossy = false;
    std::string name = ansi(Name, lossy);
    if (!lossy)
        return name;
    std::wstring shortName(MAX_PATH, L'\0');
    const DWORD length = GetShortPathNameW(Name.c_str(), shortName.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return name;
    shortName.resize(length);
    return ansi(shortName, lossy);
}

std::wstring FromAnsi(const char* Text, size_t Length)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, Text, static_cast<int>(Length), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Text, static_cast<int>(Length), out.data(), size);
    return out;
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

// The answer on the clipboard (opened): a copy of the bitmap with its
// palette, else the message text.
void ReadAnswer(TConvertResult& Result)
{
    if (HANDLE bitmap = IsClipboardFormatAvailable(CF_BITMAP) ? GetClipboardData(CF_BITMAP) : nullptr) {
        Result.Bitmap.Reset(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
        BITMAP info{};
        if (Result.Bitmap && GetObjectW(Result.Bitmap.Get(), sizeof info, &info)) {
            Result.Outcome = TConvertOutcome::Picture;
            Result.Width = info.bmWidth;
            Result.Height = info.bmHeight;
            if (HANDLE palette = IsClipboardFormatAvailable(CF_PALETTE) ? GetClipboardData(CF_PALETTE) : nullptr)
                Result.Palette.Reset(CopyPalette(static_cast<HPALETTE>(palette)));
            return;
        }
    }
    if (HANDLE text = IsClipboardFormatAvailable(CF_TEXT) ? GetClipboardData(CF_TEXT) : nullptr) {
        const SIZE_T size = GlobalSize(text);
        if (const auto* chars = static_cast<const char*>(GlobalLock(text))) {
            Result.Text = FromAnsi(chars, strnlen(chars, size));
            GlobalUnlock(text);
            Result.Outcome = TConvertOutcome::ConverterMessage;
            return;
        }
    }
    Result.Outcome = TConvertOutcome::NothingUsable;
}

}  // namespace

TPictureConverter::~TPictureConverter()
{
    // A converter started here ends with the program instead of staying
    // hidden after it.
    if (process_ && window_ && IsWindow(window_))
        PostMessageW(window_, WM_CLOSE, 0, 0);
}

DWORD TPictureConverter::ProcessId() const
{
    return process_ ? GetProcessId(process_.Get()) : 0;
}

HWND TPictureConverter::FindWindowOfProcess() const
{
    // Any converter window will take the name, but the one started here is
    // the one whose answers this instance waits for.
    struct TSearch {
        DWORD Process;
        HWND Found;
    } search{ProcessId(), nullptr};
    if (search.Process != 0)
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto& s = *reinterpret_cast<TSearch*>(param);
                wchar_t name[32];
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process == s.Process && GetClassNameW(window, name, 32) && wcscmp(name, kWindowClass) == 0) {
                    s.Found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
    return search.Found ? search.Found : FindWindowW(kWindowClass, nullptr);
}

void TPictureConverter::Forget()
{
    window_ = nullptr;
    process_.Reset();
}

bool TPictureConverter::Start()
{
    if (window_ && !IsWindow(window_))
        Forget();
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0)
        Forget();
    if (window_ || process_)
        return true;
    const std::wstring path = host_.ConverterPath();
    if (path.empty() || !FileExists(path))
        return false;
    TMutex* mutex = host_.ConverterMutex();
    if (!mutex || !mutex->Get(5000))
        return false;
    ScopeExit release([mutex] {
        if (!mutex->Release())
            TraceIgnoredFailure(L"releasing the converter's mutex", GetLastError());
    });
    const std::wstring folder = host_.ProgramFolder();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = host_.ConverterOwner();
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpParameters = L"/hidden";
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWMINNOACTIVE;
    if (!ShellExecuteExW(&info) || reinterpret_cast<INT_PTR>(info.hInstApp) <= 32 || !info.hProcess) {
        TraceIgnoredFailure(L"starting the picture converter", GetLastError());
        return false;
    }
    process_.Reset(info.hProcess);
    for (int attempt = 0; attempt < kIdleTries && !window_; ++attempt) {
        if (WaitForInputIdle(process_.Get(), kIdleWait) == 0)
            window_ = FindWindowOfProcess();
        if (!window_) {
            Sleep(0);
            host_.ProcessMessages();
        }
    }
    return window_ != nullptr;
}

bool TPictureConverter::Send(const std::wstring& FileName, bool& CommunicationFailed)
{
    CommunicationFailed = false;
    if (!window_ && process_) {
        WaitForInputIdle(process_.Get(), kIdleWait);
        window_ = FindWindowOfProcess();
    }
    if (!window_ || FileName.empty())
        return false;
    const std::string name = ConverterName(FileName);
    COPYDATASTRUCT data{};
    data.dwData = kFileNameData;
    data.cbData = static_cast<DWORD>(name.size() + 1);
    data.lpData = const_cast<char*>(name.c_str());
    DWORD_PTR answer = 1;
    // A hung converter must not hold this window (and every instance
    // waiting for the mutex) for ever.
    if (!SendMessageTimeoutW(window_, WM_COPYDATA, reinterpret_cast<WPARAM>(host_.ConverterOwner()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, SendTimeout, &answer)) {
        CommunicationFailed = true;
        TraceIgnoredFailure(L"sending a file name to the picture converter", GetLastError());
        if (!IsWindow(window_))
            Forget();
        return false;
    }
    return answer == 0;
}

TConvertResult TPictureConverter::Convert(const std::wstring& FileName, uint32_t MutexWait, bool Reuse)
{
    TConvertResult result;
    if (!window_ && !process_)
        return result;
    TMutex* mutex = host_.ConverterMutex();
    if (!mutex || !mutex->Get(MutexWait)) {
        result.Outcome = TConvertOutcome::Busy;
        return result;
    }
    ScopeExit release([mutex] {
        if (!mutex->Release())
            TraceIgnoredFailure(L"releasing the converter's mutex", GetLastError());
    });
    return ConvertHolding(FileName, Reuse);
}

TConvertResult TPictureConverter::ConvertHolding(const std::wstring& FileName, bool Reuse)
{
    TConvertResult result;
    const HWND owner = host_.ConverterOwner();
    if (!(Reuse && snapshotAge_.StillCurrent(GetClipboardSequenceNumber()))) {
        snapshotAge_.Forget();
        if (!snapshot_.Take(owner)) {
            // Without a snapshot the user's clipboard would be lost.
            result.Outcome = TConvertOutcome::Busy;
            return result;
        }
    }
    const DWORD before = GetClipboardSequenceNumber();
    bool failed = false;
    const bool taken = Send(FileName, failed);
    if (!taken)
        result.Outcome = TConvertOutcome::CommunicationError;
    else if (GetClipboardSequenceNumber() == before)
        // The converter wrote nothing: what is there is the user's.
        result.Outcome = TConvertOutcome::NothingUsable;
    else if (OpenClipboardPatiently(owner)) {
        ScopeExit close([] { CloseClipboard(); });
        ReadAnswer(result);
    } else
        result.Outcome = TConvertOutcome::CommunicationError;
    if (GetClipboardSequenceNumber() != before) {
        if (!snapshot_.Restore(owner))
            TraceIgnoredFailure(L"putting the clipboard back after the converter", GetLastError());
    }
    if (Reuse)
        snapshotAge_.Restored(GetClipboardSequenceNumber());
    return result;
}

}  // namespace qrv
