#include "common/win/DragDropFilesEx.h"

#include "common/DropFilesBlock.h"
#include "common/ShellIdListBlock.h"
#include "common/win/FileQueries.h"
#include "common/win/KyClipBoardFormats.h"
#include "framework/Encoding.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace qrv {

using Microsoft::WRL::ComPtr;

namespace {

// What the desktop's parser and a parsing name may hold: longer names would
// have been cut, and a cut name can name another file.
constexpr size_t kParseNameLimit = 520;
constexpr size_t kParsingNameLimit = 1025;
constexpr int kLastMenuHandlerId = 0x7FFF;

std::wstring DecodeAnsi(std::string_view raw)
{
    return TEncoding::Default().GetString(raw);
}

FORMATETC GlobalFormat(UINT Format)
{
    return FORMATETC{static_cast<CLIPFORMAT>(Format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool Offers(IDataObject* Data, FORMATETC Format)
{
    return Data->QueryGetData(&Format) == S_OK;
}

// The bytes of a format in global memory, read within the block's own size.
std::optional<std::vector<uint8_t>> GetBlock(IDataObject* Data, UINT Format)
{
    FORMATETC request = GlobalFormat(Format);
    STGMEDIUM medium{};
    if (FAILED(Data->GetData(&request, &medium))) {
        return std::nullopt;
    }
    ScopeExit release([&] { ReleaseStgMedium(&medium); });
    if (medium.tymed != TYMED_HGLOBAL || medium.hGlobal == nullptr) {
        return std::nullopt;
    }
    const SIZE_T size = GlobalSize(medium.hGlobal);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(medium.hGlobal));
    if (bytes == nullptr) {
        return std::nullopt;
    }
    std::vector<uint8_t> block(bytes, bytes + size);
    GlobalUnlock(medium.hGlobal);
    return block;
}

std::wstring LastComponent(const std::wstring& Path)
{
    const size_t slash = Path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

bool SameObject(IUnknown* A, IUnknown* B)
{
    if (A == nullptr || B == nullptr) {
        return false;
    }
    ComPtr<IUnknown> a;
    ComPtr<IUnknown> b;
    return SUCCEEDED(A->QueryInterface(IID_PPV_ARGS(&a))) && SUCCEEDED(B->QueryInterface(IID_PPV_ARGS(&b))) &&
           a.Get() == b.Get();
}

}  // namespace

// ---- TFileList ----------------------------------------------------------

int TFileList::AddItem(LPCITEMIDLIST Pidl, const std::wstring& Name)
{
    return AddItemEx(Pidl, Name, {});
}

int TFileList::AddItemEx(LPCITEMIDLIST Pidl, const std::wstring& Name, const std::wstring& MappedName)
{
    auto item = std::make_unique<TFDDListItem>();
    item->Pidl = Pidl ? CopyPidl(Pidl) : nullptr;
    item->Name = Name;
    item->MappedName = MappedName;
    items_.push_back(std::move(item));
    return Count() - 1;
}

bool TFileList::CompletePidls()
{
    for (auto& item : items_) {
        if (item->Pidl) {
            continue;
        }
        if (item->Name.empty() || item->Name.size() >= kParseNameLimit) {
            return false;
        }
        item->Pidl = PathToPidl(item->Name);
        if (!item->Pidl) {
            return false;
        }
    }
    return true;
}

bool TFileList::CompleteNames()
{
    for (auto& item : items_) {
        if (!item->Name.empty() || !item->Pidl) {
            continue;
        }
        TPidlPtr parent;
        TPidlPtr last;
        SplitPidl(item->Pidl.get(), parent, last);
        TShellFolderPtr folder;
        std::wstring name;
        if (!last || !BindToFolder(parent.get(), folder) ||
            !GetDisplayNameOfStr(folder.Get(), last.get(), SHGDN_FORPARSING, name) || name.empty() ||
            name.size() >= kParsingNameLimit) {
            return false;
        }
        item->Name = std::move(name);
    }
    return true;
}

// ---- TDataObjectFilesEx -------------------------------------------------

TDataObjectFilesEx::TDataObjectFilesEx(const TFileList& Files, bool WithLists, bool WithNames)
{
    if (WithLists) {
        std::vector<TPidlBytes> lists;
        for (int i = 0; i < Files.Count(); ++i) {
            lists.push_back(PidlBytes(Files.GetItem(i).Pidl.get()));
        }
        idList_ = BuildShellIdList(lists);
        Offer(CFShellIDList);
    }
    if (WithNames) {
        std::vector<std::wstring> names;
        for (int i = 0; i < Files.Count(); ++i) {
            names.push_back(Files.GetItem(i).Name);
        }
        dropFiles_ = BuildDropFiles(names);
        Offer(CF_HDROP);
    }
    // One entry per file; a file without a mapped name keeps its own name,
    // since an empty entry would end the map for every reader.
    std::vector<std::wstring> mapped;
    bool anyMapped = false;
    for (int i = 0; i < Files.Count(); ++i) {
        const TFDDListItem& item = Files.GetItem(i);
        anyMapped = anyMapped || !item.MappedName.empty();
        mapped.push_back(item.MappedName.empty() ? LastComponent(item.Name) : item.MappedName);
    }
    const bool complete = std::none_of(mapped.begin(), mapped.end(), [](const std::wstring& n) { return n.empty(); });
    if (anyMapped && complete) {
        nameMap_ = BuildFileNameMapW(mapped);
        Offer(CFFileNameMapW);
    }
}

HRESULT TDataObjectFilesEx::RenderData(const FORMATETC& Request, STGMEDIUM& Medium)
{
    const std::vector<uint8_t>* block = nullptr;
    if (Request.cfFormat == CFShellIDList && !idList_.empty()) {
        block = &idList_;
    } else if (Request.cfFormat == CF_HDROP && !dropFiles_.empty()) {
        block = &dropFiles_;
    } else if (Request.cfFormat == CFFileNameMapW && !nameMap_.empty()) {
        block = &nameMap_;
    }
    if (block == nullptr || (Request.tymed & TYMED_HGLOBAL) == 0) {
        return DV_E_FORMATETC;
    }
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, block->size()));
    void* target = memory ? GlobalLock(memory.Get()) : nullptr;
    if (target == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(target, block->data(), block->size());
    GlobalUnlock(memory.Get());
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = memory.Release();
    Medium.pUnkForRelease = nullptr;
    return S_OK;
}

// ---- TDragDropFilesEx ---------------------------------------------------

TDragDropFilesEx::TDragDropFilesEx(TComponent* Owner) : TDragDrop(Owner)
{
    SourceCompatibility = 0;
}

void TDragDropFilesEx::ClearFileList()
{
    FileList.Clear();
    contents_.Clear();
}

TDataObjectPtr TDragDropFilesEx::CreateDataObject()
{
    if (FileList.Count() == 0) {
        return nullptr;
    }
    if (CompleteFileList) {
        if (!FileList.CompletePidls() && (NeedValid & nvPIDL) != 0) {
            return nullptr;
        }
        if (!FileList.CompleteNames() && (NeedValid & nvFilename) != 0) {
            return nullptr;
        }
    }
    bool lists = true;
    bool names = true;
    for (int i = 0; i < FileList.Count(); ++i) {
        lists = lists && FileList.GetItem(i).Pidl != nullptr;
        names = names && !FileList.GetItem(i).Name.empty();
    }
    if (((NeedValid & nvPIDL) != 0 && !lists) || ((NeedValid & nvFilename) != 0 && !names) || (!lists && !names)) {
        return nullptr;
    }
    TDataObjectPtr data;
    data.Attach(new TDataObjectFilesEx(FileList, lists, names));
    return data;
}

bool TDragDropFilesEx::AcceptDataObject(IDataObject* Data)
{
    FileContentsAvailable = false;
    if (Data == nullptr) {
        return false;
    }
    if (AcceptFileContents) {
        // Stream or storage: the media the contents are read from.
        FORMATETC contents{static_cast<CLIPFORMAT>(CFFileContents), nullptr, DVASPECT_CONTENT, -1,
                           TYMED_ISTREAM | TYMED_ISTORAGE};
        bool offered = Offers(Data, contents);
        if (!offered) {
            contents.lindex = 0;  // sources that answer only for an item
            offered = Offers(Data, contents);
        }
        if (offered) {
            FileContentsAvailable = true;
            return true;
        }
    }
    const bool dropFiles = Offers(Data, GlobalFormat(CF_HDROP));
    const bool idList = Offers(Data, GlobalFormat(CFShellIDList));
    if (((NeedValid & nvFilename) != 0 && !dropFiles) || ((NeedValid & nvPIDL) != 0 && !idList)) {
        return false;
    }
    return dropFiles || idList;
}

void TDragDropFilesEx::ProcessData(IDataObject* Data, DWORD /*Keys*/, DWORD& /*Effect*/, POINT /*Point*/)
{
    ClearFileList();
    MappedNamesAvailable = false;
    FileContentsAvailable = false;
    if (Data == nullptr) {
        return;
    }
    if (const auto block = GetBlock(Data, CF_HDROP)) {
        for (const std::wstring& name :
             ParseDropFiles(block->data(), block->size(), DecodeAnsi).value_or(std::vector<std::wstring>{})) {
            FileList.AddItem(nullptr, name);
        }
    }
    if (const auto block = GetBlock(Data, CFShellIDList)) {
        const bool named = FileList.Count() > 0;
        const auto lists = ParseShellIdList(block->data(), block->size());
        for (size_t i = 0; lists && i < lists->size(); ++i) {
            TPidlPtr pidl = PidlFromBytes((*lists)[i]);
            if (!named) {
                FileList.AddItem(pidl.get(), L"");
            } else if (static_cast<int>(i) < FileList.Count()) {
                FileList.GetItem(static_cast<int>(i)).Pidl = std::move(pidl);
            }
        }
    }
    // The wide map first: NT-family sources offer only that one.
    if (FileList.Count() > 0) {
        std::optional<std::vector<std::wstring>> map;
        if (const auto wide = GetBlock(Data, CFFileNameMapW)) {
            map = ParseFileNameMap(wide->data(), wide->size(), true, nullptr);
        } else if (const auto ansi = GetBlock(Data, CFFileNameMap)) {
            map = ParseFileNameMap(ansi->data(), ansi->size(), false, DecodeAnsi);
        }
        if (map) {
            MappedNamesAvailable = true;
            const std::vector<std::wstring> names = MappedNamesFor(static_cast<size_t>(FileList.Count()), *map);
            for (int i = 0; i < FileList.Count(); ++i) {
                FileList.GetItem(i).MappedName = names[static_cast<size_t>(i)];
            }
        }
    }
    // As the drag enters only whether contents come counts (AcceptDataObject
    // says it): they are fetched once, at the drop.
    if (AcceptFileContents && !ProcessingEnter()) {
        FileContentsAvailable = contents_.GetData(Data);
    }
}

bool TDragDropFilesEx::SpecifiedTarget(bool DragDropHandler, POINT Point, TPidlPtr& Pidl, std::wstring& FileName)
{
    if (!OnSpecifyDropTarget) {
        return false;
    }
    OnSpecifyDropTarget(this, DragDropHandler, Point, Pidl, FileName);
    return Pidl != nullptr || !FileName.empty();
}

ComPtr<IDropTarget> TDragDropFilesEx::FileDropTarget(LPCITEMIDLIST Pidl, const std::wstring& FileName)
{
    TPidlPtr parsed;
    if (Pidl == nullptr) {
        parsed = PathToPidl(FileName);
        Pidl = parsed.get();
    }
    const std::wstring path = FileName.empty() ? PidlToPath(Pidl) : FileName;
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : FileAttributes(path);
    if (Pidl == nullptr || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return nullptr;
    }
    TPidlPtr parent;
    TPidlPtr last;
    SplitPidl(Pidl, parent, last);
    TShellFolderPtr folder;
    if (!last || !BindToFolder(parent.get(), folder)) {
        return nullptr;
    }
    ComPtr<IDropTarget> target;
    LPCITEMIDLIST item = last.get();
    if (FAILED(folder->GetUIObjectOf(ControlWindow(), 1, &item, IID_IDropTarget, nullptr,
                                     reinterpret_cast<void**>(target.GetAddressOf()))) ||
        !target) {
        return nullptr;
    }
    // Some shells answer with the folder's own drop target, which would copy
    // the files into the folder: that is no handler of the file.
    if (SameObject(target.Get(), folder.Get())) {
        return nullptr;
    }
    ComPtr<IDropTarget> folderTarget;
    if (SUCCEEDED(folder->CreateViewObject(ControlWindow(), IID_IDropTarget,
                                           reinterpret_cast<void**>(folderTarget.GetAddressOf()))) &&
        SameObject(target.Get(), folderTarget.Get())) {
        return nullptr;
    }
    return target;
}

bool TDragDropFilesEx::IsDropHandlerTarget(LPCITEMIDLIST Pidl, const std::wstring& FileName, DWORD& Effect)
{
    if (!FileDropTarget(Pidl, FileName)) {
        return false;
    }
    if ((Effect & kDropEffectsAll) == deLink) {
        Effect &= ~static_cast<DWORD>(deLink);
    }
    return true;
}

bool TDragDropFilesEx::DropHandler(IDataObject* Data, DWORD Keys, DWORD& Effect, POINT Screen)
{
    TPidlPtr pidl;
    std::wstring name;
    if (!ShellExtensions.DropHandler || !SpecifiedTarget(false, ClientPoint(Screen), pidl, name)) {
        return false;
    }
    const ComPtr<IDropTarget> target = FileDropTarget(pidl.get(), name);
    if (!target) {
        return false;
    }
    const POINTL point{Screen.x, Screen.y};
    DWORD effect = Effect;
    if (FAILED(target->DragEnter(Data, Keys, point, &effect)) || (effect & kDropEffectsAll) == 0) {
        (void)target->DragLeave();
        return false;
    }
    effect = Effect;
    if (FAILED(target->Drop(Data, Keys, point, &effect))) {
        return false;
    }
    Effect = effect;
    return true;
}

void TDragDropFilesEx::DoMenuPopup(HMENU Menu, IDataObject* Data, int FirstFreeId, DWORD Keys, POINT Point)
{
    handlers_.clear();
    TPidlPtr pidl;
    std::wstring name;
    int next = FirstFreeId;
    if (ShellExtensions.DragDropHandler && SpecifiedTarget(true, Point, pidl, name)) {
        if (!pidl) {
            pidl = PathToPidl(name);
        }
        TRegKey key;
        if (pidl && RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Folder\\ShellEx\\DragDropHandlers", 0, KEY_READ,
                                  key.Receive()) == ERROR_SUCCESS) {
            std::vector<std::wstring> names;
            wchar_t subkey[256];
            for (DWORD index = 0;; ++index) {
                DWORD length = 256;
                if (RegEnumKeyExW(key.Get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS) {
                    break;
                }
                names.emplace_back(subkey, length);
            }
            for (auto it = names.rbegin(); it != names.rend() && next < kLastMenuHandlerId; ++it) {
                wchar_t value[64];
                LONG size = sizeof(value);
                CLSID clsid;
                ComPtr<IShellExtInit> init;
                ComPtr<IContextMenu> menu;
                if (RegQueryValueW(key.Get(), it->c_str(), value, &size) != ERROR_SUCCESS ||
                    FAILED(CLSIDFromString(value, &clsid)) ||
                    FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&init))) ||
                    FAILED(init->Initialize(pidl.get(), Data, nullptr)) || FAILED(init.As(&menu))) {
                    continue;  // a handler that cannot be had is left out
                }
                const HRESULT added =
                    menu->QueryContextMenu(Menu, 0, static_cast<UINT>(next), kLastMenuHandlerId, CMF_NORMAL);
                if (SUCCEEDED(added) && HRESULT_CODE(added) > 0) {
                    handlers_.push_back({next, next + HRESULT_CODE(added), menu});
                    next += HRESULT_CODE(added);
                }
            }
        }
    }
    TDragDrop::DoMenuPopup(Menu, Data, next, Keys, Point);
}

bool TDragDropFilesEx::DoMenuExecCmd(HMENU Menu, IDataObject* Data, int Command)
{
    for (const TMenuHandler& handler : handlers_) {
        if (Command >= handler.First && Command < handler.Next) {
            CMINVOKECOMMANDINFO invoke{};
            invoke.cbSize = sizeof(invoke);
            invoke.hwnd = ControlWindow();
            invoke.lpVerb = MAKEINTRESOURCEA(Command - handler.First);
            invoke.nShow = SW_SHOWNORMAL;
            return SUCCEEDED(handler.Menu->InvokeCommand(&invoke));
        }
    }
    return TDragDrop::DoMenuExecCmd(Menu, Data, Command);
}

void TDragDropFilesEx::DoMenuDestroy(HMENU Menu)
{
    handlers_.clear();
    TDragDrop::DoMenuDestroy(Menu);
}

}  // namespace qrv
