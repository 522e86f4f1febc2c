#include "dialogs/NewFileTypes.h"

#include "framework/IgnoredError.h"

#include <algorithm>

namespace qrv {

namespace {

// Candidates of one name are counted this far, no further.
constexpr int kNewFileNameLimit = 10000;

std::wstring WithBackslash(const std::wstring& Folder)
{
    if (Folder.empty() || Folder.back() == L'\\')
        return Folder;
    return Folder + L'\\';
}

// A drive path ("C:\...") or a network path ("\\server\...").
bool IsAbsolutePath(const std::wstring& Path)
{
    if (Path.size() >= 3 && Path[1] == L':' && (Path[2] == L'\\' || Path[2] == L'/'))
        return true;
    return Path.size() >= 2 && Path[0] == L'\\' && Path[1] == L'\\';
}

bool IsString(const TRegValue& Value)
{
    return Value.Type == TRegValueType::String;
}

bool IsNameCharacter(wchar_t Character)
{
    return Character >= 32 && std::wstring_view(L"<>:\"/\\|?*").find(Character) == std::wstring_view::npos;
}

}  // namespace

void TNewFileTypeList::Refresh()
{
    types_.clear();
    loaded_ = true;
    std::wstring templates;
    std::wstring shellNewTemplates;
    try {
        templates = WithBackslash(system_.TemplatesFolder());
        const std::wstring windows = system_.WindowsFolder();
        if (!windows.empty())
            shellNewTemplates = WithBackslash(windows) + L"ShellNew\\";
    } catch (const std::exception&) {
        TraceIgnoredException(L"the folders of the new-file templates");
        // the templates are then looked for only as given
    }
    std::vector<std::wstring> names;
    try {
        names = system_.ClassNames();
    } catch (const std::exception&) {
        TraceIgnoredException(L"the file types of the registry");
        return;
    }
    for (const std::wstring& name : names) {
        if (name.empty() || (name[0] != L'.' && name[0] != L'*'))
            continue;
        std::optional<TNewFileType> type;
        try {
            type = ReadType(name, templates, shellNewTemplates);
        } catch (const std::exception&) {
            TraceIgnoredException(L"a new-file type of the registry");
            // that type is not offered
        }
        if (!type)
            continue;
        const auto at = std::lower_bound(types_.begin(), types_.end(), type->Description,
                                         [](const TNewFileType& Listed, const std::wstring& Description) {
                                             return CompareText(Listed.Description, Description) < 0;
                                         });
        // Two types of one description would be two equal menu items: the
        // first one found stays.
        if (at != types_.end() && CompareText(at->Description, type->Description) == 0)
            continue;
        types_.insert(at, std::move(*type));
    }
}

std::optional<TNewFileType> TNewFileTypeList::ReadType(const std::wstring& Name, const std::wstring& Templates,
                                                       const std::wstring& ShellNewTemplates)
{
    TNewFileType type;
    type.Extension = Name;
    type.ProgId = system_.DefaultValue(Name);
    if (type.ProgId.empty())
        return std::nullopt;
    type.ShellNewKey = Name + L"\\" + type.ProgId + L"\\ShellNew";
    if (!system_.KeyExists(type.ShellNewKey)) {
        type.ShellNewKey = Name + L"\\ShellNew";
        if (!system_.KeyExists(type.ShellNewKey))
            return std::nullopt;
    }
    type.Description = system_.TypeName(Name);
    if (type.Description.empty())
        return std::nullopt;

    const TRegValue fileName = system_.Value(type.ShellNewKey, L"FileName");
    if (system_.Value(type.ShellNewKey, L"NullFile").Type != TRegValueType::Missing) {
        type.Kind = TNewFileKind::NullFile;
    } else if (IsString(fileName)) {
        type.Kind = TNewFileKind::Template;
        type.Source = fileName.Text;
    } else if (const TRegValue command = system_.Value(type.ShellNewKey, L"Command");
               !SameText(Name, L".lnk") && IsString(command)) {
        type.Kind = TNewFileKind::Command;
        type.Source = command.Text;
    } else if (const TRegValue data = system_.Value(type.ShellNewKey, L"Data");
               data.Type == TRegValueType::Binary || IsString(data)) {
        type.Kind = TNewFileKind::Data;
    } else {
        return std::nullopt;
    }
    if (type.Kind != TNewFileKind::Template)
        return type;
    // A template named without a folder is looked for where the shell keeps
    // templates; a name is never taken relative to the current folder.
    if (IsAbsolutePath(type.Source) && system_.FileExists(type.Source))
        return type;
    for (const std::wstring& folder : {Templates, ShellNewTemplates})
        if (!folder.empty() && !type.Source.empty() && system_.FileExists(folder + type.Source)) {
            type.Source = folder + type.Source;
            return type;
        }
    return std::nullopt;
}

const TNewFileType* TNewFileTypeList::Item(int Index) const
{
    return Index >= 0 && Index < Count() ? &types_[static_cast<size_t>(Index)] : nullptr;
}

std::vector<uint8_t> TNewFileTypeList::Content(const TNewFileType& Type) const
{
    switch (Type.Kind) {
    case TNewFileKind::Template: {
        std::optional<std::vector<uint8_t>> bytes = system_.ReadFile(Type.Source);
        if (!bytes)
            throw ENewFileContent(L"Could not copy file " + Type.Source);
        return std::move(*bytes);
    }
    case TNewFileKind::Data: {
        const TRegValue data = system_.Value(Type.ShellNewKey, L"Data");
        if (data.Type == TRegValueType::Binary)
            return data.Bytes.size() == data.Size ? data.Bytes : std::vector<uint8_t>();
        if (!IsString(data))
            return {};
        // The registry's size is of the UTF-16 text, with or without its
        // closing zero; another size means the value changed while read.
        const size_t units = data.Size / sizeof(char16_t);
        if (data.Size % sizeof(char16_t) != 0 || (units != data.Text.size() && units != data.Text.size() + 1))
            return {};
        return system_.AnsiBytes(data.Text);
    }
    default:
        return {};
    }
}

bool TNewFileTypeList::RunCommand(const TNewFileType& Type, const std::wstring& Folder,
                                  const std::wstring& NewFile) const
{
    const TRegValue command = system_.Value(Type.ShellNewKey, L"Command");
    if (!IsString(command) || command.Text.empty())
        return false;
    const TCommandParts parts = ComposeNewFileCommand(
        command.Text, NewFile, [this](const std::wstring& Path) { return system_.FileExists(Path); });
    return system_.Open(parts.Program, parts.Parameters, Folder) > 32;
}

TCommandParts ComposeNewFileCommand(const std::wstring& Command, const std::wstring& NewFile,
                                    const std::function<bool(const std::wstring& Path)>& FileExists)
{
    size_t placeholder = Command.find(L"%2");
    if (placeholder == std::wstring::npos)
        placeholder = Command.find(L"%1");

    TCommandParts parts;
    size_t restStart = Command.size();
    if (!Command.empty() && Command[0] == L'"') {
        const size_t close = Command.find(L'"', 1);
        parts.Program = Command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        restStart = close == std::wstring::npos ? Command.size() : close + 1;
    } else {
        // "C:\Program Files\a.exe %1": the program is the shortest start,
        // ending at a blank or at the end, that names an existing file.
        const size_t firstBlank = Command.find(L' ');
        restStart = firstBlank == std::wstring::npos ? Command.size() : firstBlank;
        for (size_t end = Command.find(L' ');; end = Command.find(L' ', end + 1)) {
            const std::wstring start = Command.substr(0, end);
            if (!start.empty() && start.find(L'"') == std::wstring::npos &&
                (FileExists(start) || FileExists(start + L".exe"))) {
                restStart = end == std::wstring::npos ? Command.size() : end;
                break;
            }
            if (end == std::wstring::npos)
                break;
        }
        parts.Program = Command.substr(0, restStart);
    }
    parts.Parameters = Command.substr(restStart);

    if (placeholder == std::wstring::npos || placeholder < restStart)
        return parts;
    // The name holds a blank ("Neu Textdokument.txt"): it goes in as one
    // argument, in quotes unless the placeholder stands in quotes already.
    const bool quoted = placeholder > 0 && Command[placeholder - 1] == L'"' && placeholder + 2 < Command.size() &&
                        Command[placeholder + 2] == L'"';
    parts.Parameters.replace(placeholder - restStart, 2, quoted ? NewFile : L"\"" + NewFile + L"\"");
    return parts;
}

std::wstring NewFileCandidate(const std::wstring& Description, const std::wstring& Extension, int Number)
{
    std::wstring name = L"Neu " + Description;
    if (Number > 0)
        name += L"(" + std::to_wstring(Number) + L")";
    name += Extension;
    std::replace_if(
        name.begin(), name.end(), [](wchar_t c) { return !IsNameCharacter(c); }, L'_');
    return name;
}

std::wstring FreeNewFileName(const std::wstring& Description, const std::wstring& Extension, int& Number,
                             const std::function<bool(const std::wstring& Name)>& Exists)
{
    for (int n = std::max(Number, 0); n < kNewFileNameLimit; ++n) {
        std::wstring name = NewFileCandidate(Description, Extension, n);
        if (!Exists(name)) {
            Number = n;
            return name;
        }
    }
    return {};
}

}  // namespace qrv
