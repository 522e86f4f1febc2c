#pragma once
// TPasswordDialog: the archive list's question for the password of one
// entry ("Password erforderlich:"), with the file name, a masked edit and
// OK and Cancel.

#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"

#include <string>

namespace qrv {

class TPasswordDialog : public TForm {
public:
    explicit TPasswordDialog(TComponent* owner);

    TLabel* LblTitel = nullptr;
    TLabel* LblFileName = nullptr;
    TEdit* edPassword = nullptr;
    TButton* BtnOK = nullptr;
    TButton* BtnCancel = nullptr;
};

}  // namespace qrv
