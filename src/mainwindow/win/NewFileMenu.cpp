#include "mainwindow/win/NewFileMenu.h"

#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"
#include "framework/win/Menus.h"
#include "mainwindow/win/FileCommands.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "widgets/win/ToolbarGlyphBitmaps.h"

namespace qrv {

namespace {

// Names taken by someone else while the file is made are counted past
// this often, no more.
constexpr int kCreateAttempts = 100;
constexpr size_t kWriteBlock = 64 * 1024;

std::wstring InFolder(const std::wstring& Folder, const std::wstring& Name)
{
    return Folder.empty() || Folder.back() == L'\\' ? Folder + Name : Folder + L'\\' + Name;
}

// The bytes into the file, in blocks; the system's error code, or 0.
DWORD WriteContent(const std::wstring& Path, const std::vector<uint8_t>& Bytes)
{
    if (Bytes.empty())
        return 0;
    TFileHandle file(
        CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    for (size_t at = 0; at < Bytes.size();) {
        const auto block = static_cast<DWORD>(std::min(kWriteBlock, Bytes.size() - at));
        DWORD written = 0;
        if (!WriteFile(file.Get(), Bytes.data() + at, block, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        at += written;
    }
    return 0;
}

}  // namespace

TNewFileMenu::TNewFileMenu(const TMainPanes& Panes, TMainWindowServices& Services, TFileCommands& Commands,
                           TNewFileMenuParts Parts)
    : panes_(Panes), services_(Services), commands_(Commands), parts_(std::move(Parts))
{
    if (!parts_.CreateTypes)
        parts_.CreateTypes = [this] { return std::make_unique<TKyNewFileTypes>(parts_.Owner); };
    // The popup's own submenu opens without a word to its menu: the types
    // are read when the popup shows.
    if (parts_.Popup) {
        auto before = parts_.Popup->OnPopup;
        parts_.Popup->OnPopup = [this, before](TComponent* Sender) {
            if (before)
                before(Sender);
            Neu1Click();
        };
    }
    if (TMenuItem* menu = parts_.MainMenu) {
        auto before = menu->OnClick;
        menu->OnClick = [this, before](TComponent* Sender) {
            if (before)
                before(Sender);
            Neu1Click();
        };
    }
}

TNewFileMenu::~TNewFileMenu() = default;

void TNewFileMenu::Neu1Click()
{
    if (opened_)
        return;
    opened_ = true;
    try {
        types_ = parts_.CreateTypes();
    } catch (const std::exception&) {
        TraceIgnoredException(L"the shell's new-file types");
        return;
    }
    if (!types_)
        return;
    AddPictures();
    AddTypeItems();
}

void TNewFileMenu::AddPictures()
{
    try {
        const COLORREF menuColor = GetSysColor(COLOR_MENU);
        for (const TNewFileMenuParts::TCommandPicture& picture : parts_.Pictures) {
            // The button's picture on the menu's colour.
            auto bitmap = std::make_unique<TBitmap>();
            MakeGlyphBitmapOn(picture.Glyph, menuColor, *bitmap);
            for (TMenuItem* item : {picture.MainItem, picture.PopupItem})
                if (item)
                    item->SetBitmap(bitmap->Handle());
            pictures_.push_back(std::move(bitmap));
        }
    } catch (const Exception&) {
        TraceIgnoredException(L"the pictures of the new-item commands");
        // the items keep their captions only
    }
}

void TNewFileMenu::AddTypeItems()
{
    try {
        types_->Refresh();
    } catch (const std::exception&) {
        TraceIgnoredException(L"reading the shell's new-file types");
        return;
    }
    for (TMenuItem* menu : {parts_.MainMenu, parts_.PopupMenu}) {
        if (!menu || types_->Count() == 0)
            continue;
        auto* line = new TMenuItem(parts_.Owner);
        line->SetCaption(L"-");
        menu->Add(line);
        for (int index = 0; index < types_->Count(); ++index) {
            try {
                auto* item = new TMenuItem(parts_.Owner);
                item->SetCaption(types_->Item(index)->Description);
                item->Tag = index;
                if (const TBitmap* icon = types_->ItemBitmap(index); icon && !icon->Empty())
                    item->SetBitmap(icon->Handle());
                item->OnClick = [this, index](TComponent*) { NewFileMenuClick(index); };
                menu->Add(item);
            } catch (const Exception&) {
                TraceIgnoredException(L"a menu item of a new-file type");
                // that type is left out of the menu
            }
        }
    }
}

void TNewFileMenu::ReportFailure(const std::wstring& Name, const std::wstring& Cause)
{
    std::wstring text = L"Fehler beim Anlegen der Datei: \"" + Name + L"\".";
    if (!Cause.empty())
        text += L"\r\r" + Cause;
    services_.ShowMessageBox(text, TMsgDlgType::mtError, 0, mbOK);
}

TFileRec* TNewFileMenu::CreateNewFile(TDirView& List, const TNewFileType& Type, std::wstring& Name)
{
    const std::wstring folder = List.GetPath();
    const auto exists = [&folder](const std::wstring& Candidate) { return PathExists(InFolder(folder, Candidate)); };
    int number = 0;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        Name = FreeNewFileName(Type.Description, Type.Extension, number, exists);
        if (Name.empty())
            break;
        if (TFileRec* item = List.CreateFile(Name))
            return item;
        // Made by someone else since the look: the next number.
        if (LastFileError != ERROR_FILE_EXISTS && LastFileError != ERROR_ALREADY_EXISTS) {
            ReportFailure(Name, Win32ErrorText(LastFileError));
            return nullptr;
        }
        ++number;
    }
    ReportFailure(Name.empty() ? NewFileCandidate(Type.Description, Type.Extension, 0) : Name,
                  Win32ErrorText(ERROR_FILE_EXISTS));
    return nullptr;
}

void TNewFileMenu::NewFileMenuClick(int Index)
{
    TDirView* list = panes_.ActiveList;
    const TNewFileType* type = types_ ? types_->Item(Index) : nullptr;
    if (!type || !panes_.TreeView1 || !panes_.TreeView1->Selected() || !list || !list->Loaded() ||
        list->GetPath().empty()) {
        MessageBeep(MB_OK);
        return;
    }
    const std::wstring folder = list->GetPath();
    if (type->Kind == TNewFileKind::Command) {
        int number = 0;
        const std::wstring name =
            FreeNewFileName(type->Description, type->Extension, number,
                            [&](const std::wstring& N) { return PathExists(InFolder(folder, N)); });
        if (name.empty() || !types_->RunCommand(*type, folder, InFolder(folder, name)))
            ReportFailure(name.empty() ? NewFileCandidate(type->Description, type->Extension, 0) : name,
                          L"Das Programm \"" + type->Source + L"\" konnte nicht gestartet werden.");
        return;
    }
    // The list does not take its own new file for someone else's change.
    const bool watching = list->WatchThreadActive();
    if (watching)
        list->StopWatchThread();
    const ScopeExit resume([list, watching] {
        if (watching)
            list->StartWatchThread();
    });
    std::wstring name;
    if (!CreateNewFile(*list, *type, name))
        return;
    const std::wstring path = InFolder(folder, name);
    DWORD error = 0;
    std::wstring cause;
    try {
        error = WriteContent(path, types_->Content(*type));
        if (error != 0)
            cause = Win32ErrorText(error);
    } catch (const Exception& failure) {
        cause = failure.Message();
        error = ERROR_READ_FAULT;
    }
    if (error != 0) {
        // No half-made file is left behind.
        if (!DeleteFileW(path.c_str()))
            TraceIgnoredFailure(L"removing a new file whose content failed", GetLastError());
        list->ReloadDirectory();
        ReportFailure(name, cause);
        return;
    }
    list->ReloadDirectory();
    if (TFileRec* item = list->FindFileItem(name)) {
        list->SetItemFocused(item);
        commands_.EditItemByCommand(*list, *item);
    }
}

}  // namespace qrv
