// qrvdlg: a developer's tool that shows one of the program's dialogs on its
// own, the way the main window will open it, and prints what it returned.
//   qrvdlg seldir [START]   the select-directory dialog, started at START
//                           (else the current folder); prints the chosen
//                           folder on OK, "abgebrochen" on cancel.
// Exit code 0 after OK, 1 after cancel, 2 for a wrong command line.

#include "dialogs/win/KySelDir.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"

#include <windows.h>

#include <cstdio>
#include <string>

using namespace qrv;

namespace {

void Print(const std::wstring& line)
{
    const std::string utf8 = WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

int RunSelDir(const std::wstring& start)
{
    if (!DriveInfo().RefreshAll())
        Print(L"Die Laufwerke konnten nicht gelesen werden.");
    TSelDirDialog dialog(nullptr);
    dialog.SetPosition(TPosition::poScreenCenter);
    dialog.HandleNeeded();
    if (!start.empty())
        dialog.SetDirectory(start);
    if (dialog.Execute()) {
        Print(dialog.Directory());
        return 0;
    }
    Print(L"abgebrochen");
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || std::wstring(argv[1]) != L"seldir") {
        Print(L"qrvdlg seldir [START]");
        return 2;
    }
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    int result;
    {
        TApplication application;
        application.Initialize();
        application.SetTitle(L"qrvdlg");
        result = RunSelDir(argc > 2 ? argv[2] : L"");
    }
    if (ole)
        OleUninitialize();
    return result;
}
