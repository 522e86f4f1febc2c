#include "mainwindow/GotoFolders.h"

#include "dialogs/SelDirRules.h"

namespace qrv {

namespace {

constexpr uint32_t kShell5 = 5u << 16;
constexpr uint32_t kShell6 = 6u << 16;

const wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";
const wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TGotoDecision Select(const std::wstring& Path)
{
    return {TGotoAction::Select, Path, {}, 0};
}

TGotoDecision Report(const std::wstring& Message)
{
    return {TGotoAction::Report, {}, Message, 0};
}

// A path the tree has no node for: hidden, or simply not found.
TGotoDecision Missing(const std::wstring& Path, bool ShowHiddenDirs, TSpecialFolderSystem& System)
{
    if (!ShowHiddenDirs && System.PathHidden(Path))
        return Report(HiddenFolderText(Path));
    return Report(FolderNotFoundText(Path));
}

TGotoDecision GotoSpecialFolder(int Csidl, bool ShowHiddenDirs, TSpecialFolderSystem& System)
{
    const std::wstring path = System.SpecialFolderPath(Csidl);
    if (path.empty())
        return Report(L"Das Verzeichnis konnte nicht ermittelt werden.");
    if (System.TreeHasNode(path))
        return Select(path);
    return Missing(path, ShowHiddenDirs, System);
}

bool ShownFolder(const std::wstring& Path, TSpecialFolderSystem& System)
{
    return !Path.empty() && System.DirectoryExists(Path) && System.TreeHasNode(Path);
}

TGotoDecision GotoPrograms(bool ShowHiddenDirs, TSpecialFolderSystem& System)
{
    std::wstring path;
    if (!System.RegistryString(true, kCurrentVersionKey, L"ProgramFilesDir", path) || path.empty())
        if (!System.RegistryString(true, kCurrentVersionKey, L"ProgramFilesPath", path))
            path.clear();
    if (ShownFolder(path, System))
        return Select(path);
    return GotoSpecialFolder(csidl::kPrograms, ShowHiddenDirs, System);
}

TGotoDecision GotoPictures(bool ShowHiddenDirs, TSpecialFolderSystem& System)
{
    if (System.ShellVersion() >= kShell6)
        return GotoSpecialFolder(csidl::kMyPictures, ShowHiddenDirs, System);
    const std::wstring path = MyPicturesPath(System);
    if (ShownFolder(path, System))
        return Select(path);
    return GotoSpecialFolder(csidl::kPersonal, ShowHiddenDirs, System);
}

TGotoDecision GotoTemp(bool ShowHiddenDirs, TSpecialFolderSystem& System)
{
    const std::wstring path = System.TempDirectory();
    if (path.empty())
        return Report(L"Das Verzeichnis konnte nicht ermittelt werden.");
    if (System.TreeHasNode(path))
        return Select(path);
    return Missing(path, ShowHiddenDirs, System);
}

int FolderOf(TGotoTarget Target)
{
    switch (Target) {
    case TGotoTarget::Desktop:
        return csidl::kDesktopDirectory;
    case TGotoTarget::Personal:
        return csidl::kPersonal;
    case TGotoTarget::StartMenu:
        return csidl::kStartMenu;
    case TGotoTarget::Templates:
        return csidl::kTemplates;
    case TGotoTarget::Favorites:
        return csidl::kFavorites;
    case TGotoTarget::Fonts:
        return csidl::kFonts;
    case TGotoTarget::SendTo:
        return csidl::kSendTo;
    case TGotoTarget::Cookies:
        return csidl::kCookies;
    case TGotoTarget::RecycleBin:
        return csidl::kRecycleBin;
    case TGotoTarget::ControlPanel:
        return csidl::kControlPanel;
    case TGotoTarget::Printers:
        return csidl::kPrinters;
    case TGotoTarget::Pictures:
        return csidl::kMyPictures;
    case TGotoTarget::Programs:
        return csidl::kPrograms;
    case TGotoTarget::Temp:
        break;
    }
    return -1;
}

}  // namespace

std::wstring HiddenFolderText(const std::wstring& Path)
{
    return L"Das Verzeichnis \"" + Path +
           L"\" oder eines seiner übergeordneten Verzeichnisse kann nicht angezeigt werden weil es das "
           L"Dateiattribut \"versteckt\" besitzt.\nVersteckte Verzeichnisse werden jedoch nicht angezeigt, weil "
           L"in den Optionen von Quorvan Free das Feld \"Versteckte Verzeichnisse anzeigen\" nicht markiert ist.";
}

TGotoDecision DecideGoto(TGotoTarget Target, bool ShowHiddenDirs, TSpecialFolderSystem& System)
{
    switch (Target) {
    case TGotoTarget::Programs:
        return GotoPrograms(ShowHiddenDirs, System);
    case TGotoTarget::Pictures:
        return GotoPictures(ShowHiddenDirs, System);
    case TGotoTarget::Temp:
        return GotoTemp(ShowHiddenDirs, System);
    case TGotoTarget::RecycleBin:
    case TGotoTarget::ControlPanel:
    case TGotoTarget::Printers:
        return {TGotoAction::OpenInShell, {}, {}, FolderOf(Target)};
    default:
        return GotoSpecialFolder(FolderOf(Target), ShowHiddenDirs, System);
    }
}

std::wstring MyPicturesPath(TSpecialFolderSystem& System)
{
    if (System.ShellVersion() >= kShell5)
        return System.SpecialFolderPath(csidl::kMyPictures);
    std::wstring path;
    if (!System.RegistryString(false, kShellFoldersKey, L"My Pictures", path))
        path.clear();
    return path;
}

bool SpecialFolderAvailable(int Csidl, TSpecialFolderSystem& System)
{
    if (Csidl == csidl::kMyPictures && System.ShellVersion() < kShell5) {
        const std::wstring path = MyPicturesPath(System);
        return !path.empty() && System.DirectoryExists(path);
    }
    return !System.SpecialFolderPath(Csidl).empty();
}

bool GotoAvailable(TGotoTarget Target, TSpecialFolderSystem& System)
{
    switch (Target) {
    case TGotoTarget::Desktop:
    case TGotoTarget::Personal:
    case TGotoTarget::StartMenu:
    case TGotoTarget::Templates:
    case TGotoTarget::Favorites:
    case TGotoTarget::Fonts:
    case TGotoTarget::SendTo:
    case TGotoTarget::Cookies:
        return SpecialFolderAvailable(FolderOf(Target), System);
    case TGotoTarget::Temp: {
        const std::wstring temp = System.TempDirectory();
        return !temp.empty() && System.DirectoryExists(temp);
    }
    case TGotoTarget::Pictures:
        return SpecialFolderAvailable(csidl::kMyPictures, System) || !MyPicturesPath(System).empty();
    case TGotoTarget::Programs:
    case TGotoTarget::RecycleBin:
    case TGotoTarget::ControlPanel:
    case TGotoTarget::Printers:
        break;
    }
    return true;
}

}  // namespace qrv
