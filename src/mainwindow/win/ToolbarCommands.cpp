#include "mainwindow/win/ToolbarCommands.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/ActnList.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Forms.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"
#include "widgets/win/ToolbarGlyphBitmaps.h"

namespace qrv {

namespace {

// Controls so tagged stay out of the customiser: 998 the program's own,
// 999 features this program does not offer.
constexpr intptr_t kTagNotCustomized = 998;
constexpr intptr_t kTagNotOffered = 999;

}  // namespace

TToolbarCommands::TToolbarCommands(TActionCatalogue& Catalogue, TCommandMenus& Menus, TToolbarWindowParts Parts)
    : catalogue_(Catalogue), menus_(Menus), parts_(std::move(Parts))
{
    RunCustomizer = [](TTBCustomize& Dialog) { return Dialog.ShowModal() == mrOk; };
    RegisterCommands();
}

TToolbarCommands::~TToolbarCommands() = default;

void TToolbarCommands::RegisterCommands()
{
    for (const TToolbarIndexRow& row : ToolbarIndexRows()) {
        const TToolbarSlot slot = row.Slot;
        catalogue_.Register(row.ShowAction, [this, slot] { ShowToolbarExecute(slot); });
        // Checked while its toolbar is shown.
        if (TAction* action = menus_.Action(row.ShowAction))
            action->OnUpdate = [this, slot](TComponent* Sender) {
                const TKyToolbar* toolbar = Toolbar(slot);
                static_cast<TAction*>(Sender)->SetChecked(toolbar && toolbar->Visible());
            };
    }
    catalogue_.Register(TActionId::CustomizeToolbars, [this] { CustomizeToolbarsExecute(); });
}

void TToolbarCommands::CreateButtons()
{
    for (const TToolbarButtonRow& row : ToolbarButtonRows()) {
        TKyToolbar* toolbar = Toolbar(row.Toolbar);
        if (!toolbar)
            continue;
        TComponent* owner = parts_.Owner;
        if (row.GroupStart && toolbar->ControlCount() > 0) {
            auto* separator = new TKyToolbarSep(owner);
            separator->SetParent(toolbar);
        }
        auto* button = new TKyToolbarButton(owner);
        button->SetName(ToolbarButtonName(row));
        button->SetDisplayMode(row.Mode);
        const auto slot = static_cast<size_t>(row.Action);
        glyphs_[slot] = std::make_unique<TBitmap>();
        MakeGlyphBitmap(row.Glyph, *glyphs_[slot]);
        button->SetGlyph(glyphs_[slot].get());
        const TActionRow& command = ActionRow(row.Action);
        button->SetCaption(ToolbarButtonCaption(command));
        const int size = parts_.Options ? parts_.Options->TBButtonSize : kSmallestButtonSize;
        const TButtonSize bounds = ToolbarButtonSize({row.Mode, false, button->DropdownArrowWidth(), size}, size);
        button->SetBounds(0, 0, bounds.Width, bounds.Height);
        if (row.Action == TActionId::FindDatei) {
            // Not the command's button: it finds text where a text has the
            // focus; the rules enable it by its own name.
            button->SetHint(SearchButtonHint(false));
            button->OnMouseEnter = [this](TComponent*) { SearchButtonMouseEnter(); };
            button->OnClick = [this](TComponent*) {
                catalogue_.Execute(parts_.TextHasFocus && parts_.TextHasFocus() ? TActionId::TextSearch
                                                                                : TActionId::FindDatei);
            };
        } else if (TAction* action = menus_.Action(row.Action)) {
            if (action->Hint().empty())
                action->SetHint(ToolbarButtonHint(command));
            action->Link(button);
        }
        button->SetParent(toolbar);
        buttons_[slot] = button;
    }
}

TKyToolbar* TToolbarCommands::GetToolbarByIndex(int Index) const
{
    return Toolbar(qrv::ToolbarByIndex(Index).Slot);
}

void TToolbarCommands::CollectToolbarButtons()
{
    for (std::vector<TControl*>& list : lists_)
        list.clear();
    for (int index = 0; index < kCommandLinePage; ++index) {
        const TKyToolbar* toolbar = GetToolbarByIndex(index);
        if (!toolbar)
            continue;
        for (int i = 0; i < toolbar->ControlCount(); ++i) {
            TControl* control = toolbar->Controls(i);
            if (control->Tag != kTagNotCustomized && control->Tag != kTagNotOffered)
                lists_[static_cast<size_t>(index)].push_back(control);
        }
    }
    if (TControl* panel = CommandButtonPanel())
        lists_[kCommandLinePage].push_back(panel);
}

const std::vector<TControl*>& TToolbarCommands::CustomizedControls(int Index) const
{
    return lists_.at(static_cast<size_t>(Index));
}

void TToolbarCommands::ResizeToolbarButtons(TKyToolbar* Toolbar, int Size)
{
    if (!Toolbar)
        return;
    Toolbar->BeginUpdate();
    const ScopeExit ended([Toolbar] { Toolbar->EndUpdate(); });
    for (int i = 0; i < Toolbar->ControlCount(); ++i)
        if (auto* button = dynamic_cast<TKyToolbarButton*>(Toolbar->Controls(i))) {
            const TButtonSize bounds = ToolbarButtonSize(
                {button->DisplayMode(), button->DropdownCombo(), button->DropdownArrowWidth(), button->Width()}, Size);
            button->SetBounds(button->Left(), button->Top(), bounds.Width, bounds.Height);
        }
}

void TToolbarCommands::ResizeAllToolbarButtons(int Size)
{
    for (int index = 0; index < kToolbarIndexCount; ++index)
        ResizeToolbarButtons(GetToolbarByIndex(index), Size);
    if (parts_.SecondDriveToolbar)
        ResizeToolbarButtons(parts_.SecondDriveToolbar(), Size);
}

TKyToolbarButton* TToolbarCommands::CreateHiddenToolbarButton(const std::wstring& Caption)
{
    auto* button = new TKyToolbarButton(parts_.Owner);
    button->SetCaption(Caption);
    button->SetVisible(false);
    return button;
}

void TToolbarCommands::ToggleToolbar(TKyToolbar* Toolbar)
{
    // The place it asks for, before the dock fits it into the row.
    const int wanted = Toolbar->DockPos();
    Toolbar->SetVisible(!Toolbar->Visible());
    // Shown where its dock has no room left, it takes the next row.
    TKyDock* dock = parts_.TopDock;
    if (Toolbar->Visible() && dock && Toolbar->DockedTo() == dock && wanted >= dock->Width())
        Toolbar->SetDockRow(Toolbar->DockRow() + 1);
}

void TToolbarCommands::ShowToolbarExecute(TToolbarSlot Slot)
{
    TKyToolbar* toolbar = Toolbar(Slot);
    if (!toolbar)
        return;
    ToggleToolbar(toolbar);
    if (Slot == TToolbarSlot::Drives && parts_.Options && parts_.Options->TwoTBDrives && parts_.SecondDriveToolbar)
        if (TKyToolbar* second = parts_.SecondDriveToolbar(); second && second->Visible() != toolbar->Visible())
            ToggleToolbar(second);
    if (Slot == TToolbarSlot::CommandLine && parts_.CommandLineToggled)
        parts_.CommandLineToggled();
}

void TToolbarCommands::CustomizeToolbarsExecute()
{
    TKyToolbar* drives = Toolbar(TToolbarSlot::Drives);
    // The drive toolbar's place, kept while it stands alone.
    TKyDock* dock = drives ? drives->DockedTo() : nullptr;
    const int row = drives ? drives->DockRow() : 0;
    const int pos = drives ? drives->DockPos() : 0;
    const bool twoBefore = TwoDriveToolbars();
    {
        TTBCustomize dialog(parts_.Owner, *this);
        RunCustomizer(dialog);
    }
    if (drives && !twoBefore && dock && drives->DockedTo() == dock) {
        drives->SetDockRow(row);
        drives->SetDockPos(pos);
    }
    if (auto* filter = dynamic_cast<TWinControl*>(FilterBox()); filter && filter->HandleAllocated())
        SendMessageW(filter->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
    if (parts_.LayOutDriveToolbars)
        parts_.LayOutDriveToolbars();
}

void TToolbarCommands::SearchButtonMouseEnter()
{
    if (TKyToolbarButton* button = buttons_[static_cast<size_t>(TActionId::FindDatei)])
        button->SetHint(SearchButtonHint(parts_.TextHasFocus && parts_.TextHasFocus()));
}

TKyToolbarButton* TToolbarCommands::Button(TActionId Id) const
{
    return buttons_[static_cast<size_t>(Id)];
}

const TBitmap* TToolbarCommands::Glyph(TActionId Id) const
{
    return glyphs_[static_cast<size_t>(Id)].get();
}

TControl* TToolbarCommands::CommandButtonPanel()
{
    return parts_.CommandButtonPanel ? parts_.CommandButtonPanel() : nullptr;
}

TControl* TToolbarCommands::FilterBox()
{
    return parts_.FilterBox ? parts_.FilterBox() : nullptr;
}

int TToolbarCommands::ButtonSize()
{
    return parts_.Options ? parts_.Options->TBButtonSize : kSmallestButtonSize;
}

void TToolbarCommands::SetButtonSize(int Size)
{
    if (parts_.Options)
        parts_.Options->TBButtonSize = Size;
}

bool TToolbarCommands::TwoDriveToolbars()
{
    return parts_.Options && parts_.Options->TwoTBDrives;
}

void TToolbarCommands::SetTwoDriveToolbars(bool Two)
{
    if (parts_.Options)
        parts_.Options->TwoTBDrives = Two;
}

void TToolbarCommands::ResizeToolbarButtons(TKyToolbar* Toolbar)
{
    ResizeToolbarButtons(Toolbar, ButtonSize());
}

}  // namespace qrv
