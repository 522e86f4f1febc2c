#include "dialogs/win/KyShellDialogs.h"

#include "common/win/FileQueries.h"
#include "common/win/Library.h"
#include "framework/IgnoredError.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Controls.h"

#include <shellapi.h>
#include <shlobj.h>

namespace qrv {

namespace {

const wchar_t* const kRunWindowClass = L"TKyRunDialogWindow";
// The offset of the dialog from its owner's top-left corner.
constexpr int kRunDialogLeft = 25;
constexpr int kRunDialogTop = 100;
constexpr int kSmallIcon = 16;
constexpr WORD kDefaultFormat = 0xFFFF;
// The format dialog's option that preselects a quick format.
constexpr UINT kQuickFormat = 0x1;

// What the dialog's check notification carries.
struct TRunFileNotification {
    NMHDR Header;
    LPCWSTR File;
    LPCWSTR Directory;
    int Show;
};

class TWinNewFileSystem : public TNewFileSystem {
public:
    explicit TWinNewFileSystem(std::wstring TemplatesFolder) : templates_(std::move(TemplatesFolder)) {}
    std::vector<std::wstring> ClassNames() override
    {
        std::vector<std::wstring> names;
        wchar_t name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = static_cast<DWORD>(std::size(name));
            const LSTATUS status =
                RegEnumKeyExW(HKEY_CLASSES_ROOT, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_MORE_DATA)
                continue;  // no file type has so long a name
            if (status != ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        return names;
    }
    bool KeyExists(const std::wstring& Key) override { return static_cast<bool>(Open(Key)); }
    std::wstring DefaultValue(const std::wstring& Key) override
    {
        const TRegValue value = Value(Key, L"");
        return value.Type == TRegValueType::String ? value.Text : std::wstring();
    }
    TRegValue Value(const std::wstring& Key, const std::wstring& Name) override
    {
        TRegValue value;
        const TRegKey key = Open(Key);
        if (!key)
            return value;
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key.Get(), Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return value;
        value.Size = size;
        std::vector<uint8_t> bytes(size);
        DWORD read = size;
        const LSTATUS status = RegQueryValueExW(key.Get(), Name.c_str(), nullptr, &type, bytes.data(), &read);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
            value.Type = TRegValueType::Other;
            return value;
        }
        bytes.resize(std::min<DWORD>(read, size));
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0')
                text.pop_back();
            value.Type = TRegValueType::String;
            value.Text = type == REG_EXPAND_SZ ? Expand(text) : text;
            // The size then stands for the expanded text.
            if (type == REG_EXPAND_SZ)
                value.Size = (value.Text.size() + 1) * sizeof(wchar_t);
            value.Bytes = std::move(bytes);
            break;
        }
        case REG_BINARY:
            value.Type = TRegValueType::Binary;
            value.Bytes = std::move(bytes);
            break;
        default:
            value.Type = TRegValueType::Other;
            value.Bytes = std::move(bytes);
            break;
        }
        return value;
    }
    std::wstring TemplatesFolder() override
    {
        if (!templates_.empty())
            return templates_;
        wchar_t path[MAX_PATH];
        if (SHGetFolderPathW(nullptr, CSIDL_TEMPLATES, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
            return {};
        return path;
    }
    std::wstring WindowsFolder() override
    {
        wchar_t path[MAX_PATH];
        const UINT length = GetWindowsDirectoryW(path, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
    }
    bool FileExists(const std::wstring& Path) override { return qrv::FileExists(Path); }
    std::optional<std::vector<uint8_t>> ReadFile(const std::wstring& Path) override
    {
        TFileHandle file(CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return std::nullopt;
        std::vector<uint8_t> bytes;
        // In blocks: a template is small, but nothing says it must be.
        uint8_t block[64 * 1024];
        for (;;) {
            DWORD read = 0;
            if (!::ReadFile(file.Get(), block, sizeof block, &read, nullptr))
                return std::nullopt;
            if (read == 0)
                return bytes;
            bytes.insert(bytes.end(), block, block + read);
        }
    }
    std::wstring TypeName(const std::wstring& Extension) override
    {
        SHFILEINFOW info{};
        if (!SHGetFileInfoW(Extension.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                            SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
            return {};
        return info.szTypeName;
    }
    std::vector<uint8_t> AnsiBytes(const std::wstring& Text) override
    {
        const std::string bytes = SystemAnsiEncoding().GetBytes(Text);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }
    intptr_t Open(const std::wstring& Program, const std::wstring& Parameters, const std::wstring& Folder) override
    {
        return reinterpret_cast<intptr_t>(ShellExecuteW(nullptr, L"open", Program.c_str(),
                                                        Parameters.empty() ? nullptr : Parameters.c_str(),
                                                        Folder.empty() ? nullptr : Folder.c_str(), SW_SHOWNORMAL));
    }

private:
    std::wstring templates_;
    static TRegKey Open(const std::wstring& Key)
    {
        TRegKey key;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, Key.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            key.Reset();
        return key;
    }
    static std::wstring Expand(const std::wstring& Text)
    {
        const DWORD needed = ExpandEnvironmentStringsW(Text.c_str(), nullptr, 0);
        if (needed == 0)
            return Text;
        std::wstring expanded(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(Text.c_str(), expanded.data(), needed);
        if (written == 0 || written > needed)
            return Text;
        expanded.resize(written - 1);
        return expanded;
    }
};

// The type's small icon drawn on the menu's colour; empty when the shell
// has none.
std::unique_ptr<TBitmap> SmallIconBitmap(const std::wstring& Extension)
{
    auto bitmap = std::make_unique<TBitmap>();
    SHFILEINFOW info{};
    const std::wstring dummy = L"$DUMMY" + Extension;
    if (!SHGetFileInfoW(dummy.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                        SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) ||
        !info.hIcon)
        return bitmap;
    const TIconHandle icon(info.hIcon);
    bitmap->SetSize(kSmallIcon, kSmallIcon, static_cast<TColor>(GetSysColor(COLOR_MENU)));
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return bitmap;
    const TSelectObject selected(dc.Get(), bitmap->Handle());
    if (!DrawIconEx(dc.Get(), 0, 0, icon.Get(), kSmallIcon, kSmallIcon, 0, nullptr, DI_NORMAL))
        TraceIgnoredFailure(L"drawing a new-file type's icon", GetLastError());
    return bitmap;
}

}  // namespace

// ---- Run dialog ---------------------------------------------------------------

TKyRunDialog::TKyRunDialog(TComponent* owner) : TComponent(owner)
{
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kRunWindowClass;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    // A top-level window, never shown: the dialog opens where it stands.
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kRunWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!window_) {
        TraceIgnoredFailure(L"the Run dialog's window", GetLastError());
        return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (auto* control = dynamic_cast<TWinControl*>(owner); control && control->HandleAllocated())
        PlaceBeside(control->Handle());
}

void TKyRunDialog::PlaceBeside(HWND Window)
{
    RECT bounds{};
    if (window_ && Window && GetWindowRect(Window, &bounds))
        SetWindowPos(window_, nullptr, bounds.left + kRunDialogLeft, bounds.top + kRunDialogTop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TKyRunDialog::~TKyRunDialog()
{
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void TKyRunDialog::SetIcon(HICON Icon)
{
    icon_.Reset(Icon ? CopyIcon(Icon) : nullptr);
}

bool TKyRunDialog::Execute()
{
    using TRunFileDlg = void(WINAPI*)(HWND, HICON, LPCWSTR, LPCWSTR, LPCWSTR, UINT);
    // The dialog has no published name: ordinal 61 of the shell library.
    const HMODULE shell = GetModuleHandleW(L"shell32.dll");
    const auto run = shell ? ProcAddress<TRunFileDlg>(shell, MAKEINTRESOURCEA(61)) : nullptr;
    if (!run) {
        TraceIgnoredFailure(L"the shell has no Run dialog", GetLastError());
        return false;
    }
    const auto text = [](const std::wstring& Value) { return Value.empty() ? nullptr : Value.c_str(); };
    run(window_, icon_.Get(), text(Directory), text(Title), text(Description), Flags);
    return true;
}

LRESULT CALLBACK TKyRunDialog::Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    auto* self = reinterpret_cast<TKyRunDialog*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (self && Message == WM_NOTIFY && LParam &&
        reinterpret_cast<const NMHDR*>(LParam)->code == static_cast<UINT>(kRunFileValidate))
        return self->Validate(LParam);
    return DefWindowProcW(Window, Message, WParam, LParam);
}

LRESULT TKyRunDialog::Validate(LPARAM LParam)
{
    if (!OnRunFile)
        return rrRun;
    const auto* note = reinterpret_cast<const TRunFileNotification*>(LParam);
    int result = rrRun;
    try {
        OnRunFile(this, note->File ? note->File : L"", note->Directory ? note->Directory : L"", result);
    } catch (const std::exception&) {
        TraceIgnoredException(L"the check of a command typed in the Run dialog");
        result = rrRetry;
    }
    return result;
}

// ---- Format dialog ------------------------------------------------------------

int TKyFormatDrive::Execute()
{
    const wchar_t letter = static_cast<wchar_t>(towupper(Drive));
    if (letter < L'A' || letter > L'Z')
        return frCannotFormat;
    const UINT options = (Options & foQuick) ? kQuickFormat : 0;
    const DWORD result = SHFormatDrive(GetDesktopWindow(), static_cast<UINT>(letter - L'A'), kDefaultFormat, options);
    switch (result) {
    case SHFMT_CANCEL:
        return frCancelled;
    case SHFMT_NOFORMAT:
        return frCannotFormat;
    case SHFMT_ERROR:
        return frFailed;
    default:
        return frDone;
    }
}

// ---- New-file types -----------------------------------------------------------

std::unique_ptr<TNewFileSystem> NewWinNewFileSystem(const std::wstring& TemplatesFolder)
{
    return std::make_unique<TWinNewFileSystem>(TemplatesFolder);
}

TKyNewFileTypes::TKyNewFileTypes(TComponent* owner) : TKyNewFileTypes(owner, NewWinNewFileSystem()) {}

TKyNewFileTypes::TKyNewFileTypes(TComponent* owner, std::unique_ptr<TNewFileSystem> System)
    : TComponent(owner), system_(std::move(System)), list_(*system_)
{}

TKyNewFileTypes::~TKyNewFileTypes() = default;

void TKyNewFileTypes::Refresh()
{
    list_.Refresh();
    bitmaps_.clear();
    for (const TNewFileType& type : list_.Types())
        bitmaps_.push_back(SmallIconBitmap(type.Extension));
}

const TBitmap* TKyNewFileTypes::ItemBitmap(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(bitmaps_.size()))
        return nullptr;
    return bitmaps_[static_cast<size_t>(Index)].get();
}

}  // namespace qrv
