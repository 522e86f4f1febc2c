#pragma once
// The about box: the program's icon, its title and "Version 3.2  Build "
// with the build number of the program file's version resource. A click on
// the icon or the version opens their help.

#include "framework/win/Forms.h"

#include <string>

namespace qrv {

class TButton;
class TImage;
class TLabel;

// The help contexts the about box opens.
constexpr int kAboutIconHelpContext = 10;
constexpr int kAboutVersionHelpContext = 9998;

// "Version 3.2  Build " + Build.
std::wstring AboutVersionText(const std::wstring& Build);

class TAboutBox : public TForm {
public:
    // ProgramFile: the file whose version resource gives the build number.
    TAboutBox(TComponent* owner, const std::wstring& ProductTitle, const std::wstring& ProgramFile);

    TImage* ProgramIcon = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* Version = nullptr;
    TButton* OKButton = nullptr;

    // Opens a help context (the application's help, when it has one).
    static void OpenHelp(int Context);

protected:
    std::wstring WindowClassName() const override { return L"TAboutBox"; }
};

}  // namespace qrv
