#include "dialogs/FileListText.h"

#include "common/BaseUtils.h"
#include "framework/Encoding.h"
#include "panels/DirectorySize.h"

#include <algorithm>
#include <array>

namespace qrv {

namespace {

constexpr size_t kSettingsFlags = 10;

// The header's column names.
const std::wstring kName = L"Dateiname";
const std::wstring kType = L"Typ";
const std::wstring kSize = L"Größe";
const std::wstring kDate = L"Datum";
const std::wstring kTime = L"Uhrzeit";
const std::wstring kAttr = L"Attr";

// The flags in their stored order.
std::array<bool*, kSettingsFlags> SettingsFlags(TFileListChoices& C)
{
    return {&C.Name, &C.Type, &C.Size, &C.Date, &C.Attributes, &C.Path, &C.Header, &C.Show, &C.Title, &C.SubDirs};
}

std::wstring Separator(TFileListLayout Layout)
{
    switch (Layout) {
    case TFileListLayout::Tabs:
        return L"\t";
    case TFileListLayout::Semicolons:
        return L";";
    case TFileListLayout::Blanks:
        break;
    }
    return L" ";
}

// A field of a semicolon-separated file: quoted (quotes doubled) when it
// holds a separator or a quote, so that it stays one field.
std::wstring CsvField(const std::wstring& Text)
{
    if (Text.find_first_of(L";\"") == std::wstring::npos)
        return Text;
    std::wstring quoted = L"\"";
    for (const wchar_t c : Text) {
        quoted += c;
        if (c == L'"')
            quoted += L'"';
    }
    return quoted + L"\"";
}

bool Listed(const TFileListEntry& Entry, const TFileListChoices& Choices)
{
    if (Entry.IsParent || Entry.FileName == L"." || Entry.FileName == L"..")
        return false;
    return !Choices.SelectedOnly || Choices.SubDirs || Entry.Marked;
}

// One folder's block, its widths taken from the entries listed.
class TBlockWriter {
public:
    TBlockWriter(std::wstring& Out, std::wstring_view DirPath, const TFileListChoices& Choices,
                 const TFileListSizeStyle& Style)
        : out_(Out), choices_(Choices), style_(Style), dir_(AddBackslash(DirPath)), dirPath_(DirPath),
          separator_(Separator(Choices.Layout)), padded_(Choices.Layout != TFileListLayout::Semicolons)
    {}

    void Write(std::span<const TFileListEntry> Entries)
    {
        std::vector<const TFileListEntry*> listed;
        for (const TFileListEntry& entry : Entries)
            if (Listed(entry, choices_))
                listed.push_back(&entry);
        sizes_.clear();
        for (const TFileListEntry* entry : listed) {
            const std::wstring& name = choices_.Path ? entry->FileName : entry->Name;
            nameWidth_ = std::max(nameWidth_, name.size());
            typeWidth_ = std::max(typeWidth_, entry->TypeName.size());
            sizes_.push_back(FileListSizeText(*entry, style_));
            // The bytes' width, as wide as any size written.
            if (entry->Size)
                sizeWidth_ = std::max(sizeWidth_, FormatThousandsU(*entry->Size, style_.ThousandSeparator).size());
            sizeWidth_ = std::max(sizeWidth_, sizes_.back().size());
        }
        if (choices_.Title) {
            out_ += L"Verzeichnis: ";
            out_ += dirPath_;
            out_ += L"\r\n";
            if (!choices_.Header)
                out_ += L"\r\n";
        }
        if (choices_.Header)
            WriteHeader();
        for (size_t i = 0; i < listed.size(); ++i)
            WriteEntry(*listed[i], sizes_[i]);
    }

private:
    std::wstring Pad(size_t Width, size_t Length) const
    {
        return padded_ && Width > Length ? std::wstring(Width - Length, L' ') : std::wstring();
    }
    std::wstring Field(const std::wstring& Text) const
    {
        return choices_.Layout == TFileListLayout::Semicolons ? CsvField(Text) : Text;
    }
    bool FirstColumn() const { return choices_.Name || choices_.Path; }

    void Column(std::wstring& Line, bool& First, const std::wstring& Text) const
    {
        if (!First)
            Line += separator_;
        First = false;
        Line += Text;
    }

    void WriteHeader()
    {
        std::wstring line;
        bool first = true;
        size_t dashes = 0;
        if (FirstColumn()) {
            const size_t width = nameWidth_ + (choices_.Path ? dir_.size() : 0);
            Column(line, first, kName + Pad(width, kName.size()));
            dashes += width + 1;
        }
        if (choices_.Type) {
            Column(line, first, kType + Pad(typeWidth_, kType.size()));
            dashes += typeWidth_ + 1;
        }
        if (choices_.Size) {
            Column(line, first, Pad(sizeWidth_, kSize.size()) + kSize);
            dashes += sizeWidth_ + 1;
        }
        if (choices_.Date) {
            Column(line, first, kDate + Pad(kDate.size() + 3, kDate.size()) + separator_ + kTime);
            dashes += 17;
        }
        if (choices_.Attributes) {
            Column(line, first, kAttr);
            dashes += 5;
        }
        out_ += line;
        out_ += L"\r\n";
        if (choices_.Layout == TFileListLayout::Blanks) {
            out_.append(dashes, L'-');
            out_ += L"\r\n";
        }
    }

    void WriteEntry(const TFileListEntry& Entry, const std::wstring& SizeText)
    {
        std::wstring line;
        bool first = true;
        if (choices_.Path)
            Column(line, first, Field(dir_ + Entry.FileName) + Pad(nameWidth_, Entry.FileName.size()));
        else if (choices_.Name)
            Column(line, first, Field(Entry.Name) + Pad(nameWidth_, Entry.Name.size()));
        if (choices_.Type)
            Column(line, first, Field(Entry.TypeName) + Pad(typeWidth_, Entry.TypeName.size()));
        if (choices_.Size)
            Column(line, first, Pad(sizeWidth_, SizeText.size()) + SizeText);
        if (choices_.Date) {
            std::wstring date = Entry.DateText;
            for (size_t at = date.find(L"  "); at != std::wstring::npos; at = date.find(L"  ", at + separator_.size()))
                date.replace(at, 2, separator_);
            Column(line, first, date);
        }
        if (choices_.Attributes)
            Column(line, first, Entry.AttrText);
        out_ += line;
        out_ += L"\r\n";
    }

    std::wstring& out_;
    const TFileListChoices& choices_;
    const TFileListSizeStyle& style_;
    const std::wstring dir_;  // with its backslash
    const std::wstring_view dirPath_;
    const std::wstring separator_;
    const bool padded_;
    size_t nameWidth_ = 0, typeWidth_ = 0, sizeWidth_ = 0;
    std::vector<std::wstring> sizes_;
};

}  // namespace

std::wstring FileListSettingsText(const TFileListChoices& Choices)
{
    TFileListChoices copy = Choices;
    std::wstring text;
    for (const bool* flag : SettingsFlags(copy))
        text += *flag ? L'X' : L'-';
    return text;
}

void ApplyFileListSettingsText(std::wstring_view Text, TFileListChoices& Choices)
{
    const auto flags = SettingsFlags(Choices);
    const size_t count = Text.size() > 9 ? kSettingsFlags : Text.size() > 7 ? 8 : 0;
    for (size_t i = 0; i < count; ++i)
        *flags[i] = Text[i] == L'X';
}

TFileListChoices FileListChoicesFrom(const TFileListStoredSettings& Stored)
{
    TFileListChoices choices;
    if (Stored.Settings)
        ApplyFileListSettingsText(*Stored.Settings, choices);
    if (Stored.FormatIndex && *Stored.FormatIndex >= 0 && *Stored.FormatIndex <= 2)
        choices.Layout = static_cast<TFileListLayout>(*Stored.FormatIndex);
    return choices;
}

void StoreFileListChoices(const TFileListChoices& Choices, const std::wstring& FileName,
                          TFileListStoredSettings& Stored)
{
    Stored.Settings = FileListSettingsText(Choices);
    Stored.FormatIndex = static_cast<int>(Choices.Layout);
    Stored.Filename = FileName;
}

bool FileListHasColumn(const TFileListChoices& Choices)
{
    return Choices.Name || Choices.Path || Choices.Type || Choices.Size || Choices.Date || Choices.Attributes;
}

std::wstring FileListSizeText(const TFileListEntry& Entry, const TFileListSizeStyle& Style)
{
    if (!Entry.Size)
        return {};
    const uint64_t size = *Entry.Size;
    if (!Style.KiloBytes)
        return FormatThousandsU(size, Style.ThousandSeparator);
    const uint64_t kilo = size == 0 ? 0 : std::max<uint64_t>(1, size / 1024);
    return FormatThousandsU(kilo, Style.ThousandSeparator) + L" KB";
}

void AppendFileListBlock(std::wstring& Out, std::wstring_view DirPath, std::span<const TFileListEntry> Entries,
                         const TFileListChoices& Choices, const TFileListSizeStyle& Style)
{
    TBlockWriter(Out, DirPath, Choices, Style).Write(Entries);
}

std::vector<std::wstring> FileListSubFolders(std::span<const TFileListEntry> Entries, const TFileListChoices& Choices)
{
    std::vector<std::wstring> names;
    for (const TFileListEntry& entry : Entries)
        if (entry.IsDirectory && !entry.IsReparsePoint && Listed(entry, Choices))
            names.push_back(entry.FileName);
    return names;
}

std::wstring FileListText(const std::wstring& DirPath, std::span<const TFileListEntry> Entries,
                          const TFileListChoices& Choices, const TFileListSizeStyle& Style,
                          const TFileListFolderReader& ReadFolder)
{
    std::wstring text;
    AppendFileListBlock(text, DirPath, Entries, Choices, Style);
    if (!Choices.SubDirs || !ReadFolder)
        return text;
    // The folders still to list, the next one last: depth first in list order.
    std::vector<std::wstring> pending;
    const auto push = [&pending](const std::wstring& Dir, const std::vector<std::wstring>& Names) {
        const std::wstring base = AddBackslash(Dir);
        for (auto name = Names.rbegin(); name != Names.rend(); ++name)
            pending.push_back(base + *name);
    };
    push(DirPath, FileListSubFolders(Entries, Choices));
    while (!pending.empty()) {
        const std::wstring dir = std::move(pending.back());
        pending.pop_back();
        const std::vector<TFileListEntry> entries = ReadFolder(dir);
        if (Choices.Header || Choices.Title)
            text += L"\r\n\r\n";
        AppendFileListBlock(text, dir, entries, Choices, Style);
        push(dir, FileListSubFolders(entries, Choices));
    }
    return text;
}

TFileListEntry FileListEntryOf(const TFileRec& Rec, const TDirCellOptions& Cells, const TFileTimeFormatter& FormatTime)
{
    TFileListEntry entry;
    entry.Name = DirCellText(Rec, 0, Cells, FormatTime);
    entry.FileName = Rec.FileName;
    entry.TypeName = DirCellText(Rec, 2, Cells, FormatTime);
    if (!Cells.ShellFolder && !(Rec.IsDirectory && (!Cells.ShowSubDirSize || SizeUnknown(Rec))))
        entry.Size = Rec.Size;
    entry.DateText = DirCellText(Rec, 3, Cells, FormatTime);
    entry.AttrText = DirCellText(Rec, 4, Cells, FormatTime);
    entry.IsDirectory = Rec.IsDirectory;
    entry.IsParent = Rec.IsParentDir;
    entry.IsReparsePoint = (Rec.Attr & kReparsePointAttr) != 0;
    entry.Marked = Rec.Selected;
    return entry;
}

std::string FileListBytes(std::wstring_view Text, const TEncoding& Ansi, bool* Utf8)
{
    // In pieces, so that a character that does not map is found without
    // a look at each character before it.
    constexpr size_t kPiece = 1 << 16;
    std::string bytes, piece;
    bool exact = true;
    for (size_t from = 0; from < Text.size() && exact;) {
        size_t length = std::min(kPiece, Text.size() - from);
        // Never between the two halves of a surrogate pair.
        if (from + length < Text.size() && Text[from + length - 1] >= 0xD800 && Text[from + length - 1] < 0xDC00)
            --length;
        size_t bad = 0;
        exact = Ansi.TryGetBytes(Text.substr(from, length), piece, bad);
        bytes += piece;
        from += length;
    }
    if (Utf8)
        *Utf8 = !exact;
    if (exact)
        return bytes;
    const TEncoding& utf8 = TEncoding::UTF8();
    return utf8.Preamble() + utf8.GetBytes(Text);
}

// ---- The dialog's states -----------------------------------------------------

TFileListControlStates FileListShowStates(const TFileListSource& Source, TFileListChoices& Choices)
{
    TFileListControlStates states;
    if (!Source.FileSystemNode) {
        Choices.Path = Choices.Type = Choices.Size = Choices.Date = Choices.Attributes = false;
        states.ColumnsEnabled = false;
    }
    states.SubDirsEnabled = Source.SubDirsAllowed;
    if (!Source.SubDirsAllowed)
        Choices.SubDirs = false;
    FileListSubDirsChanged(Source, Choices.SubDirs, states);
    Choices.SelectedOnly = states.SelectedFiles;
    return states;
}

void FileListSubDirsChanged(const TFileListSource& Source, bool SubDirs, TFileListControlStates& States)
{
    States.SelectedFilesEnabled = !SubDirs && Source.Marked > 0;
    States.SelectedFiles = !SubDirs && Source.Marked > 1;
    States.AllFiles = !States.SelectedFiles;
}

bool FileListOkEnabled(const TFileListChoices& Choices, std::wstring_view FileName)
{
    return FileListHasColumn(Choices) && !FileName.empty();
}

std::wstring FileListDefaultExt(TFileListLayout Layout)
{
    return Layout == TFileListLayout::Semicolons ? L"csv" : L"txt";
}

}  // namespace qrv
