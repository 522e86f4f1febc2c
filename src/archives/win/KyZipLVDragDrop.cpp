// The archive list's popup menu, its drags out (the entries are extracted
// into a folder of the view's own when the drop happens) and the files and
// folders dropped onto an open zip archive.

#include "archives/win/KyZipLV.h"

#include "archives/win/ArchiveTempFolder.h"
#include "archives/win/KyZipper.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/Menus.h"
#include "panels/DropRules.h"

#include <commctrl.h>

namespace qrv {

namespace {

constexpr HRESULT kDragDrop = 0x00040100;    // DRAGDROP_S_DROP
constexpr HRESULT kDragCancel = 0x00040101;  // DRAGDROP_S_CANCEL

}  // namespace

void TKyZipLV::WireDragDrop()
{
    dragDrop_ = new TDragDropFilesEx(this);
    dragDrop_->CompleteFileList = false;  // the copies do not exist before the drop
    dragDrop_->NeedValid = nvFilename;
    dragDrop_->SetDragDropControl(this);
    dragDrop_->SetSourceEffects(DROPEFFECT_COPY);
    dragDrop_->SetTargetEffects(DROPEFFECT_COPY);
    dragDrop_->OnDragEnter = [this](TDragDrop*, IDataObject*, DWORD, POINT, DWORD& effect, bool& accept) {
        accept = accept && AcceptDrop();
        if (!accept)
            effect = DROPEFFECT_NONE;
    };
    dragDrop_->OnGiveFeedback = [this](TDragDrop*, DWORD effect, HRESULT&) {
        lastFeedback_ = effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    };
    dragDrop_->OnQueryContinueDrag = [this](TDragDrop*, BOOL escape, DWORD keys, HRESULT& result) {
        DropQueryContinue(escape != FALSE, keys, result);
    };
    dragDrop_->OnProcessDropped = [this](TDragDrop*, DWORD keys, POINT point, DWORD effect) {
        DropProcessed(keys, point, effect);
    };
}

bool TKyZipLV::AcceptDrop()
{
    return !dragging_ && IsZipOpen() && !dragDrop_->MappedNamesAvailable && !dragDrop_->FileContentsAvailable &&
           !Busy();
}

void TKyZipLV::StartDragOut()
{
    if (HandleAllocated())
        ReadSelectionFromControl();
    if (items_.SelCount() == 0 || dragging_ || Busy())
        return;
    if (OnDDDragDetect)
        OnDDDragDetect(this);
    dragFolder_ = TempFolder().NewSubfolder();
    if (dragFolder_.empty())
        return;
    std::vector<TDragEntry> entries;
    for (int row = 0; row < items_.Count(); ++row)
        if (items_[row].Selected)
            entries.push_back({std::wstring(items_[row].Name()), std::wstring(items_[row].Path())});
    dragDrop_->ClearFileList();
    for (const std::wstring& path : DragOutPaths(dragFolder_, entries, PreserveDirs()))
        dragDrop_->FileList.AddItem(nullptr, path);
    dragging_ = true;
    dragOverSelf_ = false;
    lastFeedback_ = DROPEFFECT_NONE;
    if (UseDragImages && !BeginDragPicture())
        TraceIgnoredFailure(L"the drag picture of the archive list");
    ScopeExit done([&] {
        dragPicture_.End();
        dragging_ = false;
        dragOverSelf_ = false;
        dragDrop_->ClearFileList();
    });
    dragDrop_->Execute();
}

bool TKyZipLV::BeginDragPicture()
{
    POINT hotSpot{};
    HIMAGELIST image = nullptr;
    if (items_.SelCount() == 1) {
        // The row itself, held where the cursor took it.
        int row = -1;
        for (int i = 0; i < items_.Count() && row < 0; ++i)
            if (items_[i].Selected)
                row = i;
        image = ListRowPicture(handle_, row, hotSpot);
    } else {
        image = CountsPicture(handle_, DragCountLines(static_cast<unsigned>(items_.SelCount()), 0), hotSpot);
    }
    return dragPicture_.Begin(image, hotSpot, handle_);
}

void TKyZipLV::DropQueryContinue(bool escape, DWORD keys, HRESULT& result)
{
    // Over the view itself the drop is none of ours to serve.
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT own{};
    GetWindowRect(handle_, &own);
    dragOverSelf_ = PtInRect(&own, cursor) != 0;
    if (result == kDragDrop && !dragOverSelf_ && lastFeedback_ != DROPEFFECT_NONE) {
        // The owner may take the drop itself (an extraction into a folder
        // of its own); else the copies are made now, before the target
        // reads them.
        if (OnDDQueryContinueDrag)
            OnDDQueryContinueDrag(this, escape, keys, result);
        if (result == kDragDrop) {
            // The drag's folder is made anew: a second drag never finds the
            // first one's copies.
            if (!ExtractSelected(dragFolder_, PreserveDirs(), true)) {
                result = kDragCancel;
                if (OnDDQueryContinueDrag)
                    OnDDQueryContinueDrag(this, escape, keys, result);
            }
        }
        return;
    }
    if (OnDDQueryContinueDrag)
        OnDDQueryContinueDrag(this, escape, keys, result);
    dragPicture_.Follow();
}

void TKyZipLV::DropProcessed(DWORD keys, POINT point, DWORD effect)
{
    if (OnDDProcessDropped)
        OnDDProcessDropped(this, keys, point, effect);
    if (dragging_ || !IsZipOpen() || dragDrop_->FileList.Count() == 0)
        return;
    std::vector<std::wstring> paths;
    for (int i = 0; i < dragDrop_->FileList.Count(); ++i)
        if (!dragDrop_->FileList.GetItem(i).Name.empty())
            paths.push_back(dragDrop_->FileList.GetItem(i).Name);
    dragDrop_->ClearFileList();
    const TDroppedPaths split = SplitDropped(paths, [](const std::wstring& path) { return DirExists(path); });
    if (!split.Files.empty() && !AddFiles(split.Files))
        TraceIgnoredFailure(L"adding dropped files (reported through OnMessage)");
    if (!split.Directories.empty() && !AddDirectories(split.Directories, true))
        TraceIgnoredFailure(L"adding dropped folders (reported through OnMessage)");
}

void TKyZipLV::ShowPopupMenu(POINT screen)
{
    if (HandleAllocated())
        ReadSelectionFromControl();
    if (items_.SelCount() == 0)
        return;
    if (!popup_) {
        popup_ = new TPopupMenu(this);
        struct TItem {
            const wchar_t* Caption;
            std::function<void()> Run;
        };
        const TItem items[] = {
            {L"Ö&ffnen", [this] { OpenItem(); }},
            {L"-", nullptr},
            {L"&Hinzufügen Datei...", [this] { AddFilesDialog(); }},
            {L"Hinzufügen &Verzeichnis...", [this] { AddDirectoryDialog(); }},
            {L"E&xtrahieren...", [this] { ExtractDialog(); }},
            {L"&Löschen",
             [this] {
                 if (IsZipBusy())
                     MessageBeep(0);
                 else
                     DeleteSelected();
             }},
            {L"-", nullptr},
            {L"E&igenschaften", [this] { ShowItemProperties(); }},
        };
        for (const TItem& item : items) {
            auto* menuItem = new TMenuItem(popup_);
            menuItem->SetCaption(item.Caption);
            if (item.Run)
                menuItem->OnClick = [run = item.Run](TComponent*) {
                    try {
                        run();
                    } catch (const Exception& e) {
                        MessageBeep(MB_ICONERROR);
                        MessageBoxW(nullptr, e.Message().c_str(), L"Archiv", MB_OK | MB_ICONERROR | MB_TASKMODAL);
                    }
                };
            popup_->Items()->Add(menuItem);
        }
    }
    // Adding and deleting are for zip archives only.
    const bool zip = archiveKind_ == akZip;
    for (int index : {2, 3, 5})
        popup_->Items()->Items(index)->SetEnabled(zip);
    if (!popup_->Popup(screen.x, screen.y, handle_))
        return;
}

void TKyZipLV::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CONTEXTMENU: {
        POINT point{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        if (point.x == -1 && point.y == -1) {
            // From the keyboard: below the focused row.
            RECT row{LVIR_BOUNDS, 0, 0, 0};
            const int focused = ItemFocused();
            if (focused < 0 || !SendMessageW(handle_, LVM_GETITEMRECT, focused, reinterpret_cast<LPARAM>(&row)))
                row = {0, 0, 0, 0};
            point = {row.left + 16, row.bottom};
            ClientToScreen(handle_, &point);
        }
        ShowPopupMenu(point);
        message.Result = 0;
        return;
    }
    case WM_SYSKEYDOWN:
        if (message.WParam == VK_RETURN) {
            ShowItemProperties();
            message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TKyListView::WndProc(message);
}

}  // namespace qrv
