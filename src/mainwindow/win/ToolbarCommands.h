#pragma once
// TToolbarCommands: the main window's toolbars by their numbers, the
// buttons of the commands (mainwindow/ToolbarTable.h), the commands that
// show and hide each toolbar, the uniform button size, the search button's
// hint, and the toolbar customiser ("Anpassen ...").

#include "dialogs/win/TBCustomize.h"
#include "mainwindow/ToolbarTable.h"
#include "mainwindow/win/CommandMenus.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace qrv {

class TBitmap;
class TControl;
class TForm;
class TKyDock;
class TKyToolbar;
class TKyToolbarButton;
struct TOptions;

// What the area gets of the window.
struct TToolbarWindowParts {
    TForm* Owner = nullptr;  // owns the buttons made here
    // The toolbars of the index table; the window makes them.
    std::array<TKyToolbar*, kToolbarIndexCount> Toolbars{};
    TKyDock* TopDock = nullptr;
    TOptions* Options = nullptr;
    // The second drive toolbar (nullptr: none).
    std::function<TKyToolbar*()> SecondDriveToolbar;
    // The drive toolbars docked again after the customiser.
    std::function<void()> LayOutDriveToolbars;
    // After the command-line toolbar was shown or hidden.
    std::function<void()> CommandLineToggled;
    std::function<TControl*()> FilterBox;
    // The command-line toolbar's button panel (nullptr: none).
    std::function<TControl*()> CommandButtonPanel;
    // Whether a text (the text view, the hex view or the editor) has the focus.
    std::function<bool()> TextHasFocus;
};

class TToolbarCommands : private TTBCustomizeHost {
public:
    TToolbarCommands(TActionCatalogue& Catalogue, TCommandMenus& Menus, TToolbarWindowParts Parts);
    ~TToolbarCommands() override;
    TToolbarCommands(const TToolbarCommands&) = delete;
    TToolbarCommands& operator=(const TToolbarCommands&) = delete;

    // The buttons of the table on their toolbars.
    void CreateButtons();
    // The toolbar of the index table; raises EToolbarIndex for another number.
    TKyToolbar* GetToolbarByIndex(int Index) const;
    // The controls the customiser offers, read once every area has put its
    // buttons on the toolbars: those of toolbars 0..5 in order (not those
    // tagged 998 or 999), and the command-line toolbar's panel.
    void CollectToolbarButtons();
    const std::vector<TControl*>& CustomizedControls(int Index) const;
    // Every button of the toolbar gets the button size by the one rule
    // (widgets/ButtonLayout.h ToolbarButtonSize).
    void ResizeToolbarButtons(TKyToolbar* Toolbar, int Size);
    // The seven customisable toolbars and the drive, function-key and
    // bookmark toolbars.
    void ResizeAllToolbarButtons(int Size);
    // A hidden button with that caption, owned by the window.
    TKyToolbarButton* CreateHiddenToolbarButton(const std::wstring& Caption);

    // The show commands: the toolbar is shown or hidden; shown beyond its
    // dock's end it moves down a row.
    void ShowToolbarExecute(TToolbarSlot Slot);
    void CustomizeToolbarsExecute();
    // Runs the customiser (tests answer it themselves); true after OK.
    std::function<bool(TTBCustomize& Dialog)> RunCustomizer;

    // The search button's hint for where the focus is now.
    void SearchButtonMouseEnter();
    TKyToolbarButton* Button(TActionId Id) const;
    // The picture of a command's button (nullptr: it has none).
    const TBitmap* Glyph(TActionId Id) const;

private:
    TKyToolbar* ToolbarByIndex(int Index) override { return GetToolbarByIndex(Index); }
    std::vector<TControl*> ButtonList(int Index) override { return CustomizedControls(Index); }
    TControl* CommandButtonPanel() override;
    TControl* FilterBox() override;
    int ButtonSize() override;
    void SetButtonSize(int Size) override;
    bool TwoDriveToolbars() override;
    void SetTwoDriveToolbars(bool Two) override;
    void ResizeToolbarButtons(TKyToolbar* Toolbar) override;

    void RegisterCommands();
    void ToggleToolbar(TKyToolbar* Toolbar);
    TKyToolbar* Toolbar(TToolbarSlot Slot) const { return parts_.Toolbars[static_cast<size_t>(Slot)]; }

    TActionCatalogue& catalogue_;
    TCommandMenus& menus_;
    TToolbarWindowParts parts_;
    std::array<std::vector<TControl*>, kCustomizableToolbarCount> lists_;
    std::array<TKyToolbarButton*, kActionCount> buttons_{};
    std::array<std::unique_ptr<TBitmap>, kActionCount> glyphs_;
};

}  // namespace qrv
