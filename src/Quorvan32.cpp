// The program's main block: OLE, the application object, the main window and
// the message loop; everything is torn down in reverse order on the way out.

#include "framework/win/Forms.h"
#include "mainwindow/win/RudirezOziMain.h"

namespace {
// OLE for the life of the program (drag and drop and the shell need it).
struct OleSession {
    OleSession() : ok(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession()
    {
        if (ok)
            OleUninitialize();
    }
    bool ok;
};
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    OleSession ole;
    int exitCode = 0;
    {
        qrv::TApplication application;
        application.Initialize();
        application.SetTitle(L"Quorvan Free");
        application.CreateForm<qrv::TQRVMain>();
        application.Run();
        exitCode = application.ExitCode;
    }
    return exitCode;
}
