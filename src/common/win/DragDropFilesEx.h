#pragma once
// Files in drag and drop and on the OLE clipboard: TDragDropFilesEx carries
// the files being dragged or dropped (TFileList), offers them in the shell's
// formats ("Shell IDList Array", a wide CF_HDROP, "FileNameMapW"), reads the
// same formats and, optionally, files given only as descriptors and
// contents, lets the shell's drag-and-drop handlers add to the right-drag
// menu and can pass a drop on to the drop handler of a file under the cursor
// (a program, a shortcut).

#include "common/FileContentsList.h"
#include "common/win/ClipboardFormatClasses.h"
#include "common/win/DragDrop.h"
#include "common/win/PIDL.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <shlobj.h>

namespace qrv {

// One dragged file: its absolute list (may be nil), its full path (may be
// empty), and the name it is to get at the target (or empty).
struct TFDDListItem {
    TPidlPtr Pidl;
    std::wstring Name;
    std::wstring MappedName;
};

class TFileList {
public:
    // Copies Pidl; returns the new index.
    int AddItem(LPCITEMIDLIST Pidl, const std::wstring& Name);
    int AddItemEx(LPCITEMIDLIST Pidl, const std::wstring& Name, const std::wstring& MappedName);
    int Count() const { return static_cast<int>(items_.size()); }
    TFDDListItem& GetItem(int Index) { return *items_.at(static_cast<size_t>(Index)); }
    const TFDDListItem& GetItem(int Index) const { return *items_.at(static_cast<size_t>(Index)); }
    void Clear() { items_.clear(); }
    // Lists for the items that have only a name, through the desktop's
    // parser; false when one fails, an item has neither, or a name is longer
    // than the parser takes (rather than parse a cut name).
    [[nodiscard]] bool CompletePidls();
    // Names for the items that have only a list (their parsing names); false
    // when one fails or is longer than a name may be.
    [[nodiscard]] bool CompleteNames();

private:
    std::vector<std::unique_ptr<TFDDListItem>> items_;
};

// What a drag must carry (bits).
enum TFileExMustDnD : uint32_t {
    nvFilename = 1,
    nvPIDL = 2,
};

struct TShellExtension {
    bool DropHandler = false;      // pass drops to a target file's shell drop handler
    bool DragDropHandler = false;  // let the shell's handlers add right-drag menu entries
};

// The data object of a file drag: its blocks are made when it is made.
class TDataObjectFilesEx : public TDataObject {
public:
    TDataObjectFilesEx(const TFileList& Files, bool WithLists, bool WithNames);

protected:
    HRESULT RenderData(const FORMATETC& Request, STGMEDIUM& Medium) override;

private:
    std::vector<uint8_t> idList_;
    std::vector<uint8_t> dropFiles_;
    std::vector<uint8_t> nameMap_;
};

class TDragDropFilesEx : public TDragDrop {
public:
    explicit TDragDropFilesEx(TComponent* Owner);

    TFileList FileList;
    uint32_t NeedValid = nvFilename;
    bool CompleteFileList = true;
    // Set by a drop that carried a name map.
    bool MappedNamesAvailable = false;
    TShellExtension ShellExtensions;
    bool AcceptFileContents = false;
    bool FileContentsAvailable = false;

    // The owner names the file under Point (a list, a path or both);
    // DragDropHandler: asked for the menu handlers' folder, else for a
    // drop handler's file.
    std::function<void(TDragDropFilesEx* Sender, bool DragDropHandler, POINT Point, TPidlPtr& PidlFQ,
                       std::wstring& FileName)>
        OnSpecifyDropTarget;

    // True when the named file exists and its folder gives it a drop target
    // of its own; a link-only Effect then loses the link.
    [[nodiscard]] bool IsDropHandlerTarget(LPCITEMIDLIST Pidl, const std::wstring& FileName, DWORD& Effect);
    void ClearFileList();
    TStreamList& FileContentsStreams() { return contents_.Streams(); }

protected:
    TDataObjectPtr CreateDataObject() override;
    void DoMenuPopup(HMENU Menu, IDataObject* Data, int FirstFreeId, DWORD Keys, POINT Point) override;
    bool DoMenuExecCmd(HMENU Menu, IDataObject* Data, int Command) override;
    void DoMenuDestroy(HMENU Menu) override;
    bool DropHandler(IDataObject* Data, DWORD Keys, DWORD& Effect, POINT Screen) override;
    bool AcceptDataObject(IDataObject* Data) override;
    void ProcessData(IDataObject* Data, DWORD Keys, DWORD& Effect, POINT Point) override;

private:
    struct TMenuHandler {
        int First = 0;
        int Next = 0;
        Microsoft::WRL::ComPtr<IContextMenu> Menu;
    };
    // The file's own drop target (nil when it has none or only its folder's).
    Microsoft::WRL::ComPtr<IDropTarget> FileDropTarget(LPCITEMIDLIST Pidl, const std::wstring& FileName);
    bool SpecifiedTarget(bool DragDropHandler, POINT Point, TPidlPtr& Pidl, std::wstring& FileName);

    std::vector<TMenuHandler> handlers_;
    TFileContentsStreamClipboardFormat contents_;
};

}  // namespace qrv
