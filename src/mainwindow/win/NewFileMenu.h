#pragma once
// TNewFileMenu: the shell's new-file types in the "&Neu" menu of the main
// menu and of the file lists' popup. The types are read on the first
// opening of either; choosing one makes "Neu <type><extension>" (counted on
// while the name is taken) in the active list's folder, with the type's
// first content, and opens its name for editing. A type that makes its
// files by a program starts that program.

#include "dialogs/win/KyShellDialogs.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "widgets/ToolbarGlyphs.h"

#include <functional>
#include <memory>
#include <vector>

namespace qrv {

class TBitmap;
class TDirView;
class TFileCommands;
class TMenuItem;
class TPopupMenu;
struct TFileRec;

struct TNewFileMenuParts {
    TComponent* Owner = nullptr;  // owns the menu items made here
    TMenuItem* MainMenu = nullptr;
    TMenuItem* PopupMenu = nullptr;
    // The popup that holds PopupMenu: its first showing reads the types too.
    TPopupMenu* Popup = nullptr;
    // The items of the built-in new-item commands with their pictures, in
    // both menus.
    struct TCommandPicture {
        TMenuItem* MainItem = nullptr;
        TMenuItem* PopupItem = nullptr;
        TGlyph Glyph = TGlyph::NewFile;
    };
    std::vector<TCommandPicture> Pictures;
    // Makes the types object (the Win32 one by default).
    std::function<std::unique_ptr<TKyNewFileTypes>()> CreateTypes;
};

class TNewFileMenu {
public:
    TNewFileMenu(const TMainPanes& Panes, TMainWindowServices& Services, TFileCommands& Commands,
                 TNewFileMenuParts Parts);
    ~TNewFileMenu();
    TNewFileMenu(const TNewFileMenu&) = delete;
    TNewFileMenu& operator=(const TNewFileMenu&) = delete;

    // The first opening reads the types and fills both menus; later ones
    // change nothing.
    void Neu1Click();
    // A new file of type Index in the active list's folder.
    void NewFileMenuClick(int Index);
    const TKyNewFileTypes* Types() const { return types_.get(); }
    // Makes the types object on the first opening (the Win32 one unless
    // the parts named another; tests bring one over a folder of their own).
    std::function<std::unique_ptr<TKyNewFileTypes>()>& CreateTypes() { return parts_.CreateTypes; }

private:
    void AddPictures();
    void AddTypeItems();
    // Creates the file (counting on while the name is taken); the item, or
    // nullptr after the error was shown.
    TFileRec* CreateNewFile(TDirView& List, const TNewFileType& Type, std::wstring& Name);
    void ReportFailure(const std::wstring& Name, const std::wstring& Cause);

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileCommands& commands_;
    TNewFileMenuParts parts_;
    std::unique_ptr<TKyNewFileTypes> types_;
    std::vector<std::unique_ptr<TBitmap>> pictures_;
    bool opened_ = false;
};

}  // namespace qrv
