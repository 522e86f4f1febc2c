#include "mainwindow/StartupArgs.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring IniFileMessage(const std::wstring& IniFileName, const std::wstring& Folder, bool DefaultIniExists)
{
    if (Folder.empty())
        return L"Die Initialisierungsdatei " + IniFileName +
               L" ist nicht vorhanden. Es werden die Standardeinstellungen verwendet.";
    return L"Die angegebene Initialisierungsdatei " + Folder + L" ist ein Verzeichnis. " +
           (DefaultIniExists ? L"Es wird die Datei " + IniFileName + L" verwendet."
                             : std::wstring(L"Es werden die Standardeinstellungen verwendet."));
}

TCommandLine EvaluateCommandLine(const std::vector<std::wstring>& args, const std::wstring& programDir,
                                 const std::function<bool(const std::wstring&)>& fileExists,
                                 const std::function<bool(const std::wstring&)>& directoryExists)
{
    TCommandLine result;
    size_t first = 0;
    result.IniFileName = programDir + L"Quorvan32.ini";
    // A leading "/I=" is the settings file's argument whatever it names; one
    // that names no existing file leaves the program folder's file.
    if (!args.empty() && args[0].size() >= 3 && UpperCase(args[0].substr(0, 3)) == L"/I=") {
        if (const std::wstring named = args[0].substr(3); !named.empty() && fileExists(named))
            result.IniFileName = named;
        else if (!named.empty() && directoryExists(named))
            result.IniFolderGiven = named;
        first = 1;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        if (UpperCase(args[i]) != L"/N")
            continue;
        result.ShowFileOnStart = false;
        if (i == first)
            ++first;
    }
    if (first < args.size())
        result.Remaining.assign(args.begin() + static_cast<std::ptrdiff_t>(first), args.end());
    return result;
}

bool IsDriveOrNetworkPath(const std::wstring& path)
{
    return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') ||
           (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

namespace {

std::wstring DriveRoot(wchar_t letter)
{
    return std::wstring(1, letter) + L":\\";
}

// The folder of a file, without trailing backslash; a bare drive keeps it.
std::wstring FolderOf(const std::wstring& file)
{
    const size_t slash = file.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return {};
    std::wstring folder = file.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':')
        folder += L'\\';
    return folder;
}

}  // namespace

std::wstring StartDirFromSetting(const std::wstring& setting, const TFileSystemFacts& facts)
{
    const std::wstring fallback = DriveRoot(facts.DefaultDrive);
    if (!IsDriveOrNetworkPath(setting))
        return fallback;
    // Letters compare without regard to case ("c:\x" is drive C).
    const wchar_t letter = UpCaseChar(setting[0]);
    if (letter < UpCaseChar(facts.DefaultDrive) || letter > L'\\')
        return fallback;
    const int type = facts.DriveType(letter);
    if (type == dtRemovable || type == dtCDROM)
        return fallback;
    return setting;
}

TStartPaths ComputeStartPaths(const TCommandLine& commandLine, const std::wstring& storedStartDir,
                              const std::wstring& storedStartDir2, const TFileSystemFacts& facts)
{
    TStartPaths paths;
    // Command-line paths are used and stored in their full form; "/" counts
    // as "\\". Only absolute paths are folders or files here.
    std::vector<std::wstring> args = commandLine.Remaining;
    const auto isSlash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    for (std::wstring& arg : args) {
        const bool absolute = (arg.size() >= 3 && arg[1] == L':' && isSlash(arg[2])) ||
                              (arg.size() >= 2 && isSlash(arg[0]) && isSlash(arg[1]));
        if (facts.FullPath && absolute)
            if (std::wstring full = facts.FullPath(arg); !full.empty())
                arg = std::move(full);
    }
    size_t next = 0;
    if (!args.empty()) {
        const std::wstring& first = args[0];
        if (facts.FileExists(first)) {
            paths.StartFileName = first;
            paths.Dir1 = FolderOf(first);
            next = 1;
        } else if (IsDriveOrNetworkPath(first)) {
            paths.Dir1 = first;
            next = 1;
        }
    }
    if (paths.Dir1.empty())
        paths.Dir1 = StartDirFromSetting(storedStartDir, facts);

    if (next < args.size() && IsDriveOrNetworkPath(args[next]))
        paths.Dir2 = args[next];
    else
        paths.Dir2 = StartDirFromSetting(storedStartDir2, facts);
    // The second list opens only an existing folder.
    if (!facts.DirectoryExists(paths.Dir2))
        paths.Dir2 = DriveRoot(facts.DefaultDrive);
    return paths;
}

std::wstring ReserveNumberedName(const std::wstring& dir, const std::wstring& base, const std::wstring& ext,
                                 const std::function<bool(const std::wstring&)>& tryReserve, int maxTries)
{
    for (int n = 0; n < maxTries; ++n) {
        const std::wstring name = n == 0 ? dir + base + ext : dir + base + L"(" + IntToStr(n) + L")" + ext;
        if (tryReserve(name))
            return name;
    }
    return {};
}

}  // namespace qrv
