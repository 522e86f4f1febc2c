#pragma once
// TPasswordDlg: the zip component's own password question, used when the
// owner has no OnPasswordError handler. Built in code: a prompt, an edit
// that shows "*" and takes at most 80 characters, and the buttons "&OK",
// "&Abbrechen" and, when extracting, "Alles abbrechen".

#include "archives/ZipCallback.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"

#include <string>
#include <vector>

namespace qrv {

class TPasswordDlg : public TForm {
public:
    // ForExtract adds "Alles abbrechen".
    TPasswordDlg(TComponent* owner, const std::wstring& prompt, bool forExtract);

    // Shows the dialog modally; Password gets the entry after OK.
    TPasswordButton Execute(std::wstring& password);

    TLabel* Prompt = nullptr;
    TEdit* Edit = nullptr;
    std::vector<TButton*> Buttons;
    // The button a modal result stands for.
    static TPasswordButton ButtonOf(int modalResult);
};

// Asks through the dialog as the component does: once for extracting, twice
// (entry and confirmation) for adding; a mismatch is pwbCancel with
// Mismatch set.
TPasswordButton AskZipPassword(bool isZipAction, const std::wstring& forFile, std::wstring& password, bool& mismatch);

}  // namespace qrv
