#include "dialogs/win/DSAMsgDlg.h"

#include "dialogs/DSAMsg.h"
#include "framework/IgnoredError.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/Registry.h"

#include <algorithm>
#include <memory>
#include <set>

namespace qrv {

std::wstring DSACheckCaption = L"&Don't show this message again";
std::wstring DSARegKey = L"Software\\Quorvan Free\\DSADialogs";
bool DSAUseRegistry = true;
HKEY DSARootKey = HKEY_CURRENT_USER;

namespace {

// The characters the system calls alphanumeric among the 256 ANSI codes.
bool IsIdentChar(wchar_t c)
{
    static const std::set<wchar_t> chars = [] {
        std::set<wchar_t> set;
        for (int code = 1; code < 256; ++code) {
            const char byte = static_cast<char>(code);
            if (!IsCharAlphaNumericA(byte))
                continue;
            wchar_t wide = 0;
            if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1) == 1)
                set.insert(wide);
        }
        return set;
    }();
    return chars.count(c) > 0;
}

void Filter(std::wstring& storePath, std::wstring& ident, const wchar_t* blankMessage)
{
    ident = FilterDSAIdent(ident, false, IsIdentChar);
    storePath = FilterDSAIdent(storePath, true, IsIdentChar);
    if (ident.empty() || storePath.empty())
        throw Exception(blankMessage);
}

}  // namespace

bool DSAIdentsGetState(const std::wstring& storePathIn, const std::wstring& identIn)
{
    std::wstring storePath = storePathIn;
    std::wstring ident = identIn;
    Filter(storePath, ident, L"DSAIdentsGetState storage specifier blank");
    if (!DSAUseRegistry)
        return !TMemIniFile(storePath).ReadBool(ident, L"DontShow", false);
    TRegistry registry(KEY_READ);
    registry.SetRootKey(DSARootKey);
    if (!registry.OpenKeyReadOnly(DSAKeyPath(storePath, ident)))
        return true;
    try {
        return !registry.ReadBool(L"DontShow");
    } catch (const Exception&) {
        TraceIgnoredException(L"reading a don't-show-again flag");
        return true;  // a missing or unreadable flag means: show
    }
}

void DSAIdentsSetState(const std::wstring& storePathIn, const std::wstring& identIn, bool show)
{
    std::wstring storePath = storePathIn;
    std::wstring ident = identIn;
    Filter(storePath, ident, L"DSAIdentsSetState storage specifier blank");
    if (!DSAUseRegistry) {
        TMemIniFile ini(storePath);
        ini.WriteBool(ident, L"DontShow", !show);
        ini.UpdateFile();
        return;
    }
    TRegistry registry;
    registry.SetRootKey(DSARootKey);
    try {
        if (registry.OpenKey(DSAKeyPath(storePath, ident), true))
            registry.WriteBool(L"DontShow", !show);
    } catch (const Exception&) {
        TraceIgnoredException(L"storing a don't-show-again flag");
        // the flag is a convenience; failing to store it is not an error
    }
}

int DSAMessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult,
                  const std::wstring& identIn, const std::wstring& storePathIn, int helpContext)
{
    const std::wstring ident = identIn.empty() ? text : identIn;
    const std::wstring storePath = storePathIn.empty() ? DSARegKey : storePathIn;
    if (!DSAIdentsGetState(storePath, ident))
        return defaultResult;

    std::unique_ptr<TForm> dialog(CreateMessageDialog(text, type, buttons));
    dialog->HelpContext = helpContext;
    auto* anchor = dynamic_cast<TControl*>(dialog->FindComponent(L"Image"));
    if (!anchor)
        anchor = dynamic_cast<TControl*>(dialog->FindComponent(L"Message"));
    TCheckBox* check = nullptr;
    if (anchor) {
        check = new TCheckBox(dialog.get());
        check->SetName(L"__DSA_CheckBox");
        check->SetCaption(DSACheckCaption);
        const int width = MeasureText(check->Font().Handle(), DSACheckCaption).cx + 19;
        const int clientHeight = dialog->ClientHeight();
        const int clientWidth = std::max(dialog->ClientWidth(), width + 2 * anchor->Left());
        check->SetBounds(anchor->Left(), clientHeight, width, check->Height());
        check->SetParent(dialog.get());
        dialog->SetClientSize(clientWidth, clientHeight + check->Height() + anchor->Top());
    }
    const int result = dialog->ShowModal();
    if (check)
        DSAIdentsSetState(storePath, ident, !check->Checked());
    return result;
}

}  // namespace qrv
