#include "panels/FileRec.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

namespace qrv {

std::wstring FileExtOf(std::wstring_view Name)
{
    const std::wstring ext = ExtractFileExt(Name);
    return ext.empty() ? ext : UpperCase(std::wstring_view(ext).substr(1));
}

std::wstring ApplyNameDisplay(std::wstring Name, TFileNameDisplay Display)
{
    switch (Display) {
    case TFileNameDisplay::fndCap:
        return UpperCase(Name);
    case TFileNameDisplay::fndNoCap:
        return LowerCase(Name);
    case TFileNameDisplay::fndNice: {
        // Each part of a path on its own, so every folder starts in capitals.
        std::wstring result;
        size_t start = 0;
        while (true) {
            const size_t end = Name.find(L'\\', start);
            result += NiceCapitalize(std::wstring_view(Name).substr(start, end - start));
            if (end == std::wstring::npos)
                return result;
            result += L'\\';
            start = end + 1;
        }
    }
    case TFileNameDisplay::fndStored:
        break;
    }
    return Name;
}

std::wstring MakeDisplayName(const std::wstring& FileName, bool IsDirectory, bool ShowExtension,
                             TFileNameDisplay Display)
{
    if (!ShowExtension && !IsDirectory) {
        std::wstring base = ExtractFileBaseName(FileName);
        if (!base.empty())
            return ApplyNameDisplay(std::move(base), Display);
    }
    return ApplyNameDisplay(FileName, Display);
}

bool IsRecycleBinEntry(std::wstring_view FolderPath, const TSearchRec& Entry)
{
    // "RECYCLED", "RECYCLER" and the newer systems' "$Recycle.Bin": a "$"
    // before the name is passed over.
    std::wstring_view name = Entry.Name;
    if (name.starts_with(L'$'))
        name.remove_prefix(1);
    return (Entry.Attr & faDirectory) && FolderPath.size() == 2 && (Entry.Attr & faSysFile) &&
           UpperCase(name.substr(0, 7)) == L"RECYCLE";
}

}  // namespace qrv
