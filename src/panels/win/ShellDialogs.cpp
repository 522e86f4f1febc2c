#include "panels/win/ShellDialogs.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "framework/win/WaitCursor.h"
#include "panels/ShellMenuRules.h"

#include <memory>

#include <shellapi.h>
#include <optional>
#include <wrl/client.h>

namespace qrv {

TPopupMenu* ShellContextMenuExtraItems = nullptr;

namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kCallBackClass[] = L"ShellDialogsCallBack";

TShellMenuTracker& Tracker()
{
    static TShellMenuTracker tracker;
    return tracker;
}

// The hidden window that owns the menu: it passes the owner-drawn and
// submenu messages on to the shell's menu object (the send-to and open-with
// submenus are filled that way).
LRESULT CALLBACK CallBackProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    if (Message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(LParam);
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    if (Message == WM_DRAWITEM || Message == WM_MEASUREITEM || Message == WM_INITMENUPOPUP) {
        if (auto* menu = reinterpret_cast<IContextMenu2*>(GetWindowLongPtrW(Window, GWLP_USERDATA)))
            (void)menu->HandleMenuMsg(Message, WParam, LParam);
        return Message == WM_INITMENUPOPUP ? 0 : 1;
    }
    return DefWindowProcW(Window, Message, WParam, LParam);
}

bool RegisterCallBackClass()
{
    static const bool registered = [] {
        WNDCLASSW cls{};
        cls.style = 128;
        cls.lpfnWndProc = CallBackProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = kCallBackClass;
        if (RegisterClassW(&cls) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
            return true;
        TraceIgnoredFailure(L"registering the shell menu's window class", GetLastError());
        return false;
    }();
    return registered;
}

struct TMenuDeleter {
    void operator()(HMENU Menu) const { DestroyMenu(Menu); }
};
using TMenuPtr = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;

struct TWindowDeleter {
    void operator()(HWND Window) const { DestroyWindow(Window); }
};
using TWindowPtr = std::unique_ptr<std::remove_pointer_t<HWND>, TWindowDeleter>;

ComPtr<IContextMenu> ItemsMenu(HWND Owner, IShellFolder* Parent, const std::vector<PCUITEMID_CHILD>& Items)
{
    ComPtr<IContextMenu> menu;
    if (!Parent || Items.empty() ||
        FAILED(Parent->GetUIObjectOf(Owner, static_cast<UINT>(Items.size()), const_cast<PCUITEMID_CHILD*>(Items.data()),
                                     IID_IContextMenu, nullptr, reinterpret_cast<void**>(menu.GetAddressOf()))))
        return nullptr;
    return menu;
}

// The verb of the shell's command Offset: asked in UTF-16, then in ANSI.
std::wstring CommandVerb(IContextMenu* Menu, UINT Offset)
{
    constexpr UINT kLength = 256;
    wchar_t wide[kLength] = {};
    if (SUCCEEDED(Menu->GetCommandString(Offset, GCS_VERBW, nullptr, reinterpret_cast<LPSTR>(wide), kLength - 1))) {
        wide[kLength - 1] = L'\0';
        if (wide[0])
            return NormalizeShellVerb(wide);
    }
    char narrow[kLength] = {};
    if (SUCCEEDED(Menu->GetCommandString(Offset, GCS_VERBA, nullptr, narrow, kLength - 1))) {
        narrow[kLength - 1] = '\0';
        std::wstring verb;
        for (const char* c = narrow; *c; ++c)
            verb += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        return NormalizeShellVerb(verb);
    }
    return std::wstring();
}

bool InvokeCommand(IContextMenu* Menu, HWND Owner, UINT Offset, const std::wstring* Verb)
{
    // The plain structure: the shell of Wine runs no static verb given the
    // extended one.
    std::string narrow;
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = Owner;
    info.nShow = SW_SHOWNORMAL;
    if (Verb) {
        for (wchar_t c : *Verb)
            narrow += static_cast<char>(c < 0x80 ? c : '?');
        info.lpVerb = narrow.c_str();
    } else {
        info.lpVerb = MAKEINTRESOURCEA(Offset);
    }
    try {
        return SUCCEEDED(Menu->InvokeCommand(&info));
    } catch (...) {
        TraceIgnoredException(L"running a shell command");
        return false;
    }
}

// The absolute item list of a shell folder; nil when it does not tell.
TPidlPtr FolderPidl(IShellFolder* Folder)
{
    ComPtr<IPersistFolder2> persist;
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(Folder->QueryInterface(IID_IPersistFolder2, reinterpret_cast<void**>(persist.GetAddressOf()))) ||
        FAILED(persist->GetCurFolder(&pidl)))
        return nullptr;
    return TPidlPtr(pidl);
}

// The default item of the items' menu: the shell is asked for the default
// only, then (Wine fills nothing for that) for the whole menu.
std::optional<UINT> DefaultCommand(IContextMenu* Menu)
{
    for (const UINT flags : {static_cast<UINT>(CMF_DEFAULTONLY), static_cast<UINT>(CMF_NORMAL)}) {
        const TMenuPtr popup(CreatePopupMenu());
        if (!popup || FAILED(Menu->QueryContextMenu(popup.get(), 0, kFirstShellCommand, kLastShellCommand, flags)))
            continue;
        const UINT item = GetMenuDefaultItem(popup.get(), FALSE, 0);
        if (item != static_cast<UINT>(-1) && item >= kFirstShellCommand && item <= kLastShellCommand)
            return item - kFirstShellCommand;
    }
    return std::nullopt;
}

std::vector<TExtraMenuSource> ExtraSources(TPopupMenu* Menu)
{
    std::vector<TExtraMenuSource> sources;
    if (!Menu)
        return sources;
    TMenuItem* root = Menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        const TMenuItem* item = root->Items(i);
        sources.push_back({item->Caption(), item->Visible(), item->Checked(), static_cast<bool>(item->OnClick)});
    }
    return sources;
}

// The shell's items of one folder: the folder bound and the names parsed.
struct TParsedItems {
    TShellFolderPtr Folder;
    std::vector<TPidlPtr> Children;
    std::vector<PCUITEMID_CHILD> Items() const
    {
        std::vector<PCUITEMID_CHILD> items;
        for (const TPidlPtr& child : Children)
            items.push_back(child.get());
        return items;
    }
};

TParsedItems ParseNames(const std::wstring& Directory, const std::vector<std::wstring>& Names)
{
    TParsedItems parsed;
    const TPidlPtr pidl = PathToPidl(Directory);
    if (!pidl || !BindToFolder(pidl.get(), parsed.Folder))
        return parsed;
    for (const std::wstring& name : Names)
        if (TPidlPtr child = ParseNameInFolder(parsed.Folder.Get(), name))
            parsed.Children.push_back(std::move(child));
    return parsed;
}

// The parent folder and last item of a full path.
bool ParsePath(const std::wstring& Path, TShellFolderPtr& Folder, TPidlPtr& Last)
{
    const TPidlPtr pidl = PathToPidl(Path);
    if (!pidl)
        return false;
    TPidlPtr parent;
    SplitPidl(pidl.get(), parent, Last);
    return Last && parent && BindToFolder(parent.get(), Folder);
}

}  // namespace

TCurrentFolder::TCurrentFolder(const std::wstring& Path)
{
    wchar_t saved[MAX_PATH + 1] = L"";
    const DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, saved);
    if (length > 0 && length <= MAX_PATH && SetCurrentDirectoryW(Path.c_str()))
        saved_ = saved;
}

TCurrentFolder::~TCurrentFolder()
{
    if (!saved_.empty())
        SetCurrentDirectoryW(saved_.c_str());
}

void SetShellMenuTracker(TShellMenuTracker Value)
{
    Tracker() = std::move(Value);
}

void ShowShellContextMenu(HWND Owner, POINT At, IShellFolder* Parent, bool InvokeClipboardVerbs, std::wstring& Verb,
                          bool CanRename, const std::vector<PCUITEMID_CHILD>& Items,
                          const std::vector<std::wstring>& KeepVerbs)
{
    Verb.clear();
    const ComPtr<IContextMenu> menu = ItemsMenu(Owner, Parent, Items);
    if (!menu)
        return;
    const TMenuPtr popup(CreatePopupMenu());
    if (!popup)
        return;
    const UINT flags = CanRename ? CMF_CANRENAME : CMF_NORMAL;
    ComPtr<IContextMenu2> menu2;
    TWindowPtr callBack;
    // The shell gets 1 to 1000 either way: above come the program's items.
    if (FAILED(menu->QueryContextMenu(popup.get(), 0, kFirstShellCommand, kLastShellCommand, flags)))
        return;
    if (SUCCEEDED(menu.As(&menu2)) && RegisterCallBackClass())
        callBack.reset(CreateWindowExW(0, kCallBackClass, L"ShellDialogsCallBackProcessor",
                                       WS_POPUP | WS_BORDER | WS_SYSMENU, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), menu2.Get()));
    const HWND menuOwner = callBack ? callBack.get() : Owner;

    TPopupMenu* extra = ShellContextMenuExtraItems;
    for (const TExtraMenuEntry& entry : ComposeExtraMenuItems(ExtraSources(extra))) {
        if (entry.Separator)
            AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(popup.get(), MF_STRING | (entry.Checked ? MF_CHECKED : 0), entry.Id, entry.Caption.c_str());
    }

    const auto verbOf = [&](UINT command) {
        const TShellMenuChoice choice = ClassifyShellMenuResult(command);
        return choice.Kind == TShellMenuChoice::Shell ? CommandVerb(menu.Get(), choice.Offset) : std::wstring();
    };
    const UINT result = Tracker() ? Tracker()(popup.get(), At, menuOwner, verbOf)
                                  : static_cast<UINT>(TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, At.x,
                                                                     At.y, 0, menuOwner, nullptr));
    const TShellMenuChoice choice = ClassifyShellMenuResult(result);
    if (choice.Kind == TShellMenuChoice::Extra) {
        TMenuItem* root = extra ? extra->Items() : nullptr;
        if (root && static_cast<int>(choice.Offset) < root->Count() && root->Items(choice.Offset)->OnClick)
            root->Items(choice.Offset)->OnClick(nullptr);
        return;
    }
    if (choice.Kind != TShellMenuChoice::Shell)
        return;
    Verb = CommandVerb(menu.Get(), choice.Offset);
    if (!ShellVerbReturnedUninvoked(Verb, InvokeClipboardVerbs, KeepVerbs) &&
        !InvokeCommand(menu.Get(), Owner, choice.Offset, nullptr))
        TraceIgnoredFailure(L"running the shell menu's command " + Verb, 0);
}

void ShowShellContextMenuForPath(HWND Owner, POINT At, const std::wstring& Path, bool InvokeClipboardVerbs,
                                 std::wstring& Verb, bool CanRename, const std::vector<std::wstring>& KeepVerbs)
{
    Verb.clear();
    TShellFolderPtr folder;
    TPidlPtr last;
    if (!ParsePath(Path, folder, last))
        return;
    ShowShellContextMenu(Owner, At, folder.Get(), InvokeClipboardVerbs, Verb, CanRename, {last.get()}, KeepVerbs);
}

void ShowShellContextMenuForFiles(HWND Owner, POINT At, const std::wstring& Directory, bool CanRename,
                                  bool InvokeClipboardVerbs, std::wstring& Verb, const std::vector<std::wstring>& Names,
                                  const std::vector<std::wstring>& KeepVerbs)
{
    Verb.clear();
    const TParsedItems parsed = ParseNames(Directory, Names);
    if (parsed.Children.empty())
        return;
    ShowShellContextMenu(Owner, At, parsed.Folder.Get(), InvokeClipboardVerbs, Verb, CanRename, parsed.Items(),
                         KeepVerbs);
}

bool InvokeShellVerbOnItems(HWND Owner, const std::wstring& Verb, IShellFolder* Parent,
                            const std::vector<PCUITEMID_CHILD>& Items)
{
    const ComPtr<IContextMenu> menu = ItemsMenu(Owner, Parent, Items);
    if (!menu)
        return false;
    if (!Verb.empty())
        return InvokeCommand(menu.Get(), Owner, 0, &Verb);
    // The shell of Wine answers its menu's open command for a file with
    // success and does nothing: the items' default verbs go through the
    // shell's execution by item list, where the parent tells its own.
    if (const TPidlPtr parent = FolderPidl(Parent)) {
        bool all = true;
        for (PCUITEMID_CHILD item : Items) {
            const TPidlPtr full = ConcatPidls(parent.get(), item);
            SHELLEXECUTEINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
            info.hwnd = Owner;
            info.lpIDList = full.get();
            info.nShow = SW_SHOWNORMAL;
            all = full && ShellExecuteExW(&info) && all;
        }
        return all;
    }
    const std::optional<UINT> command = DefaultCommand(menu.Get());
    return command && InvokeCommand(menu.Get(), Owner, *command, nullptr);
}

bool InvokeShellVerb(HWND Owner, const std::wstring& Verb, const std::wstring& Path)
{
    TShellFolderPtr folder;
    TPidlPtr last;
    if (!ParsePath(Path, folder, last))
        return false;
    return InvokeShellVerbOnItems(Owner, Verb, folder.Get(), {last.get()});
}

bool InvokeShellVerbOnFiles(HWND Owner, const std::wstring& Verb, const std::wstring& Directory,
                            const std::vector<std::wstring>& Names)
{
    const TWaitCursor wait(Names.size() > 100);
    const TParsedItems parsed = ParseNames(Directory, Names);
    if (parsed.Children.empty())
        return false;
    const TCurrentFolder current(Directory);
    return InvokeShellVerbOnItems(Owner, Verb, parsed.Folder.Get(), parsed.Items());
}

bool ShowFilesProperties(HWND Owner, const std::wstring& Directory, const std::vector<std::wstring>& Names)
{
    const TParsedItems parsed = ParseNames(Directory, Names);
    if (parsed.Children.empty())
        return false;
    const std::vector<PCUITEMID_CHILD> items = parsed.Items();
    ComPtr<IDataObject> data;
    if (SUCCEEDED(parsed.Folder->GetUIObjectOf(Owner, static_cast<UINT>(items.size()),
                                               const_cast<PCUITEMID_CHILD*>(items.data()), IID_IDataObject, nullptr,
                                               reinterpret_cast<void**>(data.GetAddressOf()))) &&
        SUCCEEDED(SHMultiFileProperties(data.Get(), 0)))
        return true;
    return InvokeShellVerbOnItems(Owner, L"properties", parsed.Folder.Get(), items);
}

bool HasShellVerb(const std::wstring& extension, const std::wstring& verb)
{
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    if (!registry.OpenKeyReadOnly(L"\\" + extension))
        return false;
    std::wstring type;
    try {
        type = registry.ReadString(L"");
    } catch (const Exception&) {
        TraceIgnoredException(L"reading a file type's open verb");
        return false;
    }
    if (type.empty())
        return false;
    return registry.KeyExists(L"\\" + type + L"\\shell\\" + verb);
}

}  // namespace qrv
