#include "mainwindow/win/TrayCommands.h"

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "widgets/win/KyShell.h"

#include <functional>

namespace qrv {

TTrayCommands::TTrayCommands(TForm& Window, TKyTrayIcon& Icon) : window_(Window), icon_(Icon)
{
    menu_ = new TPopupMenu(&Window);
    menu_->SetName(L"TrayPopup");
    const auto add = [this](const std::wstring& Caption, std::function<void()> Click) {
        auto* item = new TMenuItem(&window_);
        item->SetCaption(Caption);
        item->OnClick = [run = std::move(Click)](TComponent*) { run(); };
        menu_->Items()->Add(item);
        return item;
    };
    restoreItem_ = add(L"Wiederherstellen", [this] { Restore(); });
    exitItem_ = add(L"Beenden", [this] { Exit(); });
    icon_.SetPopupMenu(menu_);
    icon_.OnClick = [this](TComponent*) { Restore(); };
}

void TTrayCommands::Minimize()
{
    icon_.SetActive(true);
    window_.Hide();
}

void TTrayCommands::Restore()
{
    if (!window_.Visible())
        window_.Show();
    if (window_.HandleAllocated()) {
        if (IsIconic(window_.Handle()))
            ShowWindow(window_.Handle(), SW_RESTORE);
        SetForegroundWindow(window_.Handle());
    }
    icon_.Hide();
}

void TTrayCommands::Exit()
{
    icon_.Hide();
    window_.Close();
}

}  // namespace qrv
