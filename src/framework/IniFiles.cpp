#include "framework/IniFiles.h"

#include "framework/Encoding.h"
#include "framework/FilePath.h"
#include "framework/Streams.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>

namespace qrv {

namespace {

// UTF-16 without a byte-order mark: text of mostly Latin letters has a zero
// byte in every other place. The first 256 code units decide: the zero bytes
// all on one side and on that side in at least a quarter of the units.
const TEncoding* UnmarkedUtf16(std::string_view bytes)
{
    const size_t units = std::min<size_t>(bytes.size() / 2, 256);
    if (units == 0 || bytes.size() % 2 != 0)
        return nullptr;
    size_t zeroLow = 0, zeroHigh = 0;
    for (size_t i = 0; i < units; ++i) {
        zeroLow += bytes[2 * i] == '\0';
        zeroHigh += bytes[2 * i + 1] == '\0';
    }
    if (zeroHigh * 4 >= units && zeroLow == 0)
        return &TEncoding::Unicode();
    if (zeroLow * 4 >= units && zeroHigh == 0)
        return &TEncoding::BigEndianUnicode();
    return nullptr;
}

// A line of 8-bit text as text, into Text: plain ASCII directly (into the
// buffer the last line left), anything else through the file's encoding.
void DecodeLine(std::string_view line, const TEncoding& encoding, std::wstring& text)
{
    if (std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; }))
        text.assign(line.begin(), line.end());
    else
        text = encoding.GetString(line);
}

// Appends text as UTF-8: plain ASCII directly.
void AppendUtf8(std::string& out, std::wstring_view text)
{
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; }))
        out.append(text.begin(), text.end());
    else
        out += TEncoding::UTF8().GetBytes(text);
}

enum class TLineKind { blank, comment, section, key, other };

TLineKind KindOf(std::wstring_view trimmed)
{
    if (trimmed.empty())
        return TLineKind::blank;
    if (trimmed.size() >= 2 && trimmed.front() == L'[' && trimmed.back() == L']')
        return TLineKind::section;
    if (trimmed[0] == L';' || trimmed[0] == L'#')
        return TLineKind::comment;
    const size_t eq = trimmed.find(L'=');
    return eq != std::wstring_view::npos && eq > 0 ? TLineKind::key : TLineKind::other;
}

// Sections of up to this many keys are searched line by line; larger ones
// through their index.
constexpr size_t kIndexedKeys = 8;

}  // namespace

TMemIniFile::TMemIniFile(std::wstring fileName) : fileName_(std::move(fileName))
{
    Reload();
}

void TMemIniFile::Reload()
{
    sections_.clear();
    sectionIndex_.clear();
    modified_ = false;
    std::error_code error;
    if (fileName_.empty() || !std::filesystem::is_regular_file(FsPath(fileName_), error))
        return;
    // Another writer replacing the file at this moment holds it for a few
    // milliseconds: a refused read is tried again for half a second.
    std::string bytes;
    for (int attempt = 0;; ++attempt) {
        try {
            bytes = ReadFileBytes(fileName_);
            break;
        } catch (const EFOpenError&) {
            if (attempt + 1 >= 20 || !std::filesystem::exists(FsPath(fileName_), error))
                throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }
    sizeHint_ = bytes.size() + bytes.size() / 8;
    Parse(bytes);
}

void TMemIniFile::Rename(std::wstring fileName, bool reload)
{
    fileName_ = std::move(fileName);
    if (reload)
        Reload();
}

void TMemIniFile::Parse(std::string_view bytes)
{
    sections_.clear();
    sectionIndex_.clear();
    TSection* current = nullptr;
    size_t bomLength = 0;
    const TEncoding* encoding = TEncoding::FromBOM(bytes, bomLength);
    if (!encoding)
        encoding = UnmarkedUtf16(bytes);
    if (encoding == &TEncoding::Unicode() || encoding == &TEncoding::BigEndianUnicode()) {
        TStringList lines;
        lines.SetText(encoding->GetString(bytes.substr(bomLength)));
        for (int i = 0; i < lines.Count(); ++i)
            AddLine(current, lines[i], std::nullopt);
        modified_ = false;
        return;
    }
    // 8-bit text: split into lines at CR, LF or CR LF as bytes, so that a
    // line that is no setting can keep its bytes. Without a mark the file
    // is UTF-8 when it is valid UTF-8 and not plain ASCII, else ANSI.
    const std::string_view body = bytes.substr(bomLength);
    if (!encoding) {
        const bool ascii = std::all_of(body.begin(), body.end(), [](char c) { return (c & 0x80) == 0; });
        encoding = !ascii && IsValidUtf8(body) ? &TEncoding::UTF8NoBOM() : &TEncoding::Default();
    }
    // The index made once for about as many sections as lines start with "[".
    sectionIndex_.reserve(static_cast<size_t>(std::count(body.begin(), body.end(), '[')));
    // A UTF-8 file (plain ASCII included) is written as it was read where
    // the program does not touch it: only its section lines are read now,
    // and a section's other lines when it is first used.
    const bool lazy = encoding == &TEncoding::UTF8() || encoding == &TEncoding::UTF8NoBOM() ||
                      std::all_of(body.begin(), body.end(), [](char c) { return (c & 0x80) == 0; });
    if (lazy) {
        text_ = std::make_unique<std::string>(body);
        encoding = &TEncoding::UTF8NoBOM();
    }
    const std::string_view source = lazy ? std::string_view(*text_) : body;
    std::wstring text;
    size_t start = 0;
    while (start < source.size()) {
        size_t end = source.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = source.size();
        const std::string_view line = source.substr(start, end - start);
        if (end < source.size() && source[end] == '\r')
            ++end;
        if (end < source.size() && source[end] == '\n')
            ++end;
        if (!lazy) {
            DecodeLine(line, *encoding, text);
            AddLine(current, text, line);
        } else if (MayBeSection(line)) {
            DecodeLine(line, *encoding, text);
            const std::wstring_view trimmed = TrimView(text);
            if (KindOf(trimmed) == TLineKind::section) {
                current = &SectionNamed(std::wstring(TrimView(trimmed.substr(1, trimmed.size() - 2))), false);
                start = end;
                continue;
            }
        }
        if (lazy) {
            if (!current) {
                current = &AppendSection(L"", false);
                current->Parsed = false;
            }
            // The line joins its section's unread bytes.
            auto& chunks = current->Chunks;
            if (!chunks.empty() && chunks.back().data() + chunks.back().size() == line.data())
                chunks.back() = std::string_view(chunks.back().data(), chunks.back().size() + (end - start));
            else
                chunks.push_back(source.substr(start, end - start));
        }
        start = end;
    }
    modified_ = false;
}

bool TMemIniFile::MayBeSection(std::string_view line)
{
    // Blanks of ASCII are skipped; other blanks are not ASCII.
    const size_t first = line.find_first_not_of(" \t\v\f");
    return first != std::string_view::npos && (line[first] == '[' || (line[first] & 0x80) != 0);
}

void TMemIniFile::Read(const TSection& section) const
{
    if (section.Parsed)
        return;
    auto& target = const_cast<TSection&>(section);
    target.Parsed = true;
    TSection* current = &target;
    std::wstring text;
    for (const std::string_view chunk : std::exchange(target.Chunks, {})) {
        size_t start = 0;
        while (start < chunk.size()) {
            size_t end = chunk.find_first_of("\r\n", start);
            if (end == std::string_view::npos)
                end = chunk.size();
            const std::string_view line = chunk.substr(start, end - start);
            DecodeLine(line, TEncoding::UTF8NoBOM(), text);
            const_cast<TMemIniFile*>(this)->AddLine(current, text, line);
            if (end < chunk.size() && chunk[end] == '\r')
                ++end;
            if (end < chunk.size() && chunk[end] == '\n')
                ++end;
            start = end;
        }
    }
}

void TMemIniFile::SetStrings(const TStrings& lines)
{
    sections_.clear();
    sectionIndex_.clear();
    TSection* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i)
        AddLine(current, lines[i], std::nullopt);
    modified_ = true;
}

void TMemIniFile::AddLine(TSection*& current, std::wstring_view original, std::optional<std::string_view> bytes)
{
    const std::wstring_view s = TrimView(original);
    const TLineKind kind = KindOf(s);
    if (kind == TLineKind::section) {
        // A section named twice is read as one, as lookups would see it.
        current = &SectionNamed(std::wstring(TrimView(s.substr(1, s.size() - 2))), true);
        return;
    }
    if (!current)
        current = &AppendSection(L"", false);
    TLine line;
    if (kind == TLineKind::key) {
        const size_t eq = s.find(L'=');
        line.IsKey = true;
        line.Key = TrimView(s.substr(0, eq));
        line.Value = TrimView(s.substr(eq + 1));
        // A key read twice (a section named twice) keeps one line, with
        // the value read last.
        if (TLine* earlier = current->FindKey(line.Key)) {
            earlier->Value = std::move(line.Value);
            return;
        }
        current->AddKey(std::move(line));
        return;
    }
    // The file is written as UTF-8: bytes that would read as a setting
    // there are written as their text instead.
    if (kind == TLineKind::other && bytes && KindOf(Trim(TEncoding::UTF8().GetString(*bytes))) == TLineKind::other)
        line.Bytes = std::string(*bytes);
    line.Raw = original;
    current->Lines.push_back(std::move(line));
}

void TMemIniFile::GetStrings(TStrings& lines) const
{
    lines.SetText(Serialize());
}

std::string TMemIniFile::SerializeUtf8() const
{
    std::string out;
    out.reserve(sizeHint_);
    for (const TSection& section : sections_) {
        if (section.Header) {
            out += '[';
            AppendUtf8(out, section.Name);
            out += "]\r\n";
        }
        for (const std::string_view chunk : section.Chunks) {
            out += chunk;
            if (chunk.back() != '\n' && chunk.back() != '\r')
                out += "\r\n";  // the file's last line
        }
        for (const TLine& line : section.Lines) {
            if (line.IsKey) {
                AppendUtf8(out, line.Key);
                out += '=';
                AppendUtf8(out, line.Value);
            } else if (line.Bytes) {
                out += *line.Bytes;
            } else {
                AppendUtf8(out, line.Raw);
            }
            out += "\r\n";
        }
    }
    return out;
}

std::wstring TMemIniFile::Serialize() const
{
    for (const TSection& section : sections_)
        Read(section);
    std::wstring out;
    for (const TSection& section : sections_) {
        if (section.Header)
            out += L"[" + section.Name + L"]\r\n";
        for (const TLine& line : section.Lines) {
            out += line.IsKey ? line.Key + L"=" + line.Value : line.Raw;
            out += L"\r\n";
        }
    }
    return out;
}

size_t TMemIniFile::TFoldedHash::operator()(std::wstring_view name) const
{
    size_t hash = 14695981039346656037u;  // FNV-1a over the folded characters
    for (wchar_t c : name)
        hash = (hash ^ static_cast<size_t>(UpCaseChar(c))) * 1099511628211u;
    return hash;
}

bool TMemIniFile::TFoldedEqual::operator()(std::wstring_view a, std::wstring_view b) const noexcept
{
    return SameText(a, b);
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::wstring_view name) const
{
    const auto found = sectionIndex_.find(name);
    if (found == sectionIndex_.end())
        return nullptr;
    Read(*found->second);
    return found->second;
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::wstring_view name)
{
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

TMemIniFile::TSection& TMemIniFile::AppendSection(std::wstring name, bool header)
{
    TSection& section = sections_.emplace_back();
    section.Name = std::move(name);
    section.Header = header;
    if (header)
        sectionIndex_.emplace(section.Name, &section);
    return section;
}

TMemIniFile::TSection& TMemIniFile::SectionNamed(std::wstring name, bool parsed)
{
    // While the file is read: a section named again is not read yet. The
    // new section is made first, so that its name is hashed once.
    TSection& section = sections_.emplace_back();
    section.Name = std::move(name);
    section.Parsed = parsed;
    const auto [found, added] = sectionIndex_.try_emplace(section.Name, &section);
    if (!added)
        sections_.pop_back();
    return *found->second;
}

TMemIniFile::TSection& TMemIniFile::AddSection(std::wstring_view name)
{
    if (TSection* existing = FindSection(name))
        return *existing;
    // Keep a blank line between the last section and a new one.
    if (!sections_.empty()) {
        Read(sections_.back());
        auto& previous = sections_.back().Lines;
        if (previous.empty() || previous.back().IsKey || !Trim(previous.back().Raw).empty())
            previous.push_back(TLine{});
    }
    return AppendSection(std::wstring(name), true);
}

const TMemIniFile::TLine* TMemIniFile::TSection::FindKey(std::wstring_view ident) const
{
    if (!Indexed) {
        for (const TLine& line : Lines)
            if (line.IsKey && SameText(line.Key, ident))
                return &line;
        return nullptr;
    }
    const auto found = KeyIndex.find(UpperCase(ident));
    return found == KeyIndex.end() ? nullptr : &Lines[found->second];
}

void TMemIniFile::TSection::AddKey(TLine line)
{
    if (Indexed)
        KeyIndex.emplace(UpperCase(line.Key), Lines.size());
    Lines.push_back(std::move(line));
    if (!Indexed && ++Keys > kIndexedKeys)
        IndexKeys();
}

TMemIniFile::TLine* TMemIniFile::TSection::FindKey(std::wstring_view ident)
{
    return const_cast<TLine*>(std::as_const(*this).FindKey(ident));
}

void TMemIniFile::TSection::IndexKeys()
{
    Indexed = true;
    KeyIndex.clear();
    for (size_t i = 0; i < Lines.size(); ++i)
        if (Lines[i].IsKey)
            KeyIndex.emplace(UpperCase(Lines[i].Key), i);
}

std::wstring TMemIniFile::ReadString(std::wstring_view section, std::wstring_view ident,
                                     const std::wstring& defaultValue) const
{
    const TSection* s = FindSection(section);
    const TLine* line = s ? s->FindKey(ident) : nullptr;
    return line ? line->Value : defaultValue;
}

void TMemIniFile::WriteString(std::wstring_view section, std::wstring_view ident, const std::wstring& value)
{
    TSection& s = AddSection(section);
    if (TLine* line = s.FindKey(ident)) {
        line->Value = value;
    } else {
        // New keys go after the section's last key, before trailing blank
        // lines; only blank lines move, so the key index stays as it is.
        auto position = s.Lines.end();
        while (position != s.Lines.begin() && !std::prev(position)->IsKey && !std::prev(position)->Bytes &&
               Trim(std::prev(position)->Raw).empty())
            --position;
        const size_t index = static_cast<size_t>(position - s.Lines.begin());
        s.Lines.insert(position, TLine{true, std::wstring(ident), value, L"", std::nullopt});
        if (s.Indexed)
            s.KeyIndex.emplace(UpperCase(ident), index);
        else if (++s.Keys > kIndexedKeys)
            s.IndexKeys();
    }
    modified_ = true;
}

int TMemIniFile::ReadInteger(std::wstring_view section, std::wstring_view ident, int defaultValue) const
{
    return StrToIntDef(ReadString(section, ident, L""), defaultValue);
}

void TMemIniFile::WriteInteger(std::wstring_view section, std::wstring_view ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

int64_t TMemIniFile::ReadInt64(std::wstring_view section, std::wstring_view ident, int64_t defaultValue) const
{
    int64_t value;
    return TryStrToInt64(ReadString(section, ident, L""), value) ? value : defaultValue;
}

void TMemIniFile::WriteInt64(std::wstring_view section, std::wstring_view ident, int64_t value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TMemIniFile::ReadBool(std::wstring_view section, std::wstring_view ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteBool(std::wstring_view section, std::wstring_view ident, bool value)
{
    WriteString(section, ident, value ? L"1" : L"0");
}

bool TMemIniFile::SectionExists(std::wstring_view section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::wstring_view section, std::wstring_view ident) const
{
    const TSection* s = FindSection(section);
    return s && s->FindKey(ident);
}

void TMemIniFile::ReadSections(TStrings& sections) const
{
    sections.BeginUpdate();
    sections.Clear();
    for (const TSection& section : sections_)
        if (section.Header)
            sections.Add(section.Name);
    sections.EndUpdate();
}

void TMemIniFile::ReadSection(std::wstring_view section, TStrings& idents) const
{
    idents.BeginUpdate();
    idents.Clear();
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsKey)
                idents.Add(line.Key);
    idents.EndUpdate();
}

void TMemIniFile::ReadSectionValues(std::wstring_view section, TStrings& values) const
{
    values.BeginUpdate();
    values.Clear();
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsKey)
                values.Add(line.Key + L"=" + line.Value);
    values.EndUpdate();
}

void TMemIniFile::EraseSection(std::wstring_view section)
{
    const auto found = sectionIndex_.find(section);
    if (found == sectionIndex_.end())
        return;
    const TSection* erased = found->second;
    sectionIndex_.erase(found);
    sections_.remove_if([erased](const TSection& s) { return &s == erased; });
    modified_ = true;
}

void TMemIniFile::DeleteKey(std::wstring_view section, std::wstring_view ident)
{
    TSection* s = FindSection(section);
    if (!s)
        return;
    const TLine* line = s->FindKey(ident);
    if (!line)
        return;
    s->Lines.erase(s->Lines.begin() + (line - s->Lines.data()));
    if (s->Indexed)
        s->IndexKeys();
    else
        --s->Keys;
    modified_ = true;
}

void TMemIniFile::Clear()
{
    sections_.clear();
    sectionIndex_.clear();
    modified_ = true;
}

std::unique_ptr<TFileStream> CreateFreshTemporary(const std::wstring& fileName, std::wstring& temporary)
{
    // A name no other writer uses now: created new or not at all.
    for (int attempt = 0;; ++attempt) {
        temporary = TMemIniFile::TemporaryName(fileName, attempt);
        try {
            return std::make_unique<TFileStream>(temporary, fmCreateNew);
        } catch (const EFCreateError&) {
            if (attempt + 1 >= TMemIniFile::kTemporaryNames)
                throw;  // nothing was created
        }
    }
}

std::wstring TMemIniFile::TemporaryName(const std::wstring& fileName, int attempt)
{
    return fileName + L".~tmp" + (attempt > 0 ? std::to_wstring(attempt) : std::wstring());
}

void TMemIniFile::UpdateFile()
{
    // A read-only file is not replaced behind its owner's back (the system
    // would refuse the replace on Windows; elsewhere the rename would not).
    std::error_code error;
    const auto status = std::filesystem::status(FsPath(fileName_), error);
    if (!error && std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        throw EFCreateError(L"Datei " + fileName_ + L" ist schreibgeschützt.");
    std::wstring temporary;
    std::unique_ptr<TFileStream> created = CreateFreshTemporary(fileName_, temporary);
    auto removeTemporary = [&] {
        std::error_code ignored;
        std::filesystem::remove(FsPath(temporary), ignored);
    };
    {
        const std::unique_ptr<TFileStream> file = std::move(created);
        try {
            file->WriteBytes(TEncoding::UTF8().Preamble());
            file->WriteBytes(SerializeUtf8());
            file->Flush();
        } catch (...) {
            removeTemporary();
            throw;
        }
    }
    try {
        ReplaceFileWith(temporary, fileName_);
    } catch (...) {
        removeTemporary();
        throw;
    }
    modified_ = false;
}

}  // namespace qrv
