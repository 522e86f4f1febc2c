// The program's main block: the settings unit, OLE, the application object,
// the start-up logo, the main window and the message loop; everything is torn
// down in reverse order on the way out.

#include "dialogs/win/ShadowedHint.h"
#include "framework/TimingTrace.h"
#include "framework/win/Forms.h"
#include "imaging/win/GIFImage.h"
#include "imaging/win/KyAniCursor.h"
#include "imaging/win/KyBitmap.h"
#include "imaging/win/PNGObject.h"
#include "imaging/win/SystemPictures.h"
#include "mainwindow/win/GlobalsInit.h"
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

// The picture classes registered with the picture framework.
struct PictureClassesSession {
    PictureClassesSession()
    {
        qrv::StartPNGUnit();
        qrv::StartSystemPictureUnit();
        qrv::StartKyBitmapUnit();
        qrv::StartKyAniCursorUnit();
        qrv::StartGIFUnit();
    }
    ~PictureClassesSession()
    {
        qrv::EndGIFUnit();
        qrv::EndKyAniCursorUnit();
        qrv::EndKyBitmapUnit();
        qrv::EndSystemPictureUnit();
        qrv::EndPNGUnit();
    }
};

struct GlobalsSession {
    GlobalsSession() { qrv::InitializeGlobals(); }
    ~GlobalsSession() { qrv::FinalizeGlobals(); }
};
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    qrv::TraceTiming(L"program start");
    OleSession ole;
    GlobalsSession globals;
    PictureClassesSession pictureClasses;
    int exitCode = 0;
    {
        qrv::TApplication application;
        application.Initialize();
        // The hints the application shows have a drop shadow.
        qrv::InstallShadowedHintWindow();
        qrv::ShowStartupLogo();
        qrv::TraceTiming(L"start-up logo shown");
        {
            qrv::TTimingScope timing(L"main window created");
            application.CreateForm<qrv::TQRVMain>();
        }
        qrv::TraceTiming(L"message loop");
        application.Run();
        exitCode = application.ExitCode;
    }
    return exitCode;
}
