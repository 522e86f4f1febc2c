#pragma once
// The standard message dialog: an icon named "Image", the text in a label
// named "Message" and one button per requested answer, with German captions.
// Unlike a system message box it is a form, so callers can add controls
// (the don't-show-again check box does) before showing it.

#include "framework/win/Forms.h"

#include <string>

namespace qrv {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbAbort = 1 << 4,
    mbRetry = 1 << 5,
    mbIgnore = 1 << 6,
    mbAll = 1 << 7,
    mbNoToAll = 1 << 8,
    mbYesToAll = 1 << 9,
    mbHelp = 1 << 10,
};
using TMsgDlgButtons = unsigned;

constexpr int mrAll = 8;
constexpr int mrNoToAll = 9;
constexpr int mrYesToAll = 10;

// Creates the dialog form (owned by the application); the caller shows it
// with ShowModal and frees it.
TForm* CreateMessageDialog(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons);
// Creates, shows and frees the dialog; returns the modal result.
int MessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

}  // namespace qrv
