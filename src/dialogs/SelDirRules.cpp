#include "dialogs/SelDirRules.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "panels/NewItemName.h"

#include <cwctype>

namespace qrv {

namespace {

// The CSIDL_ numbers of the special folders.
constexpr int kCsidlPrograms = 2;
constexpr int kCsidlPersonal = 5;
constexpr int kCsidlFavorites = 6;
constexpr int kCsidlSendTo = 9;
constexpr int kCsidlStartMenu = 11;
constexpr int kCsidlDesktopDirectory = 16;
constexpr int kCsidlFonts = 20;
constexpr int kCsidlTemplates = 21;
constexpr int kCsidlMyPictures = 39;

constexpr uint32_t kErrorAlreadyExists = 183;

// A registry folder that exists; empty otherwise.
std::wstring ExistingRegistryFolder(TSelDirSystem& System, bool LocalMachine, const std::wstring& Key,
                                    const std::vector<std::wstring>& Names)
{
    std::wstring value;
    for (const std::wstring& name : Names) {
        if (!System.RegistryString(LocalMachine, Key, name, value))
            return std::wstring();
        if (!value.empty())
            break;
    }
    return !value.empty() && System.DirectoryExists(value) ? value : std::wstring();
}

bool IsAbsolutePath(const std::wstring& Path)
{
    const bool drive = Path.size() >= 3 && std::iswalpha(Path[0]) && Path[1] == L':' && Path[2] == L'\\';
    const bool unc = Path.size() >= 3 && Path[0] == L'\\' && Path[1] == L'\\' && Path[2] != L'\\';
    return drive || unc;
}

}  // namespace

const std::vector<TSelDirJumpItem>& SelDirJumps()
{
    static const std::vector<TSelDirJumpItem> jumps{
        {TSelDirJump::Desktop, L"&Desktop"},         {TSelDirJump::Programs, L"&Programme"},
        {TSelDirJump::Personal, L"&Eigene Dateien"}, {TSelDirJump::MyPictures, L"Eigene &Bilder"},
        {TSelDirJump::StartMenu, L"&Startmenü"},     {TSelDirJump::Templates, L"&Vorlagen"},
        {TSelDirJump::Favorites, L"&Favoriten"},     {TSelDirJump::Fonts, L"S&chriftarten"},
        {TSelDirJump::SendTo, L"Senden &an"},        {TSelDirJump::Temp, L"&TEMP"},
    };
    return jumps;
}

std::vector<std::wstring> JumpCandidates(TSelDirJump Jump, TSelDirSystem& System)
{
    std::vector<std::wstring> candidates;
    auto special = [&](int csidl) { candidates.push_back(System.SpecialFolder(csidl)); };
    auto registry = [&](bool localMachine, const std::wstring& key, const std::vector<std::wstring>& names) {
        const std::wstring folder = ExistingRegistryFolder(System, localMachine, key, names);
        if (!folder.empty())
            candidates.push_back(folder);
    };
    switch (Jump) {
    case TSelDirJump::Desktop:
        special(kCsidlDesktopDirectory);
        break;
    case TSelDirJump::Programs:
        registry(true, L"Software\\Microsoft\\Windows\\CurrentVersion", {L"ProgramFilesDir", L"ProgramFilesPath"});
        special(kCsidlPrograms);
        break;
    case TSelDirJump::Personal:
        special(kCsidlPersonal);
        break;
    case TSelDirJump::MyPictures:
        if (System.ShellMajorVersion() >= 5) {
            special(kCsidlMyPictures);
        } else {
            registry(false, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", {L"My Pictures"});
            special(kCsidlPersonal);
        }
        break;
    case TSelDirJump::StartMenu:
        special(kCsidlStartMenu);
        break;
    case TSelDirJump::Templates:
        special(kCsidlTemplates);
        break;
    case TSelDirJump::Favorites:
        special(kCsidlFavorites);
        break;
    case TSelDirJump::Fonts:
        special(kCsidlFonts);
        break;
    case TSelDirJump::SendTo:
        special(kCsidlSendTo);
        break;
    case TSelDirJump::Temp:
        candidates.push_back(System.TempDirectory());
        break;
    }
    return candidates;
}

std::wstring FolderNotFoundText(const std::wstring& Path)
{
    return L"Verzeichnis \"" + Path + L"\" nicht gefunden.";
}

std::wstring AskCreateText(const std::wstring& Name)
{
    return L"Das Verzeichnis \"" + Name + L"\" ist nicht vorhanden. Soll das Verzeichnis neu angelegt werden?";
}

std::wstring CreateFailedText(const std::wstring& Name, const std::wstring& ErrorText)
{
    return L"Das Verzeichnis \"" + Name + L"\" konnte nicht angelegt werden:\n" + ErrorText;
}

std::wstring DriveNotReadyText(wchar_t Drive)
{
    return L"Das Laufwerk \"" + std::wstring(1, Drive) + L"\" ist nicht bereit.";
}

TPathBoxDecision DecidePathBox(const std::wstring& Text, bool Chosen, TSelDirSystem& System)
{
    TPathBoxDecision decision;
    std::wstring text = Text;
    while (!text.empty() && text.front() == L' ')
        text.erase(text.begin());
    if (text.empty())
        return decision;
    const std::wstring full = System.FullPathName(text);
    if (!IsAbsolutePath(full)) {
        decision.Action = TPathBoxAction::NotFound;
        decision.Path = text;
        return decision;
    }
    decision.Path = full;
    const bool unc = full[0] == L'\\';
    decision.Drive = unc ? L'\\' : static_cast<wchar_t>(std::towupper(full[0]));
    if (Chosen && !unc && !System.DriveReady(decision.Drive)) {
        decision.Action = TPathBoxAction::DriveNotReady;
        return decision;
    }
    if (System.DirectoryExists(full)) {
        decision.Action = TPathBoxAction::Select;
        return decision;
    }
    if (!Chosen) {
        decision.Action = TPathBoxAction::NotFound;
        decision.Path = text;
        return decision;
    }
    decision.Action = TPathBoxAction::AskCreate;
    decision.Name = ExtractFileName(RemoveBackslash(full));
    return decision;
}

TNewFolderResult CreateNewFolder(const std::wstring& Parent, uint32_t MaxNameLength,
                                 const std::function<bool(const std::wstring& Path)>& Exists,
                                 const std::function<uint32_t(const std::wstring& Name)>& Create)
{
    TNewFolderResult result;
    // Each 183 is a name taken since it was chosen; a few in a row are a
    // race with another program, many a folder that answers wrongly.
    constexpr int kMaxAttempts = 100;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        result.Name = NewItemName(Parent, true, MaxNameLength, Exists);
        if (result.Name.empty()) {
            result.Error = kErrorAlreadyExists;
            return result;
        }
        result.Error = Create(result.Name);
        if (result.Error != kErrorAlreadyExists)
            return result;
    }
    return result;
}

TSelDirButtons SelDirButtonStates(const TSelDirNodeFacts& Node)
{
    TSelDirButtons buttons;
    if (!Node.Selected)
        return buttons;
    buttons.Select = Node.FileSystem;
    buttons.NewDir = Node.FileSystem;
    buttons.DeleteDir = Node.FileSystem && !Node.Root;
    return buttons;
}

TSelDirKeyAction TSelDirKeys::KeyDown(uint16_t Key, bool Ctrl, bool Shift, bool Alt,
                                      const std::function<bool(wchar_t Drive)>& DriveValid)
{
    if (Ctrl && Shift && !Alt && Key >= L'A' && Key <= L'Z') {
        swallow_ = true;
        return DriveValid(static_cast<wchar_t>(Key)) ? TSelDirKeyAction::SwitchDrive : TSelDirKeyAction::Beep;
    }
    swallow_ = false;
    return TSelDirKeyAction::None;
}

}  // namespace qrv
