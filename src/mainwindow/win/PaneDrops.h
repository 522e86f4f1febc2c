#pragma once
// TPaneDrops: the main window's part in drag and drop between the folder
// tree and the file lists. It sets the default effect by the user's
// choice (always move, move on the same drive, always copy), asks before
// files are duplicated into their own folder, reads diskette files before
// they replace others, makes copies from a CD writable, keeps the display
// pane, the status bar and undo in step and reports drag-and-drop errors.
// The window answers through its panes, its services and TPaneDropsHost.

#include "framework/win/MessageDialog.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "panels/win/PaneDragDrop.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

class TDirView;
class TDriveView;
class TFileOperator;
struct TOptions;

class TPaneDropsHost {
public:
    virtual ~TPaneDropsHost() = default;
    virtual const TOptions& DropOptions() = 0;
    // The main window is the active window; brings the program to the front.
    virtual bool MainWindowActive() = 0;
    virtual void BringMainWindowToFront() = 0;
    // The display pane lets go of the file it shows in the hex view, and
    // shows the focused file again afterwards.
    virtual void ReleaseHexFile() = 0;
    virtual void RedisplayHexFile() = 0;
    virtual void SetLastFileOperator(TFileOperator* Operator) = 0;
};

class TPaneDrops {
public:
    TPaneDrops(const TMainPanes& Panes, TMainWindowServices& Services, TPaneDropsHost& Host)
        : panes_(Panes), services_(Services), host_(Host)
    {}

    // Binds the panes' events.
    void Attach(TDriveView& Tree, const std::vector<TDirView*>& Lists);

    // The handlers (public for the tests).
    void TreeDragOver(TPaneDragDrop& Pane, uint32_t Keys, uint32_t& Effect);
    void ListDragOver(TDirView& List, uint32_t Keys, uint32_t& Effect);
    void ListProcessDropped(TDirView& List, uint32_t Keys, uint32_t& Effect);
    void FileOperation(TPaneDragDrop& Pane, const std::wstring& SourceFolder, const std::wstring& TargetFolder,
                       std::vector<std::wstring>& Names, bool& DoOperation);
    void FileOperationExecuted(TPaneDragDrop& Pane, TDirView* List, uint32_t Effect, const std::wstring& SourceFolder,
                               const std::wstring& TargetFolder, const std::vector<std::wstring>& Names);
    void Error(int Code, const std::wstring& Path);

    // The pane the current drag is over; nullptr outside.
    TPaneDragDrop* DropTargetPane() const { return dropTarget_; }
    // A drop's file operation runs.
    bool DragOperation() const { return dragOperation_; }

    // The diskette drives: those before the first fixed drive ('C' when
    // none is found).
    static bool IsDisketteDrive(wchar_t Drive);

private:
    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TPaneDropsHost& host_;
    TDriveView* tree_ = nullptr;
    TPaneDragDrop* dropTarget_ = nullptr;
    bool dragOperation_ = false;
};

}  // namespace qrv
