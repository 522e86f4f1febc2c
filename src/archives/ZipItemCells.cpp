#include "archives/ZipItemCells.h"

#include "archives/ZipListColumns.h"
#include "common/BaseUtils.h"
#include "panels/DirViewCells.h"

namespace qrv {

std::wstring FormatDisplayName(const std::wstring& Name, bool Encrypted, const TZipCellOptions& Options)
{
    std::wstring shown =
        ApplyNameDisplay(Options.ShowExtension ? Name : ExtractFileBaseName(Name), Options.FileNameDisplay);
    if (Encrypted)
        shown += L'+';
    return shown;
}

std::wstring ZipCellText(const TZipItem& Item, const TArchiveEntry& Entry, int Column, const TZipCellOptions& Options,
                         const TDosTimeFormatter& FormatTime)
{
    switch (Column) {
    case zcName:
        return FormatDisplayName(std::wstring(Item.Name()), Entry.Encrypted, Options);
    case zcSize:
        return DirSizeText(Item.Size, Options.AbbreviatedSize, Options.ThousandSeparator);
    case zcType:
        if (Options.SortByExtension || Item.TypeName().empty())
            return Item.Ext();
        return std::wstring(Item.TypeName());
    case zcChanged:
        return FormatTime ? FormatTime(Entry.DateTime) : std::wstring();
    case zcPath:
        return std::wstring(Item.Path());
    default:
        return {};
    }
}

}  // namespace qrv
