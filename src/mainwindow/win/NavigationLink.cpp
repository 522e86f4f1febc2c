#include "mainwindow/win/NavigationLink.h"

#include "framework/IgnoredError.h"
#include "mainwindow/win/DriveBar.h"
#include "mainwindow/win/UserCommandRunner.h"
#include "panels/win/DirView.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

TNavigationLink::TNavigationLink(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                                 TActionCatalogue& Catalogue, TComboBox* CommandBox, TUserCommands& Runner,
                                 TDriveBar& Drives, const std::wstring& ProgramFolder)
    : runner_(Runner), drives_(Drives), programFolder_(ProgramFolder),
      commands_(Owner, Panes, Services, *this, Catalogue, CommandBox)
{}

bool TNavigationLink::ShowHiddenDirs()
{
    return Options.ShowHiddenDirs;
}

std::wstring TNavigationLink::ProgramFolder()
{
    return programFolder_;
}

bool TNavigationLink::DriveValid(wchar_t Drive)
{
    return DriveInfo().IsValid(Drive);
}

void TNavigationLink::RunInInterpreter(const std::wstring& Line, bool CloseWindow)
{
    if (!runner_.ExecDosCommand(Line, CloseWindow))
        TraceIgnoredFailure(L"running a line of the command box (reported by the runner)");
}

bool TNavigationLink::CloseConsoleWindow()
{
    return Options.DosClose;
}

void TNavigationLink::FocusList(TDirView* List)
{
    // The list that gets the focus becomes the active one.
    if (List && List->HandleAllocated() && IsWindowVisible(List->Handle()))
        List->SetFocus();
}

TKyDock* TNavigationLink::FileWindowDock(int Index)
{
    return drives_.FileWindowDock(Index);
}

}  // namespace qrv
