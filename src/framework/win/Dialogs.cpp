#include "framework/win/Dialogs.h"

namespace qrv {

namespace {
// MessageBoxIndirectW's callback carries no user data; the handler of the box
// being shown on this thread is kept here (boxes nest, so it is saved).
thread_local const std::function<void(DWORD)>* t_helpHandler = nullptr;

void CALLBACK HelpCallback(LPHELPINFO info)
{
    if (t_helpHandler && *t_helpHandler)
        (*t_helpHandler)(static_cast<DWORD>(info->dwContextId));
}
}  // namespace

int MessageBoxWithHelp(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type, DWORD helpContext,
                       const std::function<void(DWORD)>& onHelp)
{
    MSGBOXPARAMSW params{};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = GetModuleHandleW(nullptr);
    params.lpszText = text.c_str();
    params.lpszCaption = caption.c_str();
    params.dwStyle = type;
    if (helpContext != 0) {
        params.dwStyle |= MB_HELP;
        params.dwContextHelpId = helpContext;
        params.lpfnMsgBoxCallback = HelpCallback;
    }
    const auto* saved = t_helpHandler;
    t_helpHandler = &onHelp;
    const int result = MessageBoxIndirectW(&params);
    t_helpHandler = saved;
    return result;
}

}  // namespace qrv
