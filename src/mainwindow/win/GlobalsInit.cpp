#include "mainwindow/win/GlobalsInit.h"

#include "dialogs/win/DSAMsgDlg.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/QuorSplash.h"
#include "panels/win/ShellDialogs.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

namespace {
int g_nesting = 0;
TQuorSplash* g_logo = nullptr;

TSystemFacts ReadSystemFacts()
{
    TSystemFacts facts;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    facts.NTPlatform = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    facts.MinorVersion = version.dwMinorVersion;
    facts.GermanSystem = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_GERMAN;
    facts.PdfHasOpenVerb = facts.GermanSystem && HasShellVerb(L".pdf", L"open");
    facts.NetworkPresent = (GetSystemMetrics(SM_NETWORK) & 1) != 0;
    return facts;
}
}  // namespace

void InitializeGlobals()
{
    if (g_nesting++ != 0)
        return;
    DisplayColorCount = 0;
    SetDefaultOptions(Options, ReadSystemFacts());
    GetDisplayColorCount();
    StdDirList.Clear();
    StdDirCaptions.Clear();
    DSARegKey = kDSARegKey;
    DSACheckCaption = kDSACheckBoxCaption;
}

void FinalizeGlobals()
{
    if (g_nesting == 0 || --g_nesting != 0)
        return;
    Options = TOptions{};
    StdDirList.Clear();
    StdDirCaptions.Clear();
    ComSpecPath.clear();
}

void GetDisplayColorCount()
{
    const TOwnDC dc(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!dc) {
        DisplayColorCount = ColorCountForBitsPerPixel(0);
        return;
    }
    DisplayColorCount = ColorCountForBitsPerPixel(GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES));
}

TQuorSplash* ShowStartupLogo()
{
    Application->SetTitle(L"Quorvan Free");
    try {
        TRegistry registry(KEY_READ);
        if (registry.OpenKeyReadOnly(L"\\Software\\Quorvan Free") && registry.ValueExists(L"ShowLogo"))
            Options.ShowLogo = registry.ReadBool(L"ShowLogo");
    } catch (const Exception&) {
        TraceIgnoredException(L"reading the logo switch");
        // any failure keeps the default
    }
    if (!Options.ShowLogo)
        return nullptr;
    g_logo = new TQuorSplash(Application);
    g_logo->Show();
    UpdateWindow(g_logo->Handle());
    return g_logo;
}

TQuorSplash* StartupLogo()
{
    return g_logo;
}

void CloseStartupLogo()
{
    if (!g_logo)
        return;
    TQuorSplash* logo = g_logo;
    g_logo = nullptr;
    logo->Hide();
    delete logo;  // owned by the application, freed early as the start-up ends
}

}  // namespace qrv
