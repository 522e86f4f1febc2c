#pragma once
// DSAMessageDlg: a message dialog with a "don't show this again" check box
// whose state is stored per message identifier.

#include "framework/win/MessageDialog.h"
#include "framework/win/WinApi.h"

#include <string>

namespace qrv {

// The caption of the check box, the default store path and where flags go.
extern std::wstring DSACheckCaption;
extern std::wstring DSARegKey;
extern bool DSAUseRegistry;
extern HKEY DSARootKey;

// Shows the message unless it was suppressed; returns the modal result, or
// defaultResult without showing anything when it was suppressed. An empty
// identifier stands for the text, an empty store path for DSARegKey.
int DSAMessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult,
                  const std::wstring& ident, const std::wstring& storePath = L"", int helpContext = 0);
// True when the message is to be shown.
bool DSAIdentsGetState(const std::wstring& storePath, const std::wstring& ident);
void DSAIdentsSetState(const std::wstring& storePath, const std::wstring& ident, bool show);

}  // namespace qrv
